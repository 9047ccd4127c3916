#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/compile_warnings.h"
#include "compiler/field_reader.h"
#include "compiler/keywords.h"
#include "compiler/read_descriptions.h"
#include "compiler/reference_check.h"
#include "compiler/signal_placement.h"
#include "compiler/station_placement.h"
#include "compiler/value_ranges.h"

namespace scengen {
namespace {

// Every keyword test of the train text ignores letter case.
bool has_keyword(std::string_view field, std::string_view keyword) {
  return contains_ignoring_case(field, keyword);
}

uint8_t low8(int64_t value) {
  return static_cast<uint8_t>(value);
}

// How the reading goes on after a record.
enum class Flow {
  Next,          // read the next record
  EndOfReading,  // the end of the text or a code 15: the tails and the reference check follow
  Stop,          // an error that ends the reading at once
  Noted,         // a reading on noted an error: on with the next line's keyword field
};

class TrainReader {
 public:
  TrainReader(Compilation& c, ReadingState& state, std::string_view text)
      : c_(c), state_(state), fields_(text, TextKind::Train), last_(c.last_cell()) {
    fields_.warn_into(c);
  }

  Flow read_records();
  void finish_reading();
  int32_t speed_cursor() const { return speed_cursor_; }
  int32_t adhesion_cursor() const { return adhesion_cursor_; }

  // The record readers the table of records names.
  Flow read_braked_mass();
  Flow read_coaches();
  Flow read_speed_step();
  Flow read_adhesion_step();
  Flow read_clock();
  Flow read_sand();
  Flow read_signal();
  Flow read_slow_order();
  Flow read_code_point();
  Flow read_station();

 private:
  bool read_keyword_field();
  Flow read_record();
  Flow read_on_after(Flow flow);
  Flow test_keywords();
  Flow test_each_keyword(std::string_view field);
  void warn_third_comment();
  Flow after_placement(int32_t position);
  void note_slow_order(int32_t x, int32_t l, int32_t code_before);
  void warn_slow_order_end(const SourceSpot& length_at, const SlowOrderRecord& order);

  void advance_profile(int32_t position, int32_t& cursor, uint8_t value, uint8_t TrackCell::*field);
  void fill_tail(int32_t& cursor, uint8_t value, uint8_t TrackCell::*field);
  bool beyond_track(int32_t position, int reach);
  TrackCell& cell(int64_t index);
  int32_t read_position();

  // Errors are recorded at the place of the record's keyword field, for the authors' diagnostics.
  void record(int32_t code) {
    record_error(c_, code);
    c_.StatusSource = record_spot_;
  }
  void record(int32_t code, int32_t position) {
    record_error(c_, code, position);
    c_.StatusSource = record_spot_;
  }

  uint8_t speed_value() const { return pack_speed_limit(current_speed_); }
  uint8_t adhesion_value() const { return low8(current_adhesion_); }

  Compilation& c_;
  ReadingState& state_;
  FieldReader fields_;
  const int32_t last_;  // the last cell index
  SourceSpot record_spot_{};

  int32_t speed_cursor_ = 0;
  int32_t adhesion_cursor_ = 0;
  int32_t current_speed_ = 0;
  int32_t current_adhesion_ = 0;
  StationSeries stations_;

  // For the authors' warnings only.
  SourceSpot position_spot_{};
  SeriesOrder speed_order_{"velocita"};
  SeriesOrder adhesion_order_{"aderenza"};
  UnmatchedLines unmatched_;
  RecordFields record_fields_;

  // A reading on tells once that the stations run into the board texts' slots.
  bool stations_overflow_noted_ = false;

 public:
  bool header_missing_ = false;
  bool speed_step_seen_ = false;
  bool adhesion_step_seen_ = false;
};

// A record of the train description; every keyword is compared without case.
struct TrainRow {
  RecordSyntax record;
  Flow (TrainReader::*read)();
};

// The rows are tested in this order on the same keyword field, each independent of the others,
// until one ends the reading.
constexpr TrainRow kTrainRecords[] = {
    {{{"percentuale massa frenata", "frenata", "massa", true}, "percentuale massa frenata", 1},
     &TrainReader::read_braked_mass},
    {{{"numero vetture", "vetture", "", true}, "numero vetture", 1}, &TrainReader::read_coaches},
    {{{"velocita", "velocit", "", true}, "velocita", 2}, &TrainReader::read_speed_step},
    {{{"aderenza", "aderenza", "", true}, "aderenza", 2}, &TrainReader::read_adhesion_step},
    {{{"orologio", "orologio", "", true}, "orologio", 3}, &TrainReader::read_clock},
    {{{"sabbia", "sabbia", "", true}, "sabbia", 1}, &TrainReader::read_sand},
    {{{"segnale", "segnale", "", true}, "segnale", 11}, &TrainReader::read_signal},
    {{{"rallentamento", "rallentamento", "", true}, "rallentamento", 6},
     &TrainReader::read_slow_order},
    {{{"abbattimento", "abbattimento", "", true}, "abbattimento", 2},
     &TrainReader::read_code_point},
    {{{"stazione", "stazione", "", true}, "stazione", 17}, &TrainReader::read_station},
};

// The records' names, for the suggestion after a misspelt keyword.
constexpr auto kRecordNames = record_names(kTrainRecords);

// The name of the first record a keyword field matches, for the warnings about its fields; null
// when it matches none.
const RecordSyntax* record_of(std::string_view field) {
  for (const TrainRow& row : kTrainRecords) {
    if (matches(row.record.keyword, field)) return &row.record;
  }
  return nullptr;
}

// Reads a keyword field into CurrentField; false when it was the field that ends the text.
bool TrainReader::read_keyword_field() {
  c_.CurrentField = fields_.read_text();
  record_spot_ = fields_.field_start();
  return !fields_.at_end();
}

Flow TrainReader::read_records() {
  // Everything up to the first field that names the general section is skipped. The search reads
  // once before it looks for the end, so an empty text fails.
  for (;;) {
    c_.CurrentField = fields_.read_text();
    if (matches(keywords::kGeneralHeader, c_.CurrentField)) break;
    if (fields_.at_end()) {
      record_warning(c_, {TextKind::Train, 1, 1},
                     "the train description has no [generale] section: none of its records is "
                     "read (speed and adhesion stay 0 along the whole track)",
                     WarningEffect::RecordDropped, "[generale]");
      header_missing_ = true;
      break;
    }
  }
  for (;;) {
    if (fields_.at_end()) return Flow::EndOfReading;
    if (!read_keyword_field()) return Flow::EndOfReading;
    // At most two comment fields in a row are passed over; a third is tested whatever it holds.
    if (has_keyword(c_.CurrentField, "-")) {
      if (!read_keyword_field()) return Flow::EndOfReading;
      if (has_keyword(c_.CurrentField, "-") && !read_keyword_field()) return Flow::EndOfReading;
      if (c_.CollectWarnings && has_keyword(c_.CurrentField, "-")) warn_third_comment();
    }
    const Flow flow = read_record();
    if (flow != Flow::Next && flow != Flow::Noted) return flow;
  }
}

// One record, whose keyword field is read. A compile ends the reading at its error; a reading on
// notes it and goes on at the next line.
Flow TrainReader::read_record() {
  try {
    return read_on_after(test_keywords());
  } catch (const ReadFailure& failure) {
    if (!c_.ReadOn) throw;
    record_error(c_, 25);
    c_.StatusSource = failure.where.line > 0 ? failure.where : state_.record;
    c_.StatusDetail = failure.reason;
    note_error(c_, ErrorReach::StopsText);
    if (fields_.at_end()) return Flow::EndOfReading;
    fields_.skip_rest_of_line();
    return Flow::Noted;
  }
}

// Notes the error a record ended the reading with; a reading on resumes at the next line.
Flow TrainReader::read_on_after(Flow flow) {
  if (flow == Flow::Next) return flow;
  if (c_.ReadOn && c_.StatusCode == 10) {
    // Every later station would run into the slots too: it reuses the last slot, unreported.
    --stations_.next_slot;
    if (stations_overflow_noted_) {
      clear_status(c_);
      fields_.skip_rest_of_line();
      return Flow::Noted;
    }
    stations_overflow_noted_ = true;
  }
  if (!note_error(c_, ErrorReach::StopsText)) return flow;
  fields_.skip_rest_of_line();
  return Flow::Noted;
}

// Only two comment fields in a row are passed over: the third is read as a record.
void TrainReader::warn_third_comment() {
  record_warning(c_, record_spot_,
                 "a third comment line in a row is read as a record (only two in a row are "
                 "passed over): put a record or a blank line between the comments",
                 WarningEffect::Note, "comments");
  unmatched_.mark(record_spot_.line);
}

// The tests are independent: a field holding two keywords reads the values of both, in order.
Flow TrainReader::test_keywords() {
  const std::string_view field = fields_.last_field();  // the keyword, not copied
  const int fields_before = fields_.fields_read();
  if (c_.CollectWarnings) record_fields_.begin(record_spot_, field);
  Flow flow = test_each_keyword(field);
  if (flow != Flow::Next || !c_.CollectWarnings) return flow;
  if (const int values = fields_.fields_read() - fields_before; values > 0) {
    const RecordSyntax* record = record_of(field);
    record_fields_.end(c_, record ? record->keyword.topic : "record", values, fields_,
                       keywords::train_records(), unmatched_);
  }
  return flow;
}

Flow TrainReader::test_each_keyword(std::string_view field) {
  for (const TrainRow& row : kTrainRecords) {
    if (!matches(row.record.keyword, field)) continue;
    if (const Flow flow = (this->*row.read)(); flow != Flow::Next) return flow;
  }
  if (c_.CollectWarnings && record_of(field) == nullptr && unmatched_.open(record_spot_.line)) {
    warn_unmatched_field(c_, record_spot_, field, kRecordNames);
    unmatched_.mark(record_spot_.line);
  }
  return Flow::Next;
}

// The train's general values are stored as they are written: a value outside its range is kept,
// and the warning is a note.
constexpr std::string_view kKeptAsWritten = "it is compiled as it is";

Flow TrainReader::read_braked_mass() {
  const int32_t percentage = fields_.read_long();
  c_.ScenarioTable[kRouteLengthSlot].Num1 = percentage;
  warn_value(c_, fields_.field_start(), value_ranges::kBrakedMass, percentage, kKeptAsWritten, {},
             WarningEffect::Note);
  return Flow::Next;
}

Flow TrainReader::read_coaches() {
  const int32_t coaches = fields_.read_long();
  c_.ScenarioTable[kRouteLengthSlot].Num3 = coaches;
  warn_value(c_, fields_.field_start(), value_ranges::kCoaches, coaches, kKeptAsWritten, {},
             WarningEffect::Note);
  return Flow::Next;
}

Flow TrainReader::read_clock() {
  ScenarioEntry& slot = c_.ScenarioTable[kTrainNumberSlot];
  std::array<SourceSpot, 3> spots;
  slot.Small3 = fields_.read_integer();
  spots[0] = fields_.field_start();
  slot.Small4 = fields_.read_integer();
  spots[1] = fields_.field_start();
  slot.Small5 = fields_.read_integer();
  spots[2] = fields_.field_start();
  if (!c_.CollectWarnings) return Flow::Next;
  // Nothing carries a minute of 75 into the hour: the clock is kept as written.
  const std::string kept = std::string(kKeptAsWritten) + ", a starting clock of " +
                           std::to_string(slot.Small3) + ", " + std::to_string(slot.Small4) +
                           ", " + std::to_string(slot.Small5);
  using namespace value_ranges;
  warn_value(c_, spots[0], kClockHours, slot.Small3, kept, {}, WarningEffect::Note);
  warn_value(c_, spots[1], kClockMinutes, slot.Small4, kept, {}, WarningEffect::Note);
  warn_value(c_, spots[2], kClockSeconds, slot.Small5, kept, {}, WarningEffect::Note);
  return Flow::Next;
}

Flow TrainReader::read_sand() {
  const int16_t sand = fields_.read_integer();
  c_.ScenarioTable[kTrainNumberSlot].Small1 = sand;
  warn_value(c_, fields_.field_start(), value_ranges::kSand, sand, kKeptAsWritten, {},
             WarningEffect::Note);
  return Flow::Next;
}

// A record's position, a Long; its place is kept for the warnings about it.
int32_t TrainReader::read_position() {
  const int32_t position = fields_.read_long();
  position_spot_ = fields_.field_start();
  return position;
}

// Records 15 when the position lies before the route start or (position + reach) / 50 beyond the
// last cell. Without a track, the first record that needs one fails with 25.
bool TrainReader::beyond_track(int32_t position, int reach) {
  if (c_.TrackCells.empty()) throw ReadFailure{record_spot_, "the line description gave no track"};
  if (position < 0 || static_cast<double>(int64_t{position} + reach) / kCellLength > last_) {
    record(15, position);
    return true;
  }
  return false;
}

// Every cell the reader writes is checked: a write outside the track is a reading failure.
TrackCell& TrainReader::cell(int64_t index) {
  if (index < 0 || index > last_) throw ReadFailure{record_spot_, "a cell lies outside the track"};
  return c_.TrackCells[static_cast<size_t>(index)];
}

// Writes the previous value from the cursor up to the step's cell. The loop writes at least one
// cell even when the cursor already stands at or past it, and never the last cell.
void TrainReader::advance_profile(int32_t position, int32_t& cursor, uint8_t value,
                                  uint8_t TrackCell::*field) {
  const int64_t n = cell_of(position, kStepOffset);
  if (n <= 0) return;
  do {
    if (cursor >= last_) break;
    cell(cursor).*field = value;
    ++cursor;
  } while (cursor < n);
}

// Writes at least one cell; the last three keep their 0 unless the cursor already stood there.
void TrainReader::fill_tail(int32_t& cursor, uint8_t value, uint8_t TrackCell::*field) {
  do {
    cell(cursor).*field = value;
    ++cursor;
  } while (cursor < last_ - 2);
}

Flow TrainReader::read_speed_step() {
  const int32_t pos = read_position();
  const int32_t v = fields_.read_long();
  if (beyond_track(pos, 100)) return Flow::EndOfReading;
  speed_order_.check(c_, position_spot_, pos);
  warn_rounded_position(c_, position_spot_, "velocita", pos);
  warn_wrapped_speed(c_, fields_.field_start(), v);
  speed_step_seen_ = true;
  advance_profile(pos, speed_cursor_, speed_value(), &TrackCell::SpeedLimit);
  current_speed_ = v;
  return Flow::Next;
}

Flow TrainReader::read_adhesion_step() {
  const int32_t pos = read_position();
  const int32_t a = fields_.read_long();
  if (beyond_track(pos, 100)) return Flow::EndOfReading;
  adhesion_order_.check(c_, position_spot_, pos);
  warn_rounded_position(c_, position_spot_, "aderenza", pos);
  warn_wrapped_adhesion(c_, fields_.field_start(), a);
  adhesion_step_seen_ = true;
  advance_profile(pos, adhesion_cursor_, adhesion_value(), &TrackCell::Adhesion);
  current_adhesion_ = a;
  return Flow::Next;
}

// Only the placement's own refusal (16 to 20) ends the reading: a 15 that the line half recorded
// stays, and the train text is read on.
Flow TrainReader::after_placement(int32_t position) {
  if (c_.StatusCode < 16 || c_.StatusCode > 20) return Flow::Next;
  c_.StatusPosition = position;
  c_.StatusSource = record_spot_;
  return Flow::Stop;
}

Flow TrainReader::read_signal() {
  const int32_t position = read_position();
  SignalCell signal;
  std::array<SourceSpot, 10> spots;
  auto spot = spots.begin();
  for (int32_t* value : {&signal.sx, &signal.s1, &signal.s2, &signal.s3, &signal.rapp, &signal.dx,
                         &signal.d1, &signal.d2, &signal.d3, &signal.tempo}) {
    *value = fields_.read_long();
    *spot++ = fields_.field_start();
  }
  if (beyond_track(position, 100)) return Flow::EndOfReading;
  warn_rounded_position(c_, position_spot_, "segnale", position);
  warn_signal_values(c_, spots, signal);
  place_signal(c_, position, signal);
  if (c_.CollectWarnings) {
    const int64_t at = cell_of(position, kFeatureOffset);
    if (c_.StatusCode == 16)
      explain_taken_cell(c_, at);
    else
      note_cell_source(c_, at, record_spot_, "segnale", c_.CurrentField);
  }
  return after_placement(position);
}

Flow TrainReader::read_slow_order() {
  SlowOrderRecord order;
  order.start = read_position();
  std::array<SourceSpot, 5> spots;
  auto spot = spots.begin();
  for (int32_t* value :
       {&order.speed, &order.length, &order.f_tt, &order.approach_boards, &order.d_v}) {
    *value = fields_.read_long();
    *spot++ = fields_.field_start();
  }
  if (beyond_track(order.start, 100)) return Flow::EndOfReading;
  warn_rounded_position(c_, position_spot_, "rallentamento", order.start);
  // The order's cells keep each value's low 16 bits.
  const auto low16 = [](int32_t v) { return "it is compiled as " + std::to_string(int16_t(v)); };
  warn_value(c_, spots[0], value_ranges::kSlowOrderSpeed, order.speed, low16(order.speed));
  warn_value(c_, spots[2], value_ranges::kSlowOrderFlag, order.f_tt, low16(order.f_tt));
  warn_value(c_, spots[4], value_ranges::kSlowOrderValue, order.d_v, low16(order.d_v));
  const int32_t code_before = c_.StatusCode;
  place_slow_order(c_, order);
  if (c_.CollectWarnings) {
    note_slow_order(order.start, order.length, code_before);
    if (c_.StatusCode == code_before) warn_slow_order_end(spots[1], order);
  }
  return after_placement(order.start);
}

// A length that puts the end in the start's cell or before it: the cells say what is left.
void TrainReader::warn_slow_order_end(const SourceSpot& length_at, const SlowOrderRecord& order) {
  const int64_t start = cell_of(order.start, kFeatureOffset);
  const int64_t end = cell_of(int64_t{order.start} + order.length, kFeatureOffset);
  const std::string length = "the length " + std::to_string(order.length) + " m ";
  if (end == start) {
    record_warning(c_, length_at,
                   length + "ends the slow order in the cell of its start: the start is compiled "
                            "over the end, and the order has no end cell",
                   WarningEffect::ValueChanged, "rallentamento");
  } else if (end < start) {
    record_warning(c_, length_at,
                   length + "puts the slow order's end before its start: the end is compiled in "
                            "cell " + std::to_string(end) + ", before the start's cell " +
                       std::to_string(start),
                   WarningEffect::ValueChanged, "rallentamento");
  }
}

// The slow order's cells, for the errors about a taken cell: which one was refused, or which
// record placed them.
void TrainReader::note_slow_order(int32_t x, int32_t l, int32_t code_before) {
  const int64_t warning = cell_of(int64_t{x} - kWarningDistance, kFeatureOffset);
  const int64_t start = cell_of(x, kFeatureOffset);
  const int64_t end = cell_of(int64_t{x} + l, kFeatureOffset);
  const int64_t boards = cell_of(int64_t{x} - kWarningDistance, kStepOffset);
  const auto free = [&](int64_t index) {
    return index >= 0 && index <= last_ && is_free(c_.TrackCells[static_cast<size_t>(index)]);
  };
  if (c_.StatusCode != code_before) {
    switch (c_.StatusCode) {
      case 17: explain_taken_cell(c_, warning); return;
      case 18: explain_taken_cell(c_, start); return;
      case 19: explain_taken_cell(c_, end); return;
      case 20:
        for (int m = 0; m <= 3; ++m) {
          if (!free(boards - m)) {
            explain_taken_cell(c_, boards - m);
            break;
          }
        }
        break;
      default: break;
    }
  }
  for (const int64_t index : {warning, start, end, boards, boards - 1, boards - 2, boards - 3}) {
    if (index >= 0 && index <= last_ && !free(index) &&
        (index >= static_cast<int64_t>(c_.CellSources.size()) ||
         c_.CellSources[static_cast<size_t>(index)].record.empty()))
      note_cell_source(c_, index, record_spot_, "rallentamento", c_.CurrentField);
  }
}

Flow TrainReader::read_code_point() {
  const int32_t pos = read_position();
  const int32_t code = fields_.read_long();
  const SourceSpot code_spot = fields_.field_start();
  if (beyond_track(pos, 100)) return Flow::EndOfReading;
  warn_rounded_position(c_, position_spot_, "abbattimento", pos);
  if (c_.CollectWarnings && !value_ranges::kCodePointCode.holds(code)) {
    TrackCell compiled;
    pack_code_point({code}, compiled);
    warn_value(c_, code_spot, value_ranges::kCodePointCode, code,
               "it is compiled as " + std::to_string(unpack_code_point(compiled).code));
  }
  // The cell of the position itself, without the + 1 of signals and slow orders.
  TrackCell& point = cell(cell_of(pos, kStepOffset));
  if (!is_free(point)) {
    record(7, pos);
    explain_taken_cell(c_, cell_of(pos, kStepOffset));
    return Flow::Stop;
  }
  pack_code_point({code}, point);
  note_cell_source(c_, cell_of(pos, kStepOffset), record_spot_, "abbattimento", c_.CurrentField);
  return Flow::Next;
}

// The station's values go straight into its slot as they are read.
Flow TrainReader::read_station() {
  switch (scengen::read_station(c_, fields_, record_spot_, state_.next_board_slot, stations_)) {
    case StationOutcome::Next:
      return Flow::Next;
    case StationOutcome::EndOfReading:
      return Flow::EndOfReading;
    case StationOutcome::Stop:
      break;
  }
  return Flow::Stop;
}

void TrainReader::finish_reading() {
  fill_tail(speed_cursor_, speed_value(), &TrackCell::SpeedLimit);
  fill_tail(adhesion_cursor_, adhesion_value(), &TrackCell::Adhesion);
  check_references(c_, state_);
}

}  // namespace

std::span<const RecordSyntax> keywords::train_records() {
  static constexpr auto specs = record_specs(kTrainRecords);
  return specs;
}

void read_train_description(Compilation& c, DescriptionTexts& texts, ReadingState& state) {
  const TextRead text = texts.read_train_text();
  if (text.status == TextStatus::Missing) {
    throw ReadFailure{{TextKind::Train, 0, 0}, "the train description text is missing"};
  }
  if (text.status == TextStatus::Unreadable) {
    throw ReadFailure{{TextKind::Train, 0, 0}, "the train description text cannot be read"};
  }
  warn_encoding(c, text.text(), TextKind::Train);
  TrainReader reader(c, state, text.text());
  const Flow flow = reader.read_records();
  if (c.CollectWarnings && !reader.header_missing_ && flow == Flow::EndOfReading &&
      c.StatusCode == 0) {
    if (!reader.speed_step_seen_)
      record_warning(c, {TextKind::Train, 1, 1},
                     "the train description has no 'velocita' step: the speed limit is 0 along "
                     "the whole track",
                     WarningEffect::Note, "velocita");
    if (!reader.adhesion_step_seen_)
      record_warning(c, {TextKind::Train, 1, 1},
                     "the train description has no 'aderenza' step: the adhesion is 0 along the "
                     "whole track",
                     WarningEffect::Note, "aderenza");
  }
  // Every way out but a reading failure deletes the text here; read_descriptions's handler deletes
  // it after a failure.
  texts.delete_train_text();
  state.speed_cursor = reader.speed_cursor();
  state.adhesion_cursor = reader.adhesion_cursor();
  if (flow == Flow::EndOfReading) reader.finish_reading();
}

}  // namespace scengen
