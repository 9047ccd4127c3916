#include "render/render_command.h"

#include <gtest/gtest.h>

namespace scengen {
namespace {

TEST(IdentityFromNames, TakesTheRouteAndTheTrainFromTheTextNames) {
  struct Case {
    const char* line;
    const char* train;
    const char* route;
    const char* number;
  };
  const Case cases[] = {
      {"dir/Veltrano_Quarnelo_linea.txt", "dir/Veltrano_Quarnelo_58316-.txt", "Veltrano_Quarnelo",
       "58316"},
      {"A_linea.txt", "other/A_9-.txt", "A", "9"},
      {"A_linea.txt", "B_9-.txt", "", ""},  // the train text names another route
      {"A_linea.txt", "A_-.txt", "", ""},   // no train number
      {"_linea.txt", "_9-.txt", "", ""},    // no route
      {"A_line.txt", "A_9-.txt", "", ""},
      {"A_linea.txt", "A_9.txt", "", ""},  // the hyphen is missing
  };
  for (const Case& c : cases) {
    const auto [route, number] = identity_from_names(c.line, c.train);
    EXPECT_EQ(route, c.route) << c.line << " " << c.train;
    EXPECT_EQ(number, c.number) << c.line << " " << c.train;
  }
}

}  // namespace
}  // namespace scengen
