// `scengen render` as a user meets it: the built-in scenario's pictures and page in the current
// folder, and what the command refuses. The drawing itself is tested in render/.
#include <gtest/gtest.h>

#include "testing/scengen_process.h"

namespace scengen {
namespace {

using testing::ProcessResult;
using RenderProcess = testing::ScengenFolder;

TEST_F(RenderProcess, DrawsTheBuiltInScenarioIntoTheCurrentFolder) {
  const ProcessResult r = scengen({"render"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* name : {"Veltrano_Quarnelo_map.svg", "Veltrano_Quarnelo_58316_profile.svg",
                           "Veltrano_Quarnelo_58316.html"}) {
    EXPECT_TRUE(exists(name)) << name;
  }
  EXPECT_EQ(r.err, "scengen: wrote 3 files to the current folder\n");
  EXPECT_EQ(read("Veltrano_Quarnelo_map.svg").rfind("<?xml", 0), 0u);
  EXPECT_EQ(r.out, "");
}

TEST_F(RenderProcess, AuthorsTextsAreOnlyReadAndNeedAnIdentity) {
  const ProcessResult texts = scengen({"texts"});
  ASSERT_EQ(texts.status, 0) << texts.err;
  const std::string line = read("Veltrano_Quarnelo_linea.txt");
  const ProcessResult r = scengen(
      {"render", "Veltrano_Quarnelo_linea.txt", "Veltrano_Quarnelo_58316-.txt", "--out", "."});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(exists("Veltrano_Quarnelo_58316.html"));
  EXPECT_EQ(read("Veltrano_Quarnelo_linea.txt"), line);
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {{"render", "Veltrano_Quarnelo_linea.txt"}, "both"},
      {{"render", "Veltrano_Quarnelo_linea.txt", "other-.txt"}, "--route"},
      {{"render", "a", "b", "--route", "a/b", "--train", "1"}, "'a/b'"},
  };
  for (const Case& c : cases) {
    const ProcessResult refused = scengen(c.args);
    EXPECT_EQ(refused.status, 2) << c.says;
    EXPECT_NE(refused.err.find(c.says), std::string::npos) << refused.err;
  }
}

}  // namespace
}  // namespace scengen
