// Benchmarks of the compiler in memory: the field reader, and whole compiles of the built-in and of
// generated scenarios up to the longest route, with the three binary files encoded.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/scenario_generator.h"
#include "compiler/compile.h"
#include "compiler/field_reader.h"
#include "compiler/output_files.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

// A text of signal records, the record with the most number fields, of about `bytes` bytes.
std::string signal_records(size_t bytes) {
  constexpr std::string_view kRecord = "segnale,   12350,   2, 4, 1,  1, 0,    2,  3,1,1, 0\r\n";
  std::string text = "[generale]\r\n";
  while (text.size() < bytes) text += kRecord;
  return text + "[fine]\r\n";
}

// Every field read as a text: the keyword scan of both readers.
void BM_FieldReaderTextFields(benchmark::State& state) {
  const GeneratedScenario scenario = generate_scenario(kLongestGeneratedRoute);
  const std::string text = scenario.line_text + scenario.train_text;
  for (auto _ : state) {
    FieldReader reader(text, TextKind::Line);
    size_t fields = 0;
    while (!reader.at_end()) {
      benchmark::DoNotOptimize(reader.read_text());
      ++fields;
    }
    benchmark::DoNotOptimize(fields);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FieldReaderTextFields)->Unit(benchmark::kMillisecond);

// A keyword and eleven Long numbers per record, as the train reader reads a signal.
void BM_FieldReaderNumbers(benchmark::State& state) {
  const std::string text = signal_records(8 << 20);
  for (auto _ : state) {
    FieldReader reader(text, TextKind::Train);
    reader.read_text();
    int64_t sum = 0;
    for (;;) {
      const std::string_view keyword = reader.read_text();
      if (reader.at_end() || keyword != "segnale") break;
      for (int n = 0; n < 11; ++n) sum += reader.read_long();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FieldReaderNumbers)->Unit(benchmark::kMillisecond);

// One compile as a front end does it: the model from the texts, then the three file images.
void compile_and_encode(benchmark::State& state, const std::string& route, const std::string& train,
                        const std::string& line_text, const std::string& train_text) {
  size_t written = 0;
  for (auto _ : state) {
    Compilation c;
    c.RouteId = route;
    c.TrainNumber = train;
    MemoryTexts texts(line_text, train_text);
    const CompileOutcome outcome = compile_scenario(c, texts, 1);
    if (outcome.end != CompileEnd::Sealed || c.StatusCode != 0) {
      state.SkipWithError(("the compile ended with code " + std::to_string(c.StatusCode)).c_str());
      return;
    }
    // The plan in pieces, as the run writes it.
    size_t plan_bytes = 0;
    encode_route_plan(c.TrackPlan, [&](uint64_t, std::string_view piece) {
      benchmark::DoNotOptimize(piece.data());
      plan_bytes += piece.size();
    });
    const auto table = encode_scenario_table(c.ScenarioTable);
    const std::string track = encode_track_cells(c.TrackCells);
    written = plan_bytes + table->size() + track.size();
    benchmark::DoNotOptimize(written);
  }
  // Bytes per second of the binary files the compile produces.
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
  state.counters["file_bytes"] = static_cast<double>(written);
}

void BM_CompileBuiltIn(benchmark::State& state) {
  compile_and_encode(state, "Veltrano_Quarnelo", "58316", emit_line_list(line_description_lines()),
                     emit_line_list(train_description_lines()));
}
BENCHMARK(BM_CompileBuiltIn)->Unit(benchmark::kMicrosecond);

// Routes of 100000, 300000 and 1000000 m: the time should grow linearly with the length.
void BM_CompileGenerated(benchmark::State& state) {
  const auto length = static_cast<int32_t>(state.range(0));
  const GeneratedScenario scenario = generate_scenario(length);
  compile_and_encode(state, kGeneratedRouteId, kGeneratedTrainNumber, scenario.line_text,
                     scenario.train_text);
  state.SetComplexityN(length);
}
BENCHMARK(BM_CompileGenerated)
    ->Arg(100000)
    ->Arg(300000)
    ->Arg(kLongestGeneratedRoute)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace scengen
