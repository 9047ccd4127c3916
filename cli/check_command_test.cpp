// scengen check on small texts: each broken text's error at its code, position, line and column,
// the warnings, and the JSON that must say the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "testing/check_fixture.h"
#include "testing/scengen_process.h"

namespace scengen {
namespace {

using testing::ProcessResult;
using Check = testing::ScengenFolder;
using Json = nlohmann::json;

using testing::crlf_text;
// The clean texts; their lines are numbered in testing/check_fixture.h.
const std::vector<std::string>& kLine = testing::kCheckLine;
const std::vector<std::string>& kTrain = testing::kCheckTrain;

// The base texts with line `at` (from 1) replaced by `with`, or `with` inserted before it.
struct Edit {
  bool train = false;
  int at = 0;
  std::string with;
  bool insert = false;
};

std::vector<std::string> edited(std::vector<std::string> lines, const Edit& edit) {
  if (edit.insert) {
    lines.insert(lines.begin() + (edit.at - 1), edit.with);
  } else {
    lines[static_cast<size_t>(edit.at - 1)] = edit.with;
  }
  return lines;
}

class CheckTexts : public Check {
 protected:
  // Writes the two texts, with the edit applied to one of them, and checks them.
  ProcessResult check(const Edit& edit, bool json = false) {
    write("Ponte_linea.txt", crlf_text(edit.train ? kLine : edited(kLine, edit)));
    write("Ponte_7-.txt", crlf_text(edit.train ? edited(kTrain, edit) : kTrain));
    if (json) return scengen({"check", "Ponte_linea.txt", "Ponte_7-.txt", "--json"});
    return scengen({"check", "Ponte_linea.txt", "Ponte_7-.txt"});
  }
};

TEST_F(CheckTexts, TheBaseTextsAreClean) {
  write("Ponte_linea.txt", crlf_text(kLine));
  write("Ponte_7-.txt", crlf_text(kTrain));
  const ProcessResult r = scengen({"check", "Ponte_linea.txt", "Ponte_7-.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "");
  // check writes nothing and leaves the texts as they were.
  EXPECT_EQ(read("Ponte_linea.txt"), crlf_text(kLine));
  EXPECT_EQ(read("Ponte_7-.txt"), crlf_text(kTrain));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST_F(CheckTexts, EachBrokenTextGivesItsCodePositionLineAndColumn) {
  struct Case {
    Edit edit;
    int code;
    int position;  // -1: the code records none
    int line;      // 0: no place in the text
    int column;
    const char* message;  // after "error N: ", to the line's end
  };
  const Case cases[] = {
      // Line description.
      {{false, 2, "lunghezza percorso, 2000000"}, 1, -1, 2, 1,
       "the route length is more than 1000000 m (scengen explain 1)"},
      {{false, 4, "ripetizione segnali 9 codici, 25, 4000"}, 3, -1, 4, 1,
       "the cab-signal repetition start is not a multiple of 50 (scengen explain 3)"},
      {{false, 4, "ripetizione segnali 9 codici, 0, 4010"}, 4, -1, 4, 1,
       "the cab-signal repetition end is not a multiple of 50 (scengen explain 4)"},
      {{false, 4, "ripetizione segnali codici, 0, 4000"}, 5, -1, 4, 1,
       "the cab-signal repetition names neither 4 nor 9 codes (scengen explain 5)"},
      {{false, 7, "  pendenza, 12000, 3"}, 15, 12000, 7, 3,
       "a position lies beyond the track (at 12000 m) (scengen explain 15)"},
      {{false, 9, "cartello_indicatore, 2500, (P. 253)", true}, 6, 2500, 10, 1,
       "an information board's cell is not free (at 2500 m): cell 51 (2550 to 2600 m) holds an "
       "information board, placed by 'cartello_indicatore' at line 9 of the line description "
       "(scengen explain 6)"},
      {{false, 9, "indicatori_vmax, 2500, 110, 115, 120, 0, , , , 0", true}, 6, 2500, 10, 1,
       "an information board's cell is not free (at 2500 m): cell 51 (2550 to 2600 m) holds a "
       "max-speed board, placed by 'indicatori_v' at line 9 of the line description (scengen "
       "explain 6)"},
      {{false, 7, "curvad, 1000, 200"}, 103, -1, 7, 1,
       "a curve names no class from 1 to 6, or the route plan would pass 1000000 points (scengen "
       "explain 103)"},
      {{false, 3, "progressiva chilometrica uno, 1010, 2000, 1"}, 2, -1, 3, 1,
       "a kilometric reference has a position or progressive that is not a multiple of 50: its "
       "position, 1010 m, is not a multiple of 50 (scengen explain 2)"},
      {{false, 2, "lunghezza percorso, 5000000000"}, 25, -1, 2, 21,
       "a description text cannot be read: a missing text, a malformed or too large number, the "
       "end of the file inside a record, or a table that is full: the number is too large "
       "(scengen explain 25)"},
      {{false, 1, "[generalita]"}, 102, -1, 0, 0,
       "the line description has no [generale] section (scengen explain 102)"},
      // Train description.
      {{true, 2, "velocita, 11950, 30"}, 15, 11950, 2, 1,
       "a position lies beyond the track (at 11950 m) (scengen explain 15)"},
      {{true, 3, "sabbia, 99999", true}, 25, -1, 3, 9,
       "a description text cannot be read: a missing text, a malformed or too large number, the "
       "end of the file inside a record, or a table that is full: the number does not fit its "
       "field (scengen explain 25)"},
      {{true, 4, "stazione, 1025, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, ALFA"}, 8, 1025, 4, 1,
       "a station position is not a multiple of 50 (at 1025 m) (scengen explain 8)"},
      {{true, 4, "stazione, 1000, 12, 650, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, ALFA"}, 9, 1000, 4, 1,
       "a station length is not a multiple of 100 (at 1000 m) (scengen explain 9)"},
      {{true, 6, "stazione, 1600, 12, 600, 0,0,0, 0,0,0, 0,0,0, 60, 8,5,0, BETA"}, 22, 1600, 6, 1,
       "a station starts less than 350 m after the previous station's end (at 1600 m) (scengen "
       "explain 22)"},
      {{true, 6, "segnale, 2010, 2, 2,3,1, 1, 2, 2,1,1, 0", true}, 16, 2010, 6, 1,
       "a signal's cell is not free (at 2010 m): cell 41 (2050 to 2100 m) holds a signal, placed "
       "by 'segnale' at line 5 of the train description (scengen explain 16)"},
      {{true, 6, "abbattimento, 2050, 270", true}, 7, 2050, 6, 1,
       "a code point's cell is not free (at 2050 m): cell 41 (2050 to 2100 m) holds a signal, "
       "placed by 'segnale' at line 5 of the train description (scengen explain 7)"},
      {{true, 6, "rallentamento, 2000, 40, 400, 1, 1, 30", true}, 18, 2000, 6, 1,
       "a slow order's start cell is not free (at 2000 m): cell 41 (2050 to 2100 m) holds a "
       "signal, placed by 'segnale' at line 5 of the train description (scengen explain 18)"},
      {{true, 4, "stazione, 0, 12, 100, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, ALFA"}, 24, -1, 4, 1,
       "a station ends within the first 100 m of the route (scengen explain 24)"},
  };
  for (const Case& c : cases) {
    const std::string what = c.edit.with;
    const char* file = c.edit.train ? "Ponte_7-.txt" : "Ponte_linea.txt";
    const ProcessResult r = check(c.edit);
    EXPECT_EQ(r.status, 1) << what;
    // The error's line; a warning about the same record may come with it.
    const auto all = r.err_lines();
    const auto error = std::find_if(all.begin(), all.end(), [](const std::string& line) {
      return line.find(": error ") != std::string::npos;
    });
    ASSERT_NE(error, all.end()) << what << "\n" << r.err;
    const std::vector<std::string> lines(error, std::min(all.end(), error + 3));
    std::string head = file;
    if (c.line > 0) head += ":" + std::to_string(c.line) + ":" + std::to_string(c.column);
    head += ": error " + std::to_string(c.code) + ": ";
    EXPECT_EQ(lines[0], head + c.message) << what;
    if (c.line > 0) {
      // The text line, then the caret under the column.
      const auto text = edited(c.edit.train ? kTrain : kLine, c.edit);
      ASSERT_EQ(lines.size(), 3u) << r.err;
      EXPECT_EQ(lines[1], "  " + text[static_cast<size_t>(c.line - 1)]) << what;
      EXPECT_EQ(lines[2], "  " + std::string(static_cast<size_t>(c.column - 1), ' ') + "^");
    } else {
      EXPECT_EQ(lines.size(), 1u) << r.err;  // no text line to show
    }

    const ProcessResult j = check(c.edit, true);
    EXPECT_EQ(j.status, 1) << what;
    EXPECT_EQ(j.err, "") << what;
    const Json json = Json::parse(j.out);
    EXPECT_EQ(json["status_code"], c.code) << what;
    if (c.position >= 0) {
      EXPECT_EQ(json["status_position"], c.position) << what;
    }
    EXPECT_EQ(json["file"], file) << what;
    if (c.line > 0) {
      EXPECT_EQ(json["line"], c.line) << what;
      EXPECT_EQ(json["column"], c.column) << what;
    } else {
      EXPECT_TRUE(json["line"].is_null()) << what;
      EXPECT_TRUE(json["column"].is_null()) << what;
    }
    EXPECT_EQ(lines[0].find(json["message"].get<std::string>()), head.size()) << what;
    EXPECT_TRUE(json["files_written"].empty());
  }
}

TEST_F(CheckTexts, EveryErrorOfBothTextsIsToldInOnePass) {
  std::vector<std::string> line = kLine, train = kTrain;
  line[3] = "ripetizione segnali 9 codici, 25, 4000";  // ends the compile: the train is not read
  line[6] = "pendenza, 50000, 3";
  train.insert(train.begin() + 5, "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, 0");
  write("Ponte_linea.txt", crlf_text(line));
  write("Ponte_7-.txt", crlf_text(train));
  const ProcessResult r = scengen({"check", "Ponte_linea.txt", "Ponte_7-.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err_lines(),
            (std::vector<std::string>{
                "Ponte_linea.txt:4:1: error 3: the cab-signal repetition start is not a multiple "
                "of 50 (scengen explain 3)",
                "  ripetizione segnali 9 codici, 25, 4000",
                "  ^",
                "  note: the compile stops reading the line text here; the lines below are not "
                "compiled, nor is the train text",
                "Ponte_linea.txt:7:1: error 15: a position lies beyond the track (at 50000 m) "
                "(scengen explain 15)",
                "  pendenza, 50000, 3",
                "  ^",
                "  note: found after the compile stopped; this line is not compiled anyway",
                "Ponte_7-.txt:6:1: error 16: a signal's cell is not free (at 2000 m): cell 41 (2050 "
                "to 2100 m) holds a signal, placed by 'segnale' at line 5 of the train description "
                "(scengen explain 16)",
                "  segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, 0",
                "  ^",
                "  note: found after the compile stopped; the train text is not compiled anyway",
            }));

  const ProcessResult j = scengen({"check", "Ponte_linea.txt", "Ponte_7-.txt", "--json"});
  EXPECT_EQ(j.status, 1);
  const Json json = Json::parse(j.out);
  // The top-level fields stay the compile's own error.
  EXPECT_EQ(json["status_code"], 3);
  EXPECT_EQ(json["line"], 4);
  ASSERT_EQ(json["errors"].size(), 3u);
  EXPECT_EQ(json["errors"][0],
            (Json{{"code", 3},
                  {"message", "the cab-signal repetition start is not a multiple of 50"},
                  {"file", "Ponte_linea.txt"},
                  {"line", 4},
                  {"column", 1},
                  {"position", nullptr},
                  {"detail", nullptr},
                  {"found_after_stop", false},
                  {"note",
                   "the compile stops reading the line text here; the lines below are not "
                   "compiled, nor is the train text"}}));
  EXPECT_EQ(json["errors"][1],
            (Json{{"code", 15},
                  {"message", "a position lies beyond the track"},
                  {"file", "Ponte_linea.txt"},
                  {"line", 7},
                  {"column", 1},
                  {"position", 50000},
                  {"detail", nullptr},
                  {"found_after_stop", true},
                  {"note", "found after the compile stopped; this line is not compiled anyway"}}));
  EXPECT_EQ(json["errors"][2]["file"], "Ponte_7-.txt");
  EXPECT_EQ(json["errors"][2]["found_after_stop"], true);
}

TEST_F(CheckTexts, WarningsPointAtTheFieldAndDoNotFail) {
  struct Case {
    Edit edit;
    int line;
    int column;
    const char* message;
    const char* hint;    // the warning's topic, after the message
    const char* effect;  // its class in JSON
    const char* topic;   // its topic in JSON; null when the hint comes from the line
  };
  constexpr const char* kNote = "note";
  constexpr const char* kChanged = "value_changed";
  constexpr const char* kDropped = "record_not_compiled";
  const Case cases[] = {
      {{false, 8, "[cartelli"}, 8, 1, "'[cartelli' matches no record and is ignored",
       " (scengen explain Keywords)", kNote, "Keywords"},
      {{true, 4, "[stazioni", true}, 4, 1,
       "'[stazioni' matches no record; did you mean 'stazione'? The record of line 4 is not "
       "compiled",
       " (scengen explain stazione)", kDropped, "stazione"},
      {{false, 8, "pendenza, 1000, 2", true}, 8, 11,
       "'pendenza' at 1000 m does not come after the previous one at 1500 m: the series must "
       "ascend", " (scengen explain pendenza)", kNote, "pendenza"},
      {{true, 4, "velocita, 0, 40", true}, 4, 11,
       "'velocita' at 0 m does not come after the previous one at 0 m: the series must ascend",
       " (scengen explain velocita)", kNote, "velocita"},
      {{false, 7, "pendenza, 1500, 3.5"}, 7, 17,
       "'3.5' is compiled as 3: the characters after its digits are ignored; the values are "
       "whole numbers",
       " (scengen explain pendenza)", kChanged, nullptr},
      {{true, 3, "aderenza, 0, 96%"}, 3, 14,
       "'96%' is compiled as 96: the characters after its digits are ignored",
       " (scengen explain aderenza)", kChanged, nullptr},
      {{true, 5, "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, O"}, 5, 39,
       "'O' holds no number and is compiled as 0", " (scengen explain segnale)", kChanged,
       nullptr},
      {{false, 7, "pendenza, 1510, 3"}, 7, 11,
       "'pendenza' at 1510 m is not a multiple of 50: it is compiled at 1500 m",
       " (scengen explain pendenza)", kChanged, "pendenza"},
      {{true, 5, "segnale, 2010, 2, 2,3,1, 1, 2, 2,1,1, 0"}, 5, 10,
       "'segnale' at 2010 m is not a multiple of 50: it is compiled at 2000 m",
       " (scengen explain segnale)", kChanged, "segnale"},
      {{false, 8, "montagna, 5200, 5600, 12", true}, 8, 17,
       "'montagna' at 5600 m lies beyond the end of the route (5000 m)",
       " (scengen explain montagna)", kNote, "montagna"},
      {{true, 7, "stazione, 5500, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, GAMMA", true}, 7, 11,
       "'stazione' at 5500 m lies beyond the end of the route (5000 m)",
       " (scengen explain stazione)", kNote, "stazione"},
  };
  for (const Case& c : cases) {
    const std::string what = c.edit.with;
    const char* file = c.edit.train ? "Ponte_7-.txt" : "Ponte_linea.txt";
    const ProcessResult r = check(c.edit);
    EXPECT_EQ(r.status, 0) << what << "\n" << r.err;
    const auto text = edited(c.edit.train ? kTrain : kLine, c.edit);
    const std::string summary = c.effect == kNote      ? "1 note"
                                : c.effect == kChanged ? "1 value changed"
                                                       : "1 record not compiled";
    EXPECT_EQ(r.err, std::string(file) + ":" + std::to_string(c.line) + ":" +
                         std::to_string(c.column) + ": warning: " + c.message + c.hint + "\n  " +
                         text[static_cast<size_t>(c.line - 1)] + "\n  " +
                         std::string(static_cast<size_t>(c.column - 1), ' ') +
                         "^\nscengen: 1 warning: " + summary + "\n")
        << what;

    const ProcessResult j = check(c.edit, true);
    EXPECT_EQ(j.status, 0) << what;
    const Json json = Json::parse(j.out);
    EXPECT_EQ(json["status_code"], 0);
    EXPECT_EQ(json["warnings"],
              Json::array({{{"file", file},
                            {"line", c.line},
                            {"column", c.column},
                            {"message", c.message},
                            {"effect", c.effect},
                            {"topic", c.topic ? Json(c.topic) : Json(nullptr)},
                            {"found_after_stop", false}}}))
        << what;
    EXPECT_EQ(json["warning_counts"]["total"], 1) << what;
    EXPECT_EQ(json["warning_counts"][c.effect], 1) << what;
  }
}

TEST_F(CheckTexts, CurvesOfACompileWithoutPlanAreNoUnmatchedFields) {
  write("Ponte_linea.txt", crlf_text(edited(kLine, {false, 8, "curvad6, 1000, 200", true})));
  write("Ponte_7-.txt", crlf_text(kTrain));
  const ProcessResult checked = scengen({"check", "Ponte_linea.txt", "Ponte_7-.txt"});
  EXPECT_EQ(checked.status, 0);
  EXPECT_EQ(checked.err, "");
  const ProcessResult compiled =
      scengen({"compile", "Ponte_linea.txt", "Ponte_7-.txt", "--no-plan", "--json"});
  EXPECT_EQ(compiled.status, 0) << compiled.err;
  EXPECT_TRUE(Json::parse(compiled.out)["warnings"].empty()) << compiled.out;
}

}  // namespace
}  // namespace scengen
