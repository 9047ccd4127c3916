// Writes the seed corpus of the fuzz targets: the built-in scenario's two texts, and every pair of
// texts in testdata/codes (each reaches one error code), as line text, NUL, train text.
//   fuzz_seeds <testdata folder> <corpus folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

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
  fs::create_directories(compile);
  fs::create_directories(fields);

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
