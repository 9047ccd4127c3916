#include "compiler/compile_warnings.h"

#include <gtest/gtest.h>

namespace scengen {
namespace {

const SourceSpot kSpot{TextKind::Train, 7, 3};

Compilation collecting(int32_t route_length = 72000) {
  Compilation c;
  c.CollectWarnings = true;
  c.ScenarioTable[84].Num2 = route_length;
  return c;
}

TEST(CompileWarnings, NothingIsNotedUnlessAskedFor) {
  Compilation c;
  c.ScenarioTable[84].Num2 = 1000;
  warn_unmatched_field(c, kSpot, "segnal");
  warn_rounded_position(c, kSpot, "segnale", 5025);
  warn_beyond_route(c, kSpot, "stazione", 5000);
  SeriesOrder order("velocita");
  order.check(c, kSpot, 500);
  order.check(c, kSpot, 100);
  EXPECT_TRUE(c.Warnings.empty());
}

TEST(CompileWarnings, UnmatchedFieldsExceptHeadersAndEmptyFields) {
  struct Case {
    const char* field;
    bool warns;
  };
  const Case cases[] = {
      {"segnal", true}, {"12", true},   {"[fine]", false},  {"  [CURVE]  ", false},
      {"", false},      {" \t", false}, {"[segnali", true}, {"velocita]", true},
  };
  for (const Case& k : cases) {
    Compilation c = collecting();
    warn_unmatched_field(c, kSpot, k.field);
    ASSERT_EQ(c.Warnings.size(), k.warns ? 1u : 0u) << k.field;
    if (k.warns) {
      EXPECT_EQ(c.Warnings[0].where.line, 7);
      EXPECT_EQ(c.Warnings[0].where.column, 3);
      EXPECT_EQ(c.Warnings[0].where.text, TextKind::Train);
    }
  }
  Compilation c = collecting();
  warn_unmatched_field(c, kSpot, "segnal ");
  EXPECT_EQ(c.Warnings.at(0).message, "'segnal' matches no record and is ignored");
}

// The nearest name within a slip that grows with the name's length (1 up to 4 letters, 2 up to 7,
// 3 from 8); the first of equally near names; never the field itself, whatever its case.
TEST(CompileWarnings, NearKeywordFindsTheSlipNotTheStranger) {
  constexpr std::string_view kNames[] = {"segnale", "stazione", "velocita", "aderenza",
                                         "pendenza", "tunnel",   "curva",    "abcd", "abce"};
  struct Case {
    std::string_view field;
    std::string_view suggestion;
  };
  const Case cases[] = {
      {"segnal", "segnale"},   {" Segnal ", "segnale"},     {"SEGNALE", ""},
      {"stazon", "stazione"},  {"aderenzaxyz", "aderenza"}, {"aderenzaxyzw", ""},
      {"tunel", "tunnel"},     {"tunnnnnel", ""},           {"xurvx", "curva"},
      {"xurxx", ""},           {"abcf", "abcd"},            {"zzz", ""},
      {"pendnza", "pendenza"}, {"pe", ""},                  {"velocitaaderenza", ""},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(near_keyword(k.field, kNames), k.suggestion) << k.field;
  }
}

TEST(CompileWarnings, PositionsRoundedOrBeyondTheRoute) {
  struct Case {
    int32_t position;
    bool rounded;
    bool beyond;
  };
  const Case cases[] = {
      {0, false, false},   {50, false, false},   {72000, false, false}, {25, true, false},
      {9551, true, false}, {72050, false, true}, {72075, true, true},   {-30, false, false},
  };
  for (const Case& k : cases) {
    Compilation rounded = collecting(72000);
    warn_rounded_position(rounded, kSpot, "segnale", k.position);
    EXPECT_EQ(rounded.Warnings.size(), k.rounded ? 1u : 0u) << k.position;
    Compilation beyond = collecting(72000);
    warn_beyond_route(beyond, kSpot, "segnale", k.position);
    EXPECT_EQ(beyond.Warnings.size(), k.beyond ? 1u : 0u) << k.position;
  }
  Compilation c = collecting(72000);
  warn_rounded_position(c, kSpot, "pendenza", 72075);
  warn_beyond_route(c, kSpot, "pendenza", 72075);
  ASSERT_EQ(c.Warnings.size(), 2u);
  EXPECT_EQ(c.Warnings[0].message,
            "'pendenza' at 72075 m is not a multiple of 50: it is compiled at 72100 m");
  EXPECT_EQ(c.Warnings[1].message,
            "'pendenza' at 72075 m lies beyond the end of the route (72000 m)");
}

TEST(CompileWarnings, SeriesMustAscendStrictly) {
  Compilation c = collecting();
  SeriesOrder order("aderenza");
  for (int32_t position : {0, 53950, 55000, 55000, 57000, 56000, 58000}) {
    order.check(c, {TextKind::Train, position / 1000, 1}, position);
  }
  ASSERT_EQ(c.Warnings.size(), 2u);
  EXPECT_EQ(c.Warnings[0].where.line, 55);
  EXPECT_EQ(c.Warnings[0].message,
            "'aderenza' at 55000 m does not come after the previous one at 55000 m: the series "
            "must ascend");
  EXPECT_EQ(c.Warnings[1].where.line, 56);
}

TEST(CompileWarnings, NumberFieldsHoldingMoreThanANumber) {
  struct Case {
    const char* field;
    const char* warning;  // nullptr: none
  };
  const Case cases[] = {
      {"", nullptr},
      {"12", nullptr},
      {"-12", nullptr},
      {"+0012", nullptr},
      {"12x", "'12x' is compiled as 12: the characters after its digits are ignored"},
      {"12.5", "'12.5' is compiled as 12: the characters after its digits are ignored; the values are whole numbers"},
      {"-3m", "'-3m' is compiled as -3: the characters after its digits are ignored"},
      {"abc", "'abc' holds no number and is compiled as 0"},
      {"-", "'-' holds no number and is compiled as 0"},
      {"\"12\"", "'\"12\"' holds no number and is compiled as 0"},
  };
  for (const Case& k : cases) {
    const auto warning = number_field_warning(k.field);
    if (k.warning == nullptr) {
      EXPECT_FALSE(warning) << k.field;
    } else {
      EXPECT_EQ(warning.value_or("(none)"), k.warning) << k.field;
    }
  }
}

}  // namespace
}  // namespace scengen
