// Each capability of the server on the built-in texts and small edits of them, through a
// scripted client.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cli/explain.h"
#include "compiler/source_text.h"
#include "lsp/scripted_client.h"
#include "testing/scratch_folder.h"
#include "texts/line_description.h"
#include "texts/line_list.h"
#include "texts/train_description.h"

namespace scengen::lsp {
namespace {

using testing::ScriptedClient;

const std::string kLineUri = "file:///scengen-lsp-test/Veltrano_Quarnelo_linea.txt";
const std::string kTrainUri = "file:///scengen-lsp-test/Veltrano_Quarnelo_58316-.txt";

// The built-in texts as an editor holds them: UTF-8.
std::string built_in_line() { return utf8_from_windows_1252(emit_line_list(line_description_lines())); }
std::string built_in_train() {
  return utf8_from_windows_1252(emit_line_list(train_description_lines()));
}

// The text with the first occurrence of `from` replaced by `to`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

Json text_position(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

Json range(int line, int from, int to_line, int to) {
  return {{"start", {{"line", line}, {"character", from}}},
          {"end", {{"line", to_line}, {"character", to}}}};
}

// A session that opens both built-in texts (the train text edited) and runs `requests`.
template <typename Requests>
ScriptedClient session(const std::string& train, Requests requests,
                       std::vector<std::string> encodings = {}) {
  ScriptedClient client;
  client.start(encodings).open(kLineUri, built_in_line()).open(kTrainUri, train);
  requests(client);
  client.finish();
  client.run();
  return client;
}

TEST(ServerDiagnostics, TheBuiltInTextsHaveNone) {
  const ScriptedClient client = session(built_in_train(), [](ScriptedClient&) {});
  EXPECT_EQ(client.diagnostics(kLineUri), Json::array());
  EXPECT_EQ(client.diagnostics(kTrainUri), Json::array());
}

TEST(ServerDiagnostics, AnErrorPointsAtTheRecordThatHoldsTheTakenCell) {
  // A second signal in the cell of the one at 1750 m.
  const std::string train =
      edited(built_in_train(), "segnale,    2850,", "segnale,    1750,");
  const ScriptedClient client = session(train, [](ScriptedClient&) {});
  const Json expected = Json::array({{
      {"range", range(43, 0, 43, 7)},
      {"severity", 1},
      {"source", "scengen"},
      {"code", 16},
      {"message",
       "a signal's cell is not free (at 1750 m): cell 36 (1800 to 1850 m) holds a signal, "
       "placed by 'segnale' at line 43 of the train description"},
      {"relatedInformation",
       Json::array({{{"location", {{"uri", kTrainUri}, {"range", range(42, 0, 42, 51)}}},
                     {"message", "cell 36 (1800 to 1850 m) holds a signal"}}})},
  }});
  EXPECT_EQ(client.diagnostics(kTrainUri), expected);
  EXPECT_EQ(client.diagnostics(kLineUri), Json::array());
}

TEST(ServerDiagnostics, AChangeOfEitherTextPublishesBoth) {
  const ScriptedClient client = session(built_in_train(), [](ScriptedClient& c) {
    c.change(kLineUri, edited(built_in_line(), "pendenza,  1200,", "pendenzza,  1200,"));
  });
  // Opening the line text alone publishes it alone (no train text of its route exists yet); the
  // train text's opening and the line text's change publish both.
  EXPECT_EQ(client.publications(kLineUri), 3);
  EXPECT_EQ(client.publications(kTrainUri), 2);
  const Json expected = Json::array({{
      {"range", range(38, 0, 38, 9)},
      {"severity", 2},
      {"source", "scengen"},
      {"code", "record_not_compiled"},
      {"message",
       "'pendenzza' matches no record; did you mean 'pendenza'? The record of line 39 is not "
       "compiled"},
  }});
  EXPECT_EQ(client.diagnostics(kLineUri), expected);
}

TEST(ServerCodeActions, OfferTheFixesTheWarningsPropose) {
  struct Case {
    const char* from;
    const char* to;
    int line;  // of the line text, from 0
    Json range;
    const char* title;
    const char* new_text;
  };
  const Case cases[] = {
      {"pendenza,  1200,", "pendenzza,  1200,", 38, range(38, 0, 38, 9), "Replace with 'pendenza'",
       "pendenza"},
      {"sfondo uno,", "Sfondo Uno,", 5, range(5, 0, 5, 10), "Write 'sfondo uno' in lower case",
       "sfondo uno"},
      {"pendenza,  1200,", "pendenza,  1210,", 38, range(38, 11, 38, 15),
       "Write 1200 m, where it is compiled", "1200"},
      {"pendenza,  1200,   5", "pendenza,  1200,   5x", 38, range(38, 19, 38, 21),
       "Write 5, as it is compiled", "5"},
  };
  for (const Case& c : cases) {
    ScriptedClient client;
    client.start()
        .open(kTrainUri, built_in_train())
        .open(kLineUri, edited(built_in_line(), c.from, c.to))
        .request(1, "textDocument/codeAction",
                 {{"textDocument", {{"uri", kLineUri}}},
                  {"range", range(c.line, 0, c.line, 30)},
                  {"context", {{"diagnostics", Json::array()}}}})
        // Elsewhere in the text there is nothing to fix.
        .request(2, "textDocument/codeAction",
                 {{"textDocument", {{"uri", kLineUri}}},
                  {"range", range(1, 0, 1, 3)},
                  {"context", {{"diagnostics", Json::array()}}}})
        .finish();
    client.run();
    const Json actions = client.answer(1)["result"];
    ASSERT_EQ(actions.size(), 1u) << c.to;
    EXPECT_EQ(actions[0]["title"], c.title);
    EXPECT_EQ(actions[0]["kind"], "quickfix");
    EXPECT_EQ(actions[0]["diagnostics"], client.diagnostics(kLineUri)) << c.to;
    EXPECT_EQ(actions[0]["edit"],
              (Json{{"changes", {{kLineUri, {{{"range", c.range}, {"newText", c.new_text}}}}}}}))
        << c.to;
    EXPECT_EQ(client.answer(2)["result"], Json::array()) << c.to;
  }
}

TEST(ServerHover, ShowsTheReferenceOfAKeywordAndWhatStandsAtAPosition) {
  const ScriptedClient client = session(built_in_train(), [](ScriptedClient& c) {
    c.request(1, "textDocument/hover", text_position(kTrainUri, 42, 3))
        .request(2, "textDocument/hover", text_position(kTrainUri, 41, 4))
        .request(3, "textDocument/hover", text_position(kTrainUri, 42, 14))
        .request(4, "textDocument/hover", text_position(kTrainUri, 42, 20))
        .request(5, "textDocument/hover", text_position(kLineUri, 38, 1));
  });
  const std::vector<ReferenceTopic> topics = reference_topics(formats_reference());
  auto reference = [&](const char* topic) {
    return Json{{"kind", "markdown"}, {"value", std::string(find_topic(topics, topic)->text)}};
  };
  EXPECT_EQ(client.answer(1)["result"],
            (Json{{"contents", reference("segnale")}, {"range", range(42, 0, 42, 7)}}));
  EXPECT_EQ(client.answer(2)["result"],
            (Json{{"contents", reference("[segnali]")}, {"range", range(41, 0, 41, 9)}}));
  EXPECT_EQ(client.answer(3)["result"]["contents"]["value"],
            "**1.750 km (1750 m)**\n\nAfter the compile:\n\n"
            "- cell 35 (1750 to 1800 m): information board, text \"(P.B.A.)(P. 253)\" in slot 80; "
            "95 km/h, gradient 0 per mille, adhesion 96\n"
            "- cell 36 (1800 to 1850 m): signal, s1 4 d1 3, s2 1 d2 1, s3 1 d3 1, sx 2 dx 2, rapp 0, "
            "tempo 0; 95 km/h, gradient 0 per mille, adhesion 96\n");
  EXPECT_EQ(client.answer(3)["result"]["range"], range(42, 12, 42, 16));
  // sx is no position.
  EXPECT_EQ(client.answer(4)["result"], Json());
  EXPECT_EQ(client.answer(5)["result"]["contents"], reference("pendenza"));
}

TEST(ServerCompletion, OffersTheSectionsKeywordsHeadersAndStationNames) {
  const ScriptedClient client = session(built_in_train(), [](ScriptedClient& c) {
    c.request(1, "textDocument/completion", text_position(kLineUri, 38, 3))
        .request(2, "textDocument/completion", text_position(kLineUri, 0, 0))
        .request(3, "textDocument/completion", text_position(kTrainUri, 21, 80))
        .request(4, "textDocument/completion", text_position(kTrainUri, 42, 14));
  });
  auto labels = [&](int id) {
    std::vector<std::string> all;
    const Json items = client.answer(id)["result"];
    for (const Json& item : items) all.push_back(item["label"]);
    return all;
  };
  EXPECT_EQ(labels(1), (std::vector<std::string>{"pendenza", "[generale]", "[curve]", "[pendenze]",
                                                 "[montagne]", "[cartelli]", "[indicazioni]",
                                                 "[fine]"}));
  EXPECT_EQ(client.answer(1)["result"][0]["textEdit"],
            (Json{{"range", range(38, 0, 38, 8)}, {"newText", "pendenza"}}));
  EXPECT_EQ(labels(2), (std::vector<std::string>{"[generale]"}));
  // The stations of the compile, each name once, in order.
  const std::vector<std::string> stations = labels(3);
  ASSERT_EQ(stations.size(), 18u);
  EXPECT_EQ(stations.front(), "BIVIO SORDIO");
  EXPECT_EQ(stations.back(), "VELTRA LAMBRATE");
  EXPECT_TRUE(std::is_sorted(stations.begin(), stations.end()));
  EXPECT_EQ(labels(4), (std::vector<std::string>{}));
}

TEST(ServerSymbols, ListSectionsWithTheirFeatures) {
  const ScriptedClient client = session(built_in_train(), [](ScriptedClient& c) {
    c.request(1, "textDocument/documentSymbol", {{"textDocument", {{"uri", kTrainUri}}}})
        .request(2, "textDocument/formatting",
                 {{"textDocument", {{"uri", kTrainUri}}},
                  {"options", {{"tabSize", 2}, {"insertSpaces", true}}}});
  });
  const Json symbols = client.answer(1)["result"];
  std::vector<std::string> sections;
  for (const Json& s : symbols) sections.push_back(s["name"]);
  EXPECT_EQ(sections, (std::vector<std::string>{"[generale]", "[aderenze]", "[vel_limite]",
                                                "[stazioni]", "[rallentamenti]", "[segnali]",
                                                "[codici]", "[fine]"}));
  // A section reaches from its header to its last line.
  EXPECT_EQ(symbols[3]["range"], range(20, 0, 38, 80));
  EXPECT_EQ(symbols[3]["children"][0],
            (Json{{"name", "VELTRA CENTRALE"}, {"detail", "stazione at 0 m"}, {"kind", 23},
                  {"range", range(21, 0, 21, 87)}, {"selectionRange", range(21, 0, 21, 87)},
                  {"children", Json::array()}}));
  EXPECT_EQ(symbols[4]["children"][0]["name"], "rallentamento 53750 to 54150 m");
  EXPECT_EQ(symbols[4]["children"][0]["detail"], "40 km/h");
  EXPECT_EQ(symbols[5]["children"][0]["name"], "segnale 1750 m");
  // The built-in texts are as the formatter writes them: no edit.
  EXPECT_EQ(client.answer(2)["result"], Json::array());
}

TEST(ServerFormatting, AMisalignedRecordComesBackAsTheFormatterLaysItOut) {
  std::string misaligned = built_in_train();
  const std::string aligned_record = "segnale,    1750,   2, 4, 1,  1, 0,    2,  3,1,1, 0";
  const size_t at = misaligned.find(aligned_record);
  ASSERT_NE(at, std::string::npos);
  misaligned.replace(at, aligned_record.size(), "segnale,1750,2,4,1,1,0,2,3,1,1,0");
  const ScriptedClient client = session(misaligned, [](ScriptedClient& c) {
    c.request(1, "textDocument/formatting",
              {{"textDocument", {{"uri", kTrainUri}}},
               {"options", {{"tabSize", 2}, {"insertSpaces", true}}}});
  });
  const Json edits = client.answer(1)["result"];
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0]["newText"], built_in_train());
  EXPECT_EQ(edits[0]["range"]["start"], (Json{{"line", 0}, {"character", 0}}));
}

}  // namespace
}  // namespace scengen::lsp
