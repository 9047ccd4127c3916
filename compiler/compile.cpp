#include "compiler/compile.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <tuple>

#include "compiler/compile_warnings.h"
#include "compiler/finishing_pass.h"
#include "compiler/read_descriptions.h"

namespace scengen {

CompileOutcome compile_scenario(Compilation& c, DescriptionTexts& texts, int32_t compile_flag) {
  c.CompileFlag = compile_flag;
  c.StatusCode = 0;
  c.StatusSource.reset();
  c.StatusDetail.clear();
  c.Warnings.clear();
  c.WarningsLeftOut = 0;
  c.CellSources.clear();
  c.Errors.clear();
  clear_scenario_table(c);
  read_descriptions(c, texts);
  if (!c.has_track()) return {CompileEnd::NoTrack, 0};
  const int32_t code_before = c.StatusCode;
  finishing_pass(c);
  if (c.StatusCode != code_before) explain_finishing_error(c);
  if (const int32_t code = seal(c)) {
    explain_seal_error(c);
    return {CompileEnd::SealError, code};
  }
  return {CompileEnd::Sealed, 0};
}

namespace {

bool same_error(const CompileError& a, const CompileError& b) {
  const auto place = [](const std::optional<SourceSpot>& w) {
    return w ? std::tuple(static_cast<int>(w->text), w->line, w->column) : std::tuple(-1, 0, 0);
  };
  return a.code == b.code && a.position == b.position && place(a.where) == place(b.where);
}

using WarningKey = std::tuple<int, int, int, std::string_view>;

WarningKey key_of(const CompileWarning& w) {
  return {static_cast<int>(w.where.text), w.where.line, w.where.column, w.message};
}

// The warnings of the reading on, those the compile did not note marked after_stop; those only
// the compile noted (its finishing pass) follow, unless the cap already left some out.
std::vector<CompileWarning> merged_warnings(const Compilation& c, const Compilation& reading) {
  std::set<WarningKey> compiled;
  for (const CompileWarning& w : c.Warnings) compiled.insert(key_of(w));
  std::set<WarningKey> read;
  std::vector<CompileWarning> merged;
  merged.reserve(reading.Warnings.size());
  for (const CompileWarning& w : reading.Warnings) {
    read.insert(key_of(w));
    merged.push_back(w);
    merged.back().after_stop = !compiled.contains(key_of(w));
  }
  if (reading.WarningsLeftOut == 0) {
    for (const CompileWarning& w : c.Warnings) {
      if (!read.contains(key_of(w))) merged.push_back(w);
    }
  }
  return merged;
}

}  // namespace

void read_on_after_error(Compilation& c, DescriptionTexts& texts) {
  Compilation reading;
  reading.RouteId = c.RouteId;
  reading.TrainNumber = c.TrainNumber;
  reading.CompileFlag = c.CompileFlag;
  reading.CollectWarnings = c.CollectWarnings;
  reading.MaxWarnings = c.MaxWarnings;
  reading.ReadOn = true;
  clear_scenario_table(reading);
  read_descriptions(reading, texts);

  const size_t compiled = c.Errors.size();
  for (CompileError& e : reading.Errors) {
    const auto first = c.Errors.begin();
    const auto last = first + static_cast<std::ptrdiff_t>(compiled);
    if (std::none_of(first, last, [&](const CompileError& o) { return same_error(o, e); })) {
      e.reach = ErrorReach::AfterStop;
      c.Errors.push_back(std::move(e));
    }
  }
  if (c.CollectWarnings) {
    std::vector<CompileWarning> merged = merged_warnings(c, reading);
    c.Warnings = std::move(merged);
    c.WarningsLeftOut = reading.WarningsLeftOut;
  }
}

}  // namespace scengen
