#include "compiler/field_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace scengen {
namespace {

constexpr const char* kFail = "<fail>";

// Runs one read per letter of `reads` (t text, l Long, i Integer, b Byte) and returns what each
// gave; a read that fails gives kFail and ends the run.
std::vector<std::string> read_all(std::string_view text, std::string_view reads, bool* ended) {
  FieldReader reader(text, TextKind::Train);
  std::vector<std::string> got;
  try {
    for (char read : reads) {
      switch (read) {
        case 't':
          got.emplace_back(reader.read_text());
          break;
        case 'l':
          got.push_back(std::to_string(reader.read_long()));
          break;
        case 'i':
          got.push_back(std::to_string(reader.read_integer()));
          break;
        case 'b':
          got.push_back(std::to_string(reader.read_byte()));
          break;
      }
    }
  } catch (const ReadFailure&) {
    got.push_back(kFail);
  }
  *ended = reader.at_end();
  return got;
}

struct Case {
  const char* what;
  std::string_view text;
  const char* reads;
  std::vector<std::string> expected;
  bool at_end;  // after the reads
};

const Case kCases[] = {
    {"comma and CR LF separate", "a,b\r\nc", "ttt", {"a", "b", "c"}, true},
    {"blanks before skipped, after dropped", "  a  ,\tb\t,c  ", "ttt", {"a", "b", "c"}, true},
    {"inner blanks kept",
     "percentuale massa frenata, 120",
     "tl",
     {"percentuale massa frenata", "120"},
     true},
    {"an empty line is an empty field", "a\r\n\r\nb", "ttt", {"a", "", "b"}, true},
    {"lone LF and lone CR end lines", "a\nb\rc", "ttt", {"a", "b", "c"}, true},
    {"LF then CR are two line ends", "a\n\rb", "ttt", {"a", "", "b"}, true},
    {"blanks only between commas", "x,  ,y", "tlt", {"x", "0", "y"}, true},
    {"empty number at a line end", "x,\r\ny", "tlt", {"x", "0", "y"}, true},
    {"numbers end at blanks",
     "orologio,    8               19            15 \r\n[fine]\r\n",
     "tiiit",
     {"orologio", "8", "19", "15", "[fine]"},
     true},
    {"blanks and the line end after a number belong to it", "15 \r\n", "l", {"15"}, true},
    {"blanks and a comma after a number belong to it", "15  ,7", "ll", {"15", "7"}, true},
    {"leading whole number, rest ignored",
     "12.5,12x,abc,-,+7,-7,--3,",
     "lllllll",
     {"12", "12", "0", "0", "7", "-7", "0"},
     true},
    {"inner text after a number is its own field", "12x 5,", "ll", {"12", "5"}, true},
    {"text after a number that ended at a blank",
     "100 (P.B.A.)(P. 253)\r\n[fine]",
     "ltt",
     {"100", "(P.B.A.)(P. 253)", "[fine]"},
     true},
    {"quoted field keeps commas, rest ignored",
     "\"a, b\" ignored, next",
     "tt",
     {"a, b", "next"},
     true},
    {"quoted field keeps line ends and blanks", "  \" a\r\nb \",c", "tt", {" a\r\nb ", "c"}, true},
    {"unclosed quote runs to the end", "\"abc, def\r\n", "t", {"abc, def\r\n"}, true},
    {"a number ignores quotes", "\"12\",5", "ll", {"0", "5"}, true},
    {"widths at their limits",
     "2147483647,-2147483648,32767,-32768,255,0",
     "lliibb",
     {"2147483647", "-2147483648", "32767", "-32768", "255", "0"},
     true},
    {"leading zeros do not count", "0000000000000000000000042,+000255", "bb", {"42", "255"}, true},
    {"Long overflow", "2147483648", "l", {kFail}, true},
    {"Long underflow", "-2147483649", "l", {kFail}, true},
    {"a huge number", "99999999999999999999999999", "l", {kFail}, true},
    {"Integer overflow", "32768", "i", {kFail}, true},
    {"Integer underflow", "-32769", "i", {kFail}, true},
    {"Byte overflow", "256", "b", {kFail}, true},
    {"negative Byte", "-1", "b", {kFail}, true},
    {"an empty text has no field", "", "t", {kFail}, true},
    {"no number after the last field", "5,", "ll", {"5", kFail}, true},
    {"trailing blanks are one last empty field", "a,  ", "ttt", {"a", "", kFail}, true},
    {"the last field ends the text", "a\r\n", "t", {"a"}, true},
    {"a field before the last does not", "a\r\nb", "t", {"a"}, false},
    {"Windows-1252 bytes kept as they are", "caf\xE8 \xB0,x", "t", {"caf\xE8 \xB0"}, false},
    {"NUL bytes are ordinary bytes",
     std::string_view("a\0b,7", 5),
     "tl",
     {std::string("a\0b", 3), "7"},
     true},
};

TEST(FieldReader, ReadsFieldsByTheRules) {
  for (const Case& test : kCases) {
    bool ended = false;
    EXPECT_EQ(read_all(test.text, test.reads, &ended), test.expected) << test.what;
    EXPECT_EQ(ended, test.at_end) << test.what;
  }
}

TEST(FieldReader, IntegerAndByteKeepTheirValues) {
  FieldReader reader("-32768,255", TextKind::Train);
  EXPECT_EQ(reader.read_integer(), int16_t{-32768});
  EXPECT_EQ(reader.read_byte(), uint8_t{255});
}

TEST(FieldReader, TracksWhereEachFieldStarts) {
  // Line 3 opens a quoted field that runs onto line 4.
  FieldReader reader("ab,  cd\r\n\t ef\n\"g\nh\",i\r7", TextKind::Line);
  struct Spot {
    int line, column;
  };
  const Spot expected[] = {{1, 1}, {1, 6}, {2, 3}, {3, 1}, {4, 4}, {5, 1}};
  for (const Spot& spot : expected) {
    reader.read_text();
    EXPECT_EQ(reader.field_start().text, TextKind::Line);
    EXPECT_EQ(reader.field_start().line, spot.line);
    EXPECT_EQ(reader.field_start().column, spot.column);
  }
  EXPECT_TRUE(reader.at_end());
}

TEST(FieldReader, AFailureNamesTheFieldItStoppedAt) {
  FieldReader reader("x,1\r\n  99999", TextKind::Train);
  reader.read_text();
  reader.read_long();
  try {
    reader.read_byte();
    FAIL() << "a Byte of 99999 must fail";
  } catch (const ReadFailure& failure) {
    EXPECT_EQ(failure.where.text, TextKind::Train);
    EXPECT_EQ(failure.where.line, 2);
    EXPECT_EQ(failure.where.column, 3);
  }
  // Past the end, the failure points just behind the last byte.
  FieldReader at_end("a\r\nb", TextKind::Line);
  at_end.read_text();
  at_end.read_text();
  try {
    at_end.read_long();
    FAIL() << "no byte is left";
  } catch (const ReadFailure& failure) {
    EXPECT_EQ(failure.where.line, 2);
    EXPECT_EQ(failure.where.column, 2);
  }
}

}  // namespace
}  // namespace scengen
