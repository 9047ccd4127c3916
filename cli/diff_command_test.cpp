// scengen diff on the built-in scenario's files and texts, one of them edited.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/unreadable_plan_test.h"
#include "testing/scengen_process.h"

namespace scengen {
namespace {

using testing::ProcessResult;
using Json = nlohmann::json;

const std::string kLine = "Veltrano_Quarnelo_linea.txt";
const std::string kTrain = "Veltrano_Quarnelo_58316-.txt";
const std::string kTrack = "Veltrano_Quarnelo_58316.dat";

// The built-in texts in old/ and new/, compiled in old/; new/'s train text has LODI leave a
// minute later.
class Diff : public testing::ScengenFolder {
 protected:
  void SetUp() override {
    ScengenFolder::SetUp();
    for (const char* side : {"old", "new"}) {
      std::filesystem::create_directory(at(side));
      ASSERT_EQ(scengen({"texts", "--out", side}).status, 0);
    }
    ASSERT_EQ(scengen({"compile", "old/" + kLine, "old/" + kTrain, "--out", "old"}).status, 0);
    std::string train = read("new/" + kTrain);
    const size_t at = train.find("9, 2, 0, LODI");
    ASSERT_NE(at, std::string::npos);
    train.replace(at, 13, "9, 3, 0, LODI");
    write("new/" + kTrain, train);
  }
};

TEST_F(Diff, SameScenarioPrintsNothing) {
  // The compiled files against the texts they came from.
  const ProcessResult r = scengen({"diff", "old/" + kTrack, "old/" + kLine, "old/" + kTrain});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST_F(Diff, OneEditIsOneLineUnderItsGroup) {
  const ProcessResult r = scengen({"diff", "old/" + kTrack, "new/" + kLine, "new/" + kTrain});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "stations:\n  station LODI departs 9:03 (was 9:02)\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(Diff, JsonListsEachChangeWithItsParts) {
  const ProcessResult r =
      scengen({"diff", "old/" + kLine, "old/" + kTrain, "new/" + kLine, "new/" + kTrain, "--json"});
  EXPECT_EQ(r.status, 1) << r.err;
  const Json json = Json::parse(r.out);
  EXPECT_EQ(json["identical"], false);
  EXPECT_EQ(json["plans"], Json({{"old", "present"}, {"new", "present"}}));
  EXPECT_EQ(json["curves_compared"], true);
  ASSERT_EQ(json["changes"].size(), 1u);
  EXPECT_EQ(json["changes"][0], Json({{"group", "stations"},
                                      {"change", "changed"},
                                      {"from_m", 35600},
                                      {"to_m", 35600},
                                      {"old", "9:02"},
                                      {"new", "9:03"},
                                      {"text", "station LODI departs 9:03 (was 9:02)"}}));
}

TEST_F(Diff, WithoutAPlanBesideItSaysSoAndComparesTheRest) {
  std::filesystem::remove(at("old/Veltrano_Quarnelo_linea.dat"));
  const ProcessResult r = scengen({"diff", "old/" + kTrack, "old/" + kTrack});
  EXPECT_EQ(r.status, 0);
  // The plan's path is the track's folder joined with its name.
  const std::string line = "scengen diff: no route plan 'old" + testing::kSeparator +
                           "Veltrano_Quarnelo_linea.dat': the curves of old/" + kTrack +
                           " are not compared";
  EXPECT_EQ(r.err_lines(), std::vector<std::string>({line, line}));
}

// Each side's plan in the JSON report; the line for an absent one, and none for --no-plan.
TEST_F(Diff, JsonSaysWhatBecameOfEachPlan) {
  std::filesystem::remove(at("old/Veltrano_Quarnelo_linea.dat"));
  const std::string track = "old/" + kTrack;
  const std::string absent = "scengen diff: no route plan 'old" + testing::kSeparator +
                             "Veltrano_Quarnelo_linea.dat': the curves of old/" + kTrack +
                             " are not compared";
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> err_lines;
    const char* old_plan;
    const char* new_plan;
  };
  const Case cases[] = {
      {{"old/" + kLine, "old/" + kTrain, track}, {absent}, "present", "absent"},
      {{track, track}, {absent, absent}, "absent", "absent"},
      // Asked for: nothing to say.
      {{track, "old/" + kLine, "old/" + kTrain, "--no-plan"}, {}, "left out", "left out"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"diff", "--json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult r = scengen(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err_lines(), c.err_lines);
    const Json json = Json::parse(r.out);
    EXPECT_EQ(json["plans"], Json({{"old", c.old_plan}, {"new", c.new_plan}}));
    EXPECT_EQ(json["curves_compared"], false);
  }
}

// A plan beside a track that is there but cannot be read is not compared as absent.
class DiffUnreadablePlan : public Diff,
                           public ::testing::WithParamInterface<testing::PlanFault> {};

TEST_P(DiffUnreadablePlan, Status4AndOneLine) {
  if (auto why = testing::plan_fault_unavailable(GetParam())) GTEST_SKIP() << *why;
  const std::string plan = "old/Veltrano_Quarnelo_linea.dat";
  const std::string bytes = read(plan);
  std::filesystem::remove(at(plan));
  testing::make_plan_fault(GetParam(), at(plan), bytes);
  const ProcessResult r = scengen({"diff", "old/" + kTrack, "new/" + kLine, "new/" + kTrain});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "scengen: cannot read 'old" + testing::kSeparator +
                       "Veltrano_Quarnelo_linea.dat': " + testing::plan_fault_reason(GetParam()) +
                       "\n");
}

INSTANTIATE_TEST_SUITE_P(Faults, DiffUnreadablePlan, ::testing::ValuesIn(testing::kPlanFaults),
                         [](const auto& info) { return testing::plan_fault_name(info.param); });

TEST_F(Diff, InputsThatCannotBeCompared) {
  write("short.dat", "1234567");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string line;
  };
  const std::string track = "old/" + kTrack;
  const Case cases[] = {
      {{"missing.dat", track}, 4, "scengen: cannot read 'missing.dat': No such file or directory"},
      // Not a scenario is not "differ": the status says the input could not be compared.
      {{"short.dat", track}, 4,
       "scengen: 'short.dat' is not a compiled track: a compiled track is a whole number of "
       "15-byte cells; this file has 7 bytes"},
      {{track, "old/" + kLine}, 2,
       "scengen diff: old/" + kLine + " needs its train description (a second .txt) after it"},
      {{track, "notes.pdf"}, 2,
       "scengen diff: notes.pdf is neither a compiled track (.dat) nor a description text (.txt)"},
      {{track, track, "--old-table", "missing.sim"}, 4,
       "scengen: cannot read 'missing.sim': No such file or directory"},
      {{track, track, "--new-table", "short.dat"}, 4,
       "scengen: 'short.dat' is not a scenario table: a scenario table holds 87 records; this "
       "file ends inside record 0 (7 bytes)"},
      {{track, track, "--old-plan", "short.dat"}, 4,
       "scengen: 'short.dat' is not a route plan: a route plan element's type tag is 0, 2 or 5; "
       "the one at byte 0 is 12849"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"diff"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult r = scengen(args);
    EXPECT_EQ(r.status, c.status) << c.line;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.line + "\n");
  }
}

}  // namespace
}  // namespace scengen
