// The language server's answer to an edit: the time from a didChange arriving on its input to the
// publishDiagnostics of that document leaving on its output, on the texts of the longest
// generated route, over 100 edits (alternately of the line and the train text); the median and
// the 99th percentile are the counters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <deque>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "bench/scenario_generator.h"
#include "compiler/source_text.h"
#include "lsp/json_rpc.h"
#include "lsp/server.h"
#include "platform/file_layer.h"

namespace scengen {
namespace {

using Clock = std::chrono::steady_clock;
using lsp::Json;

constexpr int kEdits = 100;

std::string framed(const Json& message) {
  const std::string body = lsp::serialize(message);
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Hands the server one message at a time, noting when each edit is handed over.
class ScriptInput : public std::streambuf {
 public:
  void add(std::string message, bool edit) { messages_.push_back({std::move(message), edit}); }
  std::vector<Clock::time_point> edits_handed;

 protected:
  int_type underflow() override {
    if (messages_.empty()) return traits_type::eof();
    current_ = std::move(messages_.front().bytes);
    if (messages_.front().edit) edits_handed.push_back(Clock::now());
    messages_.pop_front();
    setg(current_.data(), current_.data(), current_.data() + current_.size());
    return traits_type::to_int_type(current_[0]);
  }

 private:
  struct Message {
    std::string bytes;
    bool edit;
  };
  std::deque<Message> messages_;
  std::string current_;
};

// Notes when each publishDiagnostics the server flushes leaves, and for which document.
class AnswerOutput : public std::streambuf {
 public:
  struct Publication {
    Clock::time_point at;
    std::string uri;
  };
  std::vector<Publication> published;

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    return n;
  }
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) pending_.push_back(static_cast<char>(ch));
    return traits_type::not_eof(ch);
  }
  // The server flushes once per message.
  int sync() override {
    const auto at = Clock::now();
    const size_t body = pending_.find("\r\n\r\n");
    if (pending_.find("\"textDocument/publishDiagnostics\"") != std::string::npos &&
        body != std::string::npos) {
      published.push_back({at, Json::parse(pending_.substr(body + 4))["params"]["uri"]});
    }
    pending_.clear();
    return 0;
  }

 private:
  std::string pending_;
};

Json open_message(const std::string& uri, const std::string& text) {
  return {{"jsonrpc", "2.0"},
          {"method", "textDocument/didOpen"},
          {"params", {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}}}};
}

Json change_message(const std::string& uri, const std::string& text, int version) {
  return {{"jsonrpc", "2.0"},
          {"method", "textDocument/didChange"},
          {"params",
           {{"textDocument", {{"uri", uri}, {"version", version}}},
            {"contentChanges", Json::array({{{"text", text}}})}}}};
}

// A comment line after the header: the whole pair compiles again, as after any edit.
std::string with_comment(const std::string& text, int edit) {
  std::string edited = text;
  edited.insert(edited.find('\n') + 1, "-- edit " + std::to_string(edit) + "\r\n");
  return edited;
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const size_t at = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(at, values.size() - 1)];
}

void BM_LspEditToDiagnostics(benchmark::State& state) {
  const GeneratedScenario scenario = generate_scenario(kLongestGeneratedRoute);
  const std::string line = utf8_from_windows_1252(scenario.line_text);
  const std::string train = utf8_from_windows_1252(scenario.train_text);
  const std::string line_uri = "file:///bench/Percorso_Prova_linea.txt";
  const std::string train_uri = "file:///bench/Percorso_Prova_99001-.txt";
  for (auto _ : state) {
    ScriptInput input;
    input.add(framed({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", Json::object()}}), false);
    input.add(framed(open_message(line_uri, line)), false);
    input.add(framed(open_message(train_uri, train)), false);
    for (int edit = 0; edit < kEdits; ++edit) {
      const bool of_line = edit % 2 == 0;
      input.add(framed(change_message(of_line ? line_uri : train_uri,
                                      with_comment(of_line ? line : train, edit), edit + 2)),
                true);
    }
    input.add(framed({{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}}), false);
    input.add(framed({{"jsonrpc", "2.0"}, {"method", "exit"}}), false);
    AnswerOutput output;
    std::istream in(&input);
    std::ostream out(&output);
    benchmark::DoNotOptimize(lsp::run_language_server(in, out, system_files()));
    // Each edit publishes both texts; its time runs to the publication of the text edited.
    std::vector<double> milliseconds;
    size_t next = 0;
    for (int edit = 0; edit < kEdits && edit < static_cast<int>(input.edits_handed.size()); ++edit) {
      const Clock::time_point handed = input.edits_handed[static_cast<size_t>(edit)];
      const std::string& edited = edit % 2 == 0 ? line_uri : train_uri;
      while (next < output.published.size() &&
             (output.published[next].at < handed || output.published[next].uri != edited)) {
        ++next;
      }
      if (next == output.published.size()) break;
      milliseconds.push_back(
          std::chrono::duration<double, std::milli>(output.published[next].at - handed).count());
    }
    if (milliseconds.size() != kEdits) {
      state.SkipWithError("the server did not publish the edited text after every edit");
      return;
    }
    state.counters["median_ms"] = percentile(milliseconds, 0.5);
    state.counters["p99_ms"] = percentile(milliseconds, 0.99);
  }
}
BENCHMARK(BM_LspEditToDiagnostics)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scengen
