// Writes the seed corpus of the fuzz targets: the built-in scenario's two texts, and every pair of
// texts in testdata/codes (each reaches one error code), as line text, NUL, train text; the
// binary files compiled from a short route for the file readers.
//   fuzz_seeds <testdata folder> <corpus folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "compiler/compile.h"
#include "compiler/output_files.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) {
    std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", path.string().c_str());
    std::exit(1);
  }
}

// The field reader target reads a script of reads from its input's front, the text after it, and
// the script's length from its last byte.
std::string field_reader_seed(const std::string& script, const std::string& text) {
  return script + text + static_cast<char>(script.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_seeds <testdata folder> <corpus folder>\n");
    return 2;
  }
  const fs::path codes = fs::path(argv[1]) / "codes";
  const fs::path compile = fs::path(argv[2]) / "compile";
  const fs::path fields = fs::path(argv[2]) / "field_reader";
  const fs::path files = fs::path(argv[2]) / "decode";
  fs::create_directories(compile);
  fs::create_directories(fields);
  fs::create_directories(files);

  const std::string line = scengen::emit_line_list(scengen::line_description_lines());
  const std::string train = scengen::emit_line_list(scengen::train_description_lines());
  put(compile / "builtin", line + '\0' + train);
  put(fields / "builtin-line", field_reader_seed("", line));
  put(fields / "builtin-train", field_reader_seed("", train));
  // Text, Long, Integer, Byte in turn, and numbers only.
  put(fields / "builtin-train-mixed", field_reader_seed(std::string("\0\1\2\3", 4), train));
  put(fields / "numbers", field_reader_seed(std::string("\1\2\3", 3),
                                            "2147483647,-2147483648 2147483648\r\n32767,-32768,"
                                            "32768\n255 256 -0 +12 0000000000000000255,\"7\"\r"));

  // The binary files of a 100 m route with a signal, a slow order and a station: small enough
  // for the fuzzer to work on.
  scengen::Compilation c;
  c.RouteId = "R";
  c.TrainNumber = "1";
  scengen::MemoryTexts short_route(
      "[generale]\nlunghezza percorso, 100\n[curve]\ncurvad6, 10, 20\n[fine]\n",
      "[generale]\nsegnale, 1000, 2, 2,3,1, 1, 2, 2,1,1, 0\nrallentamento, 2000, 40, 400, 1, 1, "
      "30\n"
      "stazione, 3000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, S\n[fine]\n");
  if (scengen::compile_scenario(c, short_route, 1).end != scengen::CompileEnd::Sealed) {
    std::fprintf(stderr, "fuzz_seeds: the short route does not compile\n");
    return 1;
  }
  put(files / "track", scengen::encode_track_cells(c.TrackCells));
  put(files / "table", *scengen::encode_scenario_table(c.ScenarioTable));
  put(files / "plan", scengen::encode_route_plan(c.TrackPlan));

  // Each case of testdata/codes is NAME.line and, unless the train text is missing, NAME.train.
  std::map<std::string, std::string> pairs;
  for (const auto& entry : fs::directory_iterator(codes)) {
    if (entry.path().extension() != ".line") continue;
    const fs::path train_path = fs::path(entry.path()).replace_extension(".train");
    std::string seed = slurp(entry.path());
    if (fs::exists(train_path)) seed += '\0' + slurp(train_path);
    put(compile / entry.path().stem(), seed);
  }
  return 0;
}
