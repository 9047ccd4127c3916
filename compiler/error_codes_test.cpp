// Every code of the catalogue reached by a whole compile, as the run does it (with the route
// plan), from a pair of description texts in testdata/codes. The same pairs seed the fuzzers.
#include "compiler/error_codes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "compiler/compile.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

const fs::path kCodes = fs::path(SCENGEN_TESTDATA) / "codes";

struct Case {
  const char* fixture;  // NAME.line and NAME.train; a missing file is a missing text
  int32_t code;
  int32_t position;  // StatusPosition afterwards: 0 for the codes that record none
};

// Route 2000 m unless the fixture says otherwise: cells 0 to 180.
const Case kCases[] = {
    {"1-route-longer-than-1000000", 1, 0},
    {"2-reference-off-the-grid", 2, 0},
    {"3-repetition-start-off-the-grid", 3, 0},
    {"4-repetition-end-off-the-grid", 4, 0},
    {"5-repetition-without-count", 5, 0},
    {"6-information-board-on-a-taken-cell", 6, 1000},
    {"7-code-point-on-a-taken-cell", 7, 1000},
    {"8-station-off-the-grid", 8, 1025},
    {"9-station-length-off-the-grid", 9, 1000},
    // 77 board texts leave slots 1 and 2: the second station reaches slot 3.
    {"10-stations-reach-the-board-slots", 10, 0},
    // Boards in cells 29 and 28 before the signal in cell 30, 7 cells before the warning board.
    {"11-signal-before-warning-board-without-cell", 11, 1500},
    // Boards in cells 16, 15 and 14, the first group before the start in cell 21.
    {"12-no-cell-before-slow-order-start", 12, 1050},
    // Boards in cells 28 to 30, eight cells along the 40 km/h order from cell 21.
    {"13-no-cell-along-slow-order", 13, 1450},
    {"15-speed-step-beyond-track", 15, 8901},
    {"16-signal-on-a-taken-cell", 16, 1000},
    {"17-warning-board-cell-taken", 17, 3000},
    {"18-slow-order-start-taken", 18, 1000},
    {"19-slow-order-end-taken", 19, 1000},
    {"20-approach-board-cell-taken", 20, 3000},
    {"21-speed-board-on-a-taken-cell", 21, 1000},
    {"22-station-too-close", 22, 1400},
    {"24-station-within-first-100-m", 24, 0},
    {"25-empty-line-text", 25, 0},
    {"25-train-ends-inside-record", 25, 0},
    {"25-integer-too-large", 25, 0},
    {"25-train-text-missing", 25, 0},
    {"101-line-text-missing", 101, 0},
    {"102-no-general-section", 102, 0},
    {"103-curve-without-class", 103, 0},
    {"1250-first-seal-field-set", 1250, 0},
    {"1251-second-seal-field-set", 1251, 0},
};

std::optional<std::string> read_fixture(const fs::path& path) {
  if (!fs::exists(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ErrorCodes, EachIsReachedFromItsTexts) {
  for (const Case& test : kCases) {
    const fs::path base = kCodes / test.fixture;
    MemoryTexts texts(read_fixture(fs::path(base).concat(".line")),
                      read_fixture(fs::path(base).concat(".train")));
    Compilation c;
    c.RouteId = "Veltrano_Quarnelo";
    c.TrainNumber = "58316";
    const CompileOutcome outcome = compile_scenario(c, texts, 1);
    if (test.code == 1250 || test.code == 1251) {
      EXPECT_EQ(outcome.end, CompileEnd::SealError) << test.fixture;
      EXPECT_EQ(outcome.seal_code, test.code) << test.fixture;
      EXPECT_EQ(c.StatusCode, 0) << test.fixture;
    } else {
      EXPECT_EQ(c.StatusCode, test.code) << test.fixture;
      EXPECT_EQ(c.StatusPosition, test.position) << test.fixture;
    }
  }
}

// A report names the catalogue's text for an error that points at no place: the text must be the
// one the error's own place lies in whenever the compile notes a place.
TEST(ErrorCodes, TheCataloguesTextIsWhereTheErrorPoints) {
  for (const Case& test : kCases) {
    const fs::path base = kCodes / test.fixture;
    MemoryTexts texts(read_fixture(fs::path(base).concat(".line")),
                      read_fixture(fs::path(base).concat(".train")));
    Compilation c;
    c.RouteId = "Veltrano_Quarnelo";
    c.TrainNumber = "58316";
    c.CollectWarnings = true;
    // A seal error after the code points at the seal's cell instead.
    if (compile_scenario(c, texts, 1).end == CompileEnd::SealError) continue;
    const ErrorCodeInfo* info = find_error_code(test.code);
    ASSERT_NE(info, nullptr) << test.fixture;
    if (info->text && c.StatusSource && !info->whole_text) {
      EXPECT_EQ(c.StatusSource->text, *info->text) << test.fixture;
    }
  }
}

TEST(ErrorCodes, EveryCatalogueCodeHasAFixtureAndEveryFixtureACase) {
  std::set<int32_t> reached;
  std::set<std::string> listed;
  for (const Case& test : kCases) {
    reached.insert(test.code);
    listed.insert(test.fixture);
  }
  for (int32_t code = 1; code <= 2000; ++code) {
    if (find_error_code(code)) {
      EXPECT_TRUE(reached.count(code)) << "no fixture reaches " << code;
    }
  }
  for (const auto& entry : fs::directory_iterator(kCodes)) {
    EXPECT_TRUE(listed.count(entry.path().stem().string())) << entry.path();
  }
}

TEST(ErrorCodes, TheDescriptionNamesThePositionOnlyWhereTheCodeHasOne) {
  EXPECT_EQ(describe_error(15, 78950), "error 15: a position lies beyond the track (at 78950 m)");
  EXPECT_EQ(describe_error(25, 78950),
            "error 25: a description text cannot be read: a missing text, a malformed or too large "
            "number, the end of the file inside a record, or a table that is full");
  EXPECT_EQ(describe_error(14, 0), "error 14: unknown error");
  EXPECT_EQ(find_error_code(23), nullptr);
}

}  // namespace
}  // namespace scengen
