// The cap on the warnings a compile keeps: past it they are counted, so a text of a million broken
// lines costs the memory of a few.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "compiler/compilation.h"
#include "compiler/compile.h"
#include "compiler/description_texts.h"

namespace scengen {
namespace {

// A clean route of 5000 m; the train text carries `broken` lines that match no record.
CompileOutcome compile_with(Compilation& c, int broken, std::string_view line = "zzz") {
  std::string train = "[generale]\r\n";
  for (int i = 0; i < broken; ++i) train += std::string(line) + "\r\n";
  train += "velocita, 0, 30\r\naderenza, 0, 96\r\n[fine]\r\n";
  MemoryTexts texts("[generale]\r\nlunghezza percorso, 5000\r\n[fine]\r\n", train);
  return compile_scenario(c, texts, 0);
}

// The same route with the broken lines in the line text's general and feature sections.
CompileOutcome compile_line_with(Compilation& c, int broken, std::string_view line) {
  std::string general, features;
  for (int i = 0; i < broken; ++i) {
    general += std::string(line) + "\r\n";
    features += std::string(line) + "\r\n";
  }
  MemoryTexts texts("[generale]\r\n" + general + "lunghezza percorso, 5000\r\n[pendenze]\r\n" +
                        features + "[fine]\r\n",
                    "[generale]\r\nvelocita, 0, 30\r\naderenza, 0, 96\r\n[fine]\r\n");
  return compile_scenario(c, texts, 0);
}

TEST(WarningCap, KeepsTheFirstWarningsAndCountsTheRest) {
  struct Case {
    size_t cap;
    int broken;
    size_t kept;
    size_t left_out;
  };
  const Case cases[] = {{3, 10, 3, 7}, {10, 10, 10, 0}, {0, 4, 0, 4}, {SIZE_MAX, 200, 200, 0}};
  for (const Case& k : cases) {
    Compilation c;
    c.CollectWarnings = true;
    c.MaxWarnings = k.cap;
    compile_with(c, k.broken);
    EXPECT_EQ(c.Warnings.size(), k.kept) << k.cap;
    EXPECT_EQ(c.WarningsLeftOut, k.left_out) << k.cap;
    if (k.kept > 0) {
      EXPECT_EQ(c.Warnings.front().where.line, 2);  // the first are kept
    }
  }
}

// A line warns once, however many of its fields match nothing; beyond the cap it is counted once
// too, so that "N more" says how many lines are wrong.
TEST(WarningCap, ALineOfSeveralUnknownFieldsCountsOnceBeyondTheCap) {
  const auto count = [](size_t cap, const auto& compile) {
    Compilation c;
    c.CollectWarnings = true;
    c.MaxWarnings = cap;
    compile(c);
    return c.Warnings.size() + c.WarningsLeftOut;
  };
  for (const std::string_view line : {"zzz, yyy, xxx", "segnal, 500, 1, 2, 3"}) {
    const auto train = [&](Compilation& c) { compile_with(c, 4, line); };
    const auto route = [&](Compilation& c) { compile_line_with(c, 4, line); };
    EXPECT_EQ(count(SIZE_MAX, train), 4u) << line;
    EXPECT_EQ(count(0, train), 4u) << line;
    EXPECT_EQ(count(1, train), 4u) << line;
    EXPECT_EQ(count(SIZE_MAX, route), 8u) << line;
    EXPECT_EQ(count(0, route), 8u) << line;
    EXPECT_EQ(count(3, route), 8u) << line;
  }
}

TEST(WarningCap, ANewCompileCountsAfresh) {
  Compilation c;
  c.CollectWarnings = true;
  c.MaxWarnings = 1;
  compile_with(c, 5);
  EXPECT_EQ(c.WarningsLeftOut, 4u);
  compile_with(c, 2);
  EXPECT_EQ(c.Warnings.size(), 1u);
  EXPECT_EQ(c.WarningsLeftOut, 1u);
  // Without collecting, nothing is kept or counted.
  c.CollectWarnings = false;
  compile_with(c, 5);
  EXPECT_TRUE(c.Warnings.empty());
  EXPECT_EQ(c.WarningsLeftOut, 0u);
}

}  // namespace
}  // namespace scengen
