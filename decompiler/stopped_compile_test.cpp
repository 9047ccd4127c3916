// Files of every kind of compile come back: the pairs of testdata/codes, each of which records
// one error, and the inputs the decompile fuzzer found (a line text, a NUL byte and a train
// text). Whenever a compile writes the files, the recovered texts compile to the same bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "compiler/compile.h"
#include "compiler/description_texts.h"
#include "compiler/output_decoding.h"
#include "compiler/output_files.h"
#include "decompiler/decompile.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

// The fuzzer compiles plans only for routes this short.
constexpr size_t kLongestPlannedCells = 20000 / kCellLength;

struct Images {
  std::string plan, table, track;
  int32_t status = 0;
  bool operator==(const Images& o) const {
    return plan == o.plan && table == o.table && track == o.track;
  }
};

std::optional<Images> compile_images(const std::string& line, const std::string& train,
                                     int32_t flag) {
  Compilation c;
  c.RouteId = "Fuzz";
  c.TrainNumber = "1";
  MemoryTexts texts(line, train);
  if (compile_scenario(c, texts, flag).end != CompileEnd::Sealed) return std::nullopt;
  const auto table = encode_scenario_table(c.ScenarioTable);
  if (!table) return std::nullopt;
  Images images;
  if (flag != 0) images.plan = encode_route_plan(c.TrackPlan);
  images.table = *table;
  images.track = encode_track_cells(c.TrackCells);
  images.status = c.StatusCode;
  return images;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

// compile(decompile(files)) == files whenever the texts' compile writes files.
void expect_files_come_back(const std::string& line, const std::string& train) {
  for (const int32_t flag : {0, 1}) {
    SCOPED_TRACE(flag != 0 ? "with plan" : "without plan");
    const std::optional<Images> original = compile_images(line, train, flag);
    if (!original) continue;
    if (flag != 0 && original->track.size() / kCellBytes > kLongestPlannedCells) continue;
    CompiledFiles files;
    files.cells = *decode_track_cells(original->track).value;
    files.table = *decode_scenario_table(original->table).value;
    if (flag != 0) files.plan = original->plan;
    const Decompilation d = decompile(files, "Fuzz", "1");
    EXPECT_TRUE(d.exact()) << "compile status " << original->status << "\n"
                           << joined(d.notes) << joined(d.differences);
    const std::optional<Images> again = compile_images(d.line_text, d.train_text, flag);
    ASSERT_TRUE(again.has_value()) << d.line_text << d.train_text;
    EXPECT_TRUE(*again == *original) << d.line_text << d.train_text;
  }
}

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(StoppedCompileTest, EveryErrorCodesPairComesBack) {
  const fs::path codes = fs::path(SCENGEN_TESTDATA) / "codes";
  size_t pairs = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(codes)) {
    if (entry.path().extension() != ".line") continue;
    fs::path train = entry.path();
    train.replace_extension(".train");
    if (!fs::exists(train)) continue;
    SCOPED_TRACE(entry.path().filename().string());
    expect_files_come_back(contents(entry.path()), contents(train));
    ++pairs;
  }
  EXPECT_GT(pairs, 0u) << "no pair found in " << codes;
}

TEST(StoppedCompileTest, FuzzFindingsComeBack) {
  const fs::path findings = fs::path(SCENGEN_TESTDATA) / "decompile-findings";
  for (const fs::directory_entry& entry : fs::directory_iterator(findings)) {
    SCOPED_TRACE(entry.path().filename().string());
    const std::string input = contents(entry.path());
    const size_t nul = input.find('\0');
    ASSERT_NE(nul, std::string::npos);
    expect_files_come_back(input.substr(0, nul), input.substr(nul + 1));
  }
}

}  // namespace
}  // namespace scengen
