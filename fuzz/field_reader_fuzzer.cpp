// Fuzzes the field reader alone: the input gives a short script of reads (text, Long, Integer,
// Byte) and the text they read. Every field is checked against an independent reading of the
// bytes at the place the reader says the field begins, and every keyword test against a plain
// lower-casing search.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/field_reader.h"
#include "compiler/source_text.h"

namespace {

using namespace scengen;

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void check(bool holds, const char* what) {
  if (!holds) broken(what);
}

bool is_separator(char ch) {
  return ch == ',' || ch == '\r' || ch == '\n';
}
bool is_blank(char ch) {
  return ch == ' ' || ch == '\t';
}

// Byte offsets of the starts of lines 1, 2, ...: a line ends at CR LF, a lone CR or a lone LF.
std::vector<size_t> line_starts(std::string_view text) {
  std::vector<size_t> starts{0};
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') starts.push_back(i + 1);
  }
  return starts;
}

size_t offset_of(const std::vector<size_t>& starts, SourceSpot spot) {
  check(spot.line >= 1 && static_cast<size_t>(spot.line) <= starts.size(), "a field's line exists");
  check(spot.column >= 1, "a field's column counts from 1");
  return starts[static_cast<size_t>(spot.line) - 1] + static_cast<size_t>(spot.column) - 1;
}

std::string lower_ascii(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return out;
}

// The leading whole number of a number field as the reader must see it; nullopt when it does not
// fit the width.
std::optional<int64_t> expected_number(std::string_view field, NumberWidth width) {
  size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  while (i < field.size() && field[i] == '0') ++i;  // leading zeros do not count
  size_t digits = 0;
  int64_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    if (++digits > 11) return std::nullopt;
    value = value * 10 + (field[i] - '0');
  }
  if (negative) value = -value;
  int64_t low = INT32_MIN, high = INT32_MAX;
  if (width == NumberWidth::Integer) low = INT16_MIN, high = INT16_MAX;
  if (width == NumberWidth::Byte) low = 0, high = 255;
  if (value < low || value > high) return std::nullopt;
  return value;
}

// Keywords with letters, digits, brackets and a blank: the empty one and "-" too.
constexpr std::string_view kKeywords[] = {"[generale]",
                                          "lunghezza percorso",
                                          "indicatori_v",
                                          "velocit",
                                          "stazione",
                                          "curva",
                                          "-",
                                          "s",
                                          ""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::string script = provider.ConsumeBytesAsString(provider.ConsumeIntegralInRange(0, 16));
  const std::string text = provider.ConsumeRemainingBytesAsString();
  const std::vector<size_t> starts = line_starts(text);
  const LineIndex index(text);

  FieldReader reader(text, TextKind::Train);
  size_t reads = 0;
  for (;;) {
    const bool was_at_end = reader.at_end();
    const int op =
        script.empty() ? 0 : static_cast<unsigned char>(script[reads % script.size()]) % 4;
    ++reads;
    check(reads <= text.size() + 1, "every read takes at least one byte");
    try {
      if (op == 0) {
        const std::string_view field = reader.read_text();
        check(!was_at_end, "a read with no byte left fails");
        check(
            field.data() >= text.data() && field.data() + field.size() <= text.data() + text.size(),
            "a text field lies inside the text");
        const size_t at = offset_of(starts, reader.field_start());
        check(at <= text.size(), "a field begins inside the text");
        if (at < text.size() && text[at] == '"') {
          const size_t close = text.find('"', at + 1);
          const size_t end = close == std::string::npos ? text.size() : close;
          check(field == std::string_view(text).substr(at + 1, end - at - 1), "a quoted field");
        } else {
          size_t end = at;
          while (end < text.size() && !is_separator(text[end])) ++end;
          while (end > at && is_blank(text[end - 1])) --end;
          check(field == std::string_view(text).substr(at, end - at), "an unquoted field");
          check(at == text.size() || !is_blank(text[at]), "blanks before a field are skipped");
        }
        const std::string lower = lower_ascii(field);
        for (std::string_view keyword : kKeywords) {
          const bool expected = lower.find(keyword) != std::string::npos;
          check(contains_ignoring_case(field, keyword) == expected, "a keyword test");
        }
        // The diagnostics' index finds the same place and line as the reader and the oracle.
        const int line = reader.field_start().line;
        check(index.line_of(at) == TextPlace{line, reader.field_start().column},
              "the line index finds a field's place");
        const std::string_view source = index.line(line);
        const size_t begin = starts[static_cast<size_t>(line) - 1];
        check(source.data() == text.data() + begin, "a source line begins at its line");
        check(begin + source.size() == text.size() || is_separator(text[begin + source.size()]),
              "a source line ends at a line end");
      } else {
        const auto width = static_cast<NumberWidth>(op - 1);
        int32_t value = 0;
        bool failed = false;
        try {
          value = reader.read_number(width);
        } catch (const ReadFailure&) {
          failed = true;
        }
        if (was_at_end) {
          check(failed, "a read with no byte left fails");
          break;
        }
        const size_t at = offset_of(starts, reader.field_start());
        check(at <= text.size(), "a field begins inside the text");
        size_t end = at;
        while (end < text.size() && !is_separator(text[end]) && !is_blank(text[end])) ++end;
        const std::optional<int64_t> expected =
            expected_number(std::string_view(text).substr(at, end - at), width);
        check(failed == !expected.has_value(), "a number fails exactly when it does not fit");
        if (failed) break;
        check(value == *expected, "a number's value");
      }
    } catch (const ReadFailure&) {
      check(was_at_end, "a text field fails only when no byte is left");
      break;
    }
    if (reader.at_end()) break;
  }
  return 0;
}
