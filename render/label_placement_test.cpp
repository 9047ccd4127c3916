#include "render/label_placement.h"

#include <gtest/gtest.h>

#include <optional>

#include "render/svg_text.h"

namespace scengen {
namespace {

TEST(PlaceInRows, LabelsThatWouldOverlapGoToTheNextRowOrAreDropped) {
  // Three wide labels at one place, two rows: the third finds no room in either form.
  const std::vector<RowLabel> labels = {
      {100, {"AAAAAA"}, 0}, {102, {"BBBBBB"}, 0}, {104, {"CCCCCC"}, 0}, {400, {"far"}, 0}};
  const auto placed = place_in_rows(labels, 2, 10, 0, 1000, 4);
  ASSERT_EQ(placed.size(), 3u);
  std::map<std::string, int> row;
  for (const auto& p : placed) row[p.text] = p.row;
  EXPECT_EQ(row.at("AAAAAA"), 0);
  EXPECT_EQ(row.at("BBBBBB"), 1);
  EXPECT_EQ(row.count("CCCCCC"), 0u);
  EXPECT_EQ(row.at("far"), 0);
  // Within a row no two labels come closer than the gap.
  for (const auto& a : placed) {
    for (const auto& b : placed) {
      if (&a == &b || a.row != b.row) continue;
      EXPECT_TRUE(a.right + 4 <= b.left || b.right + 4 <= a.left) << a.text << " " << b.text;
    }
  }
}

TEST(PlaceInRows, AShorterFormIsTakenWhenTheLongOneDoesNotFit) {
  const std::vector<RowLabel> labels = {
      {100, {"XXXX"}, 1},
      {100 + text_width("XXXX", 10) / 2 + 4 + 30, {"a long text that cannot fit", "ok"}, 0}};
  const auto placed = place_in_rows(labels, 1, 10, 0, 1000, 4);
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[1].text, "ok");
}

TEST(PlaceInRows, HigherPriorityWinsTheRow) {
  const std::vector<RowLabel> labels = {{100, {"low"}, 0}, {101, {"high"}, 5}};
  const auto placed = place_in_rows(labels, 1, 10, 0, 1000, 4);
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(placed[0].text, "high");
  EXPECT_EQ(placed[0].request, 1u);
}

TEST(PlaceInRows, LabelsAtTheEdgesStayInside) {
  const std::vector<RowLabel> labels = {{0, {"left"}, 0}, {1000, {"right"}, 0}};
  for (const auto& p : place_in_rows(labels, 1, 10, 10, 990, 4)) {
    EXPECT_GE(p.left, 10);
    EXPECT_LE(p.right, 990);
  }
}

TEST(CountLeftOut, EachLabelLeftOutIsCountedOnceAndTheCountsStayApart) {
  struct Case {
    const char* name;
    std::vector<double> xs;  // one wide label at each
    double hi;
    std::optional<std::vector<std::string>> counts;  // unset: not checked word for word
  };
  std::vector<double> every_5px;
  for (int i = 0; i < 200; ++i) every_5px.push_back(5.0 * i);
  const Case cases[] = {
      {"nothing left out", {100, 500}, 1000, std::vector<std::string>{}},
      // Three at one place, one row: two left out, counted together.
      {"one crowd", {100, 101, 102}, 1000, std::vector<std::string>{"+2 more"}},
      // Two crowds far apart: a count for each.
      {"two crowds",
       {100, 101, 800, 801, 802},
       1000,
       std::vector<std::string>{"+1 more", "+2 more"}},
      // The counts of a label every 5 px would crowd too: they join into fewer.
      {"dense", every_5px, 1000, std::nullopt},
      // Room for no label and for one count only: every label in it.
      {"narrow", {10, 11, 12, 13, 14, 15}, 60, std::vector<std::string>{"+6 more"}},
  };
  for (const Case& c : cases) {
    std::vector<RowLabel> labels;
    for (const double x : c.xs) labels.push_back({x, {"WIDE LABEL"}, 0});
    const auto placed = place_in_rows(labels, 1, 10, 0, c.hi, 4);
    const auto counts = count_left_out(labels, placed, 1, 10, 0, c.hi, 4);
    int counted = 0;
    std::vector<std::string> texts;
    for (size_t i = 0; i < counts.size(); ++i) {
      counted += counts[i].stands_for;
      texts.push_back(counts[i].text);
      EXPECT_EQ(counts[i].text, "+" + std::to_string(counts[i].stands_for) + " more") << c.name;
      EXPECT_EQ(counts[i].row, 1) << c.name;
      EXPECT_GE(counts[i].left, 0) << c.name;
      EXPECT_LE(counts[i].right, c.hi) << c.name;
      if (i > 0) {
        EXPECT_GE(counts[i].left, counts[i - 1].right + 4) << c.name;
      }
    }
    EXPECT_EQ(placed.size() + static_cast<size_t>(counted), labels.size()) << c.name;
    if (c.counts) {
      EXPECT_EQ(texts, *c.counts) << c.name;
    }
  }
}

TEST(SpreadApart, KeepsMarksThatAreFarEnoughWhereTheyAre) {
  EXPECT_EQ(spread_apart({10, 50, 90}, 12, 0, 100), (std::vector<double>{10, 50, 90}));
}

TEST(SpreadApart, PushesCloseMarksApartAroundTheirMiddle) {
  const auto at = spread_apart({50, 50, 50}, 10, 0, 100);
  EXPECT_EQ(at, (std::vector<double>{40, 50, 60}));
  const auto two = spread_apart({20, 24, 80}, 10, 0, 100);
  EXPECT_DOUBLE_EQ(two[0], 17);
  EXPECT_DOUBLE_EQ(two[1], 27);
  EXPECT_DOUBLE_EQ(two[2], 80);
}

TEST(SpreadApart, StaysWithinTheBoundsAndInOrder) {
  const auto at = spread_apart({0, 1, 2, 3, 98, 99, 100}, 10, 0, 100);
  ASSERT_EQ(at.size(), 7u);
  EXPECT_GE(at.front(), 0);
  EXPECT_LE(at.back(), 100);
  for (size_t i = 1; i < at.size(); ++i) EXPECT_GE(at[i] - at[i - 1], 10 - 1e-9);
  // More marks than the room holds: they share it evenly.
  const auto crowded = spread_apart({50, 50, 50, 50, 50}, 40, 0, 100);
  EXPECT_DOUBLE_EQ(crowded.front(), 0);
  EXPECT_DOUBLE_EQ(crowded.back(), 100);
}

TEST(TakenBoxes, FindsOverlapsOnly) {
  TakenBoxes taken;
  taken.add({0, 0, 10, 10});
  EXPECT_FALSE(taken.is_free({5, 5, 15, 15}));
  EXPECT_TRUE(taken.is_free({10, 0, 20, 10}));  // touching is not overlapping
  EXPECT_TRUE(taken.is_free({0, 11, 10, 20}));
}

}  // namespace
}  // namespace scengen
