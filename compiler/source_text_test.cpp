#include "compiler/source_text.h"

#include <gtest/gtest.h>

#include "compiler/field_reader.h"

namespace scengen {
namespace {

constexpr unsigned char kUnassigned[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
constexpr const char* kReplacementUtf8 = "\xEF\xBF\xBD";

bool is_unassigned(unsigned char byte) {
  for (const unsigned char u : kUnassigned) {
    if (u == byte) return true;
  }
  return false;
}

TEST(Utf8FromWindows1252, ConvertsEachKindOfByte) {
  struct Case {
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {"abc", "abc"},
      {std::string("\0\x7F", 2), std::string("\0\x7F", 2)},
      {"S.S. n\xB0 9", "S.S. n\xC2\xB0 9"},                                // degree sign
      {"citt\xE0 \xE8\xF2\xF9", "citt\xC3\xA0 \xC3\xA8\xC3\xB2\xC3\xB9"},  // a, e, o, u grave
      {"\x80", "\xE2\x82\xAC"},                                            // euro sign
      {"\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},                          // curly quotes
      {"\x8A\x9A", "\xC5\xA0\xC5\xA1"},                                    // S and s with caron
      {"\x9F", "\xC5\xB8"},                                                // Y with diaeresis
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},                                    // Latin-1 half
      {"\x81", kReplacementUtf8},
      {"a\x8D\x8F\x90\x9Dz", std::string("a") + kReplacementUtf8 + kReplacementUtf8 +
                                 kReplacementUtf8 + kReplacementUtf8 + "z"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8_from_windows_1252(c.bytes), c.utf8) << c.bytes;
}

TEST(Utf8FromWindows1252, EveryAssignedByteComesBackAndTheFiveUnassignedAreUnknown) {
  std::string assigned;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const std::string utf8 = utf8_from_windows_1252(one);
    if (is_unassigned(static_cast<unsigned char>(byte))) {
      EXPECT_EQ(utf8, kReplacementUtf8) << byte;
      // U+FFFD has no byte of its own: it never turns back into the byte it stood for.
      EXPECT_FALSE(windows_1252_from_utf8(utf8).has_value()) << byte;
      continue;
    }
    assigned += one;
    EXPECT_EQ(windows_1252_from_utf8(utf8), one) << byte;
  }
  ASSERT_EQ(assigned.size(), 251u);
  EXPECT_EQ(windows_1252_from_utf8(utf8_from_windows_1252(assigned)), assigned);
}

TEST(Windows1252FromUtf8, NamesTheFirstCharacterItCannotWrite) {
  struct Case {
    std::string utf8;
    size_t offset;
    bool invalid_utf8;
  };
  const Case cases[] = {
      {"ab\xEF\xBF\xBD", 2, false},           // U+FFFD, the unknown byte
      {"\xC2\x81", 0, false},                 // a C1 control: unassigned in the code page
      {"\xC3\xA8\xC4\x80", 2, false},         // A with macron, after an e grave
      {"x\xF0\x9F\x9A\x82", 1, false},        // beyond the basic plane
      {"a\x80", 1, true},                     // a continuation byte with no lead
      {"\xC0\xAF", 0, true},                  // overlong slash
      {"\xE0\x80\xAF", 0, true},              // overlong slash in three bytes
      {"\xED\xA0\x80", 0, true},              // a surrogate
      {"\xF4\x90\x80\x80", 0, true},          // beyond U+10FFFF
      {"ok \xE2\x82", 3, true},               // cut short at the end
      {"\xE2\x82x", 0, true},                 // cut short by an ASCII letter
      {"\xFF", 0, true},                      // never a UTF-8 byte
      {"\xC3\xA8\xE2\x82\xAC\xC3", 5, true},  // the first failure counts, in bytes
  };
  for (const Case& c : cases) {
    Windows1252Failure failure{99, !c.invalid_utf8};
    EXPECT_FALSE(windows_1252_from_utf8(c.utf8, &failure).has_value()) << c.utf8;
    EXPECT_EQ(failure.offset, c.offset) << c.utf8;
    EXPECT_EQ(failure.invalid_utf8, c.invalid_utf8) << c.utf8;
  }
  Windows1252Failure untouched{99, true};
  EXPECT_EQ(windows_1252_from_utf8("citt\xC3\xA0 \xE2\x82\xAC", &untouched), "citt\xE0 \x80");
  EXPECT_EQ(untouched.offset, 99u);
}

TEST(LineIndex, LinesEndAtCrLfLfOrLoneCr) {
  const std::string_view text = "one\r\ntwo, 2\nthree\r\rfive\r\n";
  const LineIndex index(text);
  const char* expected[] = {"one", "two, 2", "three", "", "five", ""};
  ASSERT_EQ(index.line_count(), 6);
  for (int line = 1; line <= 6; ++line) EXPECT_EQ(index.line(line), expected[line - 1]) << line;
  EXPECT_EQ(index.line(7), "");
  EXPECT_EQ(index.line(0), "");
  EXPECT_EQ(index.line(-1), "");
  // A line's bytes are the text's own, not a copy.
  EXPECT_EQ(index.line(2).data(), text.data() + 5);

  EXPECT_EQ(LineIndex("").line_count(), 1);
  EXPECT_EQ(LineIndex("").line(1), "");
  EXPECT_EQ(LineIndex("no end").line_count(), 1);
  EXPECT_EQ(LineIndex("no end").line(1), "no end");
  EXPECT_EQ(LineIndex("\r").line_count(), 2);
  EXPECT_EQ(LineIndex("\n\r\n\r").line_count(), 4);
}

TEST(LineIndex, FindsTheLineAndColumnOfAByte) {
  const LineIndex index("ab\r\ncd\ne\rf");
  struct Case {
    size_t offset;
    TextPlace place;
  };
  const Case cases[] = {
      {0, {1, 1}},   {1, {1, 2}}, {2, {1, 3}}, {3, {1, 4}},  // CR LF belongs to the line it ends
      {4, {2, 1}},   {6, {2, 3}}, {7, {3, 1}}, {8, {3, 2}},
      {9, {4, 1}},   // a lone CR ends a line too
      {10, {4, 2}},  // just after the last byte
      {500, {4, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(index.line_of(c.offset), c.place) << c.offset;
  // After a final line end, the end of the text stands on the empty last line.
  EXPECT_EQ(LineIndex("a\r\n").line_of(3), (TextPlace{2, 1}));
}

// The index and the field reader must agree on every place, or a caret would stand under the
// wrong byte.
TEST(LineIndex, AgreesWithTheFieldReader) {
  const std::string_view texts[] = {
      "[generale]\r\nlunghezza percorso, 5000\r\n\r\n  pendenza,\t78950, 2\r\n[fine]\r\n",
      "a\nb\rc\r\nd,e\n\n\rf",
      "x\r\r\n\n\ry , z",
  };
  for (const std::string_view text : texts) {
    const LineIndex index(text);
    FieldReader reader(text, TextKind::Line);
    while (!reader.at_end()) {
      const std::string_view field = reader.read_text();
      if (field.empty()) continue;  // an empty field's view need not point into the text
      const auto offset = static_cast<size_t>(field.data() - text.data());
      const SourceSpot spot = reader.field_start();
      EXPECT_EQ(index.line_of(offset), (TextPlace{spot.line, spot.column})) << field;
      EXPECT_EQ(index.line(spot.line).substr(static_cast<size_t>(spot.column) - 1, field.size()),
                field);
    }
    // A read with no byte left fails just after the last byte.
    try {
      reader.read_text();
      ADD_FAILURE() << "no byte is left";
    } catch (const ReadFailure& failure) {
      EXPECT_EQ(index.line_of(text.size()), (TextPlace{failure.where.line, failure.where.column}));
    }
  }
}

}  // namespace
}  // namespace scengen
