#include <gtest/gtest.h>

#include "cli/unreadable_plan_test.h"
#include "testing/scengen_process.h"

namespace scengen {
namespace {

using Decompile = testing::ScengenFolder;

constexpr const char* kTrack = "Veltrano_Quarnelo_58316.dat";
constexpr const char* kTable = "Veltrano_Quarnelo_58316.sim";
constexpr const char* kPlan = "Veltrano_Quarnelo_linea.dat";
constexpr const char* kLine = "Veltrano_Quarnelo_linea.txt";
constexpr const char* kTrain = "Veltrano_Quarnelo_58316-.txt";

// The built-in run's files, decompiled into "texts", compiled again into "again": the same bytes.
TEST_F(Decompile, BuiltInFilesComeBackByteForByteWithAndWithoutPlan) {
  ASSERT_EQ(scengen({"run", "--out", "."}).status, 0);
  std::filesystem::create_directories(at("texts"));  // --out names a folder that exists
  for (const bool with_plan : {true, false}) {
    SCOPED_TRACE(with_plan ? "with plan" : "without plan");
    if (!with_plan) std::filesystem::rename(at(kPlan), at("plan.keep"));
    const testing::ProcessResult d = scengen({"decompile", kTrack, "--out", "texts", "--force"});
    ASSERT_EQ(d.status, 0) << d.err;
    const std::string wrote = "scengen: wrote 2 files to 'texts" + testing::kSeparator + "'\n";
    if (with_plan) {
      EXPECT_EQ(d.err, wrote);
    } else {
      EXPECT_EQ(d.err, std::string("scengen decompile: no route plan '") + kPlan +
                           "': the line text has no curves\n" + wrote);
    }
    const std::vector<std::string> compile = {"compile", std::string("texts/") + kLine,
                                              std::string("texts/") + kTrain, "--out", "again"};
    std::vector<std::string> args = compile;
    if (!with_plan) args.push_back("--no-plan");
    std::filesystem::create_directories(at("again"));
    ASSERT_EQ(scengen(args).status, 0);
    for (const char* name : {kTrack, kTable})
      EXPECT_EQ(read(std::string("again/") + name), read(name)) << name;
    if (with_plan) {
      EXPECT_EQ(read(std::string("again/") + kPlan), read(kPlan));
    }
    std::filesystem::remove_all(at("again"));
  }
}

TEST_F(Decompile, DamagedCellIsListedWithItsMetresAndStatus1) {
  ASSERT_EQ(scengen({"run", "--out", "."}).status, 0);
  std::string track = read(kTrack);
  track[700 * 15] = 8;  // cell 700's Kind: unused, no text makes it
  write(kTrack, track);
  const testing::ProcessResult d = scengen({"decompile", kTrack});
  EXPECT_EQ(d.status, 1);
  EXPECT_NE(d.err.find("cell 700 (35000 m) holds Kind 8 (unused), which no text makes"),
            std::string::npos)
      << d.err;
  EXPECT_NE(d.err.find("  cell 700 (35000 m): the file holds unused, the texts give nothing"),
            std::string::npos)
      << d.err;
  EXPECT_TRUE(exists(kLine) && exists(kTrain));  // the best texts are written all the same
}

TEST_F(Decompile, RefusalsInOneLine) {
  ASSERT_EQ(scengen({"run", "--out", "."}).status, 0);
  write("short_1.dat", std::string(31, '\0'));
  write(kLine, "mine");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* line;
  };
  const Case cases[] = {
      {{"decompile", "short_1.dat", "--sim", kTable}, 1,
       "scengen: 'short_1.dat' is not a compiled track: a compiled track is a whole number of "
       "15-byte cells; this file has 31 bytes"},
      {{"decompile", kTrack}, 4,
       "scengen decompile: 'Veltrano_Quarnelo_linea.txt' exists: give --force to replace it"},
      {{"decompile", "track.dat"}, 2,
       "scengen decompile: 'track.dat' is not named ROUTE_TRAIN.dat: give --route and --train"},
  };
  for (const Case& c : cases) {
    const testing::ProcessResult d = scengen(c.args);
    EXPECT_EQ(d.status, c.status) << d.err;
    ASSERT_EQ(d.err_lines().size(), 1u) << d.err;
    EXPECT_EQ(d.err_lines()[0], c.line);
  }
  EXPECT_EQ(read(kLine), "mine");
  EXPECT_EQ(scengen({"decompile", "missing_1.dat"}).status, 4);
}

// A plan beside the track that is there but cannot be read ends the command before any text.
class DecompileUnreadablePlan : public Decompile,
                                public ::testing::WithParamInterface<testing::PlanFault> {};

TEST_P(DecompileUnreadablePlan, Status4AndNothingWritten) {
  if (auto why = testing::plan_fault_unavailable(GetParam())) GTEST_SKIP() << *why;
  ASSERT_EQ(scengen({"run", "--out", "."}).status, 0);
  const std::string plan = read(kPlan);
  std::filesystem::remove(at(kPlan));
  testing::make_plan_fault(GetParam(), at(kPlan), plan);
  const testing::ProcessResult d = scengen({"decompile", kTrack, "--out", "texts"});
  EXPECT_EQ(d.status, 4);
  EXPECT_EQ(d.err, std::string("scengen: cannot read '") + kPlan +
                       "': " + testing::plan_fault_reason(GetParam()) + "\n");
  EXPECT_FALSE(exists("texts"));
}

INSTANTIATE_TEST_SUITE_P(Faults, DecompileUnreadablePlan,
                         ::testing::ValuesIn(testing::kPlanFaults),
                         [](const auto& info) { return testing::plan_fault_name(info.param); });

}  // namespace
}  // namespace scengen
