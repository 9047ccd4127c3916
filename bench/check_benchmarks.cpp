// Benchmarks of `check` in memory, the compile and the report as the command line prints it: a
// text full of warnings against a clean one of the same size, and the cost per warning.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <ostream>
#include <streambuf>
#include <string>

#include "cli/diagnostics.h"
#include "compiler/compile.h"
#include "compiler/description_texts.h"

namespace scengen {
namespace {

constexpr size_t kMegabyte = 1 << 20;
constexpr int kRouteLength = 500000;

// A line description of the longest route: one gradient record every 50 m, padded with blanks so
// that the text reaches `bytes`, and `warnings` lines that match no record spread among them.
std::string line_text(size_t bytes, int warnings) {
  constexpr int kRecords = kRouteLength / 50;
  constexpr std::string_view kBroken = "zzz\r\n";
  const size_t fixed = 64 + warnings * kBroken.size();
  const size_t per_record = fixed < bytes ? (bytes - fixed) / kRecords : 0;
  std::string text = "[generale]\r\nlunghezza percorso, " + std::to_string(kRouteLength) +
                     "\r\n[pendenze]\r\n";
  text.reserve(bytes + 256);
  int written = 0;
  for (int i = 0; i < kRecords; ++i) {
    std::string record = "pendenza, " + std::to_string(i * 50) + ", " + std::to_string(i % 7);
    if (record.size() + 2 < per_record) record.insert(9, per_record - record.size() - 2, ' ');
    text += record + "\r\n";
    // The broken lines spread evenly over the text.
    const int due = static_cast<int>(static_cast<int64_t>(warnings) * (i + 1) / kRecords);
    for (; written < due; ++written) text += kBroken;
  }
  return text + "[fine]\r\n";
}

const std::string kTrainText = "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 96\r\n[fine]\r\n";

// Counts what is written and keeps nothing, as a terminal or a file takes the report: a string
// growing to megabytes would time the bench's own copying and page faults instead.
class CountingBuffer : public std::streambuf {
 public:
  size_t count() const { return count_; }

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count_ += static_cast<size_t>(n);
    return n;
  }
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) ++count_;
    return traits_type::not_eof(ch);
  }

 private:
  size_t count_ = 0;
};

// One check as the command runs it, the plan computed, the report printed.
size_t check_once(const AuthorTexts& texts, size_t max_warnings) {
  Compilation c;
  c.RouteId = "Bench";
  c.TrainNumber = "1";
  c.CollectWarnings = true;
  c.MaxWarnings = max_warnings;
  MemoryTexts source(texts.line, texts.train);
  const CompileReport report = make_report(c, compile_scenario(c, source, 1));
  CountingBuffer printed;
  std::ostream err(&printed);
  print_diagnostics(report, texts, err);
  return printed.count() + report.warnings.size() + report.warnings_left_out;
}

AuthorTexts texts_with(size_t bytes, int warnings) {
  AuthorTexts texts;
  texts.line_path = "Bench_linea.txt";
  texts.train_path = "Bench_1-.txt";
  texts.line = line_text(bytes, warnings);
  texts.train = kTrainText;
  return texts;
}

// The clean megabyte: no warning at all.
void BM_CheckCleanMegabyte(benchmark::State& state) {
  const AuthorTexts texts = texts_with(kMegabyte, 0);
  for (auto _ : state) benchmark::DoNotOptimize(check_once(texts, 50));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texts.line.size()));
}
BENCHMARK(BM_CheckCleanMegabyte)->Unit(benchmark::kMillisecond);

// A megabyte with 50000 warnings, as check shows them (50) and with every one shown.
void BM_CheckMegabyteOf50000Warnings(benchmark::State& state) {
  const AuthorTexts texts = texts_with(kMegabyte, 50000);
  const auto cap = static_cast<size_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(check_once(texts, cap));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texts.line.size()));
}
BENCHMARK(BM_CheckMegabyteOf50000Warnings)
    ->Arg(50)
    ->Arg(1000000)
    ->ArgName("max_warnings")
    ->Unit(benchmark::kMillisecond);

// The cost as the warnings grow from 10000 to 100000, every one shown: linear, not square.
void BM_CheckWarnings(benchmark::State& state) {
  const AuthorTexts texts = texts_with(kMegabyte, static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(check_once(texts, 1000000));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CheckWarnings)
    ->RangeMultiplier(2)
    ->Range(10000, 100000)
    ->Arg(100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// One line of 60 MiB that matches no record: its warning quotes a few bytes of it, not all.
void BM_CheckSixtyMegabyteField(benchmark::State& state) {
  AuthorTexts texts = texts_with(0, 0);
  texts.line = "[generale]\r\nlunghezza percorso, 5000\r\n[pendenze]\r\n" +
               std::string(60 * kMegabyte, 'z') + "\r\n[fine]\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(check_once(texts, 50));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texts.line.size()));
}
BENCHMARK(BM_CheckSixtyMegabyteField)->Unit(benchmark::kMillisecond);

// One line of 16 MiB holding 100 gradient records, each with a value that warns and the next
// record after it on the same line: 200 warnings, each showing its window of the line.
void BM_CheckTwoHundredWarningsOnALongLine(benchmark::State& state) {
  AuthorTexts texts = texts_with(0, 0);
  constexpr int kRecords = 100;
  const std::string padding((16 * kMegabyte) / kRecords, ' ');
  std::string line;
  for (int i = 0; i < kRecords; ++i) {
    line += "pendenza, " + std::to_string(i * 50) + "," + padding + "3x, ";
  }
  texts.line = "[generale]\r\nlunghezza percorso, 5000\r\n[pendenze]\r\n" + line +
               "\r\n[fine]\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(check_once(texts, 1000));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texts.line.size()));
}
BENCHMARK(BM_CheckTwoHundredWarningsOnALongLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scengen
