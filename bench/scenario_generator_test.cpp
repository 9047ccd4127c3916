#include "bench/scenario_generator.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "compiler/compile.h"
#include "compiler/output_files.h"

namespace scengen {
namespace {

int count_kind(const Compilation& c, uint8_t kind) {
  int n = 0;
  for (const TrackCell& cell : c.TrackCells) n += cell.Kind == kind;
  return n;
}

// Every length the bench uses compiles without an error and holds what the generator promises.
TEST(ScenarioGenerator, CompilesCleanlyAtEveryBenchLength) {
  for (const int32_t length : {100000, 300000, 1000000}) {
    SCOPED_TRACE(length);
    const GeneratedScenario scenario = generate_scenario(length);
    Compilation c;
    c.RouteId = kGeneratedRouteId;
    c.TrainNumber = kGeneratedTrainNumber;
    MemoryTexts texts(scenario.line_text, scenario.train_text);
    const CompileOutcome outcome = compile_scenario(c, texts, 1);
    ASSERT_EQ(outcome.end, CompileEnd::Sealed);
    ASSERT_EQ(c.StatusCode, 0);

    EXPECT_EQ(c.ScenarioTable[84].Num2, length);
    // One cell per 50 m up to 7000 m beyond the end, one plan point per metre.
    EXPECT_EQ(c.TrackCells.size(), static_cast<size_t>((length + 7000) / 50 + 1));
    EXPECT_EQ(c.TrackPlan.last_point(), length + 7000);
    EXPECT_EQ(c.TrackPlan.tag(length + 6998, 1), PlanTag::Double);

    EXPECT_EQ(c.TunnelCount, 80);
    // 78 stations fill slots 1 to 78; with no information board, slots 79 and 80 stay empty.
    EXPECT_EQ(count_kind(c, kStationMarker), 78);
    EXPECT_EQ(c.ScenarioTable[1].Text, "FERMATA 1");
    EXPECT_EQ(c.ScenarioTable[78].Text, "FERMATA 78");
    EXPECT_EQ(c.ScenarioTable[79].Text, "");
    EXPECT_EQ(c.ScenarioTable[80].Text, "");
    EXPECT_EQ(count_kind(c, kInformationBoard), 0);

    // A signal every 1500 m, a maximum-speed board every 700 m and a code point every 400 m, up to
    // 100 m before the end; the finishing pass adds no code point without slow orders.
    EXPECT_EQ(count_kind(c, kSignal), (length - 100) / 1500);
    EXPECT_EQ(count_kind(c, kSpeedBoard), (length - 100) / 700);
    EXPECT_EQ(count_kind(c, kCodePoint), (length - 100) / 400);
  }
}

TEST(ScenarioGenerator, MaximumRoutePlanFileIsAboutTwentyMegabytes) {
  const GeneratedScenario scenario = generate_scenario(kLongestGeneratedRoute);
  Compilation c;
  c.RouteId = kGeneratedRouteId;
  c.TrainNumber = kGeneratedTrainNumber;
  MemoryTexts texts(scenario.line_text, scenario.train_text);
  ASSERT_EQ(compile_scenario(c, texts, 1).end, CompileEnd::Sealed);
  // Per coordinate: points 0 and 1 as integers (4 bytes), 1006997 doubles (10 bytes), the last
  // two points empty (2 bytes).
  EXPECT_EQ(encode_route_plan(c.TrackPlan).size(), 2u * (2 * 4 + 1006997 * 10 + 2 * 2));
}

TEST(ScenarioGenerator, RefusesLengthsItCannotFurnish) {
  EXPECT_TRUE(is_generable_length(100000));
  EXPECT_TRUE(is_generable_length(1000000));
  EXPECT_FALSE(is_generable_length(99950));
  EXPECT_FALSE(is_generable_length(1000050));
  EXPECT_FALSE(is_generable_length(100025));
  EXPECT_THROW(generate_scenario(50000), std::invalid_argument);
}

Compilation compile_varied(const GeneratedScenario& scenario, int flag) {
  Compilation c;
  c.RouteId = kGeneratedRouteId;
  c.TrainNumber = kGeneratedTrainNumber;
  MemoryTexts texts(scenario.line_text, scenario.train_text);
  compile_scenario(c, texts, flag);
  return c;
}

// The train text without its station records: what the stations' cells held before them.
std::string without_stations(const std::string& train_text) {
  std::istringstream in(train_text);
  std::string kept, line;
  while (std::getline(in, line))
    if (line.rfind("stazione", 0) != 0) kept += line + "\n";
  return kept;
}

// How often a compile shows each of the cases that features piled on each other make.
struct PiledCases {
  std::map<int, int> under_markers;   // Kind -> station markers written over a feature of it
  int signal_marks_marked_over = 0;   // a signal's mark that a later station's mark replaced
  int station_marks_marked_over = 0;  // a station's mark that a later signal's mark replaced
  int overlapping_tunnels = 0;        // pairs sharing cells, neither holding the other
  int tunnels_inside_earlier = 0;     // a tunnel lying within one given before it
  int tunnels_around_earlier = 0;     // a tunnel holding one given before it
  int nested_keeping_kind = 0;        // within an earlier one, yet over 150 m after the previous
  int packed_stations = 0;            // starting exactly 350 m after the previous one's end
  int board_cells = 0;
  int station_markers = 0;
};

void count_marks(const Compilation& full, const Compilation& bare, PiledCases& cases) {
  for (size_t i = 0; i < full.TrackCells.size(); ++i) {
    const TrackCell& cell = full.TrackCells[i];
    const uint8_t before = bare.TrackCells[i].Mark;
    if (cell.Mark >= station_mark(1) && cell.Mark <= station_mark(4) && before != 0 &&
        before != cell.Mark)
      ++cases.signal_marks_marked_over;
    if (cell.Kind != kStationMarker) continue;
    ++cases.station_markers;
    ++cases.under_markers[bare.TrackCells[i].Kind];
    const uint8_t type = full.ScenarioTable[static_cast<size_t>(cell.Param1)].Tag;
    if (type >= kFirstHaltType || type == 5 || type == 6) continue;
    for (int k = 1; k <= kApproachMarks && static_cast<int>(i) - k > 1; ++k)
      cases.station_marks_marked_over +=
          full.TrackCells[i - static_cast<size_t>(k)].Mark != station_mark(k);
  }
}

void count_tunnels(const Compilation& c, PiledCases& cases) {
  for (int later = 2; later <= c.TunnelCount; ++later) {
    const int32_t start = c.TunnelStart[static_cast<size_t>(later)];
    const int32_t end = c.TunnelEnd[static_cast<size_t>(later)];
    const bool apart_from_previous = start - c.TunnelEnd[static_cast<size_t>(later - 1)] > 150;
    for (int earlier = 1; earlier < later; ++earlier) {
      const int32_t s = c.TunnelStart[static_cast<size_t>(earlier)];
      const int32_t e = c.TunnelEnd[static_cast<size_t>(earlier)];
      if (start >= e || s >= end) continue;
      if (s <= start && end <= e) {
        ++cases.tunnels_inside_earlier;
        cases.nested_keeping_kind += apart_from_previous;
      } else if (start <= s && e <= end) {
        ++cases.tunnels_around_earlier;
      } else {
        ++cases.overlapping_tunnels;
      }
    }
  }
}

// Compiles the scenario (status 0 expected) and adds what it shows to `cases`.
void add_cases(const GeneratedScenario& scenario, PiledCases& cases) {
  const Compilation full = compile_varied(scenario, 1);
  ASSERT_EQ(full.StatusCode, 0) << "at " << full.StatusPosition;
  const Compilation bare =
      compile_varied({scenario.line_text, without_stations(scenario.train_text)}, 0);
  count_marks(full, bare, cases);
  count_tunnels(full, cases);
  for (const TrackCell& cell : full.TrackCells) cases.board_cells += cell.Kind == kInformationBoard;
  // Stations fill the slots from 1 up; board texts, from 80 down, have no type.
  for (size_t slot = 2; slot < kFirstBoardTextSlot && full.ScenarioTable[slot].Tag != 0; ++slot)
    cases.packed_stations +=
        full.ScenarioTable[slot].Num1 - 350 == full.ScenarioTable[slot - 1].Num2;
}

TEST(ScenarioGenerator, PiledLayoutPutsFeaturesOnEachOther) {
  PiledCases cases;
  for (const int32_t length : {5000, 20000, 60000}) {
    for (uint32_t seed = 12; seed <= 40; seed += 4) {
      SCOPED_TRACE("route of " + std::to_string(length) + " m, seed " + std::to_string(seed));
      ASSERT_EQ(varied_layout(seed), VariedLayout::Piled);
      add_cases(generate_varied_scenario(length, seed), cases);
    }
  }
  // A station marker over every kind of feature a text may put in its cell before it.
  for (const int kind : {kSignal, kSlowOrderEnd, kSlowOrderStart, kWarningBoard, kApproachBoard,
                         kSpeedBoard, kTunnelMarker, kInformationBoard}) {
    EXPECT_GT(cases.under_markers[kind], 0) << kind_name(static_cast<uint8_t>(kind));
  }
  EXPECT_GT(cases.under_markers[kNothing], 0);
  EXPECT_GT(cases.signal_marks_marked_over, 0);
  EXPECT_GT(cases.station_marks_marked_over, 0);
  EXPECT_GT(cases.overlapping_tunnels, 0);
  EXPECT_GT(cases.tunnels_inside_earlier, 0);
  EXPECT_GT(cases.tunnels_around_earlier, 0);
  EXPECT_GT(cases.nested_keeping_kind, 0);
  EXPECT_GT(cases.packed_stations, 0);
}

// Every board-text slot from 80 down to 0 holds a board, and no station is left room.
TEST(ScenarioGenerator, AllBoardTextsLayoutFillsEverySlot) {
  for (const int32_t length : {1000, 20000, 1000000}) {
    for (const uint32_t seed : {18u, 26u}) {
      SCOPED_TRACE("route of " + std::to_string(length) + " m, seed " + std::to_string(seed));
      ASSERT_EQ(varied_layout(seed), VariedLayout::AllBoardTexts);
      PiledCases cases;
      add_cases(generate_varied_scenario(length, seed), cases);
      EXPECT_EQ(cases.board_cells, 81);
      EXPECT_EQ(cases.station_markers, 0);
    }
  }
}

// The seeds other tests compile, and the odd ones, keep every feature in cells of its own (a
// tunnel's markers go where they fall) and the tunnels apart; signals come after the stations.
TEST(ScenarioGenerator, TidyLayoutKeepsFeaturesApart) {
  for (const int32_t length : {1000, 20000, 150000}) {
    for (const uint32_t seed : {1u, 2u, 5u, 10u, 11u, 23u}) {
      SCOPED_TRACE("route of " + std::to_string(length) + " m, seed " + std::to_string(seed));
      PiledCases cases;
      add_cases(generate_varied_scenario(length, seed), cases);
      EXPECT_EQ(cases.under_markers[kNothing] + cases.under_markers[kTunnelMarker],
                cases.station_markers);
      EXPECT_EQ(cases.signal_marks_marked_over, 0);
      EXPECT_EQ(
          cases.overlapping_tunnels + cases.tunnels_inside_earlier + cases.tunnels_around_earlier,
          0);
    }
  }
}

}  // namespace
}  // namespace scengen
