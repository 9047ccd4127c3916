#include "compiler/field_reader.h"

#include "compiler/compile_warnings.h"

namespace scengen {

void FieldReader::step() {
  const char c = text_[pos_++];
  if (c == '\n' || (c == '\r' && (pos_ >= text_.size() || text_[pos_] != '\n'))) {
    ++line_;
    line_begin_ = pos_;
  }
}

void FieldReader::skip_blanks() {
  // A blank is no line end, so the line count stays as it is.
  while (!at_end() && is_blank(pos_)) ++pos_;
}

void FieldReader::fail_at_end() {
  field_start_ = {kind_, line_, static_cast<int>(pos_ - line_begin_) + 1};
  fail("the text ends inside a record");
}

void FieldReader::begin_field() {
  // Only a read with no byte left fails: trailing blanks still make one (empty) last field.
  if (at_end()) [[unlikely]]
    fail_at_end();
  skip_blanks();
  field_start_ = {kind_, line_, static_cast<int>(pos_ - line_begin_) + 1};
  field_offset_ = pos_;
  ++fields_read_;
}

// Takes the comma or the line end (CR LF as one) that ends a field.
void FieldReader::take_separator() {
  if (at_end()) return;
  if (text_[pos_] == ',') {
    step();
  } else if (text_[pos_] == '\r') {
    step();
    if (!at_end() && text_[pos_] == '\n') step();
  } else if (text_[pos_] == '\n') {
    step();
  }
}

std::string_view FieldReader::read_text() {
  begin_field();
  if (!at_end() && text_[pos_] == '"') {  // blanks that end the text make an empty field
    step();
    const size_t begin = pos_;
    while (!at_end() && text_[pos_] != '"') step();
    const std::string_view field = text_.substr(begin, pos_ - begin);
    last_field_ = field;
    if (!at_end()) step();  // the closing quote
    // What follows the closing quote up to the separator is ignored.
    while (!at_end() && text_[pos_] != ',' && !is_line_end(pos_)) step();
    take_separator();
    return field;
  }
  const size_t begin = pos_;
  while (!at_end() && text_[pos_] != ',' && !is_line_end(pos_)) ++pos_;
  size_t end = pos_;
  while (end > begin && (text_[end - 1] == ' ' || text_[end - 1] == '\t')) --end;
  take_separator();
  last_field_ = text_.substr(begin, end - begin);
  return last_field_;
}

int32_t FieldReader::read_number(NumberWidth width) {
  begin_field();
  // The leading whole number is taken in the same pass that finds the end of the field; whatever
  // follows it inside the field is passed over.
  const char* const text = text_.data();
  const size_t size = text_.size();
  const size_t begin = pos_;
  size_t at = pos_;
  bool negative = false;
  if (at < size && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  const size_t digits = at;
  int64_t value = 0;
  bool too_large = false;
  for (; at < size && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > (int64_t{1} << 32)) {
      too_large = true;
      break;
    }
  }
  const size_t digits_end = at;
  while (at < size && text[at] != ',' && text[at] != '\r' && text[at] != '\n' && text[at] != ' ' &&
         text[at] != '\t')
    ++at;
  const std::string_view field = text_.substr(begin, at - begin);
  last_field_ = field;
  pos_ = at;
  skip_blanks();
  take_separator();
  // A field that is a whole number and nothing else needs no warning.
  const bool plain = !too_large && digits_end > digits && digits_end == at;
  if (!plain && warnings_ != nullptr && warnings_->CollectWarnings) {
    if (auto warning = number_field_warning(field)) {
      record_warning(*warnings_, field_start_, std::move(*warning), WarningEffect::ValueChanged);
    }
  }
  if (too_large) fail("the number is too large");
  if (negative) value = -value;

  int64_t low = INT32_MIN, high = INT32_MAX;
  if (width == NumberWidth::Integer) low = INT16_MIN, high = INT16_MAX;
  if (width == NumberWidth::Byte) low = 0, high = 255;
  if (value < low || value > high) fail("the number does not fit its field");
  return static_cast<int32_t>(value);
}

}  // namespace scengen
