#include "compiler/finishing_pass.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace scengen {
namespace {

// One feature put into a cell of a hand-built track.
struct Put {
  int32_t cell;
  uint8_t kind;
  int16_t param1 = 0;
  int16_t param2 = 0;
};

Put signal(int32_t cell) {
  return {cell, kSignal, 11, 22};
}
Put board(int32_t cell) {
  return {cell, kWarningBoard, 40};
}
Put start(int32_t cell, int16_t speed) {
  return {cell, kSlowOrderStart, speed};
}
Put end(int32_t cell) {
  return {cell, kSlowOrderEnd, 40};
}
Put taken(int32_t cell) {
  return {cell, kCodePointWithoutCode};
}
Put code(int32_t cell, int16_t speed) {
  return {cell, kCodePoint, speed};
}
// A code point that the pass makes.
Put made(int32_t cell) {
  return {cell, kCodePoint, 180};
}

void apply(Compilation& c, const std::vector<Put>& puts) {
  for (const Put& put : puts) {
    TrackCell& cell = c.TrackCells.at(put.cell);
    cell.Kind = put.kind;
    cell.Param1 = put.param1;
    cell.Param2 = put.param2;
  }
}

// Cells 0 to last, exactly that many allocated so that any stray access leaves the allocation.
// Every cell carries profile values, which the pass must leave alone.
Compilation make_track(int32_t last, const std::vector<Put>& puts) {
  Compilation c;
  c.TrackCells.assign(static_cast<size_t>(last) + 1, TrackCell{});
  for (int32_t i = 0; i <= last; ++i) {
    TrackCell& cell = c.TrackCells[i];
    cell.Mark = static_cast<uint8_t>(i % 7);
    cell.SpeedLimit = 28;
    cell.Gradient = 100;
    cell.Adhesion = 90;
  }
  apply(c, puts);
  return c;
}

std::string describe(const TrackCell& cell) {
  return "Kind " + std::to_string(cell.Kind) + " Param1 " + std::to_string(cell.Param1) +
         " Param2 " + std::to_string(cell.Param2) + " Param3 " + std::to_string(cell.Param3) +
         " Param4 " + std::to_string(cell.Param4) + " Param5 " + std::to_string(cell.Param5) +
         " Mark " + std::to_string(cell.Mark) + " Tunnel " + std::to_string(cell.Tunnel) +
         " SpeedLimit " + std::to_string(cell.SpeedLimit) + " Gradient " +
         std::to_string(cell.Gradient) + " Adhesion " + std::to_string(cell.Adhesion);
}

// Every cell that differs, one line each; empty when the tracks are equal.
std::string differences(const Compilation& got, const Compilation& want) {
  if (got.TrackCells.size() != want.TrackCells.size()) return "track sizes differ";
  std::string out;
  for (size_t i = 0; i < got.TrackCells.size(); ++i) {
    const std::string g = describe(got.TrackCells[i]);
    const std::string w = describe(want.TrackCells[i]);
    if (g != w) out += "cell " + std::to_string(i) + ": got " + g + ", want " + w + "\n";
  }
  return out;
}

struct PassCase {
  const char* name;
  int32_t last;              // the last cell index
  std::vector<Put> track;    // the cells as the readers left them
  std::vector<Put> changes;  // what the pass must change, nothing else
  int32_t code = 0;          // StatusCode after the pass
  int32_t position = -1;     // StatusPosition after the pass (-1: left as it was)
};

const std::vector<PassCase>& pass_cases() {
  static const std::vector<PassCase> cases = {
      // Rule A: signals before a warning board.
      {"two signals before one warning board",
       200,
       {board(100), signal(95), signal(88)},
       {made(94), made(87)}},
      {"cell before the signal taken: the point goes two cells before",
       200,
       {board(100), signal(95), taken(94)},
       {made(93)}},
      {"nearer point 270, other 270: the nearer becomes 180",
       200,
       {board(100), signal(95), code(94, 270), code(93, 270)},
       {code(94, 180)}},
      {"nearer point 75, other 75: both stay 75",
       200,
       {board(100), signal(95), code(94, 75), code(93, 75)},
       {}},
      {"nearer point 270, free cell before it: a new point there, 270 kept",
       200,
       {board(100), signal(95), code(94, 270)},
       {made(93)}},
      {"a code point without code is neither free nor a code point",
       200,
       {board(100), signal(95), taken(94), code(93, 270)},
       {code(93, 180)}},
      {"signal with no free cell and no code point before it: 11 at the signal",
       200,
       {board(100), signal(95), taken(94), {93, kApproachBoard, 1, 1}},
       {},
       11,
       95 * 50},
      {"two failing signals record the one further back",
       200,
       {board(100), signal(95), taken(94), taken(93), signal(90), taken(89), taken(88)},
       {},
       11,
       90 * 50},
      {"signals in cells 1 and 2 are ignored", 200, {board(10), signal(1), signal(2)}, {}},
      {"a signal in cell 3 is considered", 200, {board(10), signal(3)}, {made(2)}},
      {"a signal 20 cells before the board is considered, 21 cells before is not",
       200,
       {board(30), signal(10), signal(9)},
       {made(8)}},
      {"a tunnel marker takes the point and keeps its other fields",
       200,
       {board(100), signal(95), {94, kTunnelMarker, 0, 7}},
       {{94, kCodePoint, 180, 7}}},
      {"a warning board in the last two cells is not examined",
       50,
       {board(49), signal(45), board(50), signal(47)},
       {}},
      {"a warning board in the third cell from the end is examined",
       50,
       {board(48), signal(45)},
       {made(44)}},

      // Rule B, the walk and the signal after the end.
      {"slow order at 40 km/h from cell 1076 to 1084, a signal in 1096",
       1580,
       {start(1076, 40), end(1084), signal(1096)},
       {made(1071), made(1065), made(1058), made(1083), made(1095)}},
      {"slow order at 40 km/h with its boards and a signal before the warning board",
       1580,
       {signal(1040),
        {1048, kApproachBoard, 1, 1},
        {1049, kApproachBoard, 2, 2},
        {1050, kApproachBoard, 3, 3},
        {1051, kApproachBoard, 4, 4},
        board(1052),
        start(1076, 40),
        end(1084)},
       {made(1039), made(1071), made(1065), made(1058), made(1083)}},
      {"a signal 13 cells after the end is not searched",
       1580,
       {start(1076, 40), end(1084), signal(1097)},
       {made(1071), made(1065), made(1058), made(1083)}},
      {"only the first signal after the end gets a point",
       1580,
       {start(1076, 40), end(1084), signal(1090), signal(1093)},
       {made(1071), made(1065), made(1058), made(1083), made(1089)}},
      {"a signal in the end cell's window with the cell before it taken",
       1580,
       {start(1076, 40), end(1084), signal(1090), taken(1089)},
       {made(1071), made(1065), made(1058), made(1083), made(1088)}},
      {"no free cell before the signal after the end: 13 at the end cell",
       1580,
       {start(1076, 40), end(1084), signal(1090), taken(1089), taken(1088)},
       {made(1071), made(1065), made(1058), made(1083)},
       13,
       1084 * 50},
      {"first candidates taken: the next ones in each group",
       1580,
       {start(1076, 40), end(1084), taken(1071), taken(1065), taken(1064)},
       {made(1070), made(1063), made(1058), made(1083)}},
      {"a group with no free cell: 12 at the start, the next groups still placed",
       1580,
       {start(1076, 40), end(1084), taken(1071), taken(1070), taken(1069)},
       {made(1065), made(1058), made(1083)},
       12,
       1076 * 50},
      {"start in cell 7: no group", 100, {start(7, 120), end(11)}, {}},
      {"start in cell 8: B1 only", 100, {start(8, 120), end(12)}, {made(3)}},
      {"start in cell 13: B1 only", 100, {start(13, 120), end(17)}, {made(8)}},
      {"start in cell 14: B1 and B2", 100, {start(14, 120), end(18)}, {made(9), made(3)}},
      {"start in cell 20: B1 and B2", 100, {start(20, 120), end(24)}, {made(15), made(9)}},
      {"start in cell 21: all three groups",
       100,
       {start(21, 120), end(25)},
       {made(16), made(10), made(3)}},
      {"110 km/h: no walk, the signal after the end still gets a point",
       200,
       {start(100, 110), end(120), signal(125)},
       {made(95), made(89), made(82), made(124)}},
      {"109 km/h: walked, a point every 8 cells",
       200,
       {start(100, 109), end(120)},
       {made(95), made(89), made(82), made(108), made(116)}},
      {"walk: cell taken, the point before it, counting from there",
       200,
       {start(100, 40), end(130), taken(108)},
       {made(95), made(89), made(82), made(107), made(115), made(123)}},
      {"walk: cell and the one before taken, the point after it, counting from there",
       200,
       {start(100, 40), end(130), taken(108), taken(107)},
       {made(95), made(89), made(82), made(109), made(117), made(125)}},
      {"walk: no free cell: 13 there and no more points along this slow order",
       200,
       {start(100, 40), end(130), taken(108), taken(107), taken(109)},
       {made(95), made(89), made(82)},
       13,
       108 * 50},
      {"slow order of 110 km/h or more with no end cell: nothing after its groups",
       200,
       {start(100, 120), signal(105)},
       {made(95), made(89), made(82)}},
      {"a later error overwrites an earlier one and the pass goes on",
       200,
       {board(50), signal(45), taken(44), taken(43), start(80, 120), end(85), taken(75), taken(74),
        taken(73)},
       {made(69), made(62)},
       12,
       80 * 50},

      // Windows reaching the end of the track.
      {"walk without an end cell stops at the last cell",
       110,
       {start(100, 40), signal(110)},
       {made(95), made(89), made(82), made(108)}},
      {"walk step on the last cell, it and the one before taken: 13 there",
       108,
       {start(100, 40), taken(108), taken(107)},
       {made(95), made(89), made(82)},
       13,
       108 * 50},
      {"end in the last cell: the point before it, no search beyond the track",
       108,
       {start(100, 40), end(108)},
       {made(95), made(89), made(82), made(107)}},
      {"signal in the last cell after the end",
       110,
       {start(100, 120), end(105), signal(110)},
       {made(95), made(89), made(82), made(109)}},
      {"start in the third cell from the end: groups, a short walk",
       102,
       {start(100, 40)},
       {made(95), made(89), made(82)}},
      {"start in the second cell from the end is not examined", 101, {start(100, 40)}, {}},
      {"a track of two cells", 1, {start(1, 40), end(0)}, {}},
  };
  return cases;
}

TEST(FinishingPass, PlacesCodePointsAndRecordsErrors) {
  for (const PassCase& test : pass_cases()) {
    SCOPED_TRACE(test.name);
    Compilation c = make_track(test.last, test.track);
    c.StatusPosition = -1;
    Compilation want = make_track(test.last, test.track);
    apply(want, test.changes);

    finishing_pass(c);

    EXPECT_EQ(differences(c, want), "");
    EXPECT_EQ(c.StatusCode, test.code);
    EXPECT_EQ(c.StatusPosition, test.position);
  }
}

// Whatever the cells hold, the pass stays inside the track (the sanitizer build checks the
// accesses), turns only free cells into points of 180, only lowers existing speed codes, and
// records only its own codes at positions on the track.
TEST(FinishingPass, ArbitraryCellsStayInsideTheTrack) {
  const uint8_t kinds[] = {
      kNothing,       kSignal,       kSlowOrderEnd, kSlowOrderStart,       kWarningBoard,
      kApproachBoard, kTunnelMarker, kCodePoint,    kCodePointWithoutCode, kStationMarker};
  const int16_t values[] = {-5, 0, 40, 75, 109, 110, 180, 270};
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    const int32_t last = 1 + static_cast<int32_t>(random() % 40);
    std::vector<Put> puts;
    for (int32_t i = 0; i <= last; ++i) {
      puts.push_back({i, kinds[random() % std::size(kinds)], values[random() % std::size(values)]});
    }
    Compilation c = make_track(last, puts);
    const Compilation before = c;

    finishing_pass(c);

    for (int32_t i = 0; i <= last; ++i) {
      const TrackCell& was = before.TrackCells[i];
      const TrackCell& now = c.TrackCells[i];
      if (describe(was) == describe(now)) continue;
      TrackCell expected = was;
      if (is_free(was)) {
        expected.Kind = kCodePoint;
        expected.Param1 = 180;
      } else {
        ASSERT_EQ(was.Kind, kCodePoint) << "round " << round << " cell " << i;
        ASSERT_GT(was.Param1, 180) << "round " << round << " cell " << i;
        expected.Param1 = 180;
      }
      ASSERT_EQ(describe(now), describe(expected)) << "round " << round << " cell " << i;
    }
    if (c.StatusCode != 0) {
      ASSERT_TRUE(c.StatusCode >= 11 && c.StatusCode <= 13) << "round " << round;
      ASSERT_EQ(c.StatusPosition % 50, 0) << "round " << round;
      ASSERT_TRUE(c.StatusPosition >= 0 && c.StatusPosition <= last * 50) << "round " << round;
    }
  }
}

// A sealed model of a few cells with the identity where read_descriptions copies it.
Compilation make_sealable(const std::string& train_number, const std::string& route_id) {
  Compilation c = make_track(10, {});
  c.ScenarioTable[86].Text = train_number;
  c.ScenarioTable[85].Text = route_id;
  return c;
}

TEST(Seal, BuiltInIdentityCodesComputedByHand) {
  Compilation c = make_sealable("58316", "Veltrano_Quarnelo");
  c.CurrentField = "pendenza";

  ASSERT_EQ(seal(c), 0);

  // "58316" + "veltrano_quarnelo" is 22 bytes; "qqw" of the filler makes up the 25.
  //  5  8  3  1  6  v   e   l   t   r   a  n   o   _  q   u   a  r   n   e   l   o   q   q   w
  // 53 56 51 49 54 118 101 108 116 114 97 110 111 95 113 117 97 114 110 101 108 111 113 113 119
  constexpr int32_t plain = 53 + 56 + 51 + 49 + 54 + 118 + 101 + 108 + 116 + 114 + 97 + 110 + 111 +
                            95 + 113 + 117 + 97 + 114 + 110 + 101 + 108 + 111 + 113 + 113 + 119;
  constexpr int32_t weighted = 1 * 53 + 2 * 56 + 3 * 51 + 4 * 49 + 5 * 54 + 6 * 118 + 7 * 101 +
                               8 * 108 + 9 * 116 + 10 * 114 + 11 * 97 + 12 * 110 + 13 * 111 +
                               14 * 95 + 15 * 113 + 16 * 117 + 17 * 97 + 18 * 114 + 19 * 110 +
                               20 * 101 + 21 * 108 + 22 * 111 + 23 * 113 + 24 * 113 + 25 * 119;
  static_assert(plain == 2449);
  static_assert(weighted == 34781);

  EXPECT_EQ(c.ScenarioTable[85].Small1, 610);
  EXPECT_EQ(c.TrackCells[1].Param1, 5121);
  EXPECT_EQ(c.ScenarioTable[85].Num4, weighted);
  EXPECT_EQ(c.TrackCells[1].Param2, plain);
  EXPECT_EQ(c.CurrentField,
            "58316veltrano_quarnelo"
            "qqwweerrttyyuuppzzxxvvbbnn");
  // The route identity itself is kept as it was.
  EXPECT_EQ(c.ScenarioTable[85].Text, "Veltrano_Quarnelo");
}

TEST(Seal, IdentityOfTwentyFiveBytesOrMoreLeavesOutTheFiller) {
  Compilation c = make_sealable("12345", std::string(20, 'a') + "XYZ");
  ASSERT_EQ(seal(c), 0);
  // "12345" then twenty 'a' (97) at positions 6 to 25, whose sum is 310.
  EXPECT_EQ(c.TrackCells[1].Param2, 49 + 50 + 51 + 52 + 53 + 20 * 97);
  EXPECT_EQ(c.ScenarioTable[85].Num4, 1 * 49 + 2 * 50 + 3 * 51 + 4 * 52 + 5 * 53 + 97 * 310);
}

TEST(Seal, BytesAboveTheAsciiRangeCountAsZeroTo255) {
  Compilation c = make_sealable("", std::string(25, '\xFF'));
  ASSERT_EQ(seal(c), 0);
  EXPECT_EQ(c.TrackCells[1].Param2, 25 * 255);
  EXPECT_EQ(c.ScenarioTable[85].Num4, 255 * 325);
}

struct IdentityPair {
  const char* name;
  std::string train_a, route_a, train_b, route_b;
  bool same_codes;
};

TEST(Seal, LetterCaseDoesNotChangeTheCodes) {
  const IdentityPair pairs[] = {
      {"ASCII route", "1", "AB", "1", "ab", true},
      {"ASCII train number", "IC58316", "x", "ic58316", "x", true},
      {"accented capitals", "", "\xC0\xC9\xD6\xD8\xDE", "", "\xE0\xE9\xF6\xF8\xFE", true},
      {"S, OE, Z and Y with marks", "", "\x8A\x8C\x8E\x9F", "", "\x9A\x9C\x9E\xFF", true},
      {"the multiplication sign is no letter", "", "\xD7", "", "\xF7", false},
      {"digits differ", "58316", "ab", "58317", "ab", false},
  };
  for (const IdentityPair& pair : pairs) {
    SCOPED_TRACE(pair.name);
    Compilation a = make_sealable(pair.train_a, pair.route_a);
    Compilation b = make_sealable(pair.train_b, pair.route_b);
    ASSERT_EQ(seal(a), 0);
    ASSERT_EQ(seal(b), 0);
    EXPECT_EQ(a.TrackCells[1].Param2 == b.TrackCells[1].Param2, pair.same_codes);
    EXPECT_EQ(a.ScenarioTable[85].Num4 == b.ScenarioTable[85].Num4, pair.same_codes);
    if (pair.same_codes) {
      EXPECT_EQ(a.CurrentField, b.CurrentField);
    }
  }
}

TEST(Seal, ReservedFieldAlreadySet) {
  struct Case {
    const char* name;
    void (*preset)(Compilation&);
    int32_t code;
  };
  const Case cases[] = {
      {"slot 85 Small1", [](Compilation& c) { c.ScenarioTable[85].Small1 = 1; }, 1250},
      {"cell 1 Param1", [](Compilation& c) { c.TrackCells[1].Param1 = -3; }, 1250},
      {"slot 85 Num4", [](Compilation& c) { c.ScenarioTable[85].Num4 = 7; }, 1251},
      {"cell 1 Param2", [](Compilation& c) { c.TrackCells[1].Param2 = 2; }, 1251},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Compilation c = make_sealable("58316", "Veltrano_Quarnelo");
    test.preset(c);
    c.CurrentField = "before";

    EXPECT_EQ(seal(c), test.code);
    // The codes are never computed once a reserved field is found set.
    EXPECT_EQ(c.CurrentField, "before");
  }
}

}  // namespace
}  // namespace scengen
