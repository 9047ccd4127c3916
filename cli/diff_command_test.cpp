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
  ASSERT_EQ(r.err_lines().size(), 2u) << r.err;
  EXPECT_NE(r.err.find("no route plan"), std::string::npos) << r.err;
}

TEST_F(Diff, InputsThatCannotBeCompared) {
  write("short.dat", "1234567");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{"diff", "missing.dat", "old/" + kTrack}, 4, "cannot read"},
      // Not a scenario is not "differ": the status says the input could not be compared.
      {{"diff", "short.dat", "old/" + kTrack}, 4, "is not a compiled track"},
      {{"diff", "old/" + kTrack, "old/" + kLine}, 2, "needs its train description"},
      {{"diff", "old/" + kTrack, "notes.pdf"}, 2, "neither a compiled track"},
      {{"diff", "old/" + kTrack, "old/" + kTrack, "--old-table", "missing.sim"}, 4, "cannot read"},
      {{"diff", "old/" + kTrack, "old/" + kTrack, "--new-table", "short.dat"}, 4,
       "is not a scenario table"},
      {{"diff", "old/" + kTrack, "old/" + kTrack, "--old-plan", "short.dat"}, 4,
       "is not a route plan"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = scengen(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1] << " " << c.args[2];
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.err_lines().size(), 1u) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace scengen
