// The options check, compile and render share: --encoding utf-8, --strict, --max-warnings; the
// bounded output on long lines; and render reporting what check reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "testing/check_fixture.h"
#include "testing/scengen_process.h"

namespace scengen {
namespace {

using testing::ProcessResult;
using Json = nlohmann::json;

using testing::crlf_text;

// A route of 5000 m with accented names in both texts, written in Windows-1252: "SAN NICOL\xD2"
// is SAN NICOLÒ, "CITT\xC0" CITTÀ, "n\xB0" n°.
const std::vector<std::string> kLine = {
    "[generale]",
    "lunghezza percorso, 5000",
    "[pendenze]",
    "pendenza, 0, 0",
    "pendenza, 1500, 3",
    "[cartelli]",
    "cartello_indicatore, 2500, (S.S. n\xB0 9)",
    "[fine]",
};
const std::vector<std::string> kTrain = {
    "[generale]",
    "velocita, 0, 30",
    "aderenza, 0, 96",
    "stazione, 1000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, SAN NICOL\xD2",
    "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, 0",
    "stazione, 3000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 60, 8,5,0, CITT\xC0",
    "[fine]",
};

// The Windows-1252 text as UTF-8 (its only high bytes are the Latin-1 letters above).
std::string utf8_of(const std::string& windows) {
  std::string out;
  for (const char ch : windows) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x80) {
      out.push_back(ch);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

// The train text with line `at` (from 1) replaced.
std::vector<std::string> train_with(int at, const std::string& line) {
  std::vector<std::string> lines = kTrain;
  lines[static_cast<size_t>(at - 1)] = line;
  return lines;
}

class ReportOptions : public testing::ScengenFolder {
 protected:
  void write_texts(const std::string& line, const std::string& train) {
    write("Ponte_linea.txt", line);
    write("Ponte_7-.txt", train);
  }
  ProcessResult run(const std::string& command, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {command, "Ponte_linea.txt", "Ponte_7-.txt"};
    args.insert(args.end(), more.begin(), more.end());
    return scengen(args);
  }
  // Compiles the texts into the folder `out` and returns the three files' bytes.
  std::vector<std::string> compiled(const std::string& out, std::vector<std::string> more = {}) {
    std::filesystem::create_directory(at(out));
    more.insert(more.end(), {"--out", out});
    const ProcessResult r = run("compile", more);
    EXPECT_EQ(r.status, 0) << r.err;
    return {read(out + "/Ponte_linea.dat"), read(out + "/Ponte_7.sim"), read(out + "/Ponte_7.dat")};
  }
};

TEST_F(ReportOptions, Utf8TextsCompileToTheBytesOfTheirWindows1252Form) {
  write_texts(crlf_text(kLine), crlf_text(kTrain));
  const auto windows = compiled("windows");
  EXPECT_FALSE(windows[1].empty());
  // The names reach the scenario table as their code-page bytes.
  EXPECT_NE(windows[1].find("SAN NICOL\xD2"), std::string::npos);

  write_texts(utf8_of(crlf_text(kLine)), utf8_of(crlf_text(kTrain)));
  // Compared as a whole: a failure must not print megabytes of bytes.
  EXPECT_TRUE(compiled("utf8", {"--encoding", "utf-8"}) == windows);
  const ProcessResult checked = run("check", {"--encoding", "UTF-8"});
  EXPECT_EQ(checked.status, 0) << checked.err;

  // A byte-order mark at the start of a text is dropped.
  write_texts("\xEF\xBB\xBF" + utf8_of(crlf_text(kLine)), "\xEF\xBB\xBF" + utf8_of(crlf_text(kTrain)));
  EXPECT_TRUE(compiled("marked", {"--encoding", "utf-8"}) == windows);
}

TEST_F(ReportOptions, Utf8TextThatHasNoWindows1252FormIsAnErrorAtItsPlace) {
  struct Case {
    std::string station;  // the last field of train line 4, as UTF-8 bytes
    int column;           // in characters
    std::string message;
    std::string shown;    // the field as the line under the message shows it
  };
  const std::string start = "stazione, 1000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, ";
  const int name = static_cast<int>(start.size()) + 1;
  const Case cases[] = {
      // Ω, after an accented letter that converts: the column counts characters.
      {"SAN NICOL\xC3\x92 \xCE\xA9", name + 11,
       "the character U+03A9 has no byte in Windows-1252, the code page of the texts",
       "SAN NICOL\xC3\x92 \xCE\xA9"},
      // A text saved in Windows-1252 but given as UTF-8: the stray byte is shown escaped.
      {"CITT\xC0", name + 4,
       "the bytes here are not UTF-8: is the text saved in Windows-1252? (--encoding auto reads "
       "each text as it is saved)",
       "CITT\\xc0"},
  };
  for (const Case& k : cases) {
    write_texts(utf8_of(crlf_text(kLine)), crlf_text(train_with(4, start + k.station)));
    // check writes nothing and fails on any error; compile and render stop before any file.
    for (const auto& [command, status] : {std::pair{"check", 1}, {"compile", 3}, {"render", 3}}) {
      const ProcessResult r = run(command, {"--encoding", "utf-8"});
      EXPECT_EQ(r.status, status) << command << r.err;
      const auto lines = r.err_lines();
      ASSERT_GE(lines.size(), 3u) << r.err;
      EXPECT_EQ(lines[0], "Ponte_7-.txt:4:" + std::to_string(k.column) + ": error: " + k.message);
      EXPECT_EQ(lines[1], "  " + start + k.shown);
      EXPECT_EQ(lines[2], "  " + std::string(static_cast<size_t>(k.column - 1), ' ') + "^");
    }
    const ProcessResult j = run("compile", {"--encoding", "utf-8", "--json"});
    EXPECT_EQ(j.status, 3);
    const Json json = Json::parse(j.out);
    EXPECT_EQ(json["status_code"], 1252);
    EXPECT_EQ(json["file"], "Ponte_7-.txt");
    EXPECT_EQ(json["line"], 4);
    EXPECT_EQ(json["column"], k.column);
    EXPECT_EQ(json["message"], k.message);
    EXPECT_TRUE(json["files_written"].empty());
    // Nothing was written by any of them: only the two texts and the program's captures.
    EXPECT_FALSE(exists("Ponte_7.sim"));
    EXPECT_FALSE(exists("Ponte_map.svg"));
  }
}

// Each text read by itself: an author who converted only one text to UTF-8 gets the same files.
TEST_F(ReportOptions, AutoReadsEachTextInItsOwnEncoding) {
  write_texts(crlf_text(kLine), crlf_text(kTrain));
  const auto windows = compiled("windows");
  struct Case {
    std::string line, train;
    const char* line_as;
    const char* train_as;
  };
  const std::string ascii_line = crlf_text({"[generale]", "lunghezza percorso, 5000", "[fine]"});
  const Case cases[] = {
      {crlf_text(kLine), utf8_of(crlf_text(kTrain)), "Windows-1252", "UTF-8"},
      {utf8_of(crlf_text(kLine)), crlf_text(kTrain), "UTF-8", "Windows-1252"},
      {"\xEF\xBB\xBF" + utf8_of(crlf_text(kLine)), utf8_of(crlf_text(kTrain)), "UTF-8", "UTF-8"},
      // Nothing beyond ASCII: the same bytes either way, named as the code page.
      {ascii_line, crlf_text(kTrain), "Windows-1252", "Windows-1252"},
  };
  for (const Case& k : cases) {
    write_texts(k.line, k.train);
    if (k.line != ascii_line) {
      EXPECT_TRUE(compiled("auto", {"--encoding", "auto"}) == windows);
    }
    const ProcessResult r = run("check", {"--encoding", "AUTO"});
    ASSERT_GE(r.err_lines().size(), 2u) << r.err;
    EXPECT_EQ(r.err_lines()[0], std::string("Ponte_linea.txt: read as ") + k.line_as);
    EXPECT_EQ(r.err_lines()[1], std::string("Ponte_7-.txt: read as ") + k.train_as);
    const Json json = Json::parse(run("check", {"--encoding", "auto", "--json"}).out);
    EXPECT_EQ(json["line_encoding"], k.line_as);
    EXPECT_EQ(json["train_encoding"], k.train_as);
  }
  // Without auto, the report names no encoding.
  write_texts(crlf_text(kLine), crlf_text(kTrain));
  const Json plain = Json::parse(run("check", {"--json"}).out);
  EXPECT_FALSE(plain.contains("line_encoding"));
}

TEST_F(ReportOptions, EncodingNamesInAnyCase) {
  write_texts(utf8_of(crlf_text(kLine)), utf8_of(crlf_text(kTrain)));
  for (const char* name : {"utf8", "UTF8", "Utf-8", "auto"}) {
    const ProcessResult r = run("check", {"--encoding", name});
    EXPECT_EQ(r.status, 0) << name << r.err;
  }
  const ProcessResult wrong = run("check", {"--encoding", "latin1"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.err,
            "scengen check: --encoding: latin1 is not one of auto, windows-1252, utf-8 (see "
            "'scengen check --help')\n");
}

TEST_F(ReportOptions, StrictMakesWarningsFailCheckAndCompile) {
  const std::string clean = crlf_text(kTrain);
  // "3.5" reads 3: a warning, and the compiled bytes are those of "3".
  const std::string warned = crlf_text(train_with(3, "aderenza, 0, 96.5"));
  struct Case {
    const std::string* train;
    std::string command;
    bool strict;
    int status;
  };
  const Case cases[] = {
      {&clean, "check", true, 0},    {&warned, "check", false, 0}, {&warned, "check", true, 1},
      {&clean, "compile", true, 0},  {&warned, "compile", false, 0},
      {&warned, "compile", true, 1},
  };
  for (const Case& k : cases) {
    write_texts(crlf_text(kLine), *k.train);
    std::vector<std::string> more;
    if (k.strict) more.push_back("--strict");
    const ProcessResult r = run(k.command, more);
    EXPECT_EQ(r.status, k.status) << k.command << (k.strict ? " --strict\n" : "\n") << r.err;
    const bool refused = r.err.ends_with("and --strict: the texts are refused\n");
    EXPECT_EQ(refused, k.status == 1) << r.err;
    more.push_back("--json");
    const ProcessResult j = run(k.command, more);
    EXPECT_EQ(j.status, k.status) << k.command << " --json";
    EXPECT_EQ(j.err, "");
  }
  // A strict compile still writes its files, the same bytes as without the warning.
  write_texts(crlf_text(kLine), clean);
  const auto expected = compiled("clean");
  write_texts(crlf_text(kLine), warned);
  std::filesystem::create_directory(at("strict"));
  EXPECT_EQ(run("compile", {"--strict", "--out", "strict"}).status, 1);
  EXPECT_TRUE(read("strict/Ponte_7.sim") == expected[1]);
  EXPECT_TRUE(read("strict/Ponte_7.dat") == expected[2]);
}

TEST_F(ReportOptions, MaxWarningsCapsTheTextAndTheJson) {
  // 60 lines that match no record, one warning each.
  std::vector<std::string> train = kTrain;
  train.insert(train.begin() + 1, 60, "zzz");
  write_texts(crlf_text(kLine), crlf_text(train));
  struct Case {
    std::vector<std::string> options;
    size_t shown;
  };
  const Case cases[] = {{{}, 50}, {{"--max-warnings", "5"}, 5}, {{"--max-warnings", "0"}, 0},
                        {{"--max-warnings", "100"}, 60}};
  for (const Case& k : cases) {
    const ProcessResult r = run("check", k.options);
    EXPECT_EQ(r.status, 0);
    size_t warnings = 0;
    for (const std::string& line : r.err_lines()) {
      warnings += line.find(": warning: ") != std::string::npos;
    }
    EXPECT_EQ(warnings, k.shown) << r.err;
    const size_t left = 60 - k.shown;
    // The count of every warning, then the line about those left out.
    const std::string summary = "scengen: 60 warnings: " +
                                (k.shown > 0 ? std::to_string(k.shown) + " notes" : "") +
                                (k.shown > 0 && left > 0 ? ", " : "") +
                                (left > 0 ? std::to_string(left) + " not shown" : "");
    const std::vector<std::string> lines = r.err_lines();
    if (left == 0) {
      EXPECT_EQ(lines.back(), summary);
    } else {
      ASSERT_GE(lines.size(), 2u);
      EXPECT_EQ(lines[lines.size() - 2], summary);
      EXPECT_EQ(lines.back(), "scengen: " + std::to_string(left) +
                                  " more warnings not shown (--max-warnings sets how many are "
                                  "shown)");
    }

    std::vector<std::string> json = k.options;
    json.push_back("--json");
    const Json j = Json::parse(run("check", json).out);
    EXPECT_EQ(j["warnings"].size(), k.shown);
    EXPECT_EQ(j["warnings_left_out"], left);
  }
  // --strict counts the warnings left out too.
  EXPECT_EQ(run("check", {"--max-warnings", "0", "--strict"}).status, 1);
  EXPECT_EQ(run("check", {"--max-warnings", "-1"}).status, 2);
}

TEST_F(ReportOptions, ALongLineIsShownCutAroundTheCaret) {
  // A line of 10000 fields "x," (20 KB), each a field that matches no record.
  std::string fields;
  for (int i = 0; i < 10000; ++i) fields += "x,";
  std::vector<std::string> train = kTrain;
  train.insert(train.begin() + 1, fields);
  write_texts(crlf_text(kLine), crlf_text(train));
  const ProcessResult r = run("check");
  EXPECT_EQ(r.status, 0);
  const auto lines = r.err_lines();
  // One warning for the whole line, then the line cut around its caret, then the caret.
  ASSERT_GE(lines.size(), 3u);
  // Each shown line holds at most the window and its two cut marks.
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), 2 + 3 + 120 + 3) << i;
  }
  EXPECT_LT(r.err.size(), 51u * 400);
}

TEST_F(ReportOptions, RenderReportsWhatCheckReportsAndMarksAFailedCompile) {
  std::vector<std::string> line = kLine;
  line[4] = "pendenza, 1510, 3";  // a warning: the cell is rounded
  line.insert(line.begin() + 5, "pendenza, 12000, 3");  // error 15
  write_texts(crlf_text(line), crlf_text(kTrain));
  const ProcessResult checked = run("check");
  ASSERT_EQ(checked.status, 1);
  const ProcessResult rendered = run("render");
  EXPECT_EQ(rendered.status, 1);
  std::string reported;
  for (const std::string& l : rendered.err_lines()) {
    if (!l.starts_with("scengen: wrote ")) reported += l + "\n";
  }
  EXPECT_EQ(reported, checked.err);
  EXPECT_NE(checked.err.find(": warning: "), std::string::npos) << checked.err;
  for (const char* picture : {"Ponte_map.svg", "Ponte_7_profile.svg", "Ponte_7.html"}) {
    const std::string bytes = read(std::string(picture));
    EXPECT_NE(bytes.find("class=\"compile-failure\""), std::string::npos) << picture;
    EXPECT_NE(bytes.find(">compile error 15 at 12000 m</text>"), std::string::npos) << picture;
  }

  // A clean compile carries no banner.
  write_texts(crlf_text(kLine), crlf_text(kTrain));
  const ProcessResult clean = run("render");
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(read("Ponte_map.svg").find("compile-failure"), std::string::npos);
}

}  // namespace
}  // namespace scengen
