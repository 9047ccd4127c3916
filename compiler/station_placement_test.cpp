#include "compiler/station_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "testing/models.h"

namespace scengen {
namespace {

// Every field of two entries, through the table's own field list.
void expect_same_entry(const ScenarioEntry& got, const ScenarioEntry& want) {
  EXPECT_TRUE(
      std::apply([&](auto... field) { return ((got.*field == want.*field) && ...); }, kEntryFields))
      << "Tag " << int{got.Tag} << " Num1 " << got.Num1 << " Num2 " << got.Num2 << " Num3 "
      << got.Num3 << " Num4 " << got.Num4 << " Text '" << got.Text << "'";
}

struct Reading {
  Compilation c = testing::with_track(1581);  // a 72000 m route
  StationSeries series;
};

StationOutcome read(Reading& r, const std::string& values) {
  FieldReader fields(values, TextKind::Train);
  return read_station(r.c, fields, {TextKind::Train, 3, 1}, kFirstBoardTextSlot + 1, r.series);
}

// A record cut short keeps in its slot every value read before the failure, and nothing after.
TEST(StationPlacement, ARecordCutShortKeepsWhatItRead) {
  struct Case {
    const char* name;
    std::string values;
    ScenarioEntry slot;
  };
  const Case cases[] = {
      {"after the position", "9550", {.Num3 = 9550, .Text = {}}},
      {"after the length, which is not stored",
       "9550, 12, 600",
       {.Tag = 12, .Num3 = 9550, .Text = {}}},
      {"inside the first group",
       "9550, 12, 600, 1, 1, 1, 5, 6",
       {.Tag = 12,
        .Num3 = 9550,
        .Tag2 = 1,
        .Text = {},
        .Small1 = 5,
        .Small2 = 6,
        .Flag3 = 1,
        .Flag4 = 1}},
      {"before the time",
       "9550, 12, 600, 1, 1, 0, 5,6,1, 2,1,1, 60",
       {.Tag = 12,
        .Num3 = 9550,
        .Tag2 = 1,
        .Text = {},
        .Small1 = 5,
        .Small2 = 6,
        .Small3 = 2,
        .Small4 = 1,
        .Small5 = 1,
        .Flag1 = 1,
        .Flag2 = 60,
        .Flag4 = 1}},
      {"before the name",
       "9550, 12, 600, 1, 1, 0, 5,6,1, 2,1,1, 60, 8,33,0",
       {.Tag = 12,
        .Num3 = 9550,
        .Tag2 = 1,
        .Text = {},
        .Small1 = 5,
        .Small2 = 6,
        .Small3 = 2,
        .Small4 = 1,
        .Small5 = 1,
        .Flag1 = 1,
        .Flag2 = 60,
        .Flag4 = 1,
        .Num4 = 8 * 3600 + 33 * 60}},
      {"a time too large for its Long",
       "0, 8, 600, 0,0,0, 0,0,0, 0,0,0, 0, 600000,0,0, X",
       {.Tag = 8, .Text = {}}},
      // The start is set before the end for types 7 and 8.
      {"an end too large for its Long",
       "1000, 7, 2147483600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X",
       {.Tag = 7, .Num1 = 1000 - 2147483600, .Num3 = 1000, .Text = "X"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Reading r;
    EXPECT_THROW(read(r, k.values), ReadFailure);
    expect_same_entry(r.c.ScenarioTable[1], k.slot);
    EXPECT_EQ(r.series.next_slot, 1);
  }
}

// With every board-text slot taken, the first station shares slot 1 with a board text, which
// keeps its text until the station's name is read.
TEST(StationPlacement, ABoardTextInTheSlotStaysUntilTheNameIsRead) {
  Reading r;
  r.c.ScenarioTable[1].Text = "BOARD";
  EXPECT_THROW(read(r, "0, 8, 600, 0,1,0, 1,1,0, 2,4,1, 1, 8,20,0"), ReadFailure);
  EXPECT_EQ(r.c.ScenarioTable[1].Text, "BOARD");
  EXPECT_EQ(r.c.ScenarioTable[1].Num4, 8 * 3600 + 20 * 60);
}

TEST(StationPlacement, AWholeRecordFillsItsSlotAndPlacesItsMarker) {
  Reading r;
  ASSERT_EQ(read(r, "0, 8, 600, 0, 1, 0, 1,1,0, 2,4,1, 1, 8,20, 0, VELTRA CENTRALE\r\n"),
            StationOutcome::Next);
  ASSERT_EQ(read(r, "9550, 12, 600, 1, 1, 0, 5,6,1, 2,1,1, 60, 8,33, 0, ROGOREDO\r\n"),
            StationOutcome::Next);
  EXPECT_EQ(r.series.next_slot, 3);
  // The origin's flags are forced to 0; the second flag stays for a length of 600 m.
  expect_same_entry(r.c.ScenarioTable[1], pack_station({.area_start = -600,
                                                        .area_end = 600,
                                                        .position = 0,
                                                        .type = 8,
                                                        .first_group = {1, 1},
                                                        .second_group = {2, 4, 1},
                                                        .dwell_seconds = 1,
                                                        .time_seconds = 8 * 3600 + 20 * 60,
                                                        .name = "VELTRA CENTRALE"}));
  expect_same_entry(r.c.ScenarioTable[2], pack_station({.area_start = 9250,
                                                        .area_end = 9850,
                                                        .position = 9550,
                                                        .type = 12,
                                                        .first_flag = 1,
                                                        .second_flag = 1,
                                                        .first_group = {5, 6},
                                                        .first_group_last = 1,
                                                        .second_group = {2, 1, 1},
                                                        .dwell_seconds = 60,
                                                        .time_seconds = 8 * 3600 + 33 * 60,
                                                        .name = "ROGOREDO"}));
  EXPECT_EQ(r.c.TrackCells[11].Kind, kStationMarker);
  EXPECT_EQ(r.c.TrackCells[11].Param1, 1);
  EXPECT_EQ(r.c.TrackCells[196].Param1, 2);
  EXPECT_EQ(r.c.TrackCells[195].Mark, station_mark(1));
}

}  // namespace
}  // namespace scengen
