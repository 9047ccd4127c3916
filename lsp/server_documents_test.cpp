// How the server pairs, converts and forgets documents: a partner read from the disk, positions
// in either encoding over a text with non-ASCII characters, closing.
#include <gtest/gtest.h>

#include <string>

#include "compiler/source_text.h"
#include "lsp/scripted_client.h"
#include "lsp/uri.h"
#include "testing/check_fixture.h"
#include "testing/scratch_folder.h"

namespace scengen::lsp {
namespace {

using scengen::testing::crlf_text;
using scengen::testing::kCheckLine;
using scengen::testing::kCheckTrain;
using scengen::testing::ScratchFolder;
using scengen::testing::write_file;
using testing::ScriptedClient;

const std::string kLineUri = "file:///scengen-lsp-test/Ponte_Alto_linea.txt";
const std::string kTrainUri = "file:///scengen-lsp-test/Ponte_Alto_2101-.txt";

// The check fixture's train text with line `line` (from 1) replaced.
std::string train_with(int line, const std::string& text) {
  std::vector<std::string> lines = kCheckTrain;
  lines[static_cast<size_t>(line - 1)] = text;
  return crlf_text(lines);
}

Json range(int line, int from, int to) {
  return {{"start", {{"line", line}, {"character", from}}},
          {"end", {{"line", line}, {"character", to}}}};
}

TEST(ServerPositions, CountUtf16UnitsOrUtf8BytesOverANonAsciiStationName) {
  // À is one UTF-16 unit and two UTF-8 bytes: the name's warning ends one further in UTF-8.
  const std::string station =
      "stazione, 1000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, CITT\xC3\x80, VECCHIA";
  struct Case {
    std::vector<std::string> offered;
    int end;
  };
  const Case cases[] = {{{}, 61}, {{"utf-8"}, 62}};
  for (const Case& c : cases) {
    ScriptedClient client;
    client.start(c.offered)
        .open(kLineUri, crlf_text(kCheckLine))
        .open(kTrainUri, train_with(4, station))
        .finish();
    client.run();
    const Json diagnostics = client.diagnostics(kTrainUri);
    ASSERT_FALSE(diagnostics.empty());
    EXPECT_EQ(diagnostics[0]["range"], range(3, 56, c.end));
    EXPECT_EQ(diagnostics[0]["message"],
              "'CITT\xC3\x80' becomes the station's name, without the rest of the line "
              "('VECCHIA'): a name that holds a comma is written in double quotes");
  }
}

TEST(ServerPositions, ACharacterWithoutAWindows1252ByteIsAnErrorAtItsPlace) {
  // A train emoji, beyond the 16-bit plane: two UTF-16 units, four UTF-8 bytes.
  const std::string station =
      "stazione, 1000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, \xF0\x9F\x9A\x82";
  struct Case {
    std::vector<std::string> offered;
    int end;
  };
  const Case cases[] = {{{}, 58}, {{"utf-8"}, 60}};
  for (const Case& c : cases) {
    ScriptedClient client;
    client.start(c.offered)
        .open(kLineUri, crlf_text(kCheckLine))
        .open(kTrainUri, train_with(4, station))
        .finish();
    client.run();
    EXPECT_EQ(client.diagnostics(kTrainUri),
              Json::array({{{"range", range(3, 56, c.end)},
                            {"severity", 1},
                            {"source", "scengen"},
                            {"code", 1252},
                            {"message",
                             "the character U+1F682 has no byte in Windows-1252, the code page "
                             "of the texts"}}}));
    // Nothing is compiled, so the line text has nothing to show.
    EXPECT_EQ(client.diagnostics(kLineUri), Json::array());
  }
}

TEST(ServerPairing, ReadsThePartnerFromTheDiskAndForgetsOnClose) {
  ScratchFolder folder("lsp");
  // On disk the texts are Windows-1252 (the board's text holds an à); the line has a field too
  // many, for a warning.
  std::vector<std::string> line = kCheckLine;
  line[8] = "cartello_indicatore, 2500, (CITT\xE0), x";
  write_file(folder.at("Ponte_Alto_linea.txt"), crlf_text(line));
  const std::string line_uri = uri_from_path(folder.at("Ponte_Alto_linea.txt"));
  const std::string train_uri = uri_from_path(folder.at("Ponte_Alto_2101-.txt"));
  ScriptedClient client;
  client.start().open(train_uri, crlf_text(kCheckTrain))
      .notify("textDocument/didClose", {{"textDocument", {{"uri", train_uri}}}})
      .finish();
  client.run();
  EXPECT_EQ(client.publications(line_uri), 2);
  EXPECT_EQ(client.publications(train_uri), 2);
  // Closing the last open text of the pair takes its diagnostics away.
  EXPECT_EQ(client.diagnostics(line_uri), Json::array());
  EXPECT_EQ(client.diagnostics(train_uri), Json::array());
  const Json first = client.answers()[1];
  EXPECT_EQ(first["params"]["uri"], line_uri);
  EXPECT_EQ(first["params"]["diagnostics"][0]["message"],
            "the line holds more fields than 'cartello_indicatore' takes (2 values): the fields "
            "after them are read as keywords and ignored");
}

}  // namespace
}  // namespace scengen::lsp
