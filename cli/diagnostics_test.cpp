#include "cli/diagnostics.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace scengen {
namespace {

AuthorTexts two_texts() {
  AuthorTexts texts;
  texts.line_path = "work/Ponte_linea.txt";
  texts.train_path = "work/Ponte_7-.txt";
  texts.line = "[generale]\r\nlunghezza percorso, 5000\r\n[pendenze]\r\n  pendenza,\t78950, 2\r\n";
  texts.train = "[generale]\nsegnale, 100\rvelocita, 0, 30\n";
  return texts;
}

TEST(ShowPlace, CaretStandsUnderTheColumnWithTabsKept) {
  const AuthorTexts texts = two_texts();
  const LineIndex line(texts.line);
  EXPECT_EQ(show_place(line, 4, 3), "    pendenza,\t78950, 2\n    ^\n");
  // Column 12 is the tab, 13 the first digit: the caret line repeats the tab.
  const std::string shown = "    pendenza,\t78950, 2\n  " + std::string(11, ' ');
  EXPECT_EQ(show_place(line, 4, 12), shown + "^\n");
  EXPECT_EQ(show_place(line, 4, 13), shown + "\t^\n");
  EXPECT_EQ(show_place(line, 4, 15), shown + "\t  ^\n");
  EXPECT_EQ(show_place(LineIndex(texts.train), 3, 1), "  velocita, 0, 30\n  ^\n");
}

TEST(ShowPlace, WindowsTextBecomesUtf8AndTheCaretCountsCharacters) {
  const std::string text = "cartello_indicatore, 900, (S.S. n\xB0 9)\r\n";
  EXPECT_EQ(show_place(LineIndex(text), 1, 34),
            "  cartello_indicatore, 900, (S.S. n\xC2\xB0 9)\n  " + std::string(33, ' ') + "^\n");
  // An unassigned byte shows as U+FFFD, still one column wide for the caret.
  const std::string unknown = "stazione, 9550, PONTE\x90NUOVO\r\n";
  EXPECT_EQ(show_place(LineIndex(unknown), 1, 23),
            "  stazione, 9550, PONTE\xEF\xBF\xBDNUOVO\n  " + std::string(22, ' ') + "^\n");
}

// A control byte in a text (an escape sequence, a bell, a C1 control in UTF-8, a stray byte) is
// shown escaped, four columns wide, and the caret after it still stands under its column.
TEST(ShowPlace, ControlBytesAreEscapedAndTheCaretFollows) {
  struct Case {
    std::string line;
    int column;
    bool utf8;
    std::string shown;
    std::string caret;  // what stands before the caret
  };
  const Case cases[] = {
      {"stazione, \x1b[31mX\x07, 5", 20, false, "stazione, \\x1b[31mX\\x07, 5",
       std::string(25, ' ')},
      {"a\tb\x1b c", 6, false, "a\tb\\x1b c", " \t      "},
      {"a\x7f" "b", 3, false, "a\\x7fb", std::string(5, ' ')},
      {"a\xC2\x85" "b", 3, true, "a\\xc2\\x85b", std::string(9, ' ')},
      {"a\xFF" "b", 3, true, "a\\xffb", std::string(5, ' ')},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(show_place(LineIndex(k.line), 1, k.column, k.utf8),
              "  " + k.shown + "\n  " + k.caret + "^\n")
        << k.shown;
  }
}

TEST(ShowPlace, ALongLineIsCutAroundTheCaret) {
  // 300 columns: "abc...z" repeated, so that each window shows which bytes it kept.
  std::string line;
  for (int i = 0; i < 300; ++i) line.push_back(static_cast<char>('a' + i % 26));
  const LineIndex index(line);
  struct Case {
    int column;
    size_t first;  // the first byte shown
    size_t caret;  // the caret's column in the shown text, from 0, after the indent
  };
  const Case cases[] = {
      {1, 0, 0},        // at the start: the first 120 columns, cut at the end only
      {150, 89, 63},    // in the middle: 60 columns before the caret, "..." on both sides
      {300, 180, 122},  // at the end: the last 120, cut at the start only
      {400, 180, 123},  // past the end: just after the last byte
  };
  for (const Case& k : cases) {
    std::string shown = k.first > 0 ? "..." : "";
    shown += line.substr(k.first, 120);
    if (k.first + 120 < line.size()) shown += "...";
    EXPECT_EQ(show_place(index, 1, k.column),
              "  " + shown + "\n  " + std::string(k.caret, ' ') + "^\n")
        << k.column;
  }
  // A line of exactly the window is shown whole.
  const std::string whole(kShownColumns, 'x');
  EXPECT_EQ(show_place(LineIndex(whole), 1, 120), "  " + whole + "\n  " + std::string(119, ' ') + "^\n");
}

TEST(ShowPlace, Utf8LineIsShownAsItIsAndItsColumnsCountCharacters) {
  const std::string text = "stazione, NICOL\xC3\x92 \xCE\xA9\r\n";
  EXPECT_EQ(show_place(LineIndex(text), 1, 18, /*utf8=*/true),
            "  stazione, NICOL\xC3\x92 \xCE\xA9\n  " + std::string(17, ' ') + "^\n");
  // Cut in a long line, never inside a character.
  std::string accented;
  for (int i = 0; i < 200; ++i) accented += "\xC3\xA0";  // à, two bytes each
  const std::string shown = show_place(LineIndex(accented), 1, 100, /*utf8=*/true);
  const std::string first = shown.substr(0, shown.find('\n'));
  EXPECT_TRUE(first.starts_with("  ...\xC3\xA0")) << first;
  EXPECT_TRUE(first.ends_with("\xC3\xA0...")) << first;
  // The window counts characters, as for a Windows-1252 line: 120 of them, the caret 60 in.
  std::string window;
  for (int i = 0; i < 120; ++i) window += "\xC3\xA0";
  EXPECT_EQ(shown, "  ..." + window + "...\n  " + std::string(63, ' ') + "^\n");
}

TEST(PrintDiagnostics, WarningsLeftOutAreCountedInOneLine) {
  Compilation c;
  c.Warnings.push_back({{TextKind::Line, 1, 1}, "'zzz' matches no record and is ignored"});
  c.WarningsLeftOut = 41;
  const CompileReport report = make_report(c, {CompileEnd::Sealed, 0});
  std::ostringstream err;
  AuthorTexts texts = two_texts();
  texts.line = "zzz\r\n";
  print_diagnostics(report, texts, err);
  EXPECT_EQ(err.str(),
            "work/Ponte_linea.txt:1:1: warning: 'zzz' matches no record and is ignored\n"
            "  zzz\n"
            "  ^\n"
            "scengen: 42 warnings: 1 note, 41 not shown\n"
            "scengen: 41 more warnings not shown (--max-warnings sets how many are shown)\n");
  EXPECT_EQ(nlohmann::json::parse(report_json(report, texts))["warnings_left_out"], 41);
}

CompileReport report_with(int32_t code, int32_t position, std::optional<SourceSpot> where) {
  Compilation c;
  c.StatusCode = code;
  c.StatusPosition = position;
  c.StatusSource = where;
  c.Warnings.push_back({{TextKind::Train, 2, 1}, "'segnal' matches no record and is ignored"});
  c.Warnings.push_back({{TextKind::Line, 3, 1}, "'[pendenze' matches no record and is ignored"});
  return make_report(c, {CompileEnd::Sealed, 0});
}

TEST(PrintDiagnostics, ErrorAndWarningsInTextOrderWithLineAndCaret) {
  const CompileReport report = report_with(15, 78950, SourceSpot{TextKind::Line, 4, 3});
  std::ostringstream err;
  print_diagnostics(report, two_texts(), err);
  EXPECT_EQ(err.str(),
            "work/Ponte_linea.txt:3:1: warning: '[pendenze' matches no record and is ignored "
            "(scengen explain [pendenze])\n"
            "  [pendenze]\n"
            "  ^\n"
            "work/Ponte_linea.txt:4:3: error 15: a position lies beyond the track (at 78950 m) "
            "(scengen explain 15)\n"
            "    pendenza,\t78950, 2\n"
            "    ^\n"
            "work/Ponte_7-.txt:2:1: warning: 'segnal' matches no record and is ignored "
            "(scengen explain segnale)\n"
            "  segnale, 100\n"
            "  ^\n"
            "scengen: 2 warnings: 2 notes\n");
}

TEST(PrintDiagnostics, ErrorWithoutAPlaceNamesItsTextOrTheProgram) {
  struct Case {
    int32_t code;
    const char* first_line;
  };
  const Case cases[] = {
      {2,
       "work/Ponte_linea.txt: error 2: a kilometric reference has a position or progressive "
       "that is not a multiple of 50 (scengen explain 2)"},
      {10,
       "work/Ponte_7-.txt: error 10: the stations run into the slots of the information-board "
       "texts (scengen explain 10)"},
      {12,
       "work/Ponte_7-.txt: error 12: no cell is free for a code point before a slow-order "
       "start (at 52800 m) (scengen explain 12)"},
      {25,
       "scengen: error 25: a description text cannot be read: a missing text, a malformed or "
       "too large number, the end of the file inside a record, or a table that is full "
       "(scengen explain 25)"},
  };
  for (const Case& k : cases) {
    Compilation c;
    c.StatusCode = k.code;
    c.StatusPosition = 52800;
    std::ostringstream err;
    print_diagnostics(make_report(c, {CompileEnd::Sealed, 0}), two_texts(), err);
    EXPECT_EQ(err.str(), std::string(k.first_line) + "\n") << k.code;
  }
}

TEST(MakeReport, SealErrorReportsItsCodeWithThePositionRecordedBefore) {
  Compilation c;
  c.StatusCode = 15;
  c.StatusPosition = 78950;
  // The compile replaces the 15's place with the seal's own, when a record filled cell 1.
  c.StatusSource.reset();
  const CompileReport report = make_report(c, {CompileEnd::SealError, 1250});
  EXPECT_EQ(report.status_code, 1250);
  EXPECT_EQ(report.status_position, 78950);
  EXPECT_FALSE(report.where);
  EXPECT_FALSE(report.text);
  EXPECT_TRUE(report.stopped);
  std::ostringstream err;
  print_diagnostics(report, two_texts(), err);
  EXPECT_EQ(err.str(), "scengen: error 1250: the seal's first reserved field is already set "
            "(scengen explain 1250)\n");
}

TEST(MakeReport, NoTrackWithoutACodeIsStillAFailure) {
  Compilation c;
  const CompileReport report = make_report(c, {CompileEnd::NoTrack, 0});
  EXPECT_TRUE(report.failed());
  EXPECT_EQ(report.status_code, 0);
  std::ostringstream err;
  print_diagnostics(report, two_texts(), err);
  EXPECT_EQ(err.str(),
            "work/Ponte_linea.txt: error: no track was compiled from the line description\n");
}

TEST(ReportJson, CarriesEveryFieldOfTheReport) {
  CompileReport report = report_with(16, 100, SourceSpot{TextKind::Train, 2, 1});
  report.files_written = {"out/Ponte_7.sim", "out/Ponte_7.dat"};
  const auto json = nlohmann::json::parse(report_json(report, two_texts()));
  EXPECT_EQ(json["status_code"], 16);
  EXPECT_EQ(json["status_position"], 100);
  EXPECT_EQ(json["message"], "a signal's cell is not free");
  EXPECT_EQ(json["file"], "work/Ponte_7-.txt");
  EXPECT_EQ(json["line"], 2);
  EXPECT_EQ(json["column"], 1);
  ASSERT_EQ(json["warnings"].size(), 2u);
  EXPECT_EQ(json["warnings"][1]["file"], "work/Ponte_linea.txt");
  EXPECT_EQ(json["warnings"][1]["line"], 3);
  EXPECT_EQ(json["warnings"][1]["column"], 1);
  EXPECT_EQ(json["warnings"][1]["message"], "'[pendenze' matches no record and is ignored");
  EXPECT_EQ(json["files_written"], nlohmann::json::array({"out/Ponte_7.sim", "out/Ponte_7.dat"}));
}

TEST(ReportJson, NoErrorGivesNullsAndWindowsTextBecomesUtf8) {
  Compilation c;
  c.Warnings.push_back({{TextKind::Line, 1, 1}, "'n\xB0' matches no record and is ignored"});
  const auto json =
      nlohmann::json::parse(report_json(make_report(c, {CompileEnd::Sealed, 0}), two_texts()));
  EXPECT_EQ(json["status_code"], 0);
  EXPECT_TRUE(json["message"].is_null());
  EXPECT_TRUE(json["file"].is_null());
  EXPECT_TRUE(json["line"].is_null());
  EXPECT_TRUE(json["column"].is_null());
  EXPECT_EQ(json["warnings"][0]["message"], "'n\xC2\xB0' matches no record and is ignored");
  EXPECT_TRUE(json["files_written"].empty());
}

}  // namespace
}  // namespace scengen
