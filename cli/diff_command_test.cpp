// scengen diff on the built-in scenario's files and texts, one of them edited.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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
