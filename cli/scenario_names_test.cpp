#include "cli/scenario_names.h"

#include <gtest/gtest.h>

namespace scengen {
namespace {

TEST(ScenarioNames, RouteAndTrainFromTheTextsNames) {
  EXPECT_EQ(route_from_line_text("work/Veltrano_Quarnelo_linea.txt"), "Veltrano_Quarnelo");
  EXPECT_EQ(route_from_line_text("Ponte_linea.txt"), "Ponte");
  EXPECT_FALSE(route_from_line_text("_linea.txt"));
  EXPECT_FALSE(route_from_line_text("Ponte_linea.txt/x"));
  EXPECT_FALSE(route_from_line_text("Ponte-linea.txt"));
  EXPECT_FALSE(route_from_line_text("line.txt"));

  EXPECT_EQ(train_from_train_text("work/Veltrano_Quarnelo_58316-.txt", "Veltrano_Quarnelo"),
            "58316");
  EXPECT_EQ(train_from_train_text("Ponte_R_2101-.txt", "Ponte"), "R_2101");
  EXPECT_FALSE(train_from_train_text("Ponte_-.txt", "Ponte"));
  EXPECT_FALSE(train_from_train_text("Monte_2101-.txt", "Ponte"));
  EXPECT_FALSE(train_from_train_text("Ponte_2101.txt", "Ponte"));
}

TEST(ScenarioNames, OnlyPlainNamesCanNameFiles) {
  for (const char* good : {"Veltrano_Quarnelo", "58316", "a b", "n\xB0"}) {
    EXPECT_TRUE(names_a_file(good)) << good;
  }
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "c:", "a*", "a\tb", "x\"y"}) {
    EXPECT_FALSE(names_a_file(bad)) << bad;
  }
}

}  // namespace
}  // namespace scengen
