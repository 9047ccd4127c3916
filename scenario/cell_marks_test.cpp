#include "scenario/cell_marks.h"

#include <gtest/gtest.h>

#include "testing/models.h"

namespace scengen {
namespace {

// A signal in cell 20 with sx 1, dx 0 (marks 11 to 14 in cells 18, 16, 14, 12), a station
// marker in cell 40 naming slot 3 (marks 81 to 84 in cells 39 to 36), a signal in cell 60
// with sx 2, dx 2 whose marks (81 to 84) read like a station's, and stray marks.
ScenarioModel marked_model() {
  Compilation c = testing::with_track(70);
  SignalCell signal;
  signal.sx = 1;
  pack_signal(signal, c.TrackCells[20]);
  for (int k = 1; k <= kApproachMarks; ++k) c.TrackCells[20 - 2 * k].Mark = signal_mark(1, 0, k);
  pack_slot_cell(kStationMarker, 3, c.TrackCells[40]);
  for (int k = 1; k <= kApproachMarks; ++k) c.TrackCells[40 - k].Mark = station_mark(k);
  SignalCell eight;
  eight.sx = 2;
  eight.dx = 2;
  pack_signal(eight, c.TrackCells[60]);
  for (int k = 1; k <= kApproachMarks; ++k) c.TrackCells[60 - 2 * k].Mark = signal_mark(2, 2, k);
  c.TrackCells[5].Mark = 31;   // no signal after it
  c.TrackCells[17].Mark = 12;  // one cell off the signal's second mark
  c.TrackCells[69].Mark = 81;  // the last cell: nothing after it at all
  return read_scenario(c);
}

TEST(MarkMeaning, EachMarkIsToldByTheFeatureThatWroteIt) {
  struct Case {
    int32_t cell;
    MarkOwner owner;
    int order;
    int32_t feature_cell;
  };
  const Case cases[] = {
      {18, MarkOwner::Signal, 1, 20},  {12, MarkOwner::Signal, 4, 20},
      {39, MarkOwner::Station, 1, 40}, {36, MarkOwner::Station, 4, 40},
      {58, MarkOwner::Signal, 1, 60},  {52, MarkOwner::Signal, 4, 60},
      {5, MarkOwner::Stray, 0, 0},     {17, MarkOwner::Stray, 0, 0},
      {69, MarkOwner::Stray, 0, 0},    {19, MarkOwner::None, 0, 0},
      {-1, MarkOwner::None, 0, 0},     {70, MarkOwner::None, 0, 0},
  };
  const ScenarioModel model = marked_model();
  for (const Case& c : cases) {
    const MarkMeaning m = mark_meaning(model, c.cell);
    EXPECT_EQ(m.owner, c.owner) << c.cell;
    EXPECT_EQ(m.order, c.order) << c.cell;
    EXPECT_EQ(m.feature_cell, c.feature_cell) << c.cell;
  }
  EXPECT_EQ(model.signals[static_cast<size_t>(mark_meaning(model, 14).feature_index)].cell, 20);
  EXPECT_EQ(model.station_markers[static_cast<size_t>(mark_meaning(model, 38).feature_index)].slot,
            3);
}

}  // namespace
}  // namespace scengen
