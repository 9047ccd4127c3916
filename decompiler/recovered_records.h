// The records the recovered texts hold, as numbers a text field reads back, and the order in
// which the train text gives them. A compile that overwrote one feature with another (a station
// marker takes its cell whatever stands there, the later of two approach marks stays) is only
// reproduced by texts that hold the overwritten record too, before the one that overwrote it:
// these records include them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/track_layout.h"
#include "scenario/scenario_model.h"

namespace scengen {

/// A "segnale" record, its values as the text writes them.
struct RecoveredSignal {
  int32_t cell = 0;
  int32_t position = 0;
  SignalCell values;
  int32_t indication_sum = 0;  // sx * 3 + dx: the marks hold it
  SignalCell cell_values;      // as the cell unpacks, before the sum and the time are settled
  int32_t param4 = 0;          // the cell's rapp * 10 + sum
  /// A station marker stands in its cell now: the record comes before that station's.
  bool under_marker = false;
};

/// A "rallentamento" record.
struct RecoveredSlowOrder {
  int32_t start_cell = 0;
  int32_t position = 0;
  int32_t length = 0;
  SlowOrderCell values;
  bool approach_boards = false;
  /// A station marker stands in one of its cells now: the record comes before the stations.
  bool under_marker = false;
};

/// An "indicatori_vmax" record: its nine numbers in text order.
struct RecoveredSpeedBoard {
  int32_t position = 0;
  std::array<int32_t, 9> numbers{};
};

/// A "cartello_indicatore" record.
struct RecoveredInformationBoard {
  int32_t position = 0;
  std::string text;
};

/// A "montagna" record.
struct RecoveredTunnel {
  int32_t start = 0;
  int32_t end = 0;
  int32_t written_kind = 0;
};

/// One record of the train text's stations, slow orders and signals, in text order.
struct TrainEntry {
  enum class Section { Stations, SlowOrders, Signals };
  Section section = Section::Stations;
  size_t index = 0;  // a station slot, or an index into slow_orders or signals
};

struct RecoveredRecords {
  std::vector<RecoveredTunnel> tunnels;
  std::vector<RecoveredSpeedBoard> speed_boards;
  std::vector<RecoveredInformationBoard> information_boards;  // slot 80 downward
  std::vector<RecoveredSlowOrder> slow_orders;
  std::vector<RecoveredSignal> signals;
  std::vector<TrainEntry> train_order;
  /// The train text writes a station record for each slot from 1 to this one.
  int last_station_slot = 0;
  /// The last station's record stopped the reading (the files hold what a stopped compile
  /// left): it comes last in the text, after the code points, and train_order leaves it out.
  bool last_station_stops = false;
  /// ... and the reading stopped before the speed and adhesion tails: the texts carry the
  /// profiles to the end themselves.
  bool profile_tails_skipped = false;
};

/// Whether a station's slot holds what a record stopped part way left: values read, but no area
/// worked out.
bool stopped_part_way(const StationSlot& s);

/// The records of `model`, read from `cells` (the track as the author's features left it, without
/// the seal's values). What no record can give goes into `notes`.
RecoveredRecords recover_records(const ScenarioModel& model, const std::vector<TrackCell>& cells,
                                 std::vector<std::string>& notes);

}  // namespace scengen
