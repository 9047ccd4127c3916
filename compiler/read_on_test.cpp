// The reading on after a compile's error: every further error of both texts in one pass, no
// cascade where nothing can follow, and the compile itself left exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
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

// Line `at` (from 1) of one text replaced by `with`, or `with` inserted before it. Edits of one
// text apply in turn, each to the lines the one before left.
struct Edit {
  bool train;
  int at;
  std::string with;
  bool insert = false;
};

std::string edited(std::vector<std::string> lines, const std::vector<Edit>& edits, bool train) {
  for (const Edit& edit : edits) {
    if (edit.train != train) continue;
    if (edit.insert) {
      lines.insert(lines.begin() + (edit.at - 1), edit.with);
    } else {
      lines[static_cast<size_t>(edit.at - 1)] = edit.with;
    }
  }
  return crlf_text(lines);
}

struct Compiled {
  Compilation c;
  CompileOutcome outcome;
  std::string track, table, plan;
};

// A compile as the built-in run makes it, or one that collects warnings and reads on after an
// error as the commands do.
Compiled compile(const std::vector<Edit>& edits, bool read_on) {
  const std::string line = edited(kLine, edits, false);
  const std::string train = edited(kTrain, edits, true);
  Compiled run;
  run.c.RouteId = "Ponte";
  run.c.TrainNumber = "7";
  run.c.CollectWarnings = read_on;
  MemoryTexts texts(line, train);
  run.outcome = compile_scenario(run.c, texts, 1);
  if (read_on && run.c.StatusCode != 0) {
    MemoryTexts again(line, train);
    read_on_after_error(run.c, again);
  }
  if (run.c.has_track()) {
    run.track = encode_track_cells(run.c.TrackCells);
    run.table = encode_scenario_table(run.c.ScenarioTable).value_or("(too long)");
    run.plan = encode_route_plan(run.c.TrackPlan);
  }
  return run;
}

const char* reach_name(ErrorReach reach) {
  switch (reach) {
    case ErrorReach::StopsText:
      return "stops";
    case ErrorReach::StopsBothTexts:
      return "stops both";
    case ErrorReach::ReadsOn:
      return "reads on";
    case ErrorReach::AfterStop:
      return "after";
  }
  return "?";
}

// "L7 15 stops": each error's text, line, code and reach, in text order.
std::vector<std::string> listed(const Compilation& c) {
  std::vector<CompileError> errors = c.Errors;
  const auto key = [](const CompileError& e) {
    return e.where ? std::tuple(static_cast<int>(e.where->text), e.where->line) : std::tuple(2, 0);
  };
  std::stable_sort(errors.begin(), errors.end(),
                   [&](const CompileError& a, const CompileError& b) { return key(a) < key(b); });
  std::vector<std::string> list;
  for (const CompileError& e : errors) {
    std::string place = "-";
    if (e.where)
      place = (e.where->text == TextKind::Line ? "L" : "T") + std::to_string(e.where->line);
    list.push_back(place + " " + std::to_string(e.code) + " " + reach_name(e.reach));
  }
  return list;
}

const std::string kSignal = "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, 0";
const std::string kBeyond = "segnale, 50000, 2, 2,3,1, 1, 2, 2,1,1, 0";

struct Row {
  const char* name;
  std::vector<Edit> edits;
  std::vector<std::string> errors;
};

const Row kRows[] = {
    {"two positions beyond the track in the line text; the train text is read all the same",
     {{false, 7, "pendenza, 50000, 3"}, {false, 10, "cartello_indicatore, 60000, (X)", true}},
     {"L7 15 stops", "L10 15 after"}},
    {"a signal on a taken cell, then another, in the train text",
     {{true, 6, kSignal, true}, {true, 8, kSignal, true}},
     {"T6 16 stops", "T8 16 after"}},
    {"an error that ends the line text; the unread train text is read on too",
     {{false, 4, "ripetizione segnali 9 codici, 25, 4000"},
      {false, 7, "pendenza, 50000, 3"},
      {true, 6, kSignal, true}},
     {"L4 3 stops both", "L7 15 after", "T6 16 after"}},
    {"no route length: one error, no record after it reported",
     {{false, 2, "sfondo uno, 0"}, {false, 7, "pendenza, 50000, 3"}, {true, 6, kSignal, true}},
     {"L5 25 stops both"}},
    {"a route length refused: its error alone",
     {{false, 2, "lunghezza percorso, 2000000"},
      {false, 7, "pendenza, 50000, 3"},
      {true, 6, kSignal, true}},
     {"L2 1 stops both"}},
    {"no [generale] section in the line text: its error alone",
     {{false, 1, "[general]"}, {true, 6, kSignal, true}},
     {"L10 102 stops both"}},
    {"a number too large: the reading resumes at the next line",
     {{true, 5, "segnale, 2000, 99999999999, 2,3,1, 1, 2, 2,1,1, 0"}, {true, 6, kBeyond, true}},
     {"T5 25 stops", "T6 15 after"}},
    {"a station refused after its position: its other fields are not read as records",
     {{true, 4, "stazione, 1010, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, SEGNALE ALFA"},
      {true, 6, kSignal, true}},
     {"T4 8 stops", "T6 16 after"}},
    {"a kilometric reference refused after the train text: the compile reads on",
     {{false, 3, "progressiva chilometrica uno, 1010, 2000, 1"}, {true, 6, kSignal, true}},
     {"L3 2 after", "T6 16 stops"}},
};

TEST(ReadOn, FindsEveryErrorOfBothTextsInOnePass) {
  for (const Row& row : kRows) {
    const Compiled run = compile(row.edits, true);
    EXPECT_EQ(listed(run.c), row.errors) << row.name;
  }
}

TEST(ReadOn, LeavesTheCompileAsItWas) {
  for (const Row& row : kRows) {
    const Compiled plain = compile(row.edits, false);
    const Compiled read_on = compile(row.edits, true);
    EXPECT_EQ(read_on.c.StatusCode, plain.c.StatusCode) << row.name;
    EXPECT_EQ(read_on.c.StatusPosition, plain.c.StatusPosition) << row.name;
    EXPECT_EQ(read_on.outcome.end, plain.outcome.end) << row.name;
    EXPECT_TRUE(read_on.track == plain.track) << row.name;
    EXPECT_TRUE(read_on.table == plain.table) << row.name;
    EXPECT_TRUE(read_on.plan == plain.plan) << row.name;
  }
}

TEST(ReadOn, MarksTheWarningsMetAfterTheStopOnce) {
  const Compiled run = compile({{false, 6, "pendenza, 0, 0x"},
                                {false, 7, "pendenza, 50000, 3"},
                                {false, 9, "cartello_indicatore, 2510, (P.B.A.)"}},
                               true);
  std::vector<std::tuple<int, bool>> warnings;
  for (const CompileWarning& w : run.c.Warnings) warnings.emplace_back(w.where.line, w.after_stop);
  EXPECT_EQ(warnings, (std::vector<std::tuple<int, bool>>{{6, false}, {9, true}}));
}

TEST(ReadOn, AStationOverflowIsToldOnce) {
  // Each board text takes a slot the stations count against: 76 more leave room for one station.
  std::vector<Edit> edits{{false, 2, "lunghezza percorso, 20000"}};
  for (int k = 0; k < 76; ++k) {
    edits.push_back(
        {false, 10, "cartello_indicatore, " + std::to_string(6000 + 50 * k) + ", (X)", true});
  }
  edits.push_back({true, 7, "stazione, 4500, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, GAMMA", true});
  const Compiled run = compile(edits, true);
  EXPECT_EQ(listed(run.c), (std::vector<std::string>{"T6 10 stops"}));
}

}  // namespace
}  // namespace scengen
