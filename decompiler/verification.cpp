#include "decompiler/verification.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <tuple>

#include "compiler/compilation.h"
#include "compiler/compile.h"
#include "compiler/description_texts.h"
#include "compiler/output_decoding.h"
#include "decompiler/text_parts.h"

namespace scengen {
namespace {

// The code the finishing pass gives the code points it adds.
// How often the texts are compiled to tell an author's code points of 180 from the pass's.
constexpr int kCodePointRounds = 4;

class DifferenceList {
 public:
  explicit DifferenceList(std::vector<std::string>& out) : out_(out) {}
  ~DifferenceList() {
    if (count_ > kMaxListedDifferences)
      out_.push_back("... and " + std::to_string(count_ - kMaxListedDifferences) +
                     " more differences");
  }
  void add(std::string line) {
    if (++count_ <= kMaxListedDifferences) out_.push_back(std::move(line));
  }

 private:
  std::vector<std::string>& out_;
  size_t count_ = 0;
};

template <typename T>
void field(std::string& line, const char* name, T file, T texts) {
  if (file == texts) return;
  line += line.back() == ':' ? " " : ", ";
  line += std::string(name) + " " + std::to_string(file) + " / " + std::to_string(texts);
}

bool same_cell(const TrackCell& a, const TrackCell& b) {
  bool same = true;
  std::apply([&](auto... field) { same = ((a.*field == b.*field) && ...); }, kCellFields);
  return same;
}

void compare_cells(const std::vector<TrackCell>& file, const std::vector<TrackCell>& texts,
                   DifferenceList& list) {
  if (file.size() != texts.size()) {
    list.add("the track has " + std::to_string(file.size()) + " cells, the texts give " +
             std::to_string(texts.size()));
  }
  const size_t n = std::min(file.size(), texts.size());
  for (size_t i = 0; i < n; ++i) {
    const TrackCell& a = file[i];
    const TrackCell& b = texts[i];
    if (same_cell(a, b)) continue;
    std::string line = where(static_cast<int64_t>(i)) + ": the file holds " + kind_name(a.Kind) +
                       ", the texts give " + kind_name(b.Kind) + " (file / texts):";
    field(line, "Kind", int{a.Kind}, int{b.Kind});
    field(line, "Param1", int{a.Param1}, int{b.Param1});
    field(line, "Param2", int{a.Param2}, int{b.Param2});
    field(line, "Param3", int{a.Param3}, int{b.Param3});
    field(line, "Param4", int{a.Param4}, int{b.Param4});
    field(line, "Param5", int{a.Param5}, int{b.Param5});
    field(line, "Mark", int{a.Mark}, int{b.Mark});
    field(line, "Tunnel", int{a.Tunnel}, int{b.Tunnel});
    field(line, "SpeedLimit", int{a.SpeedLimit}, int{b.SpeedLimit});
    field(line, "Gradient", int{a.Gradient}, int{b.Gradient});
    field(line, "Adhesion", int{a.Adhesion}, int{b.Adhesion});
    if (line.back() != ':') list.add(std::move(line));
  }
}

void compare_table(const ScenarioTable& file, const ScenarioTable& texts, DifferenceList& list) {
  for (size_t i = 0; i < file.size(); ++i) {
    const ScenarioEntry& a = file[i];
    const ScenarioEntry& b = texts[i];
    std::string line = "slot " + std::to_string(i) + " (file / texts):";
    field(line, "Tag", int{a.Tag}, int{b.Tag});
    field(line, "Num1", a.Num1, b.Num1);
    field(line, "Num2", a.Num2, b.Num2);
    field(line, "Num3", a.Num3, b.Num3);
    field(line, "Tag2", int{a.Tag2}, int{b.Tag2});
    if (a.Text != b.Text) line += " Text \"" + a.Text + "\" / \"" + b.Text + "\"";
    field(line, "Small1", int{a.Small1}, int{b.Small1});
    field(line, "Small2", int{a.Small2}, int{b.Small2});
    field(line, "Small3", int{a.Small3}, int{b.Small3});
    field(line, "Small4", int{a.Small4}, int{b.Small4});
    field(line, "Small5", int{a.Small5}, int{b.Small5});
    field(line, "Flag1", int{a.Flag1}, int{b.Flag1});
    field(line, "Flag2", int{a.Flag2}, int{b.Flag2});
    field(line, "Flag3", int{a.Flag3}, int{b.Flag3});
    field(line, "Flag4", int{a.Flag4}, int{b.Flag4});
    field(line, "Num4", a.Num4, b.Num4);
    if (line.back() != ':') list.add(std::move(line));
  }
}

// The file's plan, element by element as the texts' plan is computed: no image of either is
// built. Only where they differ is every point compared and listed.
bool same_plans(std::string_view file, const RoutePlanLayout& layout, const TrackPlan& texts) {
  if (layout.last_point != texts.last_point()) return false;
  std::array<PlanElementReader, 2> in = {PlanElementReader(file, 0),
                                         PlanElementReader(file, layout.second_coordinate)};
  bool same = true;
  texts.scan([&](const PlanChunk& chunk) {
    for (int coordinate = 0; coordinate < 2 && same; ++coordinate) {
      for (int32_t i = 0; i < chunk.count; ++i) {
        const auto tag = chunk.tags[coordinate] ? static_cast<PlanTag>(chunk.tags[coordinate][i])
                                                : PlanTag::Double;
        double value = 0;
        if (in[coordinate].next(value) != tag ||
            std::bit_cast<uint64_t>(value) !=
                std::bit_cast<uint64_t>(chunk.values[coordinate][i])) {
          same = false;
          break;
        }
      }
    }
  });
  return same;
}

void compare_plans(std::string_view file, const RoutePlan& file_plan, const TrackPlan& texts,
                   DifferenceList& list) {
  if (!texts.exists()) {
    list.add("the texts give no route plan");
    return;
  }
  // The model checked the file's plan already.
  const RoutePlanLayout layout{file_plan.last_point, file_plan.second_coordinate};
  if (same_plans(file, layout, texts)) return;
  const int32_t file_last = layout.last_point;
  if (file_last != texts.last_point())
    list.add("the route plan has " + std::to_string(file_last + 1) + " points, the texts give " +
             std::to_string(texts.last_point() + 1));
  const int32_t n = std::min(file_last, texts.last_point());
  std::array<PlanElementReader, 2> in = {PlanElementReader(file, 0),
                                         PlanElementReader(file, layout.second_coordinate)};
  for (int32_t p = 0; p <= n; ++p) {
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      double value = 0;
      const PlanTag tag = in[coordinate].next(value);
      if (tag == texts.tag(p, coordinate) && value == texts.value(p, coordinate)) continue;
      char buffer[200];
      std::snprintf(
          buffer, sizeof buffer,
          "plan point %d (%d m), coordinate %d (file / texts): tag %d / %d, %.17g / %.17g", p, p,
          coordinate, static_cast<int>(tag), static_cast<int>(texts.tag(p, coordinate)), value,
          texts.value(p, coordinate));
      list.add(buffer);
    }
  }
}

// Adds to `authored` the cells of the file's code points of 180 that the texts' compile `c` does
// not make again; whether it added any.
bool add_unmade_codes(const CompiledFiles& files, const ScenarioModel& model, const Compilation& c,
                      std::vector<int32_t>& authored) {
  bool added = false;
  for (const CodePoint& point : model.code_points) {
    const auto cell = static_cast<size_t>(point.cell);
    if (!point.has_code || point.code != kDerivedSpeedCode || cell >= c.TrackCells.size()) continue;
    const TrackCell& file = files.cells[cell];
    const TrackCell& texts = c.TrackCells[cell];
    if (texts.Kind == file.Kind && texts.Param1 == file.Param1) continue;
    if (std::find(authored.begin(), authored.end(), point.cell) != authored.end()) continue;
    authored.push_back(point.cell);
    added = true;
  }
  return added;
}

void list_differences(const CompiledFiles& files, const ScenarioModel& model, const Compilation& c,
                      std::vector<std::string>& differences) {
  DifferenceList list(differences);
  compare_cells(files.cells, c.TrackCells, list);
  compare_table(files.table, c.ScenarioTable, list);
  if (model.plan.present) compare_plans(*files.plan, model.plan, c.TrackPlan, list);
}

}  // namespace

Decompilation verified_texts(const CompiledFiles& files, const ScenarioModel& model,
                             const CompileIdentity& identity) {
  std::vector<std::string> notes;
  const RecoveredRecords records =
      recover_records(model, author_cells(files.cells, files.table), notes);
  // The model tells the pass's points from an author's; the compile below confirms it.
  std::vector<int32_t> authored_180;
  for (const CodePoint& point : model.code_points) {
    if (point.has_code && point.code == kDerivedSpeedCode && !point.derived)
      authored_180.push_back(point.cell);
  }
  for (int round = 0;; ++round) {
    Decompilation d = texts_of(model, records, notes, authored_180);
    Compilation c;
    c.RouteId = identity.route_id;
    c.TrainNumber = identity.train_number;
    MemoryTexts texts(d.line_text, d.train_text);
    const CompileOutcome outcome = compile_scenario(c, texts, model.plan.present ? 1 : 0);
    if (outcome.end != CompileEnd::Sealed) {
      d.differences.push_back(outcome.end == CompileEnd::NoTrack
                                  ? "the texts compile to no track"
                                  : "the texts stop at the seal with error " +
                                        std::to_string(outcome.seal_code));
      return d;
    }
    if (add_unmade_codes(files, model, c, authored_180) && round + 1 < kCodePointRounds) continue;
    list_differences(files, model, c, d.differences);
    // Files of a compile that stopped come back from texts that stop there too.
    if (c.StatusCode != 0)
      d.notes.push_back("the texts compile with error " + std::to_string(c.StatusCode) + " at " +
                        std::to_string(c.StatusPosition) + " m" +
                        (d.exact() ? ", as the compile of these files must have" : ""));
    return d;
  }
}

}  // namespace scengen
