// scengen-build-bench: whole-process timings of `scengen build` on a generated set of 200
// scenarios (40 routes of 100 to 139 km, 5 trains each): the full build on 1 and on 2 threads,
// and a build with nothing to do.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench/scenario_generator.h"
#include "platform/file_layer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRoutes = 40;
constexpr int kTrainsPerRoute = 5;
constexpr int kNothingToDoRuns = 9;

// Writes the set: route Percorso_NN with its line text and five trains of the same text.
void write_set(const fs::path& source) {
  scengen::FileLayer& files = scengen::system_files();
  for (int r = 0; r < kRoutes; ++r) {
    const std::string route = "Percorso_" + std::to_string(10 + r);
    const fs::path folder = source / ("group" + std::to_string(r % 4));
    fs::create_directories(folder);
    const auto scenario = scengen::generate_scenario(100000 + 1000 * r);
    files.write_replacing(folder / (route + "_linea.txt"), scenario.line_text);
    for (int t = 0; t < kTrainsPerRoute; ++t) {
      files.write_replacing(folder / (route + "_" + std::to_string(2101 + t) + "-.txt"),
                            scenario.train_text);
    }
  }
}

// Seconds the command took as a whole process; exits when it fails.
double timed(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (status != 0) {
    std::cerr << "scengen-build-bench: failed (" << status << "): " << command << "\n";
    std::exit(1);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: scengen-build-bench SCENGEN WORK_DIR\n"
                 "Writes 200 generated scenarios into WORK_DIR/src and times 'SCENGEN build' on\n"
                 "them: on 1 thread, on 2 threads (target: at least 1.8 times as fast) and with\n"
                 "nothing to do (target: under 100 ms).\n";
    return 2;
  }
  const std::string scengen = argv[1];
  const fs::path work = argv[2];
  fs::remove_all(work);
  write_set(work / "src");
  const std::string build = scengen + " build '" + (work / "src").string() + "' --out '";
  const double one = timed(build + (work / "one").string() + "' -j 1");
  const double two = timed(build + (work / "two").string() + "' -j 2");
  std::vector<double> nothing;
  for (int i = 0; i < kNothingToDoRuns; ++i)
    nothing.push_back(timed(build + (work / "two").string() + "'"));
  std::sort(nothing.begin(), nothing.end());
  const double median = nothing[nothing.size() / 2];
  std::printf("full build, %d scenarios, 1 thread:   %.2f s\n", kRoutes * kTrainsPerRoute, one);
  std::printf("full build, %d scenarios, 2 threads:  %.2f s  (%.2fx; target at least 1.8x)\n",
              kRoutes * kTrainsPerRoute, two, one / two);
  std::printf("build with nothing to do (median of %d): %.0f ms (target under 100 ms)\n",
              kNothingToDoRuns, median * 1000);
  return 0;
}
