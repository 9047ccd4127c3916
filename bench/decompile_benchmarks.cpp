// The round trip of the longest varied scenario beside its compile: decompiling its files, which
// compiles the recovered texts again to verify them, should cost at most about three compiles.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "bench/scenario_generator.h"
#include "compiler/compile.h"
#include "compiler/output_decoding.h"
#include "compiler/output_files.h"
#include "decompiler/decompile.h"

namespace scengen {
namespace {

// A tidy seed, whose scenario the decompiler gives back exactly.
constexpr uint32_t kRoundTripSeed = 10;

// The three file images of one compile.
struct FileImages {
  std::string plan, table, track;
};

// Compiles the texts into `images`; false when the compile recorded an error.
bool compile_images(const GeneratedScenario& scenario, bool with_plan, FileImages& images) {
  Compilation c;
  c.RouteId = kGeneratedRouteId;
  c.TrainNumber = kGeneratedTrainNumber;
  MemoryTexts texts(scenario.line_text, scenario.train_text);
  const CompileOutcome outcome = compile_scenario(c, texts, with_plan ? 1 : 0);
  if (outcome.end != CompileEnd::Sealed || c.StatusCode != 0) return false;
  images.plan = with_plan ? encode_route_plan(c.TrackPlan) : "";
  images.table = encode_scenario_table(c.ScenarioTable).value_or("");
  images.track = encode_track_cells(c.TrackCells);
  return true;
}

// The compile as a front end does it: the model from the texts, then the file images.
void BM_VariedCompile(benchmark::State& state) {
  const bool with_plan = state.range(0) != 0;
  const GeneratedScenario scenario = generate_varied_scenario(kLongestVariedRoute, kRoundTripSeed);
  for (auto _ : state) {
    // Fresh images each time, as a front end makes them once per run: reusing the 20 MB plan's
    // memory would leave out what every compile pays.
    FileImages images;
    if (!compile_images(scenario, with_plan, images)) {
      state.SkipWithError("the generated texts do not compile cleanly");
      return;
    }
    benchmark::DoNotOptimize(images.track.data());
  }
}
BENCHMARK(BM_VariedCompile)->ArgName("plan")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The files of the scenario as the decompiler reads them; nothing when it does not compile.
std::optional<CompiledFiles> varied_files(bool with_plan) {
  const GeneratedScenario scenario = generate_varied_scenario(kLongestVariedRoute, kRoundTripSeed);
  FileImages images;
  if (!compile_images(scenario, with_plan, images)) return std::nullopt;
  CompiledFiles files;
  files.cells = *decode_track_cells(images.track).value;
  files.table = *decode_scenario_table(images.table).value;
  if (with_plan) files.plan = images.plan;
  return files;
}

// The files decompiled and verified: the model, the texts, their compile and the comparison.
void BM_VariedRoundTrip(benchmark::State& state) {
  const std::optional<CompiledFiles> files = varied_files(state.range(0) != 0);
  if (!files) {
    state.SkipWithError("the generated texts do not compile cleanly");
    return;
  }
  for (auto _ : state) {
    const Decompilation d = decompile(*files, kGeneratedRouteId, kGeneratedTrainNumber);
    if (!d.exact()) {
      state.SkipWithError(("not exact: " + d.differences.front()).c_str());
      return;
    }
    benchmark::DoNotOptimize(d.train_text.data());
  }
}
BENCHMARK(BM_VariedRoundTrip)->ArgName("plan")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The texts alone, without the verifying compile: what the round trip adds to the compile.
void BM_VariedWriteTexts(benchmark::State& state) {
  const std::optional<CompiledFiles> files = varied_files(state.range(0) != 0);
  if (!files) {
    state.SkipWithError("the generated texts do not compile cleanly");
    return;
  }
  for (auto _ : state) {
    const Decompilation d = write_texts(*files);
    benchmark::DoNotOptimize(d.train_text.data());
  }
}
BENCHMARK(BM_VariedWriteTexts)->ArgName("plan")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scengen
