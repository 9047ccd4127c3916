#include "compiler/signal_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/models.h"

namespace scengen {
namespace {

// A 72000 m route: cells 0 to 1580. Every cell carries values that no placement writes, so a test
// sees any field a placement touches by mistake.
Compilation make_track() {
  TrackCell background;
  background.Param1 = -1;
  background.Param2 = -2;
  background.Param3 = -3;
  background.Param4 = -4;
  background.Param5 = 9;
  background.Mark = 7;
  background.Tunnel = 2;
  background.SpeedLimit = 19;
  background.Gradient = 103;
  background.Adhesion = 96;
  return testing::with_track(1581, background);
}

enum class Field { Kind, Param1, Param2, Param3, Param4, Param5, Mark };

// One field of one cell: a cell that the test occupies beforehand, or a value a placement writes.
struct CellValue {
  int cell;
  Field field;
  int value;
};

void apply(std::vector<TrackCell>& cells, const CellValue& v) {
  TrackCell& cell = cells.at(static_cast<size_t>(v.cell));
  switch (v.field) {
    case Field::Kind:
      cell.Kind = static_cast<uint8_t>(v.value);
      break;
    case Field::Param1:
      cell.Param1 = static_cast<int16_t>(v.value);
      break;
    case Field::Param2:
      cell.Param2 = static_cast<int16_t>(v.value);
      break;
    case Field::Param3:
      cell.Param3 = static_cast<int16_t>(v.value);
      break;
    case Field::Param4:
      cell.Param4 = static_cast<int16_t>(v.value);
      break;
    case Field::Param5:
      cell.Param5 = static_cast<uint8_t>(v.value);
      break;
    case Field::Mark:
      cell.Mark = static_cast<uint8_t>(v.value);
      break;
  }
}

std::string show(const TrackCell& t) {
  return "Kind " + std::to_string(t.Kind) + " Param1..5 " + std::to_string(t.Param1) + " " +
         std::to_string(t.Param2) + " " + std::to_string(t.Param3) + " " +
         std::to_string(t.Param4) + " " + std::to_string(t.Param5) + " Mark " +
         std::to_string(t.Mark) + " Tunnel " + std::to_string(t.Tunnel) + " SpeedLimit " +
         std::to_string(t.SpeedLimit) + " Gradient " + std::to_string(t.Gradient) + " Adhesion " +
         std::to_string(t.Adhesion);
}

// Every cell of the track must be exactly as expected: the written values and nothing else.
void expect_cells(const std::vector<TrackCell>& actual, const std::vector<TrackCell>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    const TrackCell& a = actual[i];
    const TrackCell& e = expected[i];
    const bool same = a.Kind == e.Kind && a.Param1 == e.Param1 && a.Param2 == e.Param2 &&
                      a.Param3 == e.Param3 && a.Param4 == e.Param4 && a.Param5 == e.Param5 &&
                      a.Mark == e.Mark && a.Tunnel == e.Tunnel && a.SpeedLimit == e.SpeedLimit &&
                      a.Gradient == e.Gradient && a.Adhesion == e.Adhesion;
    if (!same)
      ADD_FAILURE() << "cell " << i << "\n  is        " << show(a) << "\n  should be " << show(e);
  }
}

std::vector<CellValue> signal_cells(int cell, int kind, int p1, int p2, int p3, int p4, int p5) {
  return {{cell, Field::Kind, kind}, {cell, Field::Param1, p1}, {cell, Field::Param2, p2},
          {cell, Field::Param3, p3}, {cell, Field::Param4, p4}, {cell, Field::Param5, p5}};
}

std::vector<CellValue> operator+(std::vector<CellValue> a, const std::vector<CellValue>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<CellValue> marks(int first_cell, int first_mark) {
  std::vector<CellValue> out;
  for (int k = 0; k < 4; ++k) out.push_back({first_cell - 2 * k, Field::Mark, first_mark + k});
  return out;
}

struct SignalCase {
  const char* name;
  int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
  std::vector<CellValue> before;
  int32_t code;
  std::vector<CellValue> written;
  int32_t tempo_after;
};

TEST(PlaceSignal, PlacesPacksAndRefuses) {
  const SignalCase cases[] = {
      {"the signal at 1750 fills cell 36 and marks 34 to 28",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 8, 0) + marks(34, 81),
       0},
      {"sx 2 and dx 0 give marks 61 to 64",
       5750,
       2,
       4,
       0,
       0,
       0,
       0,
       0,
       0,
       0,
       0,
       {},
       0,
       signal_cells(116, 1, 40, 0, 0, 6, 0) + marks(114, 61),
       0},
      {"a tunnel marker does not block a signal",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {{36, Field::Kind, 11}},
       0,
       signal_cells(36, 1, 43, 11, 11, 8, 0) + marks(34, 81),
       0},
      {"a code point in the cell refuses the signal with 16, writing nothing",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       50,
       {{36, Field::Kind, 12}},
       16,
       {},
       50},
      {"tempo 50 with sx 2 becomes 101",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       50,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 8, 101) + marks(34, 81),
       101},
      {"tempo 100 becomes 101",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       100,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 8, 101) + marks(34, 81),
       101},
      {"tempo 101 stays",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       101,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 8, 101) + marks(34, 81),
       101},
      {"tempo 120 with sx 0 gives 0",
       1750,
       0,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       120,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 2, 0) + marks(34, 21),
       120},
      {"tempo 1 with sx 1 is raised but not kept",
       1750,
       1,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       1,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 5, 0) + marks(34, 51),
       101},
      {"tempo 300 keeps its low 8 bits",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       300,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 8, 44) + marks(34, 81),
       300},
      {"a negative tempo is not raised and keeps its low 8 bits",
       1750,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       -5,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 8, 251) + marks(34, 81),
       -5},
      // (2^31 - 1) * 10 + 3 = 5 * 2^32 - 7; 3277 * 10 = 32770; 3276 * 10 + 6 + 2 = 32768.
      {"the packing wraps in 16 bits",
       1750,
       2,
       2147483647,
       3277,
       1,
       3276,
       2,
       3,
       0,
       1,
       0,
       {},
       0,
       signal_cells(36, 1, -7, -32766, 11, -32768, 0) + marks(34, 81),
       0},
      // (2 * 3 + 200) * 10 = 2060 = 8 * 256 + 12.
      {"the marks wrap in 8 bits",
       1750,
       2,
       4,
       1,
       1,
       0,
       200,
       3,
       1,
       1,
       0,
       {},
       0,
       signal_cells(36, 1, 43, 11, 11, 206, 0) + marks(34, 13),
       0},
      {"cell index rounds half to even: 75 m goes to cell 2",
       75,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {},
       0,
       signal_cells(2, 1, 43, 11, 11, 8, 0) + std::vector<CellValue>{{0, Field::Mark, 81}},
       0},
      {"125 m goes to cell 4",
       125,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {},
       0,
       signal_cells(4, 1, 43, 11, 11, 8, 0) +
           std::vector<CellValue>{{2, Field::Mark, 81}, {0, Field::Mark, 82}},
       0},
      {"marks before the route start are skipped",
       100,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {},
       0,
       signal_cells(3, 1, 43, 11, 11, 8, 0) + std::vector<CellValue>{{1, Field::Mark, 81}},
       0},
      {"a signal at 0 m has no mark",
       0,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {},
       0,
       signal_cells(1, 1, 43, 11, 11, 8, 0),
       0},
      {"the last cell takes a signal",
       78950,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {},
       0,
       signal_cells(1580, 1, 43, 11, 11, 8, 0) + marks(1578, 81),
       0},
      {"a cell past the track is never free", 79000, 2, 4, 1, 1, 0, 2, 3, 1, 1, 0, {}, 16, {}, 0},
      {"a cell before the route start is never free",
       -100,
       2,
       4,
       1,
       1,
       0,
       2,
       3,
       1,
       1,
       0,
       {},
       16,
       {},
       0},
  };
  for (const SignalCase& k : cases) {
    SCOPED_TRACE(k.name);
    Compilation c = make_track();
    for (const CellValue& v : k.before) apply(c.TrackCells, v);
    std::vector<TrackCell> expected = c.TrackCells;
    for (const CellValue& v : k.written) apply(expected, v);

    const int32_t tempo = place_signal(c, k.posizione,
                                       {.sx = k.sx,
                                        .s1 = k.s1,
                                        .s2 = k.s2,
                                        .s3 = k.s3,
                                        .rapp = k.rapp,
                                        .dx = k.dx,
                                        .d1 = k.d1,
                                        .d2 = k.d2,
                                        .d3 = k.d3,
                                        .tempo = k.tempo});

    EXPECT_EQ(c.StatusCode, k.code);
    EXPECT_EQ(c.StatusPosition, 0);  // the caller records the position
    EXPECT_EQ(tempo, k.tempo_after);
    expect_cells(c.TrackCells, expected);
  }
}

TEST(PlaceSignal, LaterMarksLandOnAnEarlierSignal) {
  Compilation c = make_track();
  place_signal(c, 1750, {.sx = 2, .s1 = 4, .s2 = 1, .s3 = 1, .dx = 2, .d1 = 3, .d2 = 1, .d3 = 1});
  place_signal(c, 1850, {.sx = 2, .s1 = 4});
  EXPECT_EQ(c.StatusCode, 0);
  EXPECT_EQ(c.TrackCells[36].Kind, 1);  // the earlier signal keeps its cell and values
  EXPECT_EQ(c.TrackCells[36].Param1, 43);
  EXPECT_EQ(c.TrackCells[38].Kind, 1);
  EXPECT_EQ(c.TrackCells[36].Mark, 61);
  EXPECT_EQ(c.TrackCells[34].Mark, 62);
  EXPECT_EQ(c.TrackCells[32].Mark, 63);
  EXPECT_EQ(c.TrackCells[30].Mark, 64);
  EXPECT_EQ(c.TrackCells[28].Mark, 84);  // the earlier signal's last mark stays
}

std::vector<CellValue> order_cell(int cell, int kind, int v, int d_v, int f_tt) {
  return {{cell, Field::Kind, kind},
          {cell, Field::Param1, v},
          {cell, Field::Param2, d_v},
          {cell, Field::Param3, f_tt}};
}

std::vector<CellValue> warning_cell(int cell, int v, int d_v) {
  return {{cell, Field::Kind, 4}, {cell, Field::Param1, v}, {cell, Field::Param2, d_v}};
}

// The four approach boards from R down to R - 3; `numbered_param2` when d_v is not 0.
std::vector<CellValue> boards(int r, bool numbered_param2) {
  std::vector<CellValue> out;
  for (int m = 0; m < 4; ++m) {
    out.push_back({r - m, Field::Kind, 5});
    out.push_back({r - m, Field::Param1, m + 1});
    out.push_back({r - m, Field::Param2, numbered_param2 ? m + 1 : -2});
  }
  return out;
}

struct SlowOrderCase {
  const char* name;
  int32_t x, v, l, f_tt, f_ta, d_v;
  std::vector<CellValue> before;
  int32_t code;
  std::vector<CellValue> written;
};

TEST(PlaceSlowOrder, PlacesAndRefuses) {
  const auto built_in =
      warning_cell(1052, 40, 30) + order_cell(1076, 3, 40, 30, 1) + order_cell(1084, 2, 40, 30, 1);
  const SlowOrderCase cases[] = {
      {"the order at 53750 m: warning 1052, start 1076, end 1084, boards 1051 to 1048",
       53750,
       40,
       400,
       1,
       1,
       30,
       {},
       0,
       built_in + boards(1051, true)},
      {"f_ta 0 places no boards", 53750, 40, 400, 1, 0, 30, {}, 0, built_in},
      {"d_v 0 leaves every Param2 as it was",
       53750,
       40,
       400,
       0,
       1,
       0,
       {},
       0,
       warning_cell(1052, 40, -2) + order_cell(1076, 3, 40, -2, 0) +
           order_cell(1084, 2, 40, -2, 0) + boards(1051, false)},
      // Cell 7 would be the warning cell; it holds a signal and is not even looked at.
      {"at 1500 m: no warning cell and no boards whatever f_ta holds",
       1500,
       60,
       400,
       1,
       1,
       5,
       {{7, Field::Kind, 1}},
       0,
       order_cell(31, 3, 60, 5, 1) + order_cell(39, 2, 60, 5, 1)},
      {"at 1550 m: a warning cell and boards",
       1550,
       60,
       400,
       1,
       1,
       5,
       {},
       0,
       warning_cell(8, 60, 5) + order_cell(32, 3, 60, 5, 1) + order_cell(40, 2, 60, 5, 1) +
           boards(7, true)},
      {"length 0: one cell, written as end then as start",
       3000,
       60,
       0,
       1,
       0,
       5,
       {},
       0,
       warning_cell(37, 60, 5) + order_cell(61, 3, 60, 5, 1)},
      {"tunnel markers do not block",
       53750,
       40,
       400,
       1,
       1,
       30,
       {{1076, Field::Kind, 11}, {1049, Field::Kind, 11}},
       0,
       built_in + boards(1051, true)},
      {"17: the warning cell is taken",
       53750,
       40,
       400,
       1,
       1,
       30,
       {{1052, Field::Kind, 12}},
       17,
       {}},
      {"18: the start cell is taken", 53750, 40, 400, 1, 1, 30, {{1076, Field::Kind, 1}}, 18, {}},
      {"19: the end cell is taken", 53750, 40, 400, 1, 1, 30, {{1084, Field::Kind, 13}}, 19, {}},
      {"20: a board cell is taken; warning, start and end stay written",
       53750,
       40,
       400,
       1,
       1,
       30,
       {{1049, Field::Kind, 14}},
       20,
       built_in},
      {"20 needs f_ta", 53750, 40, 400, 1, 0, 30, {{1049, Field::Kind, 14}}, 0, built_in},
      // At 53775 m the warning cell and R round to the same cell 1052, written just before.
      {"a board cell that the warning board took refuses with 20",
       53775,
       40,
       400,
       1,
       1,
       30,
       {},
       20,
       built_in},
      {"an end past the track is never free", 78000, 40, 5000, 1, 1, 30, {}, 19, {}},
      {"an end before the route start is never free", 53750, 40, -60000, 1, 1, 30, {}, 19, {}},
      {"a start before the route start is never free", -1000, 40, 400, 1, 1, 30, {}, 18, {}},
      {"Integer fields keep their low 16 bits",
       53750,
       65576,
       400,
       65537,
       0,
       -1,
       {},
       0,
       warning_cell(1052, 40, -1) + order_cell(1076, 3, 40, -1, 1) +
           order_cell(1084, 2, 40, -1, 1)},
  };
  for (const SlowOrderCase& k : cases) {
    SCOPED_TRACE(k.name);
    Compilation c = make_track();
    for (const CellValue& v : k.before) apply(c.TrackCells, v);
    std::vector<TrackCell> expected = c.TrackCells;
    for (const CellValue& v : k.written) apply(expected, v);

    place_slow_order(c, {.start = k.x,
                         .speed = k.v,
                         .length = k.l,
                         .f_tt = k.f_tt,
                         .approach_boards = k.f_ta,
                         .d_v = k.d_v});

    EXPECT_EQ(c.StatusCode, k.code);
    EXPECT_EQ(c.StatusPosition, 0);
    expect_cells(c.TrackCells, expected);
  }
}

}  // namespace
}  // namespace scengen
