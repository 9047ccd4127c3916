// The cap on the warnings a compile keeps: past it they are counted, so a text of a million broken
// lines costs the memory of a few.
#include <gtest/gtest.h>

#include <string>

#include "compiler/compilation.h"
#include "compiler/compile.h"
#include "compiler/description_texts.h"

namespace scengen {
namespace {

// A clean route of 5000 m; the train text carries `broken` lines that match no record.
CompileOutcome compile_with(Compilation& c, int broken) {
  std::string train = "[generale]\r\n";
  for (int i = 0; i < broken; ++i) train += "zzz\r\n";
  train += "velocita, 0, 30\r\naderenza, 0, 96\r\n[fine]\r\n";
  MemoryTexts texts("[generale]\r\nlunghezza percorso, 5000\r\n[fine]\r\n", train);
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
