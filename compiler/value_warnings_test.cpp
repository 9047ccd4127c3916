// Author's mistakes whose values the compile changes or whose records it drops: each must say
// what is compiled instead, in its class, and never change a compiled byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/output_files.h"
#include "testing/check_fixture.h"

namespace scengen {
namespace {

using testing::crlf_text;
constexpr TextKind L = TextKind::Line;
constexpr TextKind T = TextKind::Train;

struct Mistake {
  const char* name;
  TextKind text;  // the text edited
  int at;         // the line replaced, or inserted before
  std::string with;
  bool insert;
  int32_t code;                       // the compile's error, 0 for none (1250 from the seal)
  std::vector<std::string> warnings;  // every warning: "LINE:COLUMN class: words"
  std::string detail = {};            // the error's detail, when there is an error
};

struct Compiled {
  Compilation c;
  CompileOutcome outcome;
  std::string bytes;
};

Compiled compile(const std::string& line, const std::string& train, bool collect) {
  Compiled run;
  run.c.RouteId = "Ponte";
  run.c.TrainNumber = "7";
  run.c.CollectWarnings = collect;
  MemoryTexts texts(line, train);
  run.outcome = compile_scenario(run.c, texts, 1);
  if (run.c.has_track()) {
    run.bytes = encode_track_cells(run.c.TrackCells) +
                encode_scenario_table(run.c.ScenarioTable).value_or("(too long)") +
                encode_route_plan(run.c.TrackPlan);
  }
  return run;
}

const char* class_name(WarningEffect effect) {
  switch (effect) {
    case WarningEffect::ValueChanged:
      return "changed";
    case WarningEffect::RecordDropped:
      return "dropped";
    case WarningEffect::Note:
      break;
  }
  return "note";
}

std::vector<std::string> listed(const Compilation& c) {
  std::vector<std::string> lines;
  for (const CompileWarning& w : c.Warnings) {
    lines.push_back(std::to_string(w.where.line) + ":" + std::to_string(w.where.column) + " " +
                    class_name(w.effect) + ": " + w.message);
  }
  return lines;
}

const std::string kStation = "stazione, 3000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 60, ";

const Mistake kMistakes[] = {
    {"speed of 92",
     T,
     2,
     "velocita, 0, 92",
     false,
     0,
     {"2:14 changed: speed limit 92 is not a multiple of 5: it is compiled as 90 km/h"}},
    {"speed of 1300",
     T,
     2,
     "velocita, 0, 1300",
     false,
     0,
     {"2:14 changed: speed limit 1300 is outside its range (a multiple of 5, 0 to 1275): it is "
      "compiled as 20 km/h"}},
    // The sets share one digit with rapp: sx 3 with dx 2 carries into rapp.
    {"signal sx 3",
     T,
     5,
     "segnale, 2000, 3, 2,3,1, 1, 2, 2,1,1, 0",
     false,
     0,
     {"5:16 changed: sx 3 is outside its range (0 to 2): the signal is compiled as another one, "
      "with sx 0, rapp 2, dx 1"}},
    {"signal d1 12",
     T,
     5,
     "segnale, 2000, 2, 2,3,1, 1, 2, 12,1,1, 0",
     false,
     0,
     {"5:32 changed: d1 12 is outside its range (0 to 9): the signal is compiled as another one, "
      "with s1 3, d1 2"}},
    {"signal time 50",
     T,
     5,
     "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, 50",
     false,
     0,
     {"5:39 changed: tempo 50 is outside its range (0, or 101 to 255): it is compiled as 101"}},
    {"signal time without sx 2",
     T,
     5,
     "segnale, 2000, 1, 2,3,1, 1, 2, 2,1,1, 150",
     false,
     0,
     {"5:39 changed: tempo 150 counts only with sx 2 (sx is 1): it is compiled as 0"}},
    // A left speed off the grid spills into the right one, stripes past 9 into the left.
    {"speed board speed and stripes",
     L,
     9,
     "indicatori_v, 3500, 92,0,0, 3, 60,0,0, 12",
     true,
     0,
     {"9:21 changed: speed 92 is not a multiple of 5: rank A is compiled as 90 km/h on the left, "
      "260 km/h on the right",
      "9:29 changed: stripes 3 is outside its range (0, 1 or 2): the board is compiled with 4 "
      "stripes on the left, 2 on the right",
      "9:40 changed: stripes 12 is outside its range (0, 1 or 2): the board is compiled with 4 "
      "stripes on the left, 2 on the right"}},
    {"tunnel kind 300",
     L,
     8,
     "montagna, 3000, 3500, 300",
     true,
     0,
     {"8:23 changed: kind 300 is outside its range (1 to 255; above 10: the kind minus 10, with "
      "markers): its cells keep the kind's low 8 bits, 44"}},
    {"curve without a length",
     L,
     8,
     "curvad6, 1000, 0",
     true,
     0,
     {"8:16 dropped: the curve's length 0 m bends no point of the route plan: the curve is not "
      "compiled"}},
    {"reference direction 2",
     L,
     3,
     "progressiva chilometrica uno, 1000, 2000, 2",
     false,
     0,
     {"3:43 changed: direction flag 2 is outside its range (0 (progressives grow along the "
      "route) or 1): any value but 0 is compiled as the progressives falling along the route"}},
    {"slow order speed beyond 16 bits",
     T,
     7,
     "rallentamento, 4000, 40000, 200, 0, 0, 0",
     true,
     0,
     {"7:22 changed: v 40000 is outside its range (0 to 32767): it is compiled as -25536"}},
    // The time's colon shifts every later field: the next line's keyword becomes the name.
    {"station time 8:00",
     T,
     4,
     "stazione, 1000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8:00,0, ALFA",
     false,
     0,
     {"4:50 changed: '8:00' is compiled as 8: the characters after its digits are ignored; a "
      "time is written as hours, minutes and seconds in fields of their own",
      "4:58 changed: 'ALFA' holds no number and is compiled as 0",
      "4:1 changed: the station's name is read from line 5: 'segnale' becomes the station's name",
      "4:1 dropped: 'stazione' takes 17 values but its line ends before them (a missing field or "
      "a wrong separator?): it takes the rest from line 5, whose own record is not compiled"}},
    // The train's general values are stored as written: out of range, they are noted.
    {"general values out of range",
     T,
     2,
     "percentuale massa frenata, -120",
     true,
     0,
     {"2:28 note: braked-mass percentage -120 is outside its range (0 or more): it is compiled "
      "as it is"}},
    {"coaches negative",
     T,
     2,
     "numero vetture, -8",
     true,
     0,
     {"2:17 note: number of coaches -8 is outside its range (0 or more): it is compiled as it "
      "is"}},
    {"sand negative",
     T,
     2,
     "sabbia, -300",
     true,
     0,
     {"2:9 note: sand -300 is outside its range (0 to 32767): it is compiled as it is"}},
    // Nothing carries a minute of 75 into the hour.
    {"clock out of range",
     T,
     2,
     "orologio, 25  75  60",
     true,
     0,
     {"2:11 note: hours 25 is outside its range (0 to 23): it is compiled as it is, a starting "
      "clock of 25, 75, 60",
      "2:15 note: minutes 75 is outside its range (0 to 59): it is compiled as it is, a starting "
      "clock of 25, 75, 60",
      "2:19 note: seconds 60 is outside its range (0 to 59): it is compiled as it is, a starting "
      "clock of 25, 75, 60"}},
    {"adhesion beyond a byte",
     T,
     3,
     "aderenza, 0, 300",
     false,
     0,
     {"3:14 changed: adhesion 300 is outside its range (0 to 255): it is compiled as 44"}},
    {"code point code beyond 16 bits",
     T,
     5,
     "abbattimento, 2500, 40000",
     true,
     0,
     {"5:21 changed: code 40000 is outside its range (32767 at most; 0 or less: a code point "
      "without a code): it is compiled as -25536"}},
    // A time written with a colon takes one field of two: the seconds read the name's first
    // word, and the name is what follows its blank.
    {"station time 9:27 before a name of two words",
     T,
     6,
     kStation + "9:27, 0, S.STEFANO L.",
     false,
     0,
     {"6:51 changed: '9:27' is compiled as 9: the characters after its digits are ignored; a "
      "time is written as hours, minutes and seconds in fields of their own",
      "6:60 changed: 'S.STEFANO' holds no number and is compiled as 0",
      "6:70 changed: the field 'S.STEFANO L.' is split at a blank (a field too few before it?): "
      "'S.STEFANO' is read as a number and 'L.' becomes the station's name"}},
    // Numbers apart by blanks are numbers; the name after them is the name written.
    {"station time written with blanks", T, 6, kStation + "8 5 0 BETA", false, 0, {}},
    {"station name holding a comma",
     T,
     6,
     kStation + "8,5,0, S. DONATO, VEL.",
     false,
     0,
     {"6:58 changed: 'S. DONATO' becomes the station's name, without the rest of the line "
      "('VEL.'): a name that holds a comma is written in double quotes",
      "6:1 note: the line holds more fields than 'stazione' takes (17 values): the fields after "
      "them are read as keywords and ignored"}},
    {"station name followed by a record",
     T,
     6,
     kStation + "8,5,0, BETA, velocita, 3500, 40",
     false,
     0,
     {"6:1 note: a second record, 'velocita', follows 'stazione' on the same line: it is read "
      "and compiled too; keep one record a line"}},
    // After the first station, a flag that its length or type does not allow is dropped.
    {"station flags its length and type drop",
     T,
     6,
     "stazione, 3000, 6, 300, 0,1,1, 0,0,0, 0,0,0, 60, 8,5,0, BETA",
     false,
     0,
     {"6:27 changed: the second flag 1 counts only from a length of 600 m (the length is 300): it "
      "is compiled as 0",
      "6:29 changed: the third flag 1 counts only for types other than 5 to 8 (the type is 6): it "
      "is compiled as 0"}},
    // The end's cell rounds like the start's: a short order shares one cell, the start's.
    {"slow order too short for an end cell",
     T,
     7,
     "rallentamento, 4000, 40, 20, 0, 0, 0",
     true,
     0,
     {"7:26 changed: the length 20 m ends the slow order in the cell of its start: the start is "
      "compiled over the end, and the order has no end cell"}},
    {"slow order of negative length",
     T,
     7,
     "rallentamento, 4000, 40, -400, 0, 0, 0",
     true,
     0,
     {"7:26 changed: the length -400 m puts the slow order's end before its start: the end is "
      "compiled in cell 73, before the start's cell 81"}},
    {"misspelt signal keyword",
     T,
     5,
     "segnlae, 2000, 2, 2,3,1, 1, 2, 2,1,1, 0",
     false,
     0,
     {"5:1 dropped: 'segnlae' matches no record; did you mean 'segnale'? The record of line 5 "
      "is not compiled"}},
    {"two records on one line",
     T,
     2,
     "velocita, 0, 30, segnale, 3500, 2, 2,3,1, 1, 2, 2,1,1, 0",
     false,
     0,
     {"2:1 note: a second record, 'segnale', follows 'velocita' on the same line: it is read and "
      "compiled too; keep one record a line"}},
    {"decimal comma",
     L,
     7,
     "pendenza, 1500, -3,5",
     false,
     0,
     {"7:1 changed: the comma in '-3,5' splits the number (a decimal comma?): -3 is compiled and "
      "'5' is read as a keyword and ignored; the values are whole numbers"}},
    // A line read as a record takes its values from the next line, whose keyword reads as the
    // position 0: the feature lands in the seal's cell.
    {"header holding a keyword",
     T,
     5,
     "[segnale]",
     true,
     1250,
     {"6:1 changed: 'segnale' holds no number and is compiled as 0",
      "6:10 changed: sx 2000 is outside its range (0 to 2): the signal is compiled as another "
      "one, with sx 0, rapp 601",
      "6:36 changed: tempo 1 is outside its range (0, or 101 to 255): it is compiled as 101",
      "5:1 dropped: 'segnale' takes 11 values but its line ends before them (a missing field or "
      "a wrong separator?): it takes the rest from line 6, whose own record is not compiled; a "
      "header that holds a record's keyword is read as that record (the train description's "
      "header is [segnali], not [segnale])"},
     "cell 1 (50 to 100 m) is reserved for the scenario's seal and must stay empty: it holds a "
     "signal placed by 'segnale'; a signal or board at 0 m or a code point at 50 m falls in it: "
     "place nothing before 50 m (a code point, before 100 m); a header that holds a record's "
     "keyword is read as that record (the train description's header is [segnali], not "
     "[segnale])"},
    {"comment marked with #",
     T,
     5,
     "# segnale at 2000",
     true,
     1250,
     {"6:1 changed: 'segnale' holds no number and is compiled as 0",
      "6:10 changed: sx 2000 is outside its range (0 to 2): the signal is compiled as another "
      "one, with sx 0, rapp 601",
      "6:36 changed: tempo 1 is outside its range (0, or 101 to 255): it is compiled as 101",
      "5:1 dropped: 'segnale' takes 11 values but its line ends before them (a missing field or "
      "a wrong separator?): it takes the rest from line 6, whose own record is not compiled; a "
      "comment marked with '#', ';' or '//' is read as a record: a comment is a field holding a "
      "hyphen '-'"},
     "cell 1 (50 to 100 m) is reserved for the scenario's seal and must stay empty: it holds a "
     "signal placed by 'segnale'; a signal or board at 0 m or a code point at 50 m falls in it: "
     "place nothing before 50 m (a code point, before 100 m); a comment marked with '#', ';' or "
     "'//' is read as a record: a comment is a field holding a hyphen '-'"},
    {"fields separated by ;",
     T,
     5,
     "segnale; 2000; 2; 2;3;1; 1; 2; 2;1;1; 0",
     false,
     1250,
     {"6:1 changed: 'stazione' holds no number and is compiled as 0",
      "6:11 changed: sx 3000 is outside its range (0 to 2): the signal is compiled as another "
      "one, with sx 0, rapp 900",
      "5:1 dropped: 'segnale' takes 11 values but its line ends before them (a missing field or "
      "a wrong separator?): it takes the rest from line 6, whose own record is not compiled; "
      "fields separated by ';' are one field, read as a record's keyword: separate the fields "
      "with commas"},
     "cell 1 (50 to 100 m) is reserved for the scenario's seal and must stay empty: it holds a "
     "signal placed by 'segnale'; a signal or board at 0 m or a code point at 50 m falls in it: "
     "place nothing before 50 m (a code point, before 100 m); fields separated by ';' are one "
     "field, read as a record's keyword: separate the fields with commas"},
    {"NUL in a station name",
     T,
     6,
     kStation + "8,5,0, BE" + std::string(1, '\0') + "TA",
     false,
     0,
     {"6:58 changed: the station name holds the control byte 0x00 at its byte 3: it is compiled "
      "as it is, a byte that is no printable character"}},
    {"control byte in a board text",
     L,
     9,
     "cartello_indicatore, 2500, (P.B\x01"
     "A.)",
     false,
     0,
     {"9:28 changed: the board text holds the control byte 0x01 at its byte 5: it is compiled as "
      "it is, a byte that is no printable character"}},
    {"a long field is quoted in part",
     T,
     5,
     "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, " + std::string(100, 'x'),
     false,
     0,
     {"5:39 changed: '" + std::string(60, 'x') +
      "...' (100 bytes) holds no number and is compiled as 0"}},
};

TEST(ValueWarnings, EachMistakeSaysWhatIsCompiledAndChangesNoByte) {
  for (const Mistake& m : kMistakes) {
    SCOPED_TRACE(m.name);
    std::vector<std::string> line = testing::kCheckLine;
    std::vector<std::string> train = testing::kCheckTrain;
    std::vector<std::string>& edited = m.text == L ? line : train;
    if (m.insert) {
      edited.insert(edited.begin() + (m.at - 1), m.with);
    } else {
      edited[static_cast<size_t>(m.at - 1)] = m.with;
    }
    const Compiled with = compile(crlf_text(line), crlf_text(train), true);
    const Compiled without = compile(crlf_text(line), crlf_text(train), false);
    EXPECT_TRUE(with.bytes == without.bytes);
    const int32_t code =
        with.outcome.end == CompileEnd::SealError ? with.outcome.seal_code : with.c.StatusCode;
    EXPECT_EQ(code, m.code);
    EXPECT_EQ(listed(with.c), m.warnings);
    EXPECT_EQ(with.c.StatusDetail, m.detail);
  }
}

}  // namespace
}  // namespace scengen
