// The progress a build shows: the bar on a terminal, plain lines elsewhere.
#include "scenario_set/build_progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace scengen {
namespace {

using std::chrono::seconds;

TEST(ProgressLine, BarCountScenarioAndTimeLeft) {
  const struct {
    size_t done, total;
    std::string at_hand;
    seconds elapsed;
    std::string line;
  } cases[] = {
      {0, 4, "Ponte 7", seconds(0), "[........................] 0/4 Ponte 7"},
      {1, 4, "Ponte 8", seconds(10), "[######..................] 1/4 Ponte 8, 0:30 left"},
      {3, 4, "", seconds(150), "[##################......] 3/4, 0:50 left"},
      {2, 200, "Veltrano_Quarnelo 58316", seconds(100),
       "[........................] 2/200 Veltrano_Quarnelo 58316, 165:00 left"},
      {4, 4, "", seconds(9), "[########################] 4/4"},
      {0, 1, std::string(50, 'x'), seconds(0),
       "[........................] 0/1 " + std::string(37, 'x') + "..."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(progress_line(c.done, c.total, c.at_hand, c.elapsed), c.line);
}

TEST(BuildProgress, PlainLinesAwayFromATerminal) {
  std::ostringstream err;
  BuildProgress progress(err, /*terminal=*/false, 2);
  progress.started("Ponte 7");
  progress.started("Ponte 8");
  progress.ended("Ponte 8", "built", "");
  progress.ended("Ponte 7", "error 16", "a diagnostic\n");
  progress.finish();
  EXPECT_EQ(err.str(), "[1/2] Ponte 8: built\na diagnostic\n[2/2] Ponte 7: error 16\n");
}

}  // namespace
}  // namespace scengen
