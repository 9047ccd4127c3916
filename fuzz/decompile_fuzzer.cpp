// Fuzzes the decompiler. The input is a line description text, a NUL byte and a train description
// text. Whatever the texts' compile recorded, when it wrote the files (without the route plan, and
// with it for short routes) the files must come back exactly: compile(decompile(compile(texts)))
// == compile(texts), and the decompiler must say so. The same bytes, cut in two, are also handed
// to the decompiler as a track and a scenario table whenever they decode as such: whatever they
// hold, it must not crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compiler/compile.h"
#include "compiler/description_texts.h"
#include "compiler/output_decoding.h"
#include "compiler/output_files.h"
#include "decompiler/decompile.h"

namespace {

using namespace scengen;

// As in the compile target: longer routes make the plan too slow for the fuzzer.
constexpr int32_t kLongestPlannedExtent = 20000;

struct Images {
  bool sealed = false;
  std::string plan, table, track;
};

Images compile(const std::string& line, const std::string& train, int32_t flag) {
  Compilation c;
  c.RouteId = "Fuzz";
  c.TrainNumber = "1";
  MemoryTexts texts(line, train);
  Images images;
  if (compile_scenario(c, texts, flag).end != CompileEnd::Sealed) return images;
  const auto table = encode_scenario_table(c.ScenarioTable);
  if (!table) return images;
  images.sealed = true;
  if (flag != 0) images.plan = encode_route_plan(c.TrackPlan);
  images.table = *table;
  images.track = encode_track_cells(c.TrackCells);
  return images;
}

void round_trip(const std::string& line, const std::string& train, int32_t flag) {
  const Images original = compile(line, train, flag);
  if (!original.sealed) return;
  if (flag != 0 && original.track.size() / kCellBytes * kCellLength > kLongestPlannedExtent) return;
  CompiledFiles files;
  files.cells = *decode_track_cells(original.track).value;
  files.table = *decode_scenario_table(original.table).value;
  if (flag != 0) files.plan = original.plan;
  const Decompilation d = decompile(files, "Fuzz", "1");
  const Images again = compile(d.line_text, d.train_text, flag);
  const bool same = again.sealed && again.plan == original.plan &&
                    again.table == original.table && again.track == original.track;
  // The decompiler's own verdict must be the truth either way.
  if (d.exact() != same) {
    std::fprintf(stderr, "the decompiler says %s, the texts compile %s\n",
                 d.exact() ? "exact" : "not exact", same ? "the same" : "otherwise");
    std::abort();
  }
  if (!same) {
    for (const std::string& note : d.notes) std::fprintf(stderr, "note: %s\n", note.c_str());
    for (const std::string& difference : d.differences)
      std::fprintf(stderr, "%s\n", difference.c_str());
    std::fprintf(stderr, "round trip not exact (flag %d)\n", static_cast<int>(flag));
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  if (nul != std::string_view::npos) {
    const std::string line(input.substr(0, nul));
    const std::string train(input.substr(nul + 1));
    round_trip(line, train, 0);
    round_trip(line, train, 1);
  }
  // Any bytes as a track and a table.
  for (size_t cut = 0; cut <= size; cut += kCellBytes) {
    const auto cells = decode_track_cells(input.substr(0, cut));
    const auto table = decode_scenario_table(input.substr(cut));
    if (!cells || !table) continue;
    CompiledFiles files;
    files.cells = *cells.value;
    files.table = *table.value;
    (void)decompile(files, "Fuzz", "1");
    break;
  }
  return 0;
}
