// The first half of read_descriptions: the line description into TrackCells, TrackPlan, the tunnel
// lists and ScenarioTable slots 80 down and 81 to 86.
#include <array>
#include <iterator>
#include <string>
#include <string_view>

#include "compiler/compile_warnings.h"
#include "compiler/field_reader.h"
#include "compiler/keywords.h"
#include "compiler/line_placement.h"
#include "compiler/read_descriptions.h"
#include "compiler/value_ranges.h"

namespace scengen {
namespace {

constexpr int32_t kLongestRoute = value_ranges::kRouteLength.high;

bool contains(std::string_view field, std::string_view keyword) {
  return field.find(keyword) != std::string_view::npos;
}

// Whether the field would match the keyword if its letters were compared without case.
bool matches_ignoring_case(const Keyword& keyword, std::string_view field) {
  return contains_ignoring_case(field, keyword.word) &&
         (keyword.also.empty() || contains_ignoring_case(field, keyword.also));
}

// How a feature record leaves the feature section.
enum class Flow {
  Next,       // on with the next keyword field
  EndOfText,  // code 15: the end steps run as at the end of the file
  Stop,       // an error that ends read_descriptions
  Noted,      // a reading on noted an error: on with the next line's keyword field
};

class LineReader {
 public:
  LineReader(Compilation& c, DescriptionTexts& texts, ReadingState& state, std::string_view text)
      : c_(c), texts_(texts), state_(state), reader_(text, TextKind::Line) {
    reader_.warn_into(c);
  }

  bool run(std::string_view text) {
    warn_encoding(c_, text, TextKind::Line);
    if (!find_general_section()) return false;
    if (!read_general_section()) return false;
    // A refused route length leaves no track: its error is the one to tell, not what follows.
    if (c_.ReadOn && length_refused_ && c_.TrackCells.empty()) return false;
    between_sections();
    if (!read_feature_section()) return false;
    end_of_text();
    return true;
  }

  // The record readers the section tables name. A general record returns false after an error
  // that ends read_descriptions.
  bool read_route_length(std::string_view field);
  template <int kSlot>
  bool read_reference(std::string_view field);
  template <int32_t ScenarioEntry::*kValue>
  bool read_background(std::string_view field);
  bool read_repetition(std::string_view field);
  Flow read_gradient(std::string_view field);
  Flow read_curve(std::string_view field);
  Flow read_tunnel(std::string_view field);
  Flow read_speed_board(std::string_view field);
  Flow read_information_board(std::string_view field);

 private:
  void read_keyword() {
    c_.CurrentField = reader_.read_text();
    state_.record = reader_.field_start();
  }
  int32_t read_number() { return reader_.read_long(); }
  // A record's position; its place is kept for the warnings about it.
  int32_t read_position(SourceSpot& where) {
    const int32_t position = read_number();
    where = reader_.field_start();
    return position;
  }
  bool at_end() const { return reader_.at_end(); }

  // Closes and deletes the text and records a code that ends read_descriptions. A reading on
  // notes it instead and goes on (true).
  bool stop(int32_t code) { return stop_at(code, c_.StatusPosition); }
  bool stop_at(int32_t code, int32_t position) {
    texts_.delete_line_text();
    record_error(c_, code, position);
    c_.StatusSource = state_.record;
    return read_on(ErrorReach::StopsBothTexts);
  }
  Flow halt(int32_t code) { return stop(code) ? Flow::Noted : Flow::Stop; }
  Flow halt_at(int32_t code, int32_t position) {
    return stop_at(code, position) ? Flow::Noted : Flow::Stop;
  }

  // Notes the recorded error; a reading on resumes at the next line.
  bool read_on(ErrorReach reach) {
    if (!note_error(c_, reach)) return false;
    reader_.skip_rest_of_line();
    return true;
  }

  // A reading on notes a reading failure as its code 25 and resumes at the next line, or ends
  // the text when nothing is left of it; a compile passes it on to read_descriptions.
  Flow read_on_failure(const ReadFailure& failure) {
    if (!c_.ReadOn || c_.TrackCells.empty()) throw failure;
    record_error(c_, 25);
    c_.StatusSource = failure.where.line > 0 ? failure.where : state_.record;
    c_.StatusDetail = failure.reason;
    read_on(ErrorReach::StopsBothTexts);
    return at_end() ? Flow::EndOfText : Flow::Noted;
  }

  bool find_general_section() {
    for (;;) {
      read_keyword();
      if (at_end()) {
        stop(102);  // nothing follows the end of the text, even in a reading on
        return false;
      }
      if (matches(keywords::kGeneralHeader, c_.CurrentField)) return true;
    }
  }

  bool read_general_section();
  bool read_general_record(std::string_view field);
  void warn_unmatched_general(std::string_view field);
  bool read_feature_section();
  Flow read_feature_record(std::string_view field);
  std::string_view feature_record(std::string_view field) const;
  void warn_if_unmatched(std::string_view field);

  // The check of a record's fields against its line, once its values are read.
  void end_record(std::string_view record, int fields_before,
                  std::span<const RecordSyntax> records) {
    const int values = reader_.fields_read() - fields_before;
    if (record.empty() || values == 0) return;
    record_fields_.end(c_, record, values, reader_, records, unmatched_);
  }

  static bool ends_general_section(std::string_view field) {
    if (!contains(field, "[") || !contains(field, "]")) return false;
    const size_t first = field.find_first_not_of(" \t");
    return first == std::string_view::npos || field[first] != '-';
  }

  void between_sections() {
    order_references(c_);
    c_.TunnelCount = 0;
    state_.next_board_slot = kFirstBoardTextSlot;
    gradient_cursor_ = 0;
    plan_cursor_ = 2;
    if (c_.CompileFlag != 0) {
      if (!c_.TrackPlan.exists()) throw ReadFailure{state_.record, "no route length"};
      c_.TrackPlan.set_integer(0, 0, 0);
      c_.TrackPlan.set_integer(0, 1, 0);
      c_.TrackPlan.set_integer(1, 0, 0);
      c_.TrackPlan.set_integer(1, 1, 1);
    }
  }

  // Warnings about a feature's position: its cell rounded, beyond the route's end.
  void warn_feature_position(const SourceSpot& where, std::string_view record, int32_t position) {
    warn_rounded_position(c_, where, record, position);
    warn_beyond_route(c_, where, record, position);
  }

  // Without a route length there is no track to place anything on.
  void need_track() const {
    if (c_.TrackCells.empty())
      throw ReadFailure{state_.record, "no route length before the features"};
  }

  // The track check: a position below 0, or one whose (x + 100) / 50 is past the last cell.
  bool on_track(int32_t x) const { return x >= 0 && (x + 100.0) / kCellLength <= c_.last_cell(); }

  Flow beyond_track(int32_t position) {
    record_error(c_, 15, position);
    c_.StatusSource = state_.record;
    return read_on(ErrorReach::StopsText) ? Flow::Noted : Flow::EndOfText;
  }

  // Writes the previous gradient into the cell under the cursor and moves the cursor on.
  void write_gradient() {
    if (gradient_cursor_ < 0 || gradient_cursor_ > c_.last_cell())
      throw ReadFailure{{}, "the gradients run past the last cell"};
    c_.TrackCells[static_cast<size_t>(gradient_cursor_)].Gradient =
        pack_gradient(previous_gradient_);
    ++gradient_cursor_;
  }

  // Reached at the end of the file or through a failed track check.
  void end_of_text() {
    texts_.delete_line_text();
    // The tail stops short of the last three cells, which keep Gradient 0, unless the cursor
    // already stands among them: like every gradient step it writes at least one cell.
    do {
      write_gradient();
    } while (gradient_cursor_ < c_.last_cell() - 2);
    if (c_.CompileFlag != 0)
      walk_plan(c_, plan_cursor_, int64_t{c_.ExtendedLength} - 2, 0.0, false);
    state_.record = {};
  }

  Compilation& c_;
  DescriptionTexts& texts_;
  ReadingState& state_;
  FieldReader reader_;
  int32_t gradient_cursor_ = 0;
  int32_t previous_gradient_ = 0;
  int32_t plan_cursor_ = 2;
  // The route length's record failed: without a track nothing after it can be placed.
  bool length_refused_ = false;

  // For the authors' warnings only.
  int unread_values_ = 0;  // a record's values met as keyword fields, since it is not read
  SeriesOrder gradient_order_{"pendenza"};
  SeriesOrder curve_order_{"curva"};
  SeriesOrder tunnel_order_{"montagna"};
  SeriesOrder speed_board_order_{"indicatori_v"};
  SeriesOrder information_board_order_{"cartello_indicatore"};
  UnmatchedLines unmatched_;
  RecordFields record_fields_;
};

// A record of the general section. Its keyword is compared exactly, in lower case, but for the
// route length's.
struct GeneralRow {
  RecordSyntax record;
  bool (LineReader::*read)(std::string_view field);
  int written_order;  // its place in the section as authors write it: a tied suggestion goes to
                      // the record written first
};

// Every keyword field of the general section is offered to each row in turn: a field naming two
// records reads the values of both, in this order.
constexpr GeneralRow kGeneralRecords[] = {
    {{{"lunghezza percorso", "lunghezza", "percorso", true}, "lunghezza percorso", 1},
     &LineReader::read_route_length, 0},
    {{{"progressiva chilometrica", "progressiva", "tre", false}, "progressiva chilometrica tre", 3},
     &LineReader::read_reference<kReferenceSlots[0]>, 3},
    {{{"progressiva chilometrica", "progressiva", "due", false}, "progressiva chilometrica due", 3},
     &LineReader::read_reference<kReferenceSlots[1]>, 2},
    {{{"progressiva chilometrica", "progressiva", "uno", false}, "progressiva chilometrica uno", 3},
     &LineReader::read_reference<kReferenceSlots[2]>, 1},
    {{{"sfondo", "sfondo", "uno", false}, "sfondo uno", 1},
     &LineReader::read_background<&ScenarioEntry::Num1>, 4},
    {{{"sfondo", "sfondo", "due", false}, "sfondo due", 1},
     &LineReader::read_background<&ScenarioEntry::Num3>, 5},
    {{{"sfondo", "sfondo", "tre", false}, "sfondo tre", 1},
     &LineReader::read_background<&ScenarioEntry::Num2>, 6},
    {{{"ripetizione segnali", "segnali", "ripetizione", false}, "ripetizione segnali", 2},
     &LineReader::read_repetition, 7},
};

// The general records' names in the order authors write them, for the suggestions.
constexpr auto kGeneralNames = [] {
  std::array<std::string_view, std::size(kGeneralRecords)> names{};
  for (const GeneralRow& row : kGeneralRecords) names[row.written_order] = row.record.name;
  return names;
}();

// A record of the feature section; every keyword is compared without case.
struct FeatureRow {
  RecordSyntax record;
  Flow (LineReader::*read)(std::string_view field);
  bool needs_curves;  // read only when the compile makes the route plan (CompileFlag not 0)
};

// The rows are tested in this order on the same keyword field, until one ends the section.
constexpr FeatureRow kFeatureRecords[] = {
    {{{"pendenza", "pendenza", "", true}, "pendenza", 2}, &LineReader::read_gradient, false},
    {{{"curva", "curva", "", true}, "curva", 2}, &LineReader::read_curve, true},
    {{{"montagna", "montagna", "", true}, "montagna", 3}, &LineReader::read_tunnel, false},
    {{{"indicatori_v", "indicatori_v", "", true}, "indicatori_v", 9},
     &LineReader::read_speed_board, false},
    {{{"cartello_indicatore", "cartello", "indicat", true}, "cartello_indicatore", 2},
     &LineReader::read_information_board, false},
};

constexpr auto kFeatureNames = record_names(kFeatureRecords);

// The record a general-section field names, for the warnings about its fields.
std::string_view general_record(std::string_view field) {
  for (const GeneralRow& row : kGeneralRecords) {
    if (matches(row.record.keyword, field)) return row.record.keyword.topic;
  }
  return {};
}

bool LineReader::read_general_section() {
  for (;;) {
    if (at_end()) return true;
    read_keyword();
    if (at_end()) return true;
    // Up to ten comment fields in a row, with no end-of-file test between them: the field read
    // in place of the last one is examined even when it ends the text.
    for (int skipped = 0; skipped < 10 && contains(c_.CurrentField, "-"); ++skipped) {
      read_keyword();
    }
    const std::string_view field = reader_.last_field();  // the keyword, not copied
    const int fields_before = reader_.fields_read();
    if (c_.CollectWarnings) {
      warn_unmatched_general(field);
      record_fields_.begin(state_.record, field);
    }
    const size_t errors_before = c_.Errors.size();
    bool read_on = true;
    try {
      read_on = read_general_record(field);
    } catch (const ReadFailure& failure) {
      if (read_on_failure(failure) == Flow::EndOfText) return true;
    }
    if (!read_on) return false;
    // After an error that a reading on noted, the record's fields are not checked.
    if (c_.CollectWarnings && c_.Errors.size() == errors_before)
      end_record(general_record(field), fields_before, keywords::general_records());
    if (ends_general_section(field)) return true;
  }
}

// Offers the field to every general row; false after an error that ends read_descriptions.
bool LineReader::read_general_record(std::string_view field) {
  const size_t errors_before = c_.Errors.size();
  for (const GeneralRow& row : kGeneralRecords) {
    if (!matches(row.record.keyword, field)) continue;
    if (!(this->*row.read)(field)) return false;
    if (c_.Errors.size() != errors_before) return true;  // noted: on with the next line
  }
  return true;
}

// A keyword of the general section that matches nothing: its values are read as keywords in
// turn, and what it sets (a reference, the repetition) is simply missing.
void LineReader::warn_unmatched_general(std::string_view field) {
  if (!unmatched_.open(state_.record.line) || contains(field, "-")) return;
  if (!general_record(field).empty()) return;
  if (contains(field, "[") && contains(field, "]")) return;  // a section header
  for (const GeneralRow& row : kGeneralRecords) {
    if (matches_ignoring_case(row.record.keyword, field)) {
      record_warning(c_, state_.record,
                     "'" + std::string(field) +
                         "' matches no record and is ignored: the general section's keywords "
                         "are compared exactly, in lower case (unlike the feature keywords, "
                         "whose case does not matter); write '" +
                         std::string(row.record.keyword.word) + "' in lower case",
                     WarningEffect::RecordDropped, row.record.keyword.topic);
      unmatched_.mark(state_.record.line);
      return;
    }
  }
  if (warn_unmatched_field(c_, state_.record, field, kGeneralNames)) {
    unmatched_.mark(state_.record.line);
  }
}

bool LineReader::read_feature_section() {
  for (;;) {
    if (at_end()) return true;
    read_keyword();
    if (at_end()) return true;
    // At most two comment fields in a row, each replacement tested for the end of the file.
    for (int skipped = 0; skipped < 2 && contains(c_.CurrentField, "-"); ++skipped) {
      read_keyword();
      if (at_end()) return true;
      if (skipped == 1 && c_.CollectWarnings && contains(c_.CurrentField, "-")) {
        record_warning(c_, state_.record,
                       "a third comment line in a row is read as a record (only two in a row "
                       "are passed over): put a record or a blank line between the comments",
                       WarningEffect::Note, "comments");
        unmatched_.mark(state_.record.line);
      }
    }
    // Every test is applied to the same keyword field; a board text read later replaces
    // CurrentField.
    const std::string_view field = reader_.last_field();  // the keyword, not copied
    const int fields_before = reader_.fields_read();
    if (c_.CollectWarnings) {
      warn_if_unmatched(field);
      record_fields_.begin(state_.record, field);
    }
    Flow flow;
    try {
      flow = read_feature_record(field);
    } catch (const ReadFailure& failure) {
      flow = read_on_failure(failure);
    }
    if (flow == Flow::EndOfText) return true;
    if (flow == Flow::Stop) return false;
    if (flow == Flow::Noted) continue;
    if (c_.CollectWarnings)
      end_record(feature_record(field), fields_before, keywords::feature_records());
  }
}

Flow LineReader::read_feature_record(std::string_view field) {
  for (const FeatureRow& row : kFeatureRecords) {
    if (!matches(row.record.keyword, field) || (row.needs_curves && c_.CompileFlag == 0))
      continue;
    if (const Flow flow = (this->*row.read)(field); flow != Flow::Next) return flow;
  }
  return Flow::Next;
}

// The feature record a keyword field names and reads, for the warnings about its fields.
std::string_view LineReader::feature_record(std::string_view field) const {
  for (const FeatureRow& row : kFeatureRecords) {
    if (matches(row.record.keyword, field) && (!row.needs_curves || c_.CompileFlag != 0))
      return row.record.keyword.topic;
  }
  return {};
}

// For the warnings: a field that matches no feature record. Without curves, a curve record's
// values are met as keyword fields; they are expected there.
void LineReader::warn_if_unmatched(std::string_view field) {
  bool feature = false;
  int unread = 0;
  for (const FeatureRow& row : kFeatureRecords) {
    if (!matches(row.record.keyword, field)) continue;
    feature = true;
    if (row.needs_curves && c_.CompileFlag == 0) unread = row.record.values;
  }
  if (unread_values_ > 0) {
    --unread_values_;
  } else if (!feature && unmatched_.open(state_.record.line)) {
    if (warn_unmatched_field(c_, state_.record, field, kFeatureNames)) {
      unmatched_.mark(state_.record.line);
    }
  }
  if (unread > 0) unread_values_ = unread;
}

bool LineReader::read_route_length(std::string_view) {
  length_refused_ = true;  // until the track is sized
  // Stored before it is tested: a length above the limit stays in its slot with code 1.
  int32_t& length = c_.ScenarioTable[kRouteLengthSlot].Num2;
  length = read_number();
  if (length > kLongestRoute) return stop(1);
  if (length < 0) reader_.fail("the route length is negative");
  length_refused_ = false;
  c_.ExtendedLength = static_cast<int32_t>(extended_length(length));
  c_.TrackCells.assign(static_cast<size_t>(cell_count(c_.ExtendedLength)), TrackCell{});
  if (c_.CompileFlag != 0) c_.TrackPlan.create(c_.ExtendedLength);
  return true;
}

template <int kSlot>
bool LineReader::read_reference(std::string_view) {
  ScenarioEntry& entry = c_.ScenarioTable[kSlot];
  entry.Num1 = read_number();
  entry.Num2 = read_number();
  entry.Num3 = read_number();
  warn_value(c_, reader_.field_start(), value_ranges::kReferenceDirection, entry.Num3,
             "any value but 0 is compiled as the progressives falling along the route");
  state_.references[kSlot - kReferenceSlots[0]] = {state_.record, entry.Num1, entry.Num2};
  return true;
}

template <int32_t ScenarioEntry::*kValue>
bool LineReader::read_background(std::string_view) {
  c_.ScenarioTable[kRouteIdSlot].*kValue = read_number();
  return true;
}

bool LineReader::read_repetition(std::string_view field) {
  ScenarioEntry& entry = c_.ScenarioTable[kTrainNumberSlot];
  entry.Num1 = read_number();
  entry.Num2 = read_number();
  if (entry.Num1 % kCellLength != 0) return stop(3);
  if (entry.Num2 % kCellLength != 0) return stop(4);
  // "4" is tested first: a field naming both gives four codes.
  if (contains(field, "4")) {
    entry.Num3 = 4;
  } else if (contains(field, "9")) {
    entry.Num3 = 9;
  } else {
    return stop(5);
  }
  if (entry.Num2 == 0) entry.Num3 = 0;
  return true;
}

Flow LineReader::read_gradient(std::string_view) {
  SourceSpot at;
  const int32_t x = read_position(at);
  const int32_t v = read_number();
  need_track();
  if (!on_track(x)) return beyond_track(x);
  gradient_order_.check(c_, at, x);
  warn_feature_position(at, "pendenza", x);
  if (c_.CollectWarnings) warn_wrapped_gradient(c_, reader_.field_start(), v);
  const int64_t cell = cell_of(x, kStepOffset);
  // The cursor writes at least one cell even when it is already at or past the record's cell.
  if (cell > 0) {
    do {
      write_gradient();
    } while (gradient_cursor_ < cell);
  }
  previous_gradient_ = v;
  return Flow::Next;
}

Flow LineReader::read_curve(std::string_view field) {
  SourceSpot at;
  const int32_t s = read_position(at);
  const int32_t n = read_number();
  const SourceSpot length_at = reader_.field_start();
  need_track();
  if (!on_track(s)) return beyond_track(s);
  const int64_t end = int64_t{s} + n;
  if (end > int64_t{c_.ExtendedLength} - 2) return beyond_track(s);
  curve_order_.check(c_, at, s);
  warn_beyond_route(c_, at, "curva", s);  // the plan is per metre: nothing is rounded
  int curve_class = 0;
  for (int digit = 1; digit <= 6 && curve_class == 0; ++digit) {
    if (field.find(static_cast<char>('0' + digit)) != std::string_view::npos) curve_class = digit;
  }
  if (curve_class == 0) return halt(103);
  double k = curvature_of_class(curve_class);
  if (contains_ignoring_case(field, "s")) k = -k;
  if (!walk_plan(c_, plan_cursor_, s, 0.0, true) || !walk_plan(c_, plan_cursor_, end, k, true))
    return halt(103);
  // The bend walks from the point after the start to the end: without a length, no point.
  if (c_.CollectWarnings && n <= 0) {
    record_warning(c_, length_at,
                   "the curve's length " + std::to_string(n) +
                       " m bends no point of the route plan: the curve is not compiled",
                   WarningEffect::RecordDropped, "curva");
  }
  return Flow::Next;
}

Flow LineReader::read_tunnel(std::string_view) {
  SourceSpot at, end_at;
  TunnelRecord tunnel;
  tunnel.start = read_position(at);
  tunnel.end = read_position(end_at);
  tunnel.kind = read_number();
  const SourceSpot kind_at = reader_.field_start();
  need_track();
  if (!on_track(tunnel.start)) return beyond_track(tunnel.start);
  if (tunnel.end < 0) return beyond_track(tunnel.end);
  if (cell_of(tunnel.end, kEndOffset) > c_.last_cell()) return beyond_track(tunnel.start);
  tunnel_order_.check(c_, at, tunnel.start);
  if (c_.CollectWarnings && tunnel.end < tunnel.start) {
    record_warning(c_, end_at,
                   "the tunnel ends (" + std::to_string(tunnel.end) + " m) before it starts (" +
                       std::to_string(tunnel.start) +
                       " m): it covers no cell, so the tunnel is not compiled; give its start "
                       "first, then its end",
                   WarningEffect::RecordDropped, "montagna");
  }
  warn_rounded_position(c_, at, "montagna", tunnel.start);
  warn_value(c_, kind_at, value_ranges::kTunnelKind, tunnel.kind,
             "its cells keep the kind's low 8 bits, " +
                 std::to_string(static_cast<uint8_t>(tunnel.kind)));
  warn_feature_position(end_at, "montagna", tunnel.end);
  place_tunnel(c_, tunnel);
  if (c_.StatusCode > 0) return halt_at(c_.StatusCode, tunnel.start);
  return Flow::Next;
}

Flow LineReader::read_speed_board(std::string_view field) {
  SourceSpot at;
  const int32_t position = read_position(at);
  SpeedBoardCell board;
  std::array<SourceSpot, 8> spots;
  auto spot = spots.begin();
  const auto read_value = [&] {
    const int32_t value = read_number();
    *spot++ = reader_.field_start();
    return value;
  };
  for (int32_t& speed : board.left) speed = read_value();
  board.strisces = static_cast<int16_t>(read_value());
  for (int32_t& speed : board.right) speed = read_value();
  board.strisced = static_cast<int16_t>(read_value());
  need_track();
  if (!on_track(position)) return beyond_track(position);
  speed_board_order_.check(c_, at, position);
  warn_feature_position(at, "indicatori_v", position);
  warn_speed_board_values(c_, spots, board);
  place_speed_board(c_, position, board);
  if (c_.StatusCode > 0) {
    if (c_.StatusCode == 21) explain_taken_cell(c_, cell_of(position, kFeatureOffset));
    return halt_at(c_.StatusCode, position);
  }
  note_cell_source(c_, cell_of(position, kFeatureOffset), state_.record, "indicatori_v", field);
  return Flow::Next;
}

Flow LineReader::read_information_board(std::string_view field) {
  SourceSpot at;
  const int32_t x = read_position(at);
  c_.CurrentField = reader_.read_text();
  const SourceSpot text_at = reader_.field_start();
  need_track();
  if (!on_track(x)) return beyond_track(x);
  information_board_order_.check(c_, at, x);
  warn_control_bytes(c_, text_at, reader_.last_field(), "the board text", "cartello_indicatore");
  warn_feature_position(at, "cartello_indicatore", x);
  const int64_t index = cell_of(x, kFeatureOffset);
  if (index < 0 || index > c_.last_cell() ||
      !is_free(c_.TrackCells[static_cast<size_t>(index)])) {
    explain_taken_cell(c_, index);
    return halt_at(6, x);
  }
  // Slots 80 down to 0 hold 81 texts; there is no room for another.
  if (state_.next_board_slot < 0) throw ReadFailure{state_.record,
                        "more than " + std::to_string(kFirstBoardTextSlot + 1) + " board texts"};
  pack_slot_cell(kInformationBoard, state_.next_board_slot,
                 c_.TrackCells[static_cast<size_t>(index)]);
  c_.ScenarioTable[static_cast<size_t>(state_.next_board_slot)].Text = c_.CurrentField;
  note_cell_source(c_, index, state_.record, "cartello_indicatore", field);
  --state_.next_board_slot;
  return Flow::Next;
}

}  // namespace

namespace keywords {

std::span<const RecordSyntax> general_records() {
  static constexpr auto specs = record_specs(kGeneralRecords);
  return specs;
}

std::span<const RecordSyntax> feature_records() {
  static constexpr auto specs = record_specs(kFeatureRecords);
  return specs;
}

}  // namespace keywords

bool read_line_description(Compilation& c, DescriptionTexts& texts, ReadingState& state) {
  // The track does not exist until this compile's line text gives a route length.
  c.TrackCells.clear();
  c.TrackPlan = TrackPlan{};
  c.ExtendedLength = 0;
  const TextRead text = texts.read_line_text();
  if (text.status == TextStatus::Missing) {
    record_error(c, 101);
    note_error(c, ErrorReach::StopsBothTexts);
    return false;
  }
  if (text.status == TextStatus::Unreadable)
    throw ReadFailure{{TextKind::Line, 0, 0}, "the line description cannot be read"};
  return LineReader(c, texts, state, text.text()).run(text.text());
}

}  // namespace scengen
