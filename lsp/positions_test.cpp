#include "lsp/positions.h"

#include <gtest/gtest.h>

#include <string>

#include "lsp/uri.h"

namespace scengen::lsp {
namespace {

// "città, €5" in Windows-1252, then a second line: à is one UTF-16 unit and two UTF-8 bytes,
// € one unit and three bytes.
const std::string kText = "citt\xE0, \x80" "5\r\nx";

TEST(TextPositions, CountsTheUnitsOfEachEncoding) {
  struct Case {
    PositionEncoding encoding;
    int column;  // a byte column, from 1
    int character;
  };
  const Case cases[] = {
      {PositionEncoding::Utf16, 5, 4},  {PositionEncoding::Utf8, 5, 4},
      {PositionEncoding::Utf16, 6, 5},  {PositionEncoding::Utf8, 6, 6},
      {PositionEncoding::Utf16, 9, 8},  {PositionEncoding::Utf8, 9, 11},
      {PositionEncoding::Utf16, 99, 9}, {PositionEncoding::Utf8, 99, 12},
  };
  for (const Case& c : cases) {
    const TextPositions positions(kText, c.encoding);
    const Position at = positions.at(1, c.column);
    EXPECT_EQ(at, (Position{0, c.character})) << c.column;
    // And back to the byte, except past the line's end, which is the end.
    EXPECT_EQ(positions.offset(at), std::min<size_t>(c.column - 1, 9)) << c.column;
  }
}

TEST(TextPositions, APositionInsideACharacterOrPastTheTextStandsBeforeIt) {
  const TextPositions utf8(kText, PositionEncoding::Utf8);
  EXPECT_EQ(utf8.offset({0, 5}), 4u);  // the second byte of à
  EXPECT_EQ(utf8.offset({1, 0}), 11u);
  EXPECT_EQ(utf8.offset({7, 0}), kText.size());
  EXPECT_EQ(utf8.at_offset(kText.size()), (Position{1, 1}));
}

TEST(Utf8Position, CountsACharacterBeyondTheBasicPlaneAsTwoUtf16Units) {
  const std::string text = "a\n\xF0\x9F\x9A\x82x\r\ny";  // a train emoji on the second line
  EXPECT_EQ(utf8_position(text, 6, PositionEncoding::Utf16), (Position{1, 2}));
  EXPECT_EQ(utf8_position(text, 6, PositionEncoding::Utf8), (Position{1, 4}));
  EXPECT_EQ(utf8_position(text, 9, PositionEncoding::Utf16), (Position{2, 0}));
}

TEST(Uri, FileUrisAndPathsGoBothWays) {
  struct Case {
    const char* uri;
    const char* path;  // nullptr: no file
  };
  const Case cases[] = {
      {"file:///home/ann/Ponte_Alto_linea.txt", "/home/ann/Ponte_Alto_linea.txt"},
      {"file:///home/ann/citt%C3%A0%20nuova/a%2Cb.txt", "/home/ann/citt\xC3\xA0 nuova/a,b.txt"},
      {"file://localhost/tmp/x.txt", "/tmp/x.txt"},
      {"FILE:///tmp/x.txt", "/tmp/x.txt"},
      {"file://server/share/x.txt", nullptr},
      {"untitled:Untitled-1", nullptr},
      {"file:///tmp/bad%2", nullptr},
      {"file:///tmp/bad%zz", nullptr},
  };
  for (const Case& c : cases) {
    const auto path = path_from_uri(c.uri);
    ASSERT_EQ(path.has_value(), c.path != nullptr) << c.uri;
    if (c.path == nullptr) continue;
    const auto text = path->generic_u8string();
    EXPECT_EQ(std::string(text.begin(), text.end()), c.path) << c.uri;
  }
  EXPECT_EQ(uri_from_path(std::filesystem::path(u8"/home/ann/citt\u00e0 nuova/a,b.txt")),
            "file:///home/ann/citt%C3%A0%20nuova/a%2Cb.txt");
}

}  // namespace
}  // namespace scengen::lsp
