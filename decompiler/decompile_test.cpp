#include "decompiler/decompile.h"

#include <gtest/gtest.h>

#include <string>

#include "bench/scenario_generator.h"
#include "compiler/compilation.h"
#include "compiler/compile.h"
#include "compiler/description_texts.h"
#include "compiler/output_decoding.h"
#include "compiler/output_files.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

constexpr const char* kRoute = "Veltrano_Quarnelo";
constexpr const char* kTrain = "58316";

// The three file images of a compile; the plan's is empty without a plan.
struct Images {
  std::string plan, table, track;
  bool operator==(const Images&) const = default;
};

Images compile_images(const std::string& line, const std::string& train, bool with_plan,
                      const std::string& route = kRoute, const std::string& number = kTrain) {
  Compilation c;
  c.RouteId = route;
  c.TrainNumber = number;
  MemoryTexts texts(line, train);
  const CompileOutcome outcome = compile_scenario(c, texts, with_plan ? 1 : 0);
  EXPECT_EQ(outcome.end, CompileEnd::Sealed);
  EXPECT_EQ(c.StatusCode, 0) << "at " << c.StatusPosition;
  Images images;
  if (with_plan) images.plan = encode_route_plan(c.TrackPlan);
  images.table = encode_scenario_table(c.ScenarioTable).value_or("");
  images.track = encode_track_cells(c.TrackCells);
  return images;
}

// The files as the decompiler reads them back.
CompiledFiles decode(const Images& images) {
  CompiledFiles files;
  files.cells = *decode_track_cells(images.track).value;
  files.table = *decode_scenario_table(images.table).value;
  if (!images.plan.empty()) files.plan = images.plan;
  return files;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

// compile(decompile(files)) == files, and the decompiler says so itself.
void expect_round_trip(const std::string& line, const std::string& train, bool with_plan,
                       const std::string& route = kRoute, const std::string& number = kTrain) {
  const Images original = compile_images(line, train, with_plan, route, number);
  const Decompilation d = decompile(decode(original), route, number);
  EXPECT_TRUE(d.exact()) << joined(d.differences);
  EXPECT_TRUE(d.notes.empty()) << joined(d.notes);
  EXPECT_TRUE(compile_images(d.line_text, d.train_text, with_plan, route, number) == original)
      << d.line_text << d.train_text;
}

size_t count(const std::string& text, const std::string& word) {
  size_t n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

TEST(DecompileTest, BuiltInScenarioRoundTripsWithAndWithoutPlan) {
  const std::string line = emit_line_list(line_description_lines());
  const std::string train = emit_line_list(train_description_lines());
  for (const bool with_plan : {true, false}) {
    SCOPED_TRACE(with_plan ? "with plan" : "without plan");
    expect_round_trip(line, train, with_plan);
  }
}

TEST(DecompileTest, BuiltInTextsComeBackWithTheirRecordsAndNothingTheCompileAdds) {
  const std::string line = emit_line_list(line_description_lines());
  const std::string train = emit_line_list(train_description_lines());
  const Decompilation d = decompile(decode(compile_images(line, train, true)), kRoute, kTrain);
  // The author's code points only: the 180s of the finishing pass are left to it.
  EXPECT_EQ(count(d.train_text, "abbattimento"), count(train, "abbattimento"));
  EXPECT_EQ(count(d.train_text, ",   180\r\n"), 0u);
  for (const char* word : {"segnale,", "stazione,", "rallentamento,", "velocita,", "aderenza,"})
    EXPECT_EQ(count(d.train_text, word), count(train, word)) << word;
  for (const char* word : {"indicatori_vmax", "cartello_indicatore", "montagna,", "pendenza,"})
    EXPECT_EQ(count(d.line_text, word), count(line, word)) << word;
  EXPECT_NE(d.line_text.find("curvas6,  70500,  400\r\n"), std::string::npos);
  EXPECT_NE(d.line_text.find("(Sottopasso)( S.S. n\xB0" "9 )\r\n"), std::string::npos);
  EXPECT_NE(d.train_text.find(", BIVIO SORDIO\r\n"), std::string::npos);
  EXPECT_EQ(d.line_text.substr(d.line_text.size() - 8), "[fine]\r\n");
  // At most one comment line in a row anywhere: the readers skip only a few.
  EXPECT_EQ(count(d.line_text, "\r\n-"), 0u);
  EXPECT_EQ(count(d.train_text, "\r\n-"), 0u);
}

TEST(DecompileTest, WithoutPlanNoCurveIsWritten) {
  const std::string line = emit_line_list(line_description_lines());
  const std::string train = emit_line_list(train_description_lines());
  const Decompilation d = decompile(decode(compile_images(line, train, false)), kRoute, kTrain);
  EXPECT_EQ(count(d.line_text, "curva"), 0u);
  EXPECT_TRUE(d.exact()) << joined(d.differences);
}

// Small scenarios, each showing one way a value is kept in the files.
struct Case {
  const char* name;
  const char* line_features;  // after [curve]
  const char* train_records;  // after [generale]
};

constexpr const char* kLineHead =
    "[generale]\r\nlunghezza percorso, 20000\r\n"
    "progressiva chilometrica uno, 0, 5000, 0\r\n"
    "progressiva chilometrica due, 0, 8000, 1\r\n"
    "progressiva chilometrica tre, 0, 300, 0\r\n"
    "sfondo uno, 2\r\nsfondo due, 3\r\nsfondo tre, 4\r\n"
    "ripetizione segnali 4 codici, 1000, 15000\r\n[curve]\r\n";

const Case kCases[] = {
    {"features of every kind",
     "curvas2, 100, 50\r\ncurvad2, 150, 10\r\ncurvad6, 5000, 200\r\n"
     "pendenza, 0, -100\r\npendenza, 2000, 155\r\npendenza, 4025, 7\r\n"
     "montagna, 3000, 3800, 12\r\nmontagna, 3900, 4000, 2\r\nmontagna, 9000, 9500, 7\r\n"
     "montagna, 11000, 11600, 25\r\n"
     "indicatori_vmax, 6000, 1635, 0, 5, 3, 335, 495, 0, 9\r\n"
     "cartello_indicatore, 7000, \"a, b\"\r\ncartello_indicatore, 6500, \"  edge  \"\r\n"
     "cartello_indicatore, 8000, \r\ncartello_indicatore, 8500, x \"y\" z\r\n",
     "numero vetture, 12\r\npercentuale massa frenata, 95\r\nsabbia, -3\r\n"
     "orologio, 23 59 59\r\n"
     "aderenza, 0, 255\r\naderenza, 5000, 1\r\n"
     "velocita, 0, 1275\r\nvelocita, 100, 0\r\nvelocita, 17400, 40\r\n"
     "stazione, 500, 12, 600, 1, 1, 1, 5,6,1, 2,1,1, 60, 8,0,0, \"FIRST, WITH COMMA\"\r\n"
     "stazione, 2000, 5, 400, 9, 1, 1, -7,32767,255, -32768,1,2, 255, 0,0,-5,  SECOND\r\n"
     "stazione, 4000, 7, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, \r\n"
     "stazione, 6000, 26, 200, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, HALT \"Q\"\r\n"
     "stazione, 10000, 12, 800, 0, 1, 1, 0,0,0, 0,0,0, 0, 30,0,0, \" LAST \"\r\n"
     "rallentamento, 1000, 30, 200, 1, 1, 0\r\n"
     "rallentamento, 12000, 40, 400, 0, 1, 30\r\n"
     "rallentamento, 14500, 120, 0, 7, 0, 0\r\n"
     "rallentamento, 16500, 60, 600, 0, 0, -4\r\n"
     "segnale, 1500, 2, 4, 1, 1, 0, 2, 3, 1, 1, 50\r\n"
     "segnale, 3000, 0, 9, 9, 9, 3275, 2, 9, 9, 9, 0\r\n"
     "segnale, 5000, 1, 0, 0, 0, 0, 0, 0, 0, 0, 200\r\n"
     "segnale, 11500, 2, 2, 3, 1, 1, 2, 2, 1, 1, 0\r\n"
     "abbattimento, 0, 270\r\nabbattimento, 2500, 0\r\nabbattimento, 2600, 180\r\n"
     "abbattimento, 7500, 40000\r\nabbattimento, 7600, -3\r\n"},
    // sx * 3 + dx outside 0 to 9 reads back from Param4 as another split (and rapp with it): the
    // approach marks keep the sum. At 100 m only one mark is left; rapp 4000 overflows Param4.
    {"signals whose sets sum to more than 9 or less than 0", "",
     "segnale, 100, 3, 1, 1, 0, 0, 2, 1, 1, 0, 0\r\n"
     "segnale, 1500, 3, 4, 1, 1, 0, 2, 3, 1, 1, 0\r\n"
     "segnale, 3000, -1, 0, 0, 0, 5, 0, 0, 0, 0, 0\r\n"
     "segnale, 5000, 5, 1, 1, 1, 4000, 5, 1, 1, 1, 0\r\n"
     "segnale, 7000, 4, 1, 1, 1, 2, 0, 1, 1, 1, 150\r\n"},
    {"nothing but the general values", "", "sabbia, 1\r\n"},
};

TEST(DecompileTest, SmallScenariosRoundTrip) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string line = std::string(kLineHead) + c.line_features + "[fine]\r\n";
    const std::string train = std::string("[generale]\r\n") + c.train_records + "[fine]\r\n";
    for (const bool with_plan : {true, false}) {
      SCOPED_TRACE(with_plan ? "with plan" : "without plan");
      expect_round_trip(line, train, with_plan, "Prova", "1");
    }
  }
}

// Features that a later record overwrote, or that overlap: the compile keeps what the later
// record left, and the texts that made them prove that texts exist. Stations here sit so that
// their marker (the cell before the end of their area) or their approach marks fall on another
// feature's cells.
const Case kOverwriteCases[] = {
    {"a station marker over a speed board",
     "indicatori_vmax, 2950, 100, 140, 160, 3, 20, 50, 80, 9\r\n",
     "stazione, 2750, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"},
    {"a station's approach marks over a signal's",
     "",
     "segnale, 1500, 2, 4, 1, 1, 0, 2, 3, 1, 1, 50\r\n"
     "stazione, 1150, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"
     "segnale, 5000, 0, 4, 1, 1, 0, 1, 3, 1, 1, 0\r\n"},
    {"a signal's approach marks over a station's",
     "",
     "stazione, 1150, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"
     "segnale, 1500, 2, 4, 1, 1, 0, 2, 3, 1, 1, 50\r\n"},
    {"a signal with a time under a station marker",
     "",
     "segnale, 2000, 2, 4, 1, 1, 7, 1, 3, 1, 1, 150\r\n"
     "stazione, 1800, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"},
    {"an information board under a station marker",
     "cartello_indicatore, 2950, GONE\r\ncartello_indicatore, 5000, KEPT\r\n",
     "stazione, 2750, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"},
    {"a slow-order start under a station marker",
     "",
     "rallentamento, 3000, 40, 400, 1, 1, 30\r\n"
     "stazione, 2800, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"},
    {"a slow order's warning board under a station marker",
     "",
     "rallentamento, 5000, 40, 400, 1, 0, 30\r\n"
     "stazione, 3600, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"},
    {"a slow order's approach board under a station marker",
     "",
     "rallentamento, 5000, 40, 400, 1, 1, 0\r\n"
     "stazione, 3450, 12, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A\r\n"},
    {"a slow order that ends before it starts", "",
     "rallentamento, 6000, 60, -1000, 2, 0, 0\r\nrallentamento, 9000, 60, 500, 2, 0, 0\r\n"},
    {"a tunnel over the end of a marked one", "montagna, 1000, 2000, 12\r\nmontagna, 1850, 2600, 13\r\n",
     ""},
    {"a tunnel inside a marked one",
     "montagna, 1000, 5000, 12\r\nmontagna, 0, 0, 1\r\nmontagna, 2000, 2500, 4\r\n", ""},
    {"tunnels 174 m apart keep their kinds", "montagna, 1000, 2000, 1\r\nmontagna, 2174, 3000, 2\r\n",
     ""},
    // A kind-5 tunnel around kind-3 ones, two of them marked in other counts.
    {"marked kind-3 tunnels inside another",
     "montagna, 400, 3050, 5\r\nmontagna, 1401, 2800, 13\r\nmontagna, 1300, 2050, 12\r\n"
     "montagna, 2150, 800, 14\r\n",
     ""},
};

TEST(DecompileTest, OverwrittenAndOverlappingFeaturesRoundTrip) {
  for (const Case& c : kOverwriteCases) {
    SCOPED_TRACE(c.name);
    const std::string line = std::string(kLineHead) + c.line_features + "[fine]\r\n";
    const std::string train = std::string("[generale]\r\n") + c.train_records + "[fine]\r\n";
    expect_round_trip(line, train, false, "Prova", "1");
  }
}

// 81 board texts fill every slot from 80 down to 0: no station fits beside them.
TEST(DecompileTest, EightyOneBoardTextsRoundTrip) {
  std::string line = std::string(kLineHead);
  for (int b = 0; b < 81; ++b)
    line += "cartello_indicatore, " + std::to_string(1000 + 100 * b) + ", B" + std::to_string(b) + "\r\n";
  line += "[fine]\r\n";
  expect_round_trip(line, "[generale]\r\n[fine]\r\n", false, "Prova", "1");
}

// What the texts cannot say about a damaged track is noted, in the order the texts are written.
TEST(DecompileTest, DamagedFeaturesAreNoted) {
  struct NoteCase {
    const char* name;
    void (*damage)(std::vector<TrackCell>& cells);
    std::vector<std::string> notes;
  };
  const NoteCase kNoteCases[] = {
      // The boards at 7000, 6500, 8000 and 8500 m stand in cells 141, 131, 161, 171 (slots 80
      // down to 77). A board removed would be one a station marker took; with the markers'
      // cells holding something else, none is left to explain it.
      {"a board removed",
       [](std::vector<TrackCell>& cells) {
         cells[131].Kind = kNothing;
         for (TrackCell& c : cells)
           if (c.Kind == kStationMarker) c.Param4 = 1;
       },
       {"board-text slot 79 has no information board on the track"}},
      {"a board naming a slot an earlier board named",
       [](std::vector<TrackCell>& cells) {
         cells[161].Param1 = 80;
         for (TrackCell& c : cells)
           if (c.Kind == kStationMarker) c.Param4 = 1;
       },
       {"cell 161 (8050 m) is an information board of slot 80, which no board of a text takes",
        "board-text slot 78 has no information board on the track"}},
      // The order at 12000 m starts in cell 241, its warning board 24 cells before.
      {"a warning board removed", [](std::vector<TrackCell>& cells) { cells[217].Kind = kNothing; },
       {"cell 241 (12050 m) starts a slow order without its warning board"}},
      {"a warning board of another speed",
       [](std::vector<TrackCell>& cells) { cells[217].Param1 = 45; },
       {"cell 217 (10850 m) holds a warning board of no slow order",
        "cell 241 (12050 m) starts a slow order without its warning board"}},
      // A marker stands in a tunnel's fourth cell or later: the first three hold none.
      {"a tunnel marker in the third cell",
       [](std::vector<TrackCell>& cells) { cells[2].Kind = kTunnelMarker; },
       {"cell 2 (100 m) holds a tunnel marker out of its tunnel's count"}},
  };
  const std::string line = std::string(kLineHead) + kCases[0].line_features + "[fine]\r\n";
  const std::string train = std::string("[generale]\r\n") + kCases[0].train_records + "[fine]\r\n";
  const CompiledFiles files = decode(compile_images(line, train, false, "Prova", "1"));
  for (const NoteCase& c : kNoteCases) {
    SCOPED_TRACE(c.name);
    CompiledFiles damaged = files;
    c.damage(damaged.cells);
    EXPECT_EQ(decompile(damaged, "Prova", "1").notes, c.notes);
  }
}

TEST(DecompileTest, DamagedCellIsNamedWithItsMetres) {
  const std::string line = emit_line_list(line_description_lines());
  const std::string train = emit_line_list(train_description_lines());
  CompiledFiles files = decode(compile_images(line, train, false));
  files.cells[700].Kind = 8;  // unused: no text makes it
  const Decompilation d = decompile(files, kRoute, kTrain);
  ASSERT_FALSE(d.exact());
  EXPECT_NE(joined(d.differences).find("cell 700 (35000 m): the file holds unused"),
            std::string::npos)
      << joined(d.differences);
  EXPECT_NE(joined(d.notes).find("cell 700 (35000 m) holds Kind 8"), std::string::npos)
      << joined(d.notes);
}

// A plan point moved by hand is no step of the plan walk: the note says where the walk breaks (at
// the next point here, the step along the route being the larger), the differences name the
// point, and the curves found elsewhere stay.
TEST(DecompileTest, DamagedPlanPointIsNamed) {
  const std::string line = emit_line_list(line_description_lines());
  const std::string train = emit_line_list(train_description_lines());
  Compilation c;
  c.RouteId = kRoute;
  c.TrainNumber = kTrain;
  MemoryTexts texts(line, train);
  ASSERT_EQ(compile_scenario(c, texts, 1).end, CompileEnd::Sealed);
  c.TrackPlan.set_double(5000, 0, c.TrackPlan.value(5000, 0) + 0.5);
  Images images = compile_images(line, train, true);
  images.plan = encode_route_plan(c.TrackPlan);
  const Decompilation d = decompile(decode(images), kRoute, kTrain);
  ASSERT_FALSE(d.exact());
  EXPECT_EQ(d.differences.at(0).rfind("plan point 5000 (5000 m), coordinate 0 (file / texts): "
                                      "tag 5 / 5, ",
                                      0),
            0u)
      << joined(d.differences);
  EXPECT_NE(joined(d.notes).find("plan point 5001 is not a step of the plan walk"),
            std::string::npos)
      << joined(d.notes);
  EXPECT_NE(d.line_text.find("curvas6,  70500,  400\r\n"), std::string::npos);
}

TEST(DecompileTest, AnotherIdentityShowsInTheSealedSlots) {
  const std::string line = emit_line_list(line_description_lines());
  const std::string train = emit_line_list(train_description_lines());
  const Decompilation d =
      decompile(decode(compile_images(line, train, false)), "Other_Route", kTrain);
  EXPECT_NE(joined(d.differences).find("slot 85 (file / texts):"), std::string::npos)
      << joined(d.differences);
}

}  // namespace
}  // namespace scengen

namespace scengen {
namespace {

// The generator's varied scenarios, short to the longest: compile, decompile, compile again.
TEST(DecompileTest, GeneratedScenariosRoundTrip) {
  struct Generated {
    int32_t length;
    uint32_t seed;
  };
  const Generated kGenerated[] = {{1000, 1},  {1000, 2},   {2500, 3},    {5000, 4},
                                  {12000, 5}, {40000, 6},  {72000, 7},   {150000, 8},
                                  {333350, 9}, {1000000, 10}};
  for (const Generated& g : kGenerated) {
    SCOPED_TRACE("route of " + std::to_string(g.length) + " m, seed " + std::to_string(g.seed));
    const GeneratedScenario s = generate_varied_scenario(g.length, g.seed);
    for (const bool with_plan : {true, false}) {
      SCOPED_TRACE(with_plan ? "with plan" : "without plan");
      expect_round_trip(s.line_text, s.train_text, with_plan, "Percorso_Prova", "99001");
    }
  }
}

}  // namespace
}  // namespace scengen
