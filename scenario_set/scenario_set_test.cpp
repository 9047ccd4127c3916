// Finding a set in a folder tree: routes and their trains beside them, in order, and the
// mistakes that leave scenarios out.
#include "scenario_set/scenario_set.h"

#include <gtest/gtest.h>

#include "testing/scratch_folder.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

class FindSet : public ::testing::Test {
 protected:
  void add(const std::string& name) {
    fs::create_directories(scratch_.at(name).parent_path());
    scratch_.write(name, "text");
  }
  // "route/train" of each scenario found, in order.
  std::vector<std::string> found(ScenarioSet& set) {
    set = find_scenario_set(scratch_.path());
    std::vector<std::string> names;
    for (const SetScenario& s : set.scenarios)
      names.push_back(set.routes[s.route].route + "/" + s.train);
    return names;
  }
  std::string shown(const std::string& name) { return "'" + scratch_.at(name).string() + "'"; }

  testing::ScratchFolder scratch_{"set"};
};

TEST_F(FindSet, TrainsBesideTheirLineTextInEveryFolder) {
  for (const char* name :
       {"b/Ponte_linea.txt", "b/Ponte_8-.txt", "b/Ponte_10-.txt", "b/Ponte_scheda_treno.txt",
        "b/Ponte_8_note.txt", "a/x/Alto_Colle_linea.txt", "a/x/Alto_linea.txt",
        "a/x/Alto_Colle_3-.txt", "a/x/Alto_4-.txt"}) {
    add(name);
  }
  ScenarioSet set;
  // The longest route that fits a name takes it: Alto_Colle_3-.txt is train 3 of Alto_Colle.
  EXPECT_EQ(found(set),
            (std::vector<std::string>{"Alto/4", "Alto_Colle/3", "Ponte/10", "Ponte/8"}));
  EXPECT_EQ(set.routes.size(), 3u);
  EXPECT_TRUE(set.mistakes.empty());
  EXPECT_EQ(set.routes[set.scenarios[0].route].line_text, scratch_.at("a/x/Alto_linea.txt"));
  EXPECT_EQ(set.scenarios[0].train_text, scratch_.at("a/x/Alto_4-.txt"));
}

TEST_F(FindSet, MistakesLeaveTheirScenariosOut) {
#ifdef _WIN32
  GTEST_SKIP() << "its names that differ in letter case only are one file on Windows";
#endif
  for (const char* name :
       {"a/Ponte_linea.txt", "a/Ponte_1-.txt", "b/Ponte_2-.txt", "c/Solo_3-.txt",
        "d/Riva_linea.txt", "d/Riva_X-.txt", "d/Riva_x-.txt", "d/Riva_y-.txt", "e/Lago_B_linea.txt",
        "e/Lago_linea.txt", "e/Lago_B_C-.txt", "e/Lago_B_C_linea.txt"}) {
    add(name);
  }
  ScenarioSet set;
  EXPECT_EQ(found(set), (std::vector<std::string>{"Lago_B/C", "Ponte/1", "Riva/y"}));
  EXPECT_EQ(set.mistakes,
            (std::vector<std::string>{
                "the train text " + shown("b/Ponte_2-.txt") +
                    " is not beside the line text of its route, " + shown("a/Ponte_linea.txt") +
                    ": it is not built",
                "the train text " + shown("c/Solo_3-.txt") +
                    " has no line text of its route (ROUTE_linea.txt) beside it: it is not built",
                "route 'Riva' train 'X' and route 'Riva' train 'x' would write 'Riva_X.sim' and "
                "'Riva_x.sim', one file on Windows (letter case only): neither is built",
            }));
}

TEST_F(FindSet, NamesThatCollideExactlyOrInCase) {
  // Route A_B train C and route A train B_C both write A_B_C.sim; Lago and LAGO share a plan.
  for (const char* name :
       {"a/A_B_linea.txt", "a/A_B_C-.txt", "b/A_linea.txt", "b/A_B_C-.txt", "c/Lago_linea.txt",
        "c/Lago_1-.txt", "d/LAGO_linea.txt", "d/Ville_linea.txt", "d/Ville_1-.txt"}) {
    add(name);
  }
  ScenarioSet set;
  EXPECT_EQ(found(set), std::vector<std::string>{"Ville/1"});
  EXPECT_EQ(set.mistakes,
            (std::vector<std::string>{
                "route 'LAGO' and route 'Lago' would write 'LAGO_linea.dat' and 'Lago_linea.dat', "
                "one file on Windows (letter case only): neither is built",
                "route 'A_B' train 'C' and route 'A' train 'B_C' would both write 'A_B_C.sim': "
                "neither is built",
            }));
  EXPECT_EQ(set.routes.size(), 3u);  // A, A_B and Ville: only their scenarios collide
}

TEST(FolderIsWithin, ComparesWholeFolderNames) {
  const struct {
    const char* inner;
    const char* outer;
    bool within;
  } cases[] = {
      {"src", "src", true},         {"src/out", "src", true}, {"src/../src/out", "src/", true},
      {"srcout", "src", false},     {"out", "src", false},    {"src", "src/out", false},
      {"./src/a/b", "src/a", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(folder_is_within(c.inner, c.outer), c.within) << c.inner << " " << c.outer;
}

}  // namespace
}  // namespace scengen
