#include "compiler/compile_warnings.h"

#include <algorithm>
#include <cstddef>

#include "compiler/field_reader.h"
#include "compiler/value_ranges.h"

namespace scengen {
namespace {

std::string quoted(std::string_view text) {
  return quote_field(text);
}

// "a signal", "an information board".
std::string with_article(std::string_view noun) {
  const bool vowel =
      !noun.empty() && std::string_view("aeiou").find(noun[0]) != std::string_view::npos;
  return (vowel ? "an " : "a ") + std::string(noun);
}

// Where a text that is valid UTF-8 holds its first character beyond ASCII; nothing when the text
// is not valid UTF-8 or plain ASCII. Such a text is almost surely not Windows-1252, where these
// byte pairs are rare letter combinations.
std::optional<SourceSpot> first_utf8_character(std::string_view text, TextKind kind) {
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
  std::optional<SourceSpot> first;
  int line = 1;
  size_t line_begin = 0;
  for (size_t at = 0; at < text.size();) {
    const unsigned char b = byte(at);
    if (b < 0x80) {
      if (b == '\n' || (b == '\r' && (at + 1 >= text.size() || text[at + 1] != '\n'))) {
        ++line;
        line_begin = at + 1;
      }
      ++at;
      continue;
    }
    size_t length = 0;
    uint32_t low = 0;
    if (b >= 0xC2 && b <= 0xDF)
      length = 2, low = 0x80;
    else if (b >= 0xE0 && b <= 0xEF)
      length = 3, low = 0x800;
    else if (b >= 0xF0 && b <= 0xF4)
      length = 4, low = 0x10000;
    else
      return std::nullopt;
    if (at + length > text.size()) return std::nullopt;
    uint32_t code = b & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      if ((byte(at + k) & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (byte(at + k) & 0x3F);
    }
    if (code < low || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    if (!first) first = SourceSpot{kind, line, static_cast<int>(at - line_begin) + 1};
    at += length;
  }
  return first;
}

}  // namespace

std::string quote_field(std::string_view field) {
  if (field.size() <= kQuotedBytes) return "'" + std::string(field) + "'";
  return "'" + std::string(field.substr(0, kQuotedBytes)) + "...' (" +
         std::to_string(field.size()) + " bytes)";
}

std::string_view misread_record_hint(std::string_view field) {
  const std::string_view text = trim_blanks(field.substr(0, 4 * kQuotedBytes));
  if (text.empty()) return {};
  if (text.front() == '[')
    return "a header that holds a record's keyword is read as that record (the train "
           "description's header is [segnali], not [segnale])";
  if (text.front() == '#' || text.front() == ';' || text.starts_with("//"))
    return "a comment marked with '#', ';' or '//' is read as a record: a comment is a field "
           "holding a hyphen '-'";
  if (text.find(';') != std::string_view::npos)
    return "fields separated by ';' are one field, read as a record's keyword: separate the "
           "fields with commas";
  return {};
}

bool warn_unmatched_field(Compilation& c, const SourceSpot& where, std::string_view field,
                          std::span<const std::string_view> names) {
  if (!c.CollectWarnings) return false;
  const std::string_view text = trim_blanks(field);
  if (text.empty()) return false;
  if (text.front() == '[' && text.back() == ']') return false;  // a section header
  // Past the cap only the count matters: the words and the suggestion would be thrown away.
  if (!keeps_next_warning(c)) return true;
  const std::string_view suggestion = near_keyword(text, names);
  if (suggestion.empty()) {
    c.Warnings.push_back({where, quoted(text) + " matches no record and is ignored",
                          WarningEffect::Note, "Keywords"});
    return true;
  }
  // A misspelt keyword: its record is lost, and its values are passed over as keywords.
  c.Warnings.push_back({where,
                        quoted(text) + " matches no record; did you mean " + quoted(suggestion) +
                            "? The record of line " + std::to_string(where.line) +
                            " is not compiled",
                        WarningEffect::RecordDropped, suggestion});
  return true;
}

std::string_view near_keyword(std::string_view field, std::span<const std::string_view> names) {
  constexpr size_t kLongest = 40;
  const std::string_view text = trim_blanks(field);
  if (text.size() < 3 || text.size() > kLongest) return {};
  std::string folded(text);
  for (char& ch : folded) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  constexpr size_t kMostAllowed = 3;  // the slip allowed to the longest names, below
  std::string_view best;
  size_t best_distance = SIZE_MAX;
  size_t row[kLongest + 1];
  for (const std::string_view name : names) {
    // The lengths' difference is a floor of the distance: a name that cannot come nearer than
    // the best so far, or than any slip allows, is not worth its table.
    const size_t floor =
        std::max(name.size(), folded.size()) - std::min(name.size(), folded.size());
    if (floor >= best_distance || floor > kMostAllowed) continue;
    // Levenshtein distance, one row at a time; a row whose least value is already too far ends
    // the name, since the rows below it never get smaller.
    for (size_t j = 0; j <= folded.size(); ++j) row[j] = j;
    bool too_far = false;
    for (size_t i = 1; i <= name.size() && !too_far; ++i) {
      size_t diagonal = row[0];
      row[0] = i;
      size_t least = row[0];
      for (size_t j = 1; j <= folded.size(); ++j) {
        const size_t above = row[j];
        row[j] = std::min(
            {row[j] + 1, row[j - 1] + 1, diagonal + (name[i - 1] == folded[j - 1] ? 0 : 1)});
        diagonal = above;
        least = std::min(least, row[j]);
      }
      too_far = least >= best_distance || least > kMostAllowed;
    }
    if (!too_far && row[folded.size()] < best_distance) {
      best_distance = row[folded.size()];
      best = name;
    }
  }
  // A slip of a letter or two, never half the word.
  const size_t allowed = best.size() >= 8 ? kMostAllowed : best.size() >= 5 ? 2 : 1;
  if (best_distance == 0 || best_distance > allowed) return {};
  return best;
}

std::string describe_spot(const SourceSpot& where) {
  return "line " + std::to_string(where.line) + " of the " +
         (where.text == TextKind::Line ? "line" : "train") + " description";
}

void note_cell_source(Compilation& c, int64_t cell, const SourceSpot& where,
                      std::string_view record, std::string_view keyword_field) {
  if (!c.CollectWarnings || cell < 0 || cell > c.last_cell()) return;
  if (c.CellSources.size() != c.TrackCells.size()) c.CellSources.resize(c.TrackCells.size());
  c.CellSources[static_cast<size_t>(cell)] = {where, record, misread_record_hint(keyword_field)};
}

std::string cell_holder(const Compilation& c, int64_t cell) {
  if (cell < 0 || cell > c.last_cell()) {
    return "cell " + std::to_string(cell) + " lies outside the track (cells 0 to " +
           std::to_string(c.last_cell()) + ")";
  }
  const auto index = static_cast<size_t>(cell);
  const int32_t start = cell_start(static_cast<int32_t>(cell));
  std::string text = "cell " + std::to_string(cell) + " (" + std::to_string(start) + " to " +
                     std::to_string(start + kCellLength) + " m) holds " +
                     with_article(kind_name(c.TrackCells[index].Kind));
  if (index < c.CellSources.size() && !c.CellSources[index].record.empty()) {
    const CellSource& source = c.CellSources[index];
    text += ", placed by " + quoted(source.record) + " at " + describe_spot(source.where);
  } else if (c.CollectWarnings) {
    text += ", placed by the finishing pass";
  }
  return text;
}

void explain_taken_cell(Compilation& c, int64_t cell) {
  if (!c.CollectWarnings) return;
  c.StatusDetail = cell_holder(c, cell);
}

void explain_finishing_error(Compilation& c) {
  if (!c.CollectWarnings || c.CellSources.empty()) return;
  if (c.StatusCode < 11 || c.StatusCode > 13) return;
  int64_t cell = c.StatusPosition / kCellLength;
  if (cell < 0 || cell > c.last_cell()) return;
  const uint8_t wanted = c.StatusCode == 11 ? kSignal : kSlowOrderStart;
  // 11 names the signal's own cell; 12 and 13 a cell at or after the slow order's start.
  while (cell >= 0 && c.TrackCells[static_cast<size_t>(cell)].Kind != wanted) {
    if (c.StatusCode == 11) return;
    --cell;
  }
  if (cell < 0 || static_cast<size_t>(cell) >= c.CellSources.size()) return;
  const CellSource& source = c.CellSources[static_cast<size_t>(cell)];
  if (source.record.empty()) return;
  c.StatusSource = source.where;
  c.StatusDetail = "the " + std::string(c.StatusCode == 11 ? "signal" : "slow order") +
                   " placed by " + quoted(source.record) + " at " + describe_spot(source.where) +
                   "; the cells its code points need are taken by other features";
}

void explain_seal_error(Compilation& c) {
  // A place the readers noted belongs to their own error, not to the seal's.
  c.StatusSource.reset();
  c.StatusDetail.clear();
  if (!c.has_track()) return;
  const int32_t start = cell_start(kSealCell);
  c.StatusDetail = "cell " + std::to_string(kSealCell) + " (" + std::to_string(start) + " to " +
                   std::to_string(start + kCellLength) +
                   " m) is reserved for the scenario's seal and must stay empty: ";
  const auto index = static_cast<size_t>(kSealCell);
  if (index < c.CellSources.size() && !c.CellSources[index].record.empty()) {
    const CellSource& source = c.CellSources[index];
    c.StatusDetail += "it holds " + with_article(kind_name(c.TrackCells[index].Kind)) +
                      " placed by " + quoted(source.record) +
                      "; a signal or board at 0 m or a code point at 50 m falls in it: place "
                      "nothing before 50 m (a code point, before 100 m)";
    if (!source.misread.empty()) c.StatusDetail += "; " + std::string(source.misread);
    c.StatusSource = source.where;
  } else {
    c.StatusDetail += "it holds " + with_article(kind_name(c.TrackCells[index].Kind));
  }
}

void warn_encoding(Compilation& c, std::string_view text, TextKind kind) {
  if (!c.CollectWarnings) return;
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
  const std::string texts_are =
      "; the description texts are read as Windows-1252, one byte a character: save the text "
      "as Windows-1252, or give --encoding utf-8";
  if (text.size() >= 2 &&
      ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    record_warning(c, {kind, 1, 1}, "the text starts with a UTF-16 byte order mark" + texts_are,
                   WarningEffect::Note, "encoding");
    return;
  }
  if (text.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    record_warning(c, {kind, 1, 1}, "the text starts with a UTF-8 byte order mark" + texts_are,
                   WarningEffect::Note, "encoding");
    return;
  }
  const std::optional<SourceSpot> first = first_utf8_character(text, kind);
  if (!first) return;
  record_warning(c, *first,
                 "the text is valid UTF-8 with characters beyond ASCII (an accented letter reads "
                 "as two characters)" +
                     texts_are,
                 WarningEffect::Note, "encoding");
}

void warn_wrapped_gradient(Compilation& c, const SourceSpot& where, int32_t per_mille) {
  if (!c.CollectWarnings) return;
  const int wrapped = unpack_gradient(pack_gradient(per_mille));
  if (wrapped == per_mille) return;
  record_warning(c, where,
                 "a gradient of " + std::to_string(per_mille) +
                     " per mille is outside -100 to 155 and wraps to " + (wrapped > 0 ? "+" : "") +
                     std::to_string(wrapped) + " per mille",
                 WarningEffect::ValueChanged, value_ranges::kGradient.record);
}

void warn_wrapped_speed(Compilation& c, const SourceSpot& where, int32_t kmh) {
  if (!c.CollectWarnings) return;
  const int compiled = unpack_speed_limit(pack_speed_limit(kmh));
  warn_value(c, where, value_ranges::kSpeedLimit, kmh,
             "it is compiled as " + std::to_string(compiled) + " km/h");
}

void warn_wrapped_adhesion(Compilation& c, const SourceSpot& where, int32_t adhesion) {
  if (!c.CollectWarnings) return;
  // The cells keep the low 8 bits.
  warn_value(c, where, value_ranges::kAdhesion, adhesion,
             "it is compiled as " + std::to_string(static_cast<uint8_t>(adhesion)));
}

namespace {

// What a signal's cell reads back as, in the fields that differ from the record's.
std::string compiled_signal(const SignalCell& signal) {
  TrackCell cell;
  pack_signal(signal, cell);
  const SignalCell back = unpack_signal(cell);
  const std::pair<const char*, int32_t SignalCell::*> fields[] = {
      {"sx", &SignalCell::sx}, {"s1", &SignalCell::s1},     {"s2", &SignalCell::s2},
      {"s3", &SignalCell::s3}, {"rapp", &SignalCell::rapp}, {"dx", &SignalCell::dx},
      {"d1", &SignalCell::d1}, {"d2", &SignalCell::d2},     {"d3", &SignalCell::d3}};
  std::string changed;
  for (const auto& [name, field] : fields) {
    if (back.*field == signal.*field) continue;
    changed +=
        (changed.empty() ? "" : ", ") + std::string(name) + " " + std::to_string(back.*field);
  }
  if (!changed.empty()) return "the signal is compiled as another one, with " + changed;
  return "the signal is compiled with the indication sx x 3 + dx = " +
         std::to_string(int64_t{signal.sx} * 3 + signal.dx) +
         ", beyond the 0 to 8 that its sets give";
}

}  // namespace

void warn_signal_values(Compilation& c, std::span<const SourceSpot, 10> spots,
                        const SignalCell& signal) {
  if (!c.CollectWarnings) return;
  using namespace value_ranges;
  struct Value {
    int32_t value;
    const ValueRange* range;
    const char* name;
  };
  const Value values[] = {
      {signal.sx, &kSignalLeftSet, "sx"},    {signal.s1, &kSignalLeftValue, "s1"},
      {signal.s2, &kSignalLeftValue, "s2"},  {signal.s3, &kSignalLeftValue, "s3"},
      {signal.rapp, &kSignalRapp, "rapp"},   {signal.dx, &kSignalRightSet, "dx"},
      {signal.d1, &kSignalRightValue, "d1"}, {signal.d2, &kSignalRightValue, "d2"},
      {signal.d3, &kSignalRightValue, "d3"}};
  std::string compiled;
  for (size_t i = 0; i < std::size(values); ++i) {
    const Value& v = values[i];
    if (v.range->holds(v.value)) continue;
    if (compiled.empty()) compiled = compiled_signal(signal);
    warn_value(c, spots[i], *v.range, v.value, compiled, v.name);
  }
  const int32_t tempo = signal.tempo;
  const SourceSpot& at = spots[9];
  if (tempo >= 1 && tempo <= 100) {
    record_warning(c, at,
                   "tempo " + std::to_string(tempo) + " is outside its range (" +
                       std::string(kSignalTime.stated) + "): it is compiled as 101",
                   WarningEffect::ValueChanged, kSignalTime.record);
  } else if (!kSignalTime.holds(tempo)) {
    warn_value(c, at, kSignalTime, tempo,
               "it is compiled as " + std::to_string(static_cast<uint8_t>(tempo)));
  } else if (tempo != 0 && signal.sx != 2) {
    record_warning(c, at,
                   "tempo " + std::to_string(tempo) + " counts only with sx 2 (sx is " +
                       std::to_string(signal.sx) + "): it is compiled as 0",
                   WarningEffect::ValueChanged, kSignalTime.record);
  }
}

void warn_speed_board_values(Compilation& c, std::span<const SourceSpot, 8> spots,
                             const SpeedBoardCell& board) {
  if (!c.CollectWarnings) return;
  using namespace value_ranges;
  TrackCell cell;
  if (!pack_speed_board(board, cell)) return;  // an error of its own
  const SpeedBoardCell back = unpack_speed_board(cell);
  static constexpr char kRanks[] = "ABC";
  for (size_t rank = 0; rank < 3; ++rank) {
    const std::string compiled = std::string("rank ") + kRanks[rank] + " is compiled as " +
                                 std::to_string(back.left[rank]) + " km/h on the left, " +
                                 std::to_string(back.right[rank]) + " km/h on the right";
    warn_value(c, spots[rank], kBoardSpeed, board.left[rank], compiled);
    warn_value(c, spots[4 + rank], kBoardRightSpeed, board.right[rank], compiled);
  }
  const std::string stripes = "the board is compiled with " + std::to_string(back.strisces) +
                              " stripes on the left, " + std::to_string(back.strisced) +
                              " on the right";
  warn_value(c, spots[3], kBoardStripes, board.strisces, stripes);
  warn_value(c, spots[7], kBoardRightStripes, board.strisced, stripes);
}

void warn_control_bytes(Compilation& c, const SourceSpot& where, std::string_view text,
                        std::string_view what, std::string_view record) {
  if (!c.CollectWarnings) return;
  for (size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0x20 && byte != 0x7F) continue;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string words = std::string(what) + " holds the control byte 0x";
    words += kHex[byte >> 4];
    words += kHex[byte & 15];
    words += " at its byte " + std::to_string(at + 1) +
             ": it is compiled as it is, a byte that is no printable character";
    record_warning(c, where, std::move(words), WarningEffect::ValueChanged, record);
    return;
  }
}

void RecordFields::end(Compilation& c, std::string_view record, int values,
                       const FieldReader& reader, std::span<const RecordSyntax> records,
                       UnmatchedLines& unmatched) {
  if (!c.CollectWarnings) return;
  const int last_value_line = reader.field_start().line;
  if (last_value_line != keyword_.line) {
    std::string words = quoted(record) + " takes " + std::to_string(values) +
                        " values but its line ends before them (a missing field or a wrong "
                        "separator?): it takes the rest from line " +
                        std::to_string(last_value_line) + ", whose own record is not compiled";
    if (!misread_.empty()) words += "; " + std::string(misread_);
    record_warning(c, keyword_, std::move(words), WarningEffect::RecordDropped, record);
    // The later line's own keyword was eaten as a value: its leftovers are this warning's.
    unmatched.mark(last_value_line);
  } else if (reader.line() == keyword_.line && reader.rest_of_line_has_fields()) {
    too_many(c, record, values, reader, records);
    unmatched.mark(keyword_.line);
  }
}

// The keyword's line holds fields after the record's values: a decimal comma, a second record,
// or values too many.
void RecordFields::too_many(Compilation& c, std::string_view record, int values,
                            const FieldReader& reader, std::span<const RecordSyntax> records) {
  const std::string_view next = trim_blanks(reader.peek_field(kQuotedBytes + 1));
  if (reader.comma_inside_number()) {
    const std::string_view number = reader.last_field();
    record_warning(c, keyword_,
                   "the comma in " + quoted(std::string(number) + "," + std::string(next)) +
                       " splits the number (a decimal comma?): " + std::string(number) +
                       " is compiled and " + quoted(next) +
                       " is read as a keyword and ignored; the values are whole numbers",
                   WarningEffect::ValueChanged, record);
    return;
  }
  for (const RecordSyntax& second : records) {
    if (!matches(second.keyword, next)) continue;
    record_warning(c, keyword_,
                   "a second record, " + quoted(next) + ", follows " + quoted(record) +
                       " on the same line: it is read and compiled too; keep one record a line",
                   WarningEffect::Note, second.keyword.topic);
    return;
  }
  record_warning(c, keyword_,
                 "the line holds more fields than " + quoted(record) + " takes (" +
                     std::to_string(values) +
                     " values): the fields after them are read as keywords and ignored",
                 WarningEffect::Note, record);
}

void warn_rounded_position(Compilation& c, const SourceSpot& where, std::string_view record,
                           int32_t position) {
  if (!c.CollectWarnings || position < 0 || position % kCellLength == 0) return;
  record_warning(c, where,
                 quoted(record) + " at " + std::to_string(position) +
                     " m is not a multiple of 50: it is compiled at " +
                     std::to_string(nearest(position / double{kCellLength}) * kCellLength) + " m",
                 WarningEffect::ValueChanged, record);
}

void warn_beyond_route(Compilation& c, const SourceSpot& where, std::string_view record,
                       int32_t position) {
  if (!c.CollectWarnings) return;
  const int32_t route_length = c.ScenarioTable[kRouteLengthSlot].Num2;
  if (position <= route_length) return;
  record_warning(c, where,
                 quoted(record) + " at " + std::to_string(position) +
                     " m lies beyond the end of the route (" + std::to_string(route_length) + " m)",
                 WarningEffect::Note, record);
}

void SeriesOrder::check(Compilation& c, const SourceSpot& where, int32_t position) {
  if (!c.CollectWarnings) return;
  if (seen_ && position <= last_) {
    record_warning(c, where,
                   quoted(record_) + " at " + std::to_string(position) +
                       " m does not come after the previous one at " + std::to_string(last_) +
                       " m: the series must ascend",
                   WarningEffect::Note, record_);
  }
  seen_ = true;
  last_ = position;
}

std::optional<std::string> number_field_warning(std::string_view field) {
  if (field.empty()) return std::nullopt;
  size_t i = 0;
  if (field[0] == '-' || field[0] == '+') ++i;
  const size_t digits_begin = i;
  while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
  if (i == field.size() && i > digits_begin) return std::nullopt;
  if (i == digits_begin) return quoted(field) + " holds no number and is compiled as 0";
  std::string words = quoted(field) + " is compiled as " +
                      std::string(field.substr(0, std::min<size_t>(i, 20))) +
                      ": the characters after its digits are ignored";
  if (field[i] == ':')
    words += "; a time is written as hours, minutes and seconds in fields of their own";
  else if (field[i] == '.')
    words += "; the values are whole numbers";
  return words;
}

}  // namespace scengen
