#include "compiler/station_placement.h"

#include <string>

#include "compiler/compile_warnings.h"
#include "compiler/keywords.h"
#include "compiler/value_ranges.h"

namespace scengen {
namespace {

// A station's area must start at least this far after the previous station's end.
// A station shorter than this keeps no second flag.
constexpr int32_t kSecondFlagLength = 600;

// One station record, read into `station`, which its slot takes whatever way the record ends.
class StationReading {
 public:
  StationReading(Compilation& c, FieldReader& fields, const SourceSpot& where,
                 StationSeries& series)
      : c_(c), fields_(fields), where_(where), series_(series), last_(c.last_cell()) {}

  StationOutcome read_values(StationSlot& station);
  void set_extent(StationSlot& station, int32_t n);
  StationOutcome place_marker(const StationSlot& station, int32_t n);
  StationOutcome end_station(const StationSlot& station, int32_t n, int32_t next_board_slot);

 private:
  bool beyond_track(int32_t position);
  TrackCell& cell(int64_t index);
  int32_t fit_long(int64_t value) const;
  void warn_time(int64_t hours, int64_t minutes, int64_t seconds, int32_t time);
  void warn_name(const SourceSpot& name_at);
  void warn_name_cut(const SourceSpot& name_at, const std::string& becomes);
  void warn_forced_flags(const StationSlot& station);

  // Errors are recorded at the place of the record's keyword field, for the authors' diagnostics.
  void record(int32_t code) {
    record_error(c_, code);
    c_.StatusSource = where_;
  }
  void record(int32_t code, int32_t position) {
    record_error(c_, code, position);
    c_.StatusSource = where_;
  }

  Compilation& c_;
  FieldReader& fields_;
  const SourceSpot where_;
  StationSeries& series_;
  const int32_t last_;  // the last cell index
  int32_t length_ = 0;  // the record's length: it sets the area and is not stored itself
  SourceSpot second_flag_spot_{};
  SourceSpot third_flag_spot_{};
};

// Records 15 when the position lies before the route start or (position + 800) / 50 beyond the
// last cell. Without a track, the first record that needs one fails with 25.
bool StationReading::beyond_track(int32_t position) {
  if (c_.TrackCells.empty()) throw ReadFailure{where_, "the line description gave no track"};
  if (position < 0 || static_cast<double>(int64_t{position} + 800) / kCellLength > last_) {
    record(15, position);
    return true;
  }
  return false;
}

// Every cell the reading writes is checked: a write outside the track is a reading failure.
TrackCell& StationReading::cell(int64_t index) {
  if (index < 0 || index > last_) throw ReadFailure{where_, "a cell lies outside the track"};
  return c_.TrackCells[static_cast<size_t>(index)];
}

int32_t StationReading::fit_long(int64_t value) const {
  if (value < INT32_MIN || value > INT32_MAX) {
    throw ReadFailure{where_, "a value does not fit its Long field"};
  }
  return static_cast<int32_t>(value);
}

// The position is checked before the rest of the record is read.
StationOutcome StationReading::read_values(StationSlot& station) {
  station.position = fields_.read_long();
  const SourceSpot position_spot = fields_.field_start();
  if (beyond_track(station.position)) return StationOutcome::EndOfReading;
  if (station.position % kCellLength != 0) {
    record(8, station.position);
    return StationOutcome::Stop;
  }
  series_.order.check(c_, position_spot, station.position);
  warn_beyond_route(c_, position_spot, "stazione", station.position);
  station.type = fields_.read_byte();
  length_ = fields_.read_long();
  if (length_ % 100 != 0) {
    record(9, station.position);
    return StationOutcome::Stop;
  }
  station.first_flag = fields_.read_byte();
  station.second_flag = fields_.read_byte();
  second_flag_spot_ = fields_.field_start();
  station.lengthens_end = fields_.read_byte();
  third_flag_spot_ = fields_.field_start();
  station.first_group[0] = fields_.read_integer();
  station.first_group[1] = fields_.read_integer();
  station.first_group_last = fields_.read_byte();
  for (int16_t& value : station.second_group) value = fields_.read_integer();
  station.dwell_seconds = fields_.read_byte();
  const int64_t hours = fields_.read_long();
  const int64_t minutes = fields_.read_long();
  const int64_t seconds = fields_.read_long();
  station.time_seconds = fit_long(hours * 3600 + minutes * 60 + seconds);
  station.name = fields_.read_text();
  if (c_.CollectWarnings) {
    warn_time(hours, minutes, seconds, station.time_seconds);
    warn_name(fields_.field_start());
  }
  return StationOutcome::Next;
}

// A minute or second beyond 59 carries into the next unit; a time before the previous
// station's is almost surely a slip (0 means no time and passes).
void StationReading::warn_time(int64_t hours, int64_t minutes, int64_t seconds, int32_t time) {
  const auto clock = [](int64_t t) {
    const auto two = [](int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(t / 3600) + ":" + two(t / 60 % 60) + ":" + two(t % 60);
  };
  if (!value_ranges::kStationMinutes.holds(minutes) ||
      !value_ranges::kStationSeconds.holds(seconds) || hours < 0) {
    record_warning(c_, where_,
                   "the station time " + std::to_string(hours) + ", " + std::to_string(minutes) +
                       ", " + std::to_string(seconds) +
                       " has a value outside its clock range (minutes and seconds 0 to 59): it "
                       "is compiled as " +
                       (time >= 0 ? clock(time) : std::to_string(time) + " s"),
                   WarningEffect::ValueChanged, "stazione");
  }
  if (time > 0 && series_.last_time > 0 && time < series_.last_time) {
    record_warning(c_, where_,
                   "the station time " + clock(time) + " comes before the previous station's " +
                       clock(series_.last_time) + ": the times go backwards",
                   WarningEffect::Note, "stazione");
  }
  if (time > 0) series_.last_time = time;
}

// Whether `text` is whole numbers separated by blanks, as a time may be written ("8 20 0").
bool only_numbers(std::string_view text) {
  bool digit_seen = false;
  for (size_t at = 0; at < text.size(); ++at) {
    const char ch = text[at];
    if (ch == ' ' || ch == '\t') {
      digit_seen = false;
    } else if (ch >= '0' && ch <= '9') {
      digit_seen = true;
    } else if ((ch != '-' && ch != '+') || digit_seen) {
      return false;
    }
  }
  return true;
}

// What the author's field holds before the name the reader took from it: empty when the name
// begins its field, is quoted, or follows numbers apart by blanks (a time written "8 20 0 NAME").
std::string_view words_before_name(std::string_view written, std::string_view name) {
  if (name.data() <= written.data() || name.data() > written.data() + written.size()) return {};
  const std::string_view before =
      trim_blanks(written.substr(0, static_cast<size_t>(name.data() - written.data())));
  if (before.starts_with('"') || only_numbers(before)) return {};
  return before;
}

// The name the station compiles is the field after its seconds, wherever that falls: a later
// line's keyword when the record lost fields, the end of the last field when a blank split it,
// the part of the name before a comma.
void StationReading::warn_name(const SourceSpot& name_at) {
  const std::string_view name = fields_.last_field();
  const std::string becomes = quote_field(name) + " becomes the station's name";
  const std::string_view written = fields_.written_field();
  if (name_at.line != where_.line) {
    record_warning(c_, where_,
                   "the station's name is read from line " + std::to_string(name_at.line) +
                       ": " + becomes,
                   WarningEffect::ValueChanged, "stazione");
  } else if (const std::string_view before = words_before_name(written, name); !before.empty()) {
    record_warning(c_, name_at,
                   "the field " + quote_field(written) +
                       " is split at a blank (a field too few before it?): " +
                       quote_field(before) + " is read as a number and " + becomes,
                   WarningEffect::ValueChanged, "stazione");
  } else if (fields_.line() == name_at.line && fields_.rest_of_line_has_fields()) {
    warn_name_cut(name_at, becomes);
  }
  warn_control_bytes(c_, name_at, name, "the station name", "stazione");
}

// The line goes on after the name: a comma inside the name, unless a record follows.
void StationReading::warn_name_cut(const SourceSpot& name_at, const std::string& becomes) {
  const std::string_view rest = trim_blanks(fields_.peek_field(kQuotedBytes + 1));
  for (const RecordSyntax& known : keywords::train_records()) {
    if (matches(known.keyword, rest)) return;  // a second record, warned about as such
  }
  record_warning(c_, name_at,
                 becomes + ", without the rest of the line (" + quote_field(rest) +
                     "): a name that holds a comma is written in double quotes",
                 WarningEffect::ValueChanged, "stazione");
}

// The station area from its type and length, and the flags it forces to 0.
void StationReading::set_extent(StationSlot& station, int32_t n) {
  if (c_.CollectWarnings && n != kFirstStationSlot) warn_forced_flags(station);
  const int64_t position = station.position;
  switch (station_area(station.type)) {
    case StationArea::BeforePoint:
      station.area_end = fit_long(position + kAreaPastPoint);
      station.area_start = fit_long(position - length_);
      station.lengthens_end = 0;
      break;
    case StationArea::BothSides:
      station.area_start = fit_long(position - length_);
      station.area_end = fit_long(position + length_);
      station.lengthens_end = 0;
      break;
    case StationArea::Centred:
      station.area_start = fit_long(nearest(position - length_ / 2.0));
      station.area_end = fit_long(nearest(position + length_ / 2.0) +
                                  (station.lengthens_end != 0 ? kCellLength : 0));
      break;
  }
  if (length_ < kSecondFlagLength) station.second_flag = 0;
  // After the extent, so that a first station's end still takes the 50 m of its flag.
  if (n == kFirstStationSlot) {
    station.lengthens_end = 0;
    station.second_flag = 0;
  }
}

// The flags that the station's type or length forces to 0. The first station's are forced as
// well, and texts commonly write them for the origin: no warning there.
void StationReading::warn_forced_flags(const StationSlot& station) {
  if (station.second_flag != 0 && length_ < kSecondFlagLength) {
    record_warning(c_, second_flag_spot_,
                   "the second flag " + std::to_string(station.second_flag) +
                       " counts only from a length of " + std::to_string(kSecondFlagLength) +
                       " m (the length is " + std::to_string(length_) + "): it is compiled as 0",
                   WarningEffect::ValueChanged, "stazione");
  }
  if (station.lengthens_end != 0 && station_area(station.type) != StationArea::Centred) {
    record_warning(c_, third_flag_spot_,
                   "the third flag " + std::to_string(station.lengthens_end) +
                       " counts only for types other than 5 to 8 (the type is " +
                       std::to_string(station.type) + "): it is compiled as 0",
                   WarningEffect::ValueChanged, "stazione");
  }
}

// The approach marks and the marker in the cell before the station's end. The end is a multiple
// of 50 here (position and half the length are), so the marker's cell is exact.
StationOutcome StationReading::place_marker(const StationSlot& station, int32_t n) {
  const int64_t marker = cell_of(station.area_end, kEndOffset);
  if (marker > last_) {
    record(15, station.position);
    return StationOutcome::EndOfReading;
  }
  if (station_area(station.type) != StationArea::BeforePoint) {
    for (int k = 1; k <= kApproachMarks; ++k) {
      const int64_t j = marker - k;
      if (j > 1) cell(j).Mark = station_mark(k);
    }
  }
  if (marker <= 1) {
    record(24);
    return StationOutcome::Stop;
  }
  pack_slot_cell(kStationMarker, n, cell(marker));
  note_cell_source(c_, marker, where_, "stazione", c_.CurrentField);
  return StationOutcome::Next;
}

// The spacing to the station before and the count of stations against the board texts.
StationOutcome StationReading::end_station(const StationSlot& station, int32_t n,
                                           int32_t next_board_slot) {
  // A start exactly 350 m after the previous end passes.
  if (n > kFirstStationSlot && int64_t{station.area_start} - kStationSpacing <
                                   c_.ScenarioTable[static_cast<size_t>(n - 1)].Num2) {
    record(22, station.position);
    return StationOutcome::Stop;
  }
  // Checked after every station, whether or not another follows.
  ++series_.next_slot;
  if (series_.next_slot >= next_board_slot) {
    record(10);
    return StationOutcome::Stop;
  }
  return StationOutcome::Next;
}

StationOutcome read_and_place(StationReading& reading, StationSlot& station, int32_t n,
                              int32_t next_board_slot) {
  if (const StationOutcome outcome = reading.read_values(station); outcome != StationOutcome::Next)
    return outcome;
  reading.set_extent(station, n);
  if (!is_halt(station.type)) {
    if (const StationOutcome outcome = reading.place_marker(station, n);
        outcome != StationOutcome::Next)
      return outcome;
  }
  return reading.end_station(station, n, next_board_slot);
}

}  // namespace

StationOutcome read_station(Compilation& c, FieldReader& fields, const SourceSpot& where,
                            int32_t next_board_slot, StationSeries& series) {
  const int32_t n = series.next_slot;
  // Code 10 stops the counter below the board-text slots; the first station takes slot 1 however
  // many board texts there are. The guard only keeps the fixed slots out of reach.
  if (n < kFirstStationSlot || n > kFirstBoardTextSlot)
    throw ReadFailure{where, "no scenario table slot for a station"};
  ScenarioEntry& entry = c.ScenarioTable[static_cast<size_t>(n)];
  StationReading reading(c, fields, where, series);
  // The fields not read yet keep what the slot held.
  StationSlot station = unpack_station(entry);
  StationOutcome outcome;
  try {
    outcome = read_and_place(reading, station, n, next_board_slot);
  } catch (...) {
    // A record cut short leaves in its slot what it read.
    entry = pack_station(station);
    throw;
  }
  entry = pack_station(station);
  return outcome;
}

}  // namespace scengen
