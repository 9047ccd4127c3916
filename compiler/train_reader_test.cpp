#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/field_reader.h"
#include "compiler/read_descriptions.h"
#include "testing/models.h"

namespace scengen {
namespace {

// StatusPosition as the line half leaves it; codes without a position must not change it.
constexpr int32_t kUnchanged = 4242;

// The model as the line half leaves it for a 72000 m route: cells 0 to 1580, the three kilometric
// references on multiples of 50, no board texts.
Compilation make_model() {
  Compilation c = testing::with_track(1581);
  c.ScenarioTable[81].Num1 = 0;
  c.ScenarioTable[81].Num2 = 100000;
  c.ScenarioTable[82].Num1 = 30000;
  c.ScenarioTable[82].Num2 = 130000;
  c.ScenarioTable[83].Num1 = 72000;
  c.ScenarioTable[83].Num2 = 172000;
  c.StatusPosition = kUnchanged;
  return c;
}

std::string train(std::string_view body) {
  return "[generale]\r\n" + std::string(body) + "[fine]\r\n";
}

// Rows of the worked examples.
constexpr std::string_view kOrigin =
    "stazione,       0,  8,  600,  0, 1, 0,  1,1,0,  2,4,1,    1,   8,20, 0, VELTRA CENTRALE\r\n";
constexpr std::string_view kRogoredo =
    "stazione,    9550, 12,  600,  1, 1, 0,  5,6,1,  2,1,1,   60,   8,33, 0, ROGOREDO\r\n";
constexpr std::string_view kSignal1750 = "segnale,    1750,   2, 4, 1,  1, 0,    2,  3,1,1, 0\r\n";
constexpr std::string_view kSlowOrder = "rallentamento,   53750,    40,  400, 1,  1,  30\r\n";

// A halt of type 28 (no cells) at `position` with length 0.
std::string halt(int position) {
  return "stazione, " + std::to_string(position) + ", 28, 0, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, P\r\n";
}

// `count` halts 400 m apart from 0 m.
std::string halts(int count) {
  std::string body;
  for (int i = 0; i < count; ++i) body += halt(400 * i);
  return body;
}

struct Case {
  const char* name;
  std::optional<std::string> text;
  int32_t code;
  int32_t position;
  std::function<void(const Compilation&, const ReadingState&)> check = nullptr;
  std::function<void(Compilation&, ReadingState&)> prepare = nullptr;
};

// Runs the train half as read_descriptions does: a reading failure is code 25.
void run_case(const Case& k) {
  SCOPED_TRACE(k.name);
  Compilation c = make_model();
  ReadingState state;
  if (k.prepare) k.prepare(c, state);
  MemoryTexts texts(std::nullopt, k.text);
  bool failed = false;
  try {
    read_train_description(c, texts, state);
  } catch (const ReadFailure&) {
    failed = true;
    c.StatusCode = 25;
  }
  EXPECT_EQ(c.StatusCode, k.code);
  EXPECT_EQ(c.StatusPosition, k.position);
  if (!failed) {
    EXPECT_FALSE(texts.train_exists()) << "the text is deleted in every outcome";
  }
  if (k.check) k.check(c, state);
}

void expect_speed(const Compilation& c, int from, int to, int value) {
  for (int i = from; i <= to; ++i) ASSERT_EQ(c.TrackCells[i].SpeedLimit, value) << "cell " << i;
}

void expect_adhesion(const Compilation& c, int from, int to, int value) {
  for (int i = from; i <= to; ++i) ASSERT_EQ(c.TrackCells[i].Adhesion, value) << "cell " << i;
}

void expect_signal_1750(const Compilation& c) {
  const TrackCell& s = c.TrackCells[36];
  EXPECT_EQ(s.Kind, 1);
  EXPECT_EQ(s.Param4, 8);
  EXPECT_EQ(s.Param1, 43);
  EXPECT_EQ(s.Param2, 11);
  EXPECT_EQ(s.Param3, 11);
  EXPECT_EQ(s.Param5, 0);
  EXPECT_EQ(c.TrackCells[34].Mark, 81);
  EXPECT_EQ(c.TrackCells[32].Mark, 82);
  EXPECT_EQ(c.TrackCells[30].Mark, 83);
  EXPECT_EQ(c.TrackCells[28].Mark, 84);
}

void expect_slow_order_53750(const Compilation& c, bool with_boards) {
  const TrackCell& warning = c.TrackCells[1052];
  EXPECT_EQ(warning.Kind, 4);
  EXPECT_EQ(warning.Param1, 40);
  EXPECT_EQ(warning.Param2, 30);
  for (const int cell : {1076, 1084}) {
    EXPECT_EQ(c.TrackCells[cell].Kind, cell == 1076 ? 3 : 2);
    EXPECT_EQ(c.TrackCells[cell].Param1, 40);
    EXPECT_EQ(c.TrackCells[cell].Param2, 30);
    EXPECT_EQ(c.TrackCells[cell].Param3, 1);
  }
  for (int m = 0; m < 4; ++m) {
    const TrackCell& board = c.TrackCells[1051 - m];
    EXPECT_EQ(board.Kind, with_boards ? 5 : (m == 2 ? 12 : 0)) << "board " << m;
    if (with_boards) {
      EXPECT_EQ(board.Param1, m + 1);
      EXPECT_EQ(board.Param2, m + 1);
    }
  }
}

TEST(TrainReader, WorkedExamples) {
  const Case cases[] = {
      {"the origin station", train(kOrigin), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         const ScenarioEntry& e = c.ScenarioTable[1];
         EXPECT_EQ(e.Num3, 0);
         EXPECT_EQ(e.Tag, 8);
         EXPECT_EQ(e.Num1, -600);
         EXPECT_EQ(e.Num2, 600);
         EXPECT_EQ(e.Tag2, 0);
         EXPECT_EQ(e.Flag4, 0);  // forced to 0 for the first station
         EXPECT_EQ(e.Flag3, 0);
         EXPECT_EQ(e.Small1, 1);
         EXPECT_EQ(e.Small2, 1);
         EXPECT_EQ(e.Flag1, 0);
         EXPECT_EQ(e.Small3, 2);
         EXPECT_EQ(e.Small4, 4);
         EXPECT_EQ(e.Small5, 1);
         EXPECT_EQ(e.Flag2, 1);
         EXPECT_EQ(e.Num4, 8 * 3600 + 20 * 60);
         EXPECT_EQ(e.Text, "VELTRA CENTRALE");
         EXPECT_EQ(c.TrackCells[10].Mark, 81);
         EXPECT_EQ(c.TrackCells[9].Mark, 82);
         EXPECT_EQ(c.TrackCells[8].Mark, 83);
         EXPECT_EQ(c.TrackCells[7].Mark, 84);
         EXPECT_EQ(c.TrackCells[6].Mark, 0);
         EXPECT_EQ(c.TrackCells[11].Mark, 0);
         EXPECT_EQ(c.TrackCells[11].Kind, 10);
         EXPECT_EQ(c.TrackCells[11].Param1, 1);
       }},
      {"a station at 9550 m of type 12 and length 600",
       train(std::string(kOrigin) + std::string(kRogoredo)), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         const ScenarioEntry& e = c.ScenarioTable[2];
         EXPECT_EQ(e.Num1, 9250);
         EXPECT_EQ(e.Num2, 9850);
         EXPECT_EQ(e.Num3, 9550);
         EXPECT_EQ(e.Tag, 12);
         EXPECT_EQ(e.Tag2, 1);
         EXPECT_EQ(e.Flag4, 1);  // length 600 is not below 600
         EXPECT_EQ(e.Small1, 5);
         EXPECT_EQ(e.Small2, 6);
         EXPECT_EQ(e.Flag1, 1);
         EXPECT_EQ(e.Flag2, 60);
         EXPECT_EQ(e.Num4, 8 * 3600 + 33 * 60);
         EXPECT_EQ(e.Text, "ROGOREDO");
         for (int k = 1; k <= 4; ++k) EXPECT_EQ(c.TrackCells[196 - k].Mark, 80 + k);
         EXPECT_EQ(c.TrackCells[196].Kind, 10);
         EXPECT_EQ(c.TrackCells[196].Param1, 2);
       }},
      {"the signal at 1750 m", train(kSignal1750), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) { expect_signal_1750(c); }},
      {"the slow order at 53750 m", train(kSlowOrder), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) { expect_slow_order_53750(c, true); }},
  };
  for (const Case& k : cases) run_case(k);
}

TEST(TrainReader, GeneralValuesAndProfiles) {
  const Case cases[] = {
      {"the general values",
       train("numero vetture,    8\r\npercentuale massa frenata,    120\r\nsabbia,    300\r\n"
             "orologio,    8               19            15 \r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[84].Num3, 8);
         EXPECT_EQ(c.ScenarioTable[84].Num1, 120);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
         EXPECT_EQ(c.ScenarioTable[86].Small3, 8);
         EXPECT_EQ(c.ScenarioTable[86].Small4, 19);
         EXPECT_EQ(c.ScenarioTable[86].Small5, 15);
       }},
      {"the last of two values wins", train("sabbia, 300\r\nsabbia, 250\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small1, 250);
       }},
      {"\"massa\" alone is not the braked mass", train("massa, 120\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) { EXPECT_EQ(c.ScenarioTable[84].Num1, 0); }},
      {"speed and adhesion steps, then the tails to U - 3",
       train("velocita,   0,    30\r\nvelocita,    1100,    95\r\n"
             "aderenza,       0,    96\r\naderenza,   53950,    70\r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState& state) {
         EXPECT_EQ(state.speed_cursor, 22);
         EXPECT_EQ(state.adhesion_cursor, 1079);
         expect_speed(c, 0, 21, 6);
         expect_speed(c, 22, 1577, 19);
         expect_speed(c, 1578, 1580, 0);
         expect_adhesion(c, 0, 1078, 96);
         expect_adhesion(c, 1079, 1577, 70);
         expect_adhesion(c, 1578, 1580, 0);
       }},
      // 1000 m writes cells 0 to 19; 500 m, behind the cursor, writes cell 20 alone with the
      // previous speed; 2000 m writes 21 to 39.
      {"speed steps out of order",
       train("velocita, 0, 30\r\nvelocita, 1000, 60\r\nvelocita, 500, 90\r\n"
             "velocita, 2000, 100\r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState& state) {
         EXPECT_EQ(state.speed_cursor, 40);
         expect_speed(c, 0, 19, 6);
         expect_speed(c, 20, 20, 12);
         expect_speed(c, 21, 39, 18);
         expect_speed(c, 40, 1577, 20);
       }},
      {"a step at 25 m writes no cell but changes the speed",
       train("velocita, 0, 30\r\nvelocita, 25, 45\r\nvelocita, 100, 60\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState& state) {
         EXPECT_EQ(state.speed_cursor, 2);
         expect_speed(c, 0, 1, 9);
         expect_speed(c, 2, 1577, 12);
       }},
      {"an adhesion step behind its cursor writes one cell",
       train("aderenza, 0, 96\r\naderenza, 1000, 70\r\naderenza, 500, 90\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState& state) {
         EXPECT_EQ(state.adhesion_cursor, 21);
         expect_adhesion(c, 0, 19, 96);
         expect_adhesion(c, 20, 20, 70);
         expect_adhesion(c, 21, 1577, 90);
       }},
      // Forward steps end at cell U - 2 at most; records that do not advance push the cursor on,
      // one cell each, up to the last cell and never past it. The tail then writes that cell.
      {"records that do not advance stop at the last cell",
       train("velocita, 78900, 30\r\nvelocita, 100, 40\r\nvelocita, 100, 50\r\n"
             "velocita, 100, 60\r\nvelocita, 100, 70\r\n"
             "aderenza, 78900, 30\r\naderenza, 100, 40\r\naderenza, 100, 50\r\n"
             "aderenza, 100, 60\r\naderenza, 100, 70\r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState& state) {
         EXPECT_EQ(state.speed_cursor, 1580);
         EXPECT_EQ(state.adhesion_cursor, 1580);
         expect_speed(c, 0, 1577, 0);
         expect_speed(c, 1578, 1578, 6);
         expect_speed(c, 1579, 1579, 8);
         expect_speed(c, 1580, 1580, 14);
         expect_adhesion(c, 1578, 1578, 30);
         expect_adhesion(c, 1579, 1579, 40);
         expect_adhesion(c, 1580, 1580, 70);
       }},
      {"a tail from U - 2 writes that cell alone", train("velocita, 78900, 30\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState& state) {
         EXPECT_EQ(state.speed_cursor, 1578);
         expect_speed(c, 1578, 1578, 6);
         expect_speed(c, 1579, 1580, 0);
       }},
      {"stored profile values keep their low 8 bits",
       train("velocita, 0, 1300\r\naderenza, 0, 300\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         expect_speed(c, 0, 1577, 4);
         expect_adhesion(c, 0, 1577, 44);
       }},
      {"code points with and without a code",
       train("abbattimento,   10000,   270\r\nabbattimento, 11000, 0\r\n"
             "abbattimento, 12000, -5\r\nabbattimento, 13000, 70000\r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[200].Kind, 12);
         EXPECT_EQ(c.TrackCells[200].Param1, 270);
         EXPECT_EQ(c.TrackCells[220].Kind, 13);
         EXPECT_EQ(c.TrackCells[220].Param1, 77);  // left as it was
         EXPECT_EQ(c.TrackCells[240].Kind, 13);
         EXPECT_EQ(c.TrackCells[260].Kind, 12);
         EXPECT_EQ(c.TrackCells[260].Param1, 70000 - 65536);
       },
       [](Compilation& c, ReadingState&) { c.TrackCells[220].Param1 = 77; }},
      {"a code point on a tunnel marker", train("abbattimento, 10000, 270\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[200].Kind, 12);
         EXPECT_EQ(c.TrackCells[200].Tunnel, 2);
       },
       [](Compilation& c, ReadingState&) {
         c.TrackCells[200].Kind = 11;
         c.TrackCells[200].Tunnel = 2;
       }},
  };
  for (const Case& k : cases) run_case(k);
}

TEST(TrainReader, FieldsAndKeywords) {
  const Case cases[] = {
      {"keywords in capitals",
       train("SEGNALE,    1750,   2, 4, 1,  1, 0,    2,  3,1,1, 0\r\nSabbia, 300\r\n"), 0,
       kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         expect_signal_1750(c);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       }},
      {"\"velocit\\xE0\" matches through \"velocit\"",
       train("velocit\xE0, 0, 30\r\nvelocit\xE0, 100, 60\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         expect_speed(c, 0, 1, 6);
         expect_speed(c, 2, 1577, 12);
       }},
      {"\"[GENERALE]\" opens the records", "-\r\n[GENERALE]\r\nsabbia, 300\r\n[fine]\r\n", 0,
       kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       }},
      {"a field with two keywords reads both, in table order",
       train("sabbia e orologio, 8, 19, 15, 300\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small3, 8);
         EXPECT_EQ(c.ScenarioTable[86].Small4, 19);
         EXPECT_EQ(c.ScenarioTable[86].Small5, 15);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       }},
      {"plural headers match no keyword",
       train("[segnali]\r\n[stazioni]\r\n[rallentamenti]\r\n[codici]\r\n[aderenze]\r\n"), 0,
       kUnchanged},
      // The header reads "segnale" (0) as the position and the row's values after it as the rest.
      {"a singular header is read as a signal record",
       train("[segnale]\r\n" + std::string(kSignal1750)), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[36].Kind, 0);
         EXPECT_EQ(c.TrackCells[1].Kind, 1);
         EXPECT_EQ(c.TrackCells[1].Param4, 1 * 10 + 1750 * 3 + 0);
         EXPECT_EQ(c.TrackCells[1].Param1, 22);
         EXPECT_EQ(c.TrackCells[1].Param2, 43);
         EXPECT_EQ(c.TrackCells[1].Param3, 11);
       }},
      {"a value too many is a keyword field that matches nothing",
       train("abbattimento,   10000,   270, 5\r\nabbattimento,   11000,   280\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[200].Param1, 270);
         EXPECT_EQ(c.TrackCells[220].Kind, 12);
         EXPECT_EQ(c.TrackCells[220].Param1, 280);
       }},
      {"a value too few takes the next keyword field as 0",
       train("abbattimento,   10000\r\nabbattimento,   11000,   280\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[200].Kind, 13);
         EXPECT_EQ(c.TrackCells[220].Kind, 0);
       }},
      {"a station name is cut at a comma",
       train("stazione, 0, 8, 600, 0,1,0, 1,1,0, 2,4,1, 1, 8,20,0, VELTRA, CENTRALE\r\n"
             "sabbia, 300\r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[1].Text, "VELTRA");
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       }},
      {"a quoted station name keeps its comma",
       train("stazione, 0, 8, 600, 0,1,0, 1,1,0, 2,4,1, 1, 8,20,0, \"VELTRA, CENTRALE\"\r\n"), 0,
       kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[1].Text, "VELTRA, CENTRALE");
       }},
      {"a comment field is passed over, even one that holds a keyword",
       train("-- segnale da rivedere\r\nsabbia, 300\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       }},
      {"two comment fields in a row are passed over",
       train("-- segnale\r\n-- stazione\r\nsabbia, 300\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       }},
      {"a third comment field is tested",
       train("-- a\r\n-- b\r\n-- segnale,    1750,   2, 4, 1,  1, 0,    2,  3,1,1, 0\r\n"), 0,
       kUnchanged, [](const Compilation& c, const ReadingState&) { expect_signal_1750(c); }},
      {"a keyword field that ends the text is dropped", "[generale]\r\nsabbia", 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) { EXPECT_EQ(c.ScenarioTable[86].Small1, 0); }},
      {"the last record needs no line end", "[generale]\r\nsabbia, 300", 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       }},
      {"without \"[generale]\" no record is read, and the tails still run",
       "velocita, 0, 30\r\n" + std::string(kSignal1750) + "sabbia, 300\r\n", 0, kUnchanged,
       [](const Compilation& c, const ReadingState& state) {
         EXPECT_EQ(c.TrackCells[36].Kind, 0);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 0);
         EXPECT_EQ(state.speed_cursor, 0);
         expect_speed(c, 0, 1580, 0);
       }},
      {"an empty text fails", "", 25, kUnchanged},
      {"a missing text fails", std::nullopt, 25, kUnchanged},
      {"a text that stops inside a record fails", "[generale]\r\nsegnale, 1750, 2, 4\r\n", 25,
       kUnchanged},
  };
  for (const Case& k : cases) run_case(k);
}

TEST(TrainReader, Errors) {
  const Case cases[] = {
      {"7: a code point on a signal; reading stops, no tails",
       train("velocita, 0, 30\r\n" + std::string(kSignal1750) +
             "abbattimento, 1800, 270\r\nsabbia, 300\r\n"),
       7, 1800,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[36].Kind, 1);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 0);
         expect_speed(c, 0, 1580, 0);
         ASSERT_TRUE(c.StatusSource.has_value());
         EXPECT_EQ(c.StatusSource->text, TextKind::Train);
         EXPECT_EQ(c.StatusSource->line, 4);
         EXPECT_EQ(c.StatusSource->column, 1);
       }},
      {"8: a station off the 50 m grid",
       train("stazione, 1025, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 8, 1025,
       [](const Compilation& c, const ReadingState&) { EXPECT_EQ(c.ScenarioTable[1].Num3, 1025); }},
      {"9: a station length off the 100 m grid",
       train("stazione, 1000, 12, 650, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 9, 1000},
      // The third flag lengthens a later station's end by 50 m and stays; the second flag is
      // cleared below 600 m.
      {"a start 350 m after the previous end passes",
       train(std::string(kOrigin) +
             "stazione, 1050, 12, 200, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[2].Num1, 950);
         EXPECT_EQ(c.ScenarioTable[2].Num2, 1200);
         EXPECT_EQ(c.ScenarioTable[2].Flag3, 1);
         EXPECT_EQ(c.ScenarioTable[2].Flag4, 0);
         EXPECT_EQ(c.TrackCells[23].Kind, 10);
         EXPECT_EQ(c.TrackCells[23].Param1, 2);
       }},
      {"types 7 and 8 clear the third flag",
       train(std::string(kOrigin) + "stazione, 2000, 7, 600, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"),
       0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[2].Num1, 1400);
         EXPECT_EQ(c.ScenarioTable[2].Num2, 2600);
         EXPECT_EQ(c.ScenarioTable[2].Flag3, 0);
         EXPECT_EQ(c.ScenarioTable[2].Flag4, 1);
       }},
      {"22: a start 300 m after the previous end",
       train(std::string(kOrigin) +
             "stazione, 1000, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\nsabbia, 300\r\n"),
       22, 1000,
       [](const Compilation& c, const ReadingState&) { EXPECT_EQ(c.ScenarioTable[86].Small1, 0); }},
      {"24: a station that ends at 100 m",
       train("stazione, 50, 12, 100, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 24, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[1].Kind, 0);
         EXPECT_EQ(c.ScenarioTable[1].Num2, 100);
       }},
      {"a first station's third flag lengthens its end, then is cleared",
       train("stazione, 50, 12, 100, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[1].Num2, 150);
         EXPECT_EQ(c.ScenarioTable[1].Flag3, 0);
         EXPECT_EQ(c.ScenarioTable[1].Flag4, 0);
         EXPECT_EQ(c.TrackCells[2].Kind, 10);
       }},
      {"station marks stop above cell 1",
       train("stazione, 250, 12, 100, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.TrackCells[5].Kind, 10);
         EXPECT_EQ(c.TrackCells[4].Mark, 81);
         EXPECT_EQ(c.TrackCells[3].Mark, 82);
         EXPECT_EQ(c.TrackCells[2].Mark, 83);
         EXPECT_EQ(c.TrackCells[1].Mark, 0);
       }},
      {"types 5 and 6: a marker 150 m on, no marks",
       train("stazione, 3000, 5, 300, 0,0,1, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[1].Num1, 2700);
         EXPECT_EQ(c.ScenarioTable[1].Num2, 3150);
         EXPECT_EQ(c.TrackCells[62].Kind, 10);
         for (int j = 57; j <= 61; ++j) EXPECT_EQ(c.TrackCells[j].Mark, 0);
       }},
      {"types 25 and above write no cell", train(halt(0)), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         for (int j = 0; j < 20; ++j) EXPECT_EQ(c.TrackCells[j].Kind + c.TrackCells[j].Mark, 0);
         EXPECT_EQ(c.ScenarioTable[1].Text, "P");
       }},
      {"78 stations fit beside no board text", train(halts(78)), 0, kUnchanged},
      {"10: the 79th station, though it is the last record", train(halts(79)), 10, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[79].Num3, 400 * 78);
       }},
      {"10: five board texts leave room for 73 stations", train(halts(74)), 10, kUnchanged, nullptr,
       [](Compilation&, ReadingState& state) { state.next_board_slot = 75; }},
      {"73 stations beside five board texts", train(halts(73)), 0, kUnchanged, nullptr,
       [](Compilation&, ReadingState& state) { state.next_board_slot = 75; }},
      {"10: with 81 board texts the first station still takes slot 1", train(halt(1000)), 10,
       kUnchanged,
       [](const Compilation& c, const ReadingState&) { EXPECT_EQ(c.ScenarioTable[1].Num3, 1000); },
       [](Compilation&, ReadingState& state) { state.next_board_slot = -1; }},
      {"15: a speed step past the track, then the tails",
       train("velocita, 0, 30\r\nvelocita, 78901, 60\r\nsabbia, 300\r\n"), 15, 78901,
       [](const Compilation& c, const ReadingState&) {
         expect_speed(c, 0, 1577, 6);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 0);
       }},
      {"a speed step at 78900 m is on the track", train("velocita, 78900, 30\r\n"), 0, kUnchanged},
      {"15: a station within 800 m of the track's end",
       train("stazione, 78250, 28, 0, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 15, 78250,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[1].Num3, 78250);
       }},
      {"a station 800 m before the track's end", train(halt(78200)), 0, kUnchanged},
      {"15 then a misaligned reference leaves 2",
       train("segnale, 79000, 2, 4, 1, 1, 0, 2, 3, 1, 1, 0\r\n"), 2, 79000,
       [](const Compilation& c, const ReadingState&) { EXPECT_FALSE(c.StatusSource.has_value()); },
       [](Compilation& c, ReadingState&) { c.ScenarioTable[82].Num2 = 130025; }},
      {"2: a misaligned reference position", train(""), 2, kUnchanged, nullptr,
       [](Compilation& c, ReadingState&) { c.ScenarioTable[83].Num1 = 72010; }},
      {"16: two signals in one cell",
       train(std::string(kSignal1750) + std::string(kSignal1750) + "sabbia, 300\r\n"), 16, 1750,
       [](const Compilation& c, const ReadingState&) { EXPECT_EQ(c.ScenarioTable[86].Small1, 0); }},
      {"17: the warning cell holds a code point",
       train("abbattimento, 52600, 270\r\n" + std::string(kSlowOrder)), 17, 53750},
      {"18: the start cell holds a code point",
       train("abbattimento, 53800, 270\r\n" + std::string(kSlowOrder)), 18, 53750},
      {"19: the end cell holds a code point",
       train("abbattimento, 54200, 270\r\n" + std::string(kSlowOrder)), 19, 53750},
      {"20: a board cell holds a code point; the order's cells stay",
       train("abbattimento, 52450, 270\r\n" + std::string(kSlowOrder) + "sabbia, 300\r\n"), 20,
       53750,
       [](const Compilation& c, const ReadingState&) {
         expect_slow_order_53750(c, false);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 0);
       }},
      {"a 15 from the line half stays, and the train text is read on",
       train(std::string(kSignal1750) + std::string(kSlowOrder) +
             "velocita, 0, 30\r\nsabbia, 300\r\n"),
       15, 78950,
       [](const Compilation& c, const ReadingState&) {
         expect_signal_1750(c);
         expect_slow_order_53750(c, true);
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
         expect_speed(c, 0, 1577, 6);
       },
       [](Compilation& c, ReadingState&) { record_error(c, 15, 78950); }},
  };
  for (const Case& k : cases) run_case(k);
}

TEST(TrainReader, HostileInput) {
  const Case cases[] = {
      {"a negative speed step", train("velocita, 0, 30\r\nvelocita, -100, 60\r\n"), 15, -100,
       [](const Compilation& c, const ReadingState&) { expect_speed(c, 0, 1577, 6); }},
      {"a negative adhesion step", train("aderenza, -1, 60\r\n"), 15, -1},
      {"a negative signal", train("segnale, -500, 2, 4, 1, 1, 0, 2, 3, 1, 1, 0\r\n"), 15, -500},
      {"a negative slow order", train("rallentamento, -2000, 40, 400, 1, 1, 30\r\n"), 15, -2000},
      {"a negative code point", train("abbattimento, -25, 270\r\n"), 15, -25},
      {"a negative station", train("stazione, -50, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"),
       15, -50},
      {"a signal at the largest Long",
       train("segnale, 2147483647, 2, 4, 1, 1, 0, 2, 3, 1, 1, 0\r\n"), 15, 2147483647},
      {"a station whose marker lies past the track",
       train("stazione, 78200, 7, 2000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 15, 78200,
       [](const Compilation& c, const ReadingState&) {
         for (int j = 1540; j <= 1580; ++j)
           EXPECT_EQ(c.TrackCells[j].Kind + c.TrackCells[j].Mark, 0);
       }},
      {"a station whose end lies past the track, type 12",
       train("stazione, 78200, 12, 3000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 15, 78200},
      {"a station of type 28 may reach past the track",
       train("stazione, 78200, 28, 3000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 0, kUnchanged},
      {"a slow order reaching past the track",
       train("rallentamento, 78000, 40, 5000, 1, 1, 30\r\n"), 19, 78000,
       [](const Compilation& c, const ReadingState&) {
         for (int j = 1500; j <= 1580; ++j) EXPECT_EQ(c.TrackCells[j].Kind, 0);
       }},
      {"a slow order reaching back before the start",
       train("rallentamento, 53750, 40, -60000, 1, 1, 30\r\n"), 19, 53750},
      {"a Byte over 255", train("stazione, 0, 256, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 25,
       kUnchanged},
      {"a negative Byte", train("stazione, 0, 8, 600, 0,-1,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 25,
       kUnchanged},
      {"an Integer over 32767", train("orologio, 8, 32768, 15\r\n"), 25, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small3, 8);  // stored before the failure
       }},
      {"an Integer under -32768", train("sabbia, -32769\r\n"), 25, kUnchanged},
      {"the Integer bounds themselves fit", train("sabbia, -32768\r\norologio, 32767, 0, 0\r\n"), 0,
       kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small1, -32768);
         EXPECT_EQ(c.ScenarioTable[86].Small3, 32767);
       }},
      {"a Long over 2147483647", train("velocita, 2147483648, 30\r\n"), 25, kUnchanged},
      {"a Long under -2147483648", train("abbattimento, -2147483649, 30\r\n"), 25, kUnchanged},
      {"a very long number", train("sabbia, 99999999999999999999999\r\n"), 25, kUnchanged},
      {"a scheduled time too large for Num4",
       train("stazione, 0, 8, 600, 0,0,0, 0,0,0, 0,0,0, 0, 600000,0,0, X\r\n"), 25, kUnchanged},
      {"a station end too large for Num2",
       train("stazione, 1000, 7, 2147483600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n"), 25,
       kUnchanged},
      {"an unterminated quote runs to the end of the text",
       train("stazione, 0, 8, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, \"VELTRA\r\nsabbia, 300\r\n"), 0,
       kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[1].Text, "VELTRA\r\nsabbia, 300\r\n[fine]\r\n");
         EXPECT_EQ(c.ScenarioTable[86].Small1, 0);
       }},
      {"an unterminated quote in a keyword field", train("\"segnale, 1750, 2\r\n"), 0, kUnchanged,
       [](const Compilation& c, const ReadingState&) { EXPECT_EQ(c.TrackCells[36].Kind, 0); }},
      {"without a track the first record that needs it fails",
       train("sabbia, 300\r\nvelocita, 0, 30\r\n"), 25, kUnchanged,
       [](const Compilation& c, const ReadingState&) {
         EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
       },
       [](Compilation& c, ReadingState&) { c.TrackCells.clear(); }},
      {"without a track the tails fail", train("sabbia, 300\r\n"), 25, kUnchanged, nullptr,
       [](Compilation& c, ReadingState&) { c.TrackCells.clear(); }},
  };
  for (const Case& k : cases) run_case(k);
}

}  // namespace
}  // namespace scengen
