// Reading and placement of the stations of the train description: each "stazione" record into
// its scenario table slot, its area, its approach marks and its marker cell.
#pragma once

#include <cstdint>

#include "compiler/compilation.h"
#include "compiler/compile_warnings.h"
#include "compiler/field_reader.h"

namespace scengen {

/// What the train reader keeps from one station record to the next.
struct StationSeries {
  int32_t next_slot = kFirstStationSlot;  // the scenario table slot of the next station
  int32_t last_time = 0;                  // the last scheduled time seen, for the warnings
  SeriesOrder order{"stazione"};          // the positions must ascend, for the warnings
};

/// How the reading goes on after a station record.
enum class StationOutcome {
  Next,          // read the next record
  EndOfReading,  // a code 15: the reader's end of reading follows
  Stop,          // an error that ends the reading at once
};

/// Reads a "stazione" record whose keyword field stood at `where` into the next station slot,
/// each value stored as it is read (a record cut short keeps what it read), then places its marks
/// and marker. `next_board_slot` is the slot of the next information-board text.
StationOutcome read_station(Compilation& c, FieldReader& fields, const SourceSpot& where,
                            int32_t next_board_slot, StationSeries& series);

}  // namespace scengen
