// scengen_watch_benchmarks: how long `scengen watch` takes from a save of a text to the three
// files written and to the page's event sent, beside the compile alone (in memory) and
// `scengen compile` (reading, compiling and writing the files durably), for the built-in
// scenario and the longest generated route. A timing tool, not a test: it prints a table.
//   scengen_watch_benchmarks SCENGEN [ROUNDS]
#include <fcntl.h>
#include <httplib.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/scenario_generator.h"
#include "compiler/compile.h"
#include "compiler/description_texts.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Scenario {
  std::string name;
  std::string route;
  std::string train;
  std::string line_text;
  std::string train_text;
};

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string read_file(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// The compile alone, in memory: the best of `rounds`.
double compile_ms(const Scenario& s, int rounds) {
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    scengen::Compilation c;
    c.RouteId = s.route;
    c.TrainNumber = s.train;
    scengen::MemoryTexts texts(s.line_text, s.train_text);
    const auto start = Clock::now();
    scengen::compile_scenario(c, texts, 1);
    best = std::min(best, ms(Clock::now() - start));
  }
  return best;
}

// The inode of each compiled file: a replacement gives it a new one.
std::vector<ino_t> file_identities(const std::vector<fs::path>& files) {
  std::vector<ino_t> all;
  for (const auto& file : files) {
    struct stat status {};
    all.push_back(::stat(file.c_str(), &status) == 0 ? status.st_ino : 0);
  }
  return all;
}

pid_t start_watch(const std::string& scengen, const fs::path& folder, const Scenario& s) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(120);
    const int err = open("watch-err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, STDERR_FILENO);
    const std::string line = s.route + "_linea.txt", train = s.route + "_" + s.train + "-.txt";
    execl(scengen.c_str(), scengen.c_str(), "watch", line.c_str(), train.c_str(), "--out", "out",
          static_cast<char*>(nullptr));
    _exit(121);
  }
  return pid;
}

// Waits for the watch's first compile and returns the page's port (0: it did not start).
int wait_for_start(const fs::path& folder) {
  for (int i = 0; i < 6000; ++i) {
    const std::string err = read_file(folder / "watch-err");
    std::smatch match;
    if (err.find("waiting for a save") != std::string::npos &&
        std::regex_search(err, match, std::regex("127\\.0\\.0\\.1:([0-9]+)/"))) {
      return std::stoi(match[1]);
    }
    std::this_thread::sleep_for(10ms);
  }
  return 0;
}

struct Timings {
  std::vector<double> files;
  std::vector<double> event;
  double compile_command = 0;  // `scengen compile` of the same texts into the same folder, best
};

// `scengen compile` as a process, the best of five: what a save costs without the watch.
double compile_command_ms(const std::string& scengen, const fs::path& folder, const Scenario& s) {
  const std::string command = "cd '" + folder.string() + "' && '" + scengen + "' compile '" +
                              s.route + "_linea.txt' '" + s.route + "_" + s.train +
                              "-.txt' --out out --quiet";
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    best = std::min(best, ms(Clock::now() - start));
  }
  return best;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double worst(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

// Saves the train text `rounds` times (in place, one byte more or less each time) and times
// each save to the last of the three files replaced and to the event on the page's stream.
Timings time_saves(const std::string& scengen, const Scenario& s, int rounds) {
  const fs::path folder = fs::temp_directory_path() / ("scengen-watch-bench-" + s.name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path train_path = folder / (s.route + "_" + s.train + "-.txt");
  write_file(folder / (s.route + "_linea.txt"), s.line_text);
  write_file(train_path, s.train_text);
  const std::vector<fs::path> outputs = {folder / "out" / (s.route + "_linea.dat"),
                                         folder / "out" / (s.route + "_" + s.train + ".sim"),
                                         folder / "out" / (s.route + "_" + s.train + ".dat")};
  const double compile_command = compile_command_ms(scengen, folder, s);
  const pid_t pid = start_watch(scengen, folder, s);
  const int port = wait_for_start(folder);
  if (port == 0) std::cerr << "scengen watch did not start:\n" << read_file(folder / "watch-err");
  Timings timings;
  timings.compile_command = compile_command;
  std::atomic<int> events{0};
  std::atomic<Clock::rep> last_event{0};
  std::thread listener([&] {
    httplib::Client client("127.0.0.1", port);
    client.Get("/events", [&](const char* data, size_t length) {
      if (std::string(data, length).find("data:") != std::string::npos) {
        last_event = Clock::now().time_since_epoch().count();
        ++events;
      }
      return true;
    });
  });
  while (port != 0 && events == 0) std::this_thread::sleep_for(1ms);
  for (int round = 0; port != 0 && round < rounds; ++round) {
    std::this_thread::sleep_for(300ms);
    const auto before = file_identities(outputs);
    const int seen = events;
    const auto saved = Clock::now();
    write_file(train_path, s.train_text + (round % 2 == 0 ? "\r\n" : ""));
    Clock::time_point written{};
    while (ms(Clock::now() - saved) < 60000) {
      const auto now = file_identities(outputs);
      bool all = true;
      for (size_t i = 0; i < now.size(); ++i) all = all && now[i] != before[i];
      if (all && written == Clock::time_point{}) written = Clock::now();
      if (written != Clock::time_point{} && events > seen) break;
      std::this_thread::sleep_for(200us);
    }
    timings.files.push_back(ms(written - saved));
    timings.event.push_back(ms(Clock::time_point(Clock::duration(last_event.load())) - saved));
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  listener.join();
  fs::remove_all(folder);
  return timings;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: scengen_watch_benchmarks SCENGEN [ROUNDS]\n";
    return 2;
  }
  const int rounds = argc > 2 ? std::stoi(argv[2]) : 10;
  const scengen::GeneratedScenario longest =
      scengen::generate_scenario(scengen::kLongestGeneratedRoute);
  const Scenario scenarios[] = {
      {"built-in", "Veltrano_Quarnelo", "58316",
       scengen::emit_line_list(scengen::line_description_lines()),
       scengen::emit_line_list(scengen::train_description_lines())},
      {"1000000m", scengen::kGeneratedRouteId, scengen::kGeneratedTrainNumber, longest.line_text,
       longest.train_text},
  };
  std::printf("%-10s %10s %12s %24s %24s\n", "scenario", "compile ms", "command ms",
              "save->files ms (med/max)", "save->event ms (med/max)");
  for (const Scenario& s : scenarios) {
    const double compile = compile_ms(s, 5);
    // The watch runs in a folder of its own: the program's path must not be relative.
    const Timings t = time_saves(fs::absolute(argv[1]).string(), s, rounds);
    std::printf("%-10s %10.1f %12.1f %13.1f / %8.1f %13.1f / %8.1f\n", s.name.c_str(), compile,
                t.compile_command, median(t.files), worst(t.files), median(t.event),
                worst(t.event));
  }
  return 0;
}
