// The authors' safety net: a table of broken texts, each with the error or warning it must give
// and where. Every row is compiled twice, collecting warnings and not, and the compiled images
// must not differ by a byte: a diagnostic only ever adds words.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/output_files.h"
#include "testing/check_fixture.h"

namespace scengen {
namespace {

using testing::crlf_text;
// The clean texts; their lines are numbered in testing/check_fixture.h.
const std::vector<std::string>& kLine = testing::kCheckLine;
const std::vector<std::string>& kTrain = testing::kCheckTrain;

constexpr TextKind L = TextKind::Line;
constexpr TextKind T = TextKind::Train;

struct Row {
  const char* name;
  TextKind edited;  // the text the edit applies to
  int at;           // the line (from 1) replaced, or inserted before; 0: no edit
  std::string with;
  bool insert;
  int32_t code;        // the error expected, 0 for none (1250 and 1251 from the seal)
  const char* expect;  // a part of the error's detail, or of the warning expected
  TextKind text;       // where the error or warning points
  int line;
  int column;
  int warnings;  // how many warnings in all; -1: not counted
};

std::vector<std::string> edited(std::vector<std::string> lines, const Row& row) {
  if (row.at == 0) return lines;
  if (row.insert) {
    lines.insert(lines.begin() + (row.at - 1), row.with);
  } else {
    lines[static_cast<size_t>(row.at - 1)] = row.with;
  }
  return lines;
}

struct Compiled {
  Compilation c;
  CompileOutcome outcome;
  std::string track, table, plan;
};

Compiled compile(const std::string& line, const std::string& train, bool collect) {
  Compiled run;
  run.c.RouteId = "Ponte";
  run.c.TrainNumber = "7";
  run.c.CollectWarnings = collect;
  MemoryTexts texts(line, train);
  run.outcome = compile_scenario(run.c, texts, 1);
  if (run.c.has_track()) {
    run.track = encode_track_cells(run.c.TrackCells);
    run.table = encode_scenario_table(run.c.ScenarioTable).value_or("(too long)");
    run.plan = encode_route_plan(run.c.TrackPlan);
  }
  return run;
}

std::string listed(const Compilation& c) {
  std::string text;
  for (const CompileWarning& w : c.Warnings) {
    text += (w.where.text == L ? "line " : "train ") + std::to_string(w.where.line) + ":" +
            std::to_string(w.where.column) + " " + w.message + "\n";
  }
  return text + "detail: " + c.StatusDetail + "\n";
}

const std::string kSignalAt0 = "segnale, 0, 2, 2,3,1, 1, 2, 2,1,1, 0";
const std::string kStationFields = "0,0,0, 0,0,0, 0,0,0, ";

const Row kRows[] = {
    {"clean texts", L, 0, "", false, 0, nullptr, L, 0, 0, 0},
    // Errors and their places.
    {"signal in the seal's cell", T, 5, kSignalAt0, true, 1250,
     "cell 1 (50 to 100 m) is reserved", T, 5, 1, 0},
    {"code point in the seal's cell", T, 5, "abbattimento, 50, 3", true, 1250,
     "placed by 'abbattimento'", T, 5, 1, 0},
    {"board in the seal's cell", L, 9, "cartello_indicatore, 0, X", true, 1250,
     "holds an information board placed by 'cartello_indicatore'", L, 9, 1, -1},
    {"signal on a signal", T, 6, "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, 0", true, 16,
     "placed by 'segnale' at line 5 of the train description", T, 6, 1, 0},
    {"code point on a signal", T, 6, "abbattimento, 2050, 3", true, 7,
     "(2050 to 2100 m) holds a signal, placed by 'segnale' at line 5", T, 6, 1, 0},
    {"board on a board", L, 10, "cartello_indicatore, 2500, Y", true, 6,
     "placed by 'cartello_indicatore' at line 9 of the line description", L, 10, 1, -1},
    {"speed board on a board", L, 10, "indicatori_v, 2500, 60,0,0, 0, 60,0,0, 0", true, 21,
     "placed by 'cartello_indicatore' at line 9", L, 10, 1, -1},
    {"slow order start on a signal", T, 6, "rallentamento, 2000, 30, 200, 0, 0, 0", true, 18,
     "holds a signal, placed by 'segnale'", T, 6, 1, -1},
    {"25: number too large", L, 2, "lunghezza percorso, 99999999999", false, 25,
     "the number is too large", L, 2, 21, -1},
    {"25: number too wide for a byte", T, 4,
     "stazione, 1000, 300, 600, " + kStationFields + "0, 8,0,0, ALFA", false, 25,
     "the number does not fit its field", T, 4, 17, -1},
    {"25: end of text inside a record", T, 7, "segnale, 2000, 2", false, 25,
     "the text ends inside a record", T, 8, 1, -1},
    {"2: reference position off the 50 m grid", L, 3,
     "progressiva chilometrica uno, 1010, 2000, 1", false, 2,
     "its position, 1010 m, is not a multiple of 50", L, 3, 1, -1},
    {"2: reference progressive off the 50 m grid", L, 3,
     "progressiva chilometrica uno, 1000, 2025, 1", false, 2,
     "its progressive, 2025 m, is not a multiple of 50", L, 3, 1, -1},
    // Warnings.
    {"train text without [generale]", T, 1, "[generali]", false, 0, "no [generale] section", T, 1,
     1, 1},
    {"no speed steps", T, 2, "", false, 0, "no 'velocita' step", T, 1, 1, 1},
    {"no adhesion steps", T, 3, "", false, 0, "no 'aderenza' step", T, 1, 1, 1},
    {"general keyword in capitals", L, 4, "Ripetizione segnali 9 codici, 0, 4000", false, 0,
     "compared exactly, in lower case", L, 4, 1, 1},
    {"general keyword misspelt", L, 3, "progressiva chilometrica un, 1000, 2000, 1", false, 0,
     "did you mean 'progressiva chilometrica uno'?", L, 3, 1, 1},
    // As near to "tre" and "due" as to "uno": the suggestion is the record authors write first.
    {"general keyword equally near three records", L, 3,
     "progressiva chilometrica xyz, 1000, 2000, 1", false, 0,
     "'progressiva chilometrica xyz' matches no record; did you mean "
     "'progressiva chilometrica uno'? The record of line 3 is not compiled",
     L, 3, 1, 1},
    {"gradient wraps", L, 7, "pendenza, 1500, 300", false, 0, "wraps to +44 per mille", L, 7, 17,
     1},
    {"speed wraps", T, 2, "velocita, 0, 2000", false, 0, "it is compiled as 720 km/h", T, 2, 14, 1},
    {"adhesion wraps", T, 3, "aderenza, 0, 300", false, 0, "it is compiled as 44", T, 3, 14, 1},
    {"minute 75", T, 6, "stazione, 3000, 12, 600, " + kStationFields + "60, 8,75,0, BETA", false,
     0, "is compiled as 9:15:00", T, 6, 1, 1},
    {"station times backwards", T, 6, "stazione, 3000, 12, 600, " + kStationFields + "60, 7,0,0, B",
     false, 0, "the times go backwards", T, 6, 1, 1},
    {"reversed tunnel", L, 8, "montagna, 3000, 2500, 1", true, 0, "before it starts", L, 8, 17, 1},
    {"third comment line", T, 2, "-- a\r\n-- b\r\n-- c", true, 0, "third comment line", T, 4, 1,
     1},
    {"misspelt keyword: one warning a line", T, 4,
     "stazone, 1000, 12, 600, " + kStationFields + "0, 8,0,0, ALFA", false, 0,
     "did you mean 'stazione'?", T, 4, 1, 1},
    {"misspelt feature keyword", L, 7, "pendnza, 1500, 3", false, 0, "did you mean 'pendenza'?",
     L, 7, 1, 1},
    {"station missing a field", T, 4, "stazione, 1000, 12, 600, " + kStationFields + "0, 8,0, ALFA",
     false, 0, "takes 17 values but its line ends before them", T, 4, 1, -1},
    {"wrong separator", L, 7, "pendenza; 1500, 3", false, 0, "takes 2 values", L, 7, 1, -1},
    {"line with a field too many", L, 6, "pendenza, 0, 0, 5", false, 0,
     "the line holds more fields than 'pendenza' takes", L, 6, 1, 1},
    {"a trailing comma is no field", L, 6, "pendenza, 0, 0,", false, 0, nullptr, L, 0, 0, 0},
    {"UTF-8 text", T, 6, "stazione, 3000, 12, 600, " + kStationFields + "60, 8,5,0, SAN NICOL\xC3\x92",
     false, 0, "valid UTF-8", T, 6, 67, 1},
    {"Windows-1252 text", T, 6,
     "stazione, 3000, 12, 600, " + kStationFields + "60, 8,5,0, SAN NICOL\xD2", false, 0, nullptr,
     L, 0, 0, 0},
    {"UTF-16 mark", L, 1, "\xFF\xFE[generale]", false, 0, "UTF-16 byte order mark", L, 1, 1, 1},
};

TEST(CheckDiagnostics, EachBrokenTextGivesItsDiagnosticAndTheSameBytes) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    const std::string line = crlf_text(row.edited == L ? edited(kLine, row) : kLine);
    const std::string train = crlf_text(row.edited == T ? edited(kTrain, row) : kTrain);
    const Compiled with = compile(line, train, true);
    const Compiled without = compile(line, train, false);

    EXPECT_EQ(with.c.StatusCode, without.c.StatusCode);
    EXPECT_EQ(with.c.StatusPosition, without.c.StatusPosition);
    EXPECT_EQ(with.outcome.end, without.outcome.end);
    EXPECT_TRUE(with.track == without.track);
    EXPECT_TRUE(with.table == without.table);
    EXPECT_TRUE(with.plan == without.plan);
    EXPECT_TRUE(without.c.Warnings.empty());

    const int32_t code = with.outcome.end == CompileEnd::SealError ? with.outcome.seal_code
                                                                    : with.c.StatusCode;
    EXPECT_EQ(code, row.code) << listed(with.c);
    if (row.warnings >= 0) {
      EXPECT_EQ(static_cast<int>(with.c.Warnings.size()), row.warnings) << listed(with.c);
    }
    if (row.expect == nullptr) continue;
    if (row.code != 0) {
      EXPECT_NE(with.c.StatusDetail.find(row.expect), std::string::npos) << listed(with.c);
      ASSERT_TRUE(with.c.StatusSource.has_value());
      EXPECT_EQ(with.c.StatusSource->text, row.text);
      EXPECT_EQ(with.c.StatusSource->line, row.line);
      EXPECT_EQ(with.c.StatusSource->column, row.column);
      continue;
    }
    bool found = false;
    for (const CompileWarning& w : with.c.Warnings) {
      found = found || (w.message.find(row.expect) != std::string::npos &&
                        w.where.text == row.text && w.where.line == row.line &&
                        w.where.column == row.column);
    }
    EXPECT_TRUE(found) << listed(with.c);
  }
}

TEST(CheckDiagnostics, ASealErrorWithoutWarningsStillSaysTheCellIsReserved) {
  const std::string line = crlf_text(kLine);
  std::vector<std::string> train = kTrain;
  train.insert(train.begin() + 4, kSignalAt0);
  const Compiled run = compile(line, crlf_text(train), false);
  ASSERT_EQ(run.outcome.seal_code, 1250);
  EXPECT_NE(run.c.StatusDetail.find("cell 1 (50 to 100 m) is reserved"), std::string::npos);
  EXPECT_FALSE(run.c.StatusSource.has_value());
}

}  // namespace
}  // namespace scengen
