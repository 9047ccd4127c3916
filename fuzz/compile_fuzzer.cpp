// Fuzzes the whole compile in memory: the input is a line description text, a NUL byte and a
// train description text (no NUL: the train text is missing). Both are compiled without the route
// plan, collecting warnings as the command line does, and, for routes short enough to keep the
// fuzzer fast, with it, as the built-in run does; the binary file images are encoded from each
// model and read back. Any crash, sanitizer report or broken invariant below is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compile.h"
#include "compiler/error_codes.h"
#include "compiler/output_decoding.h"
#include "compiler/output_files.h"

namespace {

using namespace scengen;

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void check(bool holds, const char* what) {
  if (!holds) broken(what);
}

// The route plan has a point per metre: beyond this extent a compile with the plan costs tens of
// milliseconds under the sanitizers, and the fuzzer reaches every branch of the plan with shorter
// routes. The plan's own limits are tested at their edges by the unit tests.
constexpr int32_t kLongestPlannedExtent = 20000;

// Compiles the texts and encodes the binary files; returns the extent of the compiled route.
int32_t compile_once(const std::string& line, const std::optional<std::string>& train,
                     int32_t flag) {
  Compilation c;
  c.RouteId = "Veltrano_Quarnelo";
  c.TrainNumber = "58316";
  c.CollectWarnings = flag == 0;
  MemoryTexts texts(line, train);
  const CompileOutcome outcome = compile_scenario(c, texts, flag);

  check(c.StatusCode == 0 || find_error_code(c.StatusCode) != nullptr,
        "the recorded code is in the catalogue");
  // The built-in run owns its texts: however the reading ended, the line text is gone.
  check(!texts.line_exists(), "the line text is deleted");
  check(c.TunnelCount >= 0 && c.TunnelCount < kTunnelSlots, "the tunnel count stays in its list");

  if (outcome.end == CompileEnd::NoTrack) {
    check(!c.has_track(), "no track means fewer than two cells");
    return c.ExtendedLength;
  }
  check(c.has_track(), "a finished compile has a track");
  if (outcome.end == CompileEnd::SealError) {
    check(outcome.seal_code == 1250 || outcome.seal_code == 1251, "a seal code is 1250 or 1251");
    return c.ExtendedLength;
  }
  // Each file image reads back into the model part it was made from.
  const std::string track = encode_track_cells(c.TrackCells);
  check(track.size() == c.TrackCells.size() * kCellBytes, "the cells' bytes");
  const auto cells = decode_track_cells(track);
  check(cells && encode_track_cells(*cells.value) == track, "the track file reads back");
  const std::optional<std::string> table = encode_scenario_table(c.ScenarioTable);
  if (table) {
    size_t texts_size = 0;
    for (const ScenarioEntry& e : c.ScenarioTable) texts_size += e.Text.size();
    check(table->size() == kScenarioSlots * kEntryBytes + texts_size,
          "each slot's bytes and its text");
    const auto slots = decode_scenario_table(*table);
    check(slots && encode_scenario_table(*slots.value) == table, "the table file reads back");
  }
  if (flag != 0) {
    check(c.TrackPlan.exists(), "the plan exists when it is built");
    const std::string plan = encode_route_plan(c.TrackPlan);
    check(plan.size() >= static_cast<size_t>(c.TrackPlan.last_point() + 1) * 2 * kPlanTagBytes,
          "every plan element has its tag");
    const auto points = decode_route_plan(plan);
    check(points && encode_route_plan(*points.value) == plan, "the plan file reads back");
  }
  return c.ExtendedLength;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  // Without a NUL the train text is missing; with one, everything after it is the train text.
  const std::string line(input.substr(0, split));
  std::optional<std::string> train;
  if (split != std::string_view::npos) train = std::string(input.substr(split + 1));
  if (compile_once(line, train, 0) <= kLongestPlannedExtent) compile_once(line, train, 1);
  return 0;
}
