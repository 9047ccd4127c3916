// The first half of memorizza_dati: the line description into TrackCells, TrackPlan, the tunnel
// lists and ScenarioTable slots 80 down and 81 to 86.
#include <string>
#include <string_view>

#include "compiler/compile_warnings.h"
#include "compiler/field_reader.h"
#include "compiler/keywords.h"
#include "compiler/line_placement.h"
#include "compiler/memorizza_dati.h"

namespace scengen {
namespace {

constexpr int32_t kLongestRoute = 1000000;

bool contains(std::string_view field, std::string_view keyword) {
  return field.find(keyword) != std::string_view::npos;
}

// The general section's keywords, exact and in lower case but for the route length.
constexpr const Keyword* kGeneralKeywords[] = {
    &keywords::kRouteLength,  &keywords::kReferenceTre,  &keywords::kReferenceDue,
    &keywords::kReferenceUno, &keywords::kBackgroundUno, &keywords::kBackgroundDue,
    &keywords::kBackgroundTre, &keywords::kRepetition,
};
constexpr std::string_view kGeneralNames[] = {
    "lunghezza percorso", "progressiva chilometrica uno", "progressiva chilometrica due",
    "progressiva chilometrica tre", "sfondo uno", "sfondo due", "sfondo tre",
    "ripetizione segnali"};
constexpr std::string_view kFeatureNames[] = {
    "pendenza", "curva", "montagna", "indicatori_v", "cartello_indicatore"};

// Whether the field would match the keyword if its letters were compared without case.
bool matches_ignoring_case(const Keyword& keyword, std::string_view field) {
  return contains_ignoring_case(field, keyword.word) &&
         (keyword.also.empty() || contains_ignoring_case(field, keyword.also));
}

// The record a general-section field names, for the warnings about its fields.
std::string_view general_record(std::string_view field) {
  for (const Keyword* keyword : kGeneralKeywords) {
    if (matches(*keyword, field)) return keyword->topic;
  }
  return {};
}

// How a feature record leaves the feature section.
enum class Flow {
  Next,       // on with the next keyword field
  EndOfText,  // code 15: the end steps run as at the end of the file
  Stop,       // an error that ends memorizza_dati
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
    between_sections();
    if (!read_feature_section()) return false;
    end_of_text();
    return true;
  }

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

  // Closes and deletes the text and records a code that ends memorizza_dati.
  bool stop(int32_t code) {
    texts_.delete_line_text();
    record_error(c_, code);
    c_.StatusSource = state_.record;
    return false;
  }
  Flow halt(int32_t code) {
    stop(code);
    return Flow::Stop;
  }
  Flow halt_at(int32_t code, int32_t position) {
    stop(code);
    c_.StatusPosition = position;
    return Flow::Stop;
  }

  bool find_general_section() {
    for (;;) {
      read_keyword();
      if (at_end()) return stop(102);
      if (matches(keywords::kGeneralHeader, c_.CurrentField)) return true;
    }
  }

  bool read_general_section() {
    for (;;) {
      if (at_end()) return true;
      read_keyword();
      if (at_end()) return true;
      // Up to ten comment fields in a row, with no end-of-file test between them: the field read
      // in place of the last one is examined even when it ends the text.
      for (int skipped = 0; skipped < 10 && contains(c_.CurrentField, "-"); ++skipped) {
        read_keyword();
      }
      const std::string field = c_.CurrentField;
      const int fields_before = reader_.fields_read();
      if (c_.CollectWarnings) {
        warn_unmatched_general(field);
        record_fields_.begin(state_.record);
      }
      if (matches(keywords::kRouteLength, field)) {
        if (!read_route_length()) return false;
      }
      // The general keywords below are compared exactly, in lower case.
      if (matches(keywords::kReferenceTre, field)) read_reference(kReferenceSlots[0]);
      if (matches(keywords::kReferenceDue, field)) read_reference(kReferenceSlots[1]);
      if (matches(keywords::kReferenceUno, field)) read_reference(kReferenceSlots[2]);
      if (matches(keywords::kBackgroundUno, field))
        c_.ScenarioTable[kRouteIdSlot].Num1 = read_number();
      if (matches(keywords::kBackgroundDue, field))
        c_.ScenarioTable[kRouteIdSlot].Num3 = read_number();
      if (matches(keywords::kBackgroundTre, field))
        c_.ScenarioTable[kRouteIdSlot].Num2 = read_number();
      if (matches(keywords::kRepetition, field)) {
        if (!read_repetition(field)) return false;
      }
      if (c_.CollectWarnings) end_record(general_record(field), fields_before);
      if (ends_general_section(field)) return true;
    }
  }

  // A keyword of the general section that matches nothing: its values are read as keywords in
  // turn, and what it sets (a reference, the repetition) is simply missing.
  void warn_unmatched_general(std::string_view field) {
    if (!unmatched_.open(state_.record.line) || contains(field, "-")) return;
    for (const Keyword* keyword : kGeneralKeywords) {
      if (matches(*keyword, field)) return;
    }
    if (contains(field, "[") && contains(field, "]")) return;  // a section header
    for (const Keyword* keyword : kGeneralKeywords) {
      if (matches_ignoring_case(*keyword, field)) {
        record_warning(c_, state_.record,
                       "'" + std::string(field) +
                           "' matches no record and is ignored: the general section's keywords "
                           "are compared exactly, in lower case (unlike the feature keywords, "
                           "whose case does not matter); write '" + std::string(keyword->word) +
                           "' in lower case");
        unmatched_.mark(state_.record.line);
        return;
      }
    }
    if (warn_unmatched_field(c_, state_.record, field, kGeneralNames)) {
      unmatched_.mark(state_.record.line);
    }
  }

  // The check of a record's fields against its line, once its values are read.
  void end_record(std::string_view record, int fields_before) {
    const int values = reader_.fields_read() - fields_before;
    if (record.empty() || values == 0) return;
    record_fields_.end(c_, record, values, reader_.field_start().line, reader_.line(),
                       reader_.rest_of_line_has_fields(), unmatched_);
  }

  bool read_route_length() {
    // Stored before it is tested: a length above the limit stays in its slot with code 1.
    int32_t& length = c_.ScenarioTable[kRouteLengthSlot].Num2;
    length = read_number();
    if (length > kLongestRoute) return stop(1);
    if (length < 0) reader_.fail("the route length is negative");
    c_.ExtendedLength = static_cast<int32_t>(extended_length(length));
    c_.TrackCells.assign(static_cast<size_t>(cell_count(c_.ExtendedLength)), TrackCell{});
    if (c_.CompileFlag != 0) c_.TrackPlan.create(c_.ExtendedLength);
    return true;
  }

  void read_reference(int slot) {
    ScenarioEntry& entry = c_.ScenarioTable[slot];
    entry.Num1 = read_number();
    entry.Num2 = read_number();
    entry.Num3 = read_number();
    state_.references[slot - kReferenceSlots[0]] = {state_.record, entry.Num1, entry.Num2};
  }

  bool read_repetition(std::string_view field) {
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

  static bool ends_general_section(std::string_view field) {
    if (!contains(field, "[") || !contains(field, "]")) return false;
    const size_t first = field.find_first_not_of(" \t");
    return first == std::string_view::npos || field[first] != '-';
  }

  void between_sections() {
    progressive_ordina(c_);
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

  bool read_feature_section() {
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
                         "are passed over): put a record or a blank line between the comments");
          unmatched_.mark(state_.record.line);
        }
      }
      // Every test is applied to the same keyword field; a board text read later replaces
      // CurrentField.
      const std::string field = c_.CurrentField;
      const int fields_before = reader_.fields_read();
      if (c_.CollectWarnings) {
        warn_if_unmatched(field);
        record_fields_.begin(state_.record);
      }
      Flow flow = Flow::Next;
      if (matches(keywords::kGradient, field)) flow = read_gradient();
      if (flow == Flow::Next && matches(keywords::kCurve, field) && c_.CompileFlag != 0)
        flow = read_curve(field);
      if (flow == Flow::Next && matches(keywords::kTunnel, field)) flow = read_tunnel();
      if (flow == Flow::Next && matches(keywords::kSpeedBoard, field)) flow = read_speed_board();
      if (flow == Flow::Next && matches(keywords::kInformationBoard, field))
        flow = read_information_board();
      if (flow == Flow::EndOfText) return true;
      if (flow == Flow::Stop) return false;
      if (c_.CollectWarnings) end_record(feature_record(field), fields_before);
    }
  }

  // The feature record a keyword field names and reads, for the warnings about its fields.
  std::string_view feature_record(std::string_view field) const {
    if (matches(keywords::kGradient, field)) return keywords::kGradient.topic;
    if (matches(keywords::kCurve, field) && c_.CompileFlag != 0) return keywords::kCurve.topic;
    if (matches(keywords::kTunnel, field)) return keywords::kTunnel.topic;
    if (matches(keywords::kSpeedBoard, field)) return keywords::kSpeedBoard.topic;
    if (matches(keywords::kInformationBoard, field)) return keywords::kInformationBoard.topic;
    return {};
  }

  // For the warnings: a field that matches no feature record. Without curves, a curve record's
  // two numbers are met as keyword fields; they are expected there.
  void warn_if_unmatched(std::string_view field) {
    const bool curve = matches(keywords::kCurve, field);
    const bool feature =
        curve || matches(keywords::kGradient, field) || matches(keywords::kTunnel, field) ||
        matches(keywords::kSpeedBoard, field) || matches(keywords::kInformationBoard, field);
    if (unread_curve_values_ > 0) {
      --unread_curve_values_;
    } else if (!feature && unmatched_.open(state_.record.line)) {
      if (warn_unmatched_field(c_, state_.record, field, kFeatureNames)) {
        unmatched_.mark(state_.record.line);
      }
    }
    if (curve && c_.CompileFlag == 0) unread_curve_values_ = 2;
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
    return Flow::EndOfText;
  }

  // Writes the previous gradient into the cell under the cursor and moves the cursor on.
  void write_gradient() {
    if (gradient_cursor_ < 0 || gradient_cursor_ > c_.last_cell())
      throw ReadFailure{{}, "the gradients run past the last cell"};
    c_.TrackCells[static_cast<size_t>(gradient_cursor_)].Gradient =
        pack_gradient(previous_gradient_);
    ++gradient_cursor_;
  }

  Flow read_gradient() {
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

  Flow read_curve(std::string_view field) {
    SourceSpot at;
    const int32_t s = read_position(at);
    const int32_t n = read_number();
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
    return Flow::Next;
  }

  Flow read_tunnel() {
    SourceSpot at, end_at;
    int32_t inizio = read_position(at);
    int32_t fine = read_position(end_at);
    int32_t tipo = read_number();
    need_track();
    if (!on_track(inizio)) return beyond_track(inizio);
    if (fine < 0) return beyond_track(fine);
    if (cell_of(fine, kEndOffset) > c_.last_cell()) return beyond_track(inizio);
    tunnel_order_.check(c_, at, inizio);
    if (c_.CollectWarnings && fine < inizio) {
      record_warning(c_, end_at,
                     "the tunnel ends (" + std::to_string(fine) + " m) before it starts (" +
                         std::to_string(inizio) +
                         " m): it covers no cell; give its start first, then its end");
    }
    warn_rounded_position(c_, at, "montagna", inizio);
    warn_feature_position(end_at, "montagna", fine);
    memo_montagna(c_, inizio, fine, tipo);
    if (c_.StatusCode > 0) return halt_at(c_.StatusCode, inizio);
    return Flow::Next;
  }

  Flow read_speed_board() {
    SourceSpot at;
    const int32_t posizione = read_position(at);
    int32_t vas = read_number();
    int32_t vbs = read_number();
    int32_t vcs = read_number();
    auto strisces = static_cast<int16_t>(read_number());
    int32_t vad = read_number();
    int32_t vbd = read_number();
    int32_t vcd = read_number();
    auto strisced = static_cast<int16_t>(read_number());
    need_track();
    if (!on_track(posizione)) return beyond_track(posizione);
    speed_board_order_.check(c_, at, posizione);
    warn_feature_position(at, "indicatori_v", posizione);
    memo_indicatori_v_max(c_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced);
    if (c_.StatusCode > 0) {
      if (c_.StatusCode == 21) explain_taken_cell(c_, cell_of(posizione, kFeatureOffset));
      return halt_at(c_.StatusCode, posizione);
    }
    note_cell_source(c_, cell_of(posizione, kFeatureOffset), state_.record, "indicatori_v");
    return Flow::Next;
  }

  Flow read_information_board() {
    SourceSpot at;
    const int32_t x = read_position(at);
    c_.CurrentField = reader_.read_text();
    need_track();
    if (!on_track(x)) return beyond_track(x);
    information_board_order_.check(c_, at, x);
    warn_feature_position(at, "cartello_indicatore", x);
    const int64_t index = cell_of(x, kFeatureOffset);
    if (index < 0 || index > c_.last_cell() ||
        !is_free(c_.TrackCells[static_cast<size_t>(index)])) {
      explain_taken_cell(c_, index);
      return halt_at(6, x);
    }
    // Slots 80 down to 0 hold 81 texts; there is no room for another.
    if (state_.next_board_slot < 0)
      throw ReadFailure{state_.record,
                        "more than " + std::to_string(kFirstBoardTextSlot + 1) + " board texts"};
    pack_slot_cell(kInformationBoard, state_.next_board_slot,
                   c_.TrackCells[static_cast<size_t>(index)]);
    c_.ScenarioTable[static_cast<size_t>(state_.next_board_slot)].Text = c_.CurrentField;
    note_cell_source(c_, index, state_.record, "cartello_indicatore");
    --state_.next_board_slot;
    return Flow::Next;
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

  // For the authors' warnings only.
  int unread_curve_values_ = 0;
  SeriesOrder gradient_order_{"pendenza"};
  SeriesOrder curve_order_{"curva"};
  SeriesOrder tunnel_order_{"montagna"};
  SeriesOrder speed_board_order_{"indicatori_v"};
  SeriesOrder information_board_order_{"cartello_indicatore"};
  UnmatchedLines unmatched_;
  RecordFields record_fields_;
};

}  // namespace

bool read_line_description(Compilation& c, DescriptionTexts& texts, ReadingState& state) {
  // The track does not exist until this compile's line text gives a route length.
  c.TrackCells.clear();
  c.TrackPlan = TrackPlan{};
  c.ExtendedLength = 0;
  const TextRead text = texts.read_line_text();
  if (text.status == TextStatus::Missing) {
    record_error(c, 101);
    return false;
  }
  if (text.status == TextStatus::Unreadable)
    throw ReadFailure{{TextKind::Line, 0, 0}, "the line description cannot be read"};
  return LineReader(c, texts, state, text.bytes).run(text.bytes);
}

}  // namespace scengen
