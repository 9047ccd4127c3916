#include "format/text_format.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "compiler/field_reader.h"
#include "compiler/keywords.h"

namespace scengen::format {
namespace {

// How a value is spaced after its comma: right-aligned in `width` characters, never with fewer
// than `min_blanks` blanks before it (a width of 0: always `min_blanks` blanks).
struct ValueLayout {
  size_t width;
  size_t min_blanks;
};

// One record's layout, found by its name in the reader's table: an entry per value. The last
// value of a record that ends with a text (a board's text, a station's name) is that text.
struct RecordLayout {
  std::string_view name;
  std::span<const ValueLayout> values;
  bool ends_with_text = false;
};

// The line description: a fixed number of blanks after each comma, per record.
constexpr ValueLayout kLineGeneral[] = {{0, 4}, {0, 4}, {0, 4}};
constexpr ValueLayout kGradient[] = {{0, 2}, {0, 3}};
constexpr ValueLayout kCurve[] = {{0, 2}, {0, 2}};
constexpr ValueLayout kTunnel[] = {{0, 3}, {0, 2}, {0, 2}};
constexpr ValueLayout kSpeedBoard[] = {{0, 2}, {0, 2}, {0, 2}, {0, 2}, {0, 2},
                                       {0, 2}, {0, 2}, {0, 2}, {0, 2}};
constexpr ValueLayout kInformationBoard[] = {{0, 2}, {0, 3}};

constexpr RecordLayout kLineGeneralLayouts[] = {
    {"lunghezza percorso", std::span(kLineGeneral, 1)},
    {"progressiva chilometrica tre", kLineGeneral},
    {"progressiva chilometrica due", kLineGeneral},
    {"progressiva chilometrica uno", kLineGeneral},
    {"sfondo uno", std::span(kLineGeneral, 1)},
    {"sfondo due", std::span(kLineGeneral, 1)},
    {"sfondo tre", std::span(kLineGeneral, 1)},
    {"ripetizione segnali", std::span(kLineGeneral, 2)},
};
constexpr RecordLayout kLineFeatureLayouts[] = {
    {"pendenza", kGradient},
    {"curva", kCurve},
    {"montagna", kTunnel},
    {"indicatori_v", kSpeedBoard},
    {"cartello_indicatore", kInformationBoard, true},
};

// The train description: positions right-aligned in eight characters, the other values in
// columns of their own; the inner values of the station's groups and of the signal's right-hand
// set follow their comma directly, as a minute follows its hour.
constexpr ValueLayout kTrainGeneral[] = {{0, 4}, {0, 4}, {0, 4}};
constexpr ValueLayout kStep[] = {{8, 1}, {6, 1}};
// The first speed-limit step keeps its position unpadded: no rule gives it, the built-in text
// has it so.
constexpr ValueLayout kFirstSpeedStep[] = {{0, 3}, {6, 1}};
constexpr ValueLayout kSignal[] = {{8, 1}, {4, 1}, {2, 1}, {2, 1}, {3, 1}, {2, 1},
                                   {5, 1}, {3, 1}, {0, 0}, {0, 0}, {2, 1}};
constexpr ValueLayout kSlowOrder[] = {{8, 1}, {6, 1}, {5, 1}, {2, 1}, {3, 1}, {4, 1}};
constexpr ValueLayout kStation[] = {{8, 1}, {3, 1}, {5, 1}, {3, 1}, {2, 1}, {2, 1},
                                    {3, 1}, {0, 0}, {0, 0}, {3, 1}, {0, 0}, {0, 0},
                                    {5, 1}, {4, 1}, {2, 0}, {2, 1}, {0, 1}};

constexpr RecordLayout kTrainLayouts[] = {
    {"percentuale massa frenata", std::span(kTrainGeneral, 1)},
    {"numero vetture", std::span(kTrainGeneral, 1)},
    {"velocita", kStep},
    {"aderenza", kStep},
    {"orologio", kTrainGeneral},
    {"sabbia", std::span(kTrainGeneral, 1)},
    {"segnale", kSignal},
    {"rallentamento", kSlowOrder},
    {"abbattimento", kStep},
    {"stazione", kStation, true},
};

enum class Section { BeforeGeneral, LineGeneral, LineFeatures, TrainRecords };

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view skip_blanks(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  return text;
}

// One line: its body and the line end after it (CR LF, LF, CR, or none for an unended last line).
struct Line {
  std::string_view body;
  std::string_view end;
};

// The bytes a quoted field may take: from a quote where a field can begin to the next quote (or
// the end of the text). Blanks there are the field's own, so the lines they touch stay as written.
struct Span {
  size_t begin;
  size_t end;
};

std::vector<Span> possibly_quoted(std::string_view text) {
  std::vector<Span> spans;
  for (size_t at = text.find('"'); at != std::string_view::npos; at = text.find('"', at + 1)) {
    // A field begins after a comma, a line end or a blank (a number field ends at one).
    const char before = at == 0 ? ',' : text[at - 1];
    if (before != ',' && before != '\r' && before != '\n' && !is_blank(before)) continue;
    const size_t close = text.find('"', at + 1);
    spans.push_back({at, close == std::string_view::npos ? text.size() : close + 1});
  }
  return spans;
}

// A value field's numbers: how many blank-separated whole numbers (sign, digits) it holds; none
// when it holds anything else.
std::optional<size_t> count_numbers(std::string_view field) {
  size_t count = 0;
  field = skip_blanks(field);
  while (!field.empty()) {
    size_t at = field.front() == '-' || field.front() == '+' ? 1 : 0;
    const size_t digits = at;
    while (at < field.size() && field[at] >= '0' && field[at] <= '9') ++at;
    if (at == digits || (at < field.size() && !is_blank(field[at]))) return std::nullopt;
    ++count;
    field = skip_blanks(field.substr(at));
  }
  return count;
}

std::string blanks_before(const ValueLayout& layout, size_t length) {
  const size_t padding = layout.width > length ? layout.width - length : 0;
  return std::string(std::max(padding, layout.min_blanks), ' ');
}

std::vector<std::string_view> split_at_commas(std::string_view body) {
  std::vector<std::string_view> fields;
  for (size_t comma; (comma = body.find(',')) != std::string_view::npos;) {
    fields.push_back(body.substr(0, comma));
    body.remove_prefix(comma + 1);
  }
  fields.push_back(body);
  return fields;
}

// Writes a record's values after its keyword; nothing when the fields are not exactly the
// record's values (too few or many, a number that is not a plain one).
std::optional<std::string> laid_out_values(std::span<const std::string_view> fields,
                                           const RecordLayout& layout) {
  const size_t count = layout.values.size();
  std::string out;
  size_t value = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    const bool last_field = i + 1 == fields.size();
    const std::string_view field = skip_blanks(fields[i]);
    if (value >= count) return std::nullopt;
    out += ',';
    if (layout.ends_with_text && value + 1 == count) {
      if (!last_field) return std::nullopt;  // a comma in the text: more than one record's worth
      const std::string_view text = trim_blanks(field);
      if (!text.empty())
        out += blanks_before(layout.values[value], text.size()) + std::string(text);
      ++value;
      continue;
    }
    const std::optional<size_t> numbers = count_numbers(field);
    if (!numbers) return std::nullopt;
    if (*numbers == 0) {  // an empty field reads 0; it stays empty
      if (!last_field) out += std::string(layout.values[value].min_blanks, ' ');
      ++value;
      continue;
    }
    const size_t reach = layout.ends_with_text ? count - 1 : count;
    if (value + *numbers > reach) return std::nullopt;
    // Numbers separated by blanks alone keep their blanks as written, to the end of the field.
    const std::string_view written = *numbers == 1 ? trim_blanks(field) : field;
    const size_t first = std::min(field.find_first_of(" \t"), field.size());
    out += blanks_before(layout.values[value], first) + std::string(written);
    value += *numbers;
  }
  if (value != count) return std::nullopt;
  return out;
}

class TextFormatter {
 public:
  TextFormatter(std::string_view text, TextKind kind) : text_(text), kind_(kind) {}

  std::string run();

 private:
  std::string formatted_line(std::string_view body);
  std::optional<std::string> formatted_record(std::string_view body);
  std::optional<RecordLayout> layout_of(std::string_view keyword) const;
  void follow_sections(std::string_view body);

  std::string_view text_;
  TextKind kind_;
  Section section_ = Section::BeforeGeneral;
  bool speed_step_seen_ = false;
};

std::string TextFormatter::run() {
  const std::vector<Span> quoted = possibly_quoted(text_);
  size_t next_quoted = 0;
  bool after_bare_return = false;
  std::string out;
  out.reserve(text_.size() + text_.size() / 4);
  for (size_t begin = 0; begin < text_.size();) {
    size_t body_end = begin;
    while (body_end < text_.size() && text_[body_end] != '\r' && text_[body_end] != '\n')
      ++body_end;
    size_t end = body_end;
    if (end < text_.size()) end += text_.substr(end, 2) == "\r\n" ? 2 : 1;
    const Line line{text_.substr(begin, body_end - begin), text_.substr(body_end, end - body_end)};
    while (next_quoted < quoted.size() && quoted[next_quoted].end <= begin) ++next_quoted;
    const bool in_quotes = next_quoted < quoted.size() && quoted[next_quoted].begin < end;
    // An unended last line stays as written: blanks there can make the text's last field. So do
    // blanks alone after a carriage return without its line feed: emptied, they would join the
    // two into one line end.
    const bool bare_return = line.end == "\r";
    const bool blanks_after_return = after_bare_return && trim_blanks(line.body).empty();
    if (in_quotes || line.end.empty() || blanks_after_return) {
      out += line.body;
    } else {
      out += formatted_line(line.body);
    }
    after_bare_return = bare_return;
    out += line.end;
    follow_sections(line.body);
    begin = end;
  }
  return out;
}

std::string TextFormatter::formatted_line(std::string_view body) {
  const std::string_view trimmed = trim_blanks(body);
  if (trimmed.empty()) return {};
  const bool header = trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']' &&
                      trimmed.find_first_of(",\"") == std::string_view::npos;
  if (header) return std::string(trimmed);
  if (auto record = formatted_record(body)) return std::move(*record);
  return std::string(body);
}

std::optional<std::string> TextFormatter::formatted_record(std::string_view body) {
  if (body.find('"') != std::string_view::npos) return std::nullopt;
  const std::vector<std::string_view> fields = split_at_commas(body);
  const std::string_view keyword = trim_blanks(fields[0]);
  // A keyword field holding a hyphen is a comment.
  if (keyword.empty() || keyword.find('-') != std::string_view::npos) return std::nullopt;
  std::optional<RecordLayout> layout = layout_of(keyword);
  if (!layout) return std::nullopt;
  const bool first_speed_step = layout->name == "velocita" && !speed_step_seen_;
  if (first_speed_step) layout->values = kFirstSpeedStep;
  auto values = laid_out_values(std::span(fields).subspan(1), *layout);
  if (!values) return std::nullopt;
  if (first_speed_step) speed_step_seen_ = true;
  return std::string(keyword) + *values;
}

// The layout of the one record the keyword names in the current section; none when it names no
// record or more than one (the reader would read the values of each).
std::optional<RecordLayout> TextFormatter::layout_of(std::string_view keyword) const {
  std::span<const RecordSyntax> records;
  std::span<const RecordLayout> layouts;
  if (section_ == Section::LineGeneral) {
    records = keywords::general_records();
    layouts = kLineGeneralLayouts;
  } else if (section_ == Section::LineFeatures) {
    records = keywords::feature_records();
    layouts = kLineFeatureLayouts;
  } else if (section_ == Section::TrainRecords) {
    records = keywords::train_records();
    layouts = kTrainLayouts;
  } else {
    return std::nullopt;
  }
  const auto named = [keyword](const RecordSyntax& record) { return matches(record.keyword, keyword); };
  if (std::count_if(records.begin(), records.end(), named) != 1) return std::nullopt;
  const RecordSyntax& record = *std::find_if(records.begin(), records.end(), named);
  for (const RecordLayout& layout : layouts) {
    if (layout.name == record.name) return layout;
  }
  return std::nullopt;
}

// Sections as the readers find them: records start after the general header; the line text's
// general section ends at the next bracketed field that is not a comment.
void TextFormatter::follow_sections(std::string_view body) {
  if (section_ == Section::BeforeGeneral) {
    if (contains_ignoring_case(body, "[generale]")) {
      section_ = kind_ == TextKind::line ? Section::LineGeneral : Section::TrainRecords;
    }
    return;
  }
  if (section_ != Section::LineGeneral) return;
  const std::string_view first = skip_blanks(body.substr(0, body.find(',')));
  if (first.find('[') != std::string_view::npos && first.find(']') != std::string_view::npos &&
      !first.starts_with('-')) {
    section_ = Section::LineFeatures;
  }
}

}  // namespace

std::string format_text(std::string_view text, TextKind kind) {
  return TextFormatter(text, kind).run();
}

}  // namespace scengen::format
