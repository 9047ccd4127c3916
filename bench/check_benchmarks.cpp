// Benchmarks of `check` in memory, the compile and the report as the command line prints it: a
// text full of warnings against a clean one of the same size, the cost per warning, and the
// longest generated route with a thousand mistakes, every one told in one pass, against its clean
// check.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "bench/scenario_generator.h"
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
  const CompileReport report = make_report(c, compile_author_texts(c, texts, 1));
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

// The lines of a text, without their CR LF.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// The position a record's line gives first.
std::string position_of(const std::string& line) {
  const size_t comma = line.find(',');
  const size_t begin = line.find_first_not_of(' ', comma + 1);
  return line.substr(begin, line.find(',', begin) - begin);
}

// How many mistakes of each kind the scattered texts hold.
constexpr int kTakenSignals = 250;     // a second signal on a signal's cell: error 16
constexpr int kTakenSlowOrders = 250;  // a slow order on a signal's cell: error 17 or 18
constexpr int kTrainBeyond = 150;      // a code point beyond the track: error 15
constexpr int kLineBeyond = 100;       // a gradient beyond the track: error 15
constexpr int kMisspelt = 250;         // 'segnlae': a warning
constexpr int kErrors = kTakenSignals + kTakenSlowOrders + kTrainBeyond + kLineBeyond;

// The longest generated route with 1000 mistakes scattered through both texts.
AuthorTexts texts_with_mistakes(bool mistakes) {
  const GeneratedScenario clean = generate_scenario(kLongestGeneratedRoute);
  AuthorTexts texts;
  texts.line_path = "Bench_linea.txt";
  texts.train_path = "Bench_1-.txt";
  if (!mistakes) {
    texts.line = clean.line_text;
    texts.train = clean.train_text;
    return texts;
  }
  int signals = 0, slow_orders = 0, beyond = 0, misspelt = 0, gradients = 0, line_beyond = 0;
  int signal_index = 0, code_point_index = 0;
  for (const std::string& line : lines_of(clean.train_text)) {
    texts.train += line + "\r\n";
    if (line.starts_with("segnale,")) {
      const int kind = signal_index++ % 8;
      if (kind % 2 == 0 && kind < 6 && signals < kTakenSignals) {
        texts.train += line + "\r\n";
        ++signals;
      } else if (kind % 2 == 1 && kind < 6 && slow_orders < kTakenSlowOrders) {
        texts.train += "rallentamento,   " + position_of(line) + ",    40,  400, 0,  0,  0\r\n";
        ++slow_orders;
      }
    } else if (line.starts_with("abbattimento,")) {
      const int kind = code_point_index++ % 8;
      if (kind == 0 && beyond < kTrainBeyond) {
        texts.train += "abbattimento,   1100000,   270\r\n";
        ++beyond;
      } else if (kind == 4 && misspelt < kMisspelt) {
        texts.train += "segnlae,   " + position_of(line) + "\r\n";
        ++misspelt;
      }
    }
  }
  for (const std::string& line : lines_of(clean.line_text)) {
    texts.line += line + "\r\n";
    if (line.starts_with("pendenza,") && gradients++ % 30 == 0 && line_beyond < kLineBeyond) {
      texts.line += "pendenza,   1100000,   0\r\n";
      ++line_beyond;
    }
  }
  return texts;
}

// The clean check of the longest generated route.
void BM_CheckLongestRouteClean(benchmark::State& state) {
  const AuthorTexts texts = texts_with_mistakes(false);
  Compilation c;
  c.CollectWarnings = true;
  const CompileReport report = make_report(c, compile_author_texts(c, texts, 1));
  if (!report.errors.empty() || !report.warnings.empty()) {
    state.SkipWithError("the generated scenario is not clean");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(check_once(texts, 1000000));
}
BENCHMARK(BM_CheckLongestRouteClean)->Unit(benchmark::kMillisecond);

// The same route with 1000 mistakes (750 errors, 250 warnings), every one reported in one pass
// with the warning cap lifted: the target is within 3 times the clean check.
void BM_CheckLongestRouteWith1000Mistakes(benchmark::State& state) {
  const AuthorTexts texts = texts_with_mistakes(true);
  Compilation c;
  c.CollectWarnings = true;
  const CompileReport report = make_report(c, compile_author_texts(c, texts, 1));
  state.counters["errors"] = static_cast<double>(report.errors.size());
  state.counters["warnings"] = static_cast<double>(report.warnings.size());
  if (report.errors.size() != kErrors || report.warnings.size() != kMisspelt) {
    state.SkipWithError("the pass does not report every mistake");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(check_once(texts, 1000000));
}
BENCHMARK(BM_CheckLongestRouteWith1000Mistakes)->Unit(benchmark::kMillisecond);

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
