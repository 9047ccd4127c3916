// The model's limits at their edges, each through the whole compile: the last value that fits and
// the first one that does not, with the outcome each gives.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "compiler/compile.h"

namespace scengen {
namespace {

std::string line_text(const std::string& general, const std::string& features = "") {
  return "[generale]\r\n" + general + "[curve]\r\n" + features + "[fine]\r\n";
}

std::string route(int32_t length) {
  return "lunghezza percorso, " + std::to_string(length) + "\r\n";
}

std::string train_text(const std::string& records = "") {
  return "[generale]\r\n" + records + "[fine]\r\n";
}

// `count` tunnels of one cell, 100 m apart from 0 m.
std::string tunnels(int count) {
  std::string text;
  for (int n = 0; n < count; ++n) {
    text +=
        "montagna, " + std::to_string(100 * n) + ", " + std::to_string(100 * n + 50) + ", 2\r\n";
  }
  return text;
}

// `count` information boards 100 m apart from 100 m, in cells 3, 5, 7, ...; board n reads "(T n)".
// Cell 1 stays free: the seal writes its first two values.
std::string boards(int count) {
  std::string text;
  for (int n = 0; n < count; ++n) {
    text += "cartello_indicatore, " + std::to_string(100 * n + 100) + ", (T " + std::to_string(n) +
            ")\r\n";
  }
  return text;
}

// `count` halts of type 28 (they place no cell) and length 0, 400 m apart from 400 m.
std::string halts(int count) {
  std::string text;
  for (int n = 1; n <= count; ++n) {
    text += "stazione, " + std::to_string(400 * n) + ", 28, 0, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, H" +
            std::to_string(n) + "\r\n";
  }
  return text;
}

std::string station(const std::string& type, const std::string& time = "0,0,0") {
  return "stazione, 1000, " + type + ", 200, 0,0,0, 0,0,0, 0,0,0, 0, " + time + ", S\r\n";
}

struct Case {
  const char* what;
  std::string line;
  std::string train;
  int32_t code;
  int32_t position;
  std::function<void(const Compilation&)> check = nullptr;
  CompileEnd end = CompileEnd::Sealed;
};

const std::string kRoute = route(2000);       // cells 0 to 180
const std::string kLongRoute = route(40000);  // cells 0 to 940

const Case kCases[] = {
    // The route length: at most 1000000 m; the track reaches 7000 m beyond it.
    {"route length 1000000", line_text(route(1000000)), train_text(), 0, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.TrackCells.size(), 20141u);
       EXPECT_EQ(c.TrackPlan.last_point(), 1007000);
       EXPECT_EQ(c.ScenarioTable[84].Num2, 1000000);
     }},
    {"route length 1000001", line_text(route(1000001)), train_text(), 1, 0,
     [](const Compilation& c) {
       EXPECT_TRUE(c.TrackCells.empty());
       EXPECT_EQ(c.ScenarioTable[84].Num2, 1000001);  // stored before it is tested
     },
     CompileEnd::NoTrack},

    // The plan cursor: a curve may take it to point 1000000, not past it.
    {"a curve that ends on point 999999", line_text(route(1000000), "curvad1, 999900, 99\r\n"),
     train_text(), 0, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.TrackPlan.tag(1006998, 0), PlanTag::Double);  // the tail runs on
     }},
    {"a curve that would take the cursor past point 1000000",
     line_text(route(1000000), "curvad1, 999900, 100\r\n"), train_text(), 103, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.TrackPlan.tag(1000000, 0), PlanTag::Double);  // computed and kept
       EXPECT_EQ(c.TrackPlan.tag(1000001, 0), PlanTag::Empty);   // and no tail after the stop
     }},
    {"the plan tail alone passes point 1000000", line_text(route(1000000)), train_text(), 0, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.TrackPlan.tag(1006998, 1), PlanTag::Double);
       EXPECT_EQ(c.TrackPlan.tag(1006999, 1), PlanTag::Empty);
     }},

    // Tunnels: the lists hold 80.
    {"80 tunnels", line_text(kRoute, tunnels(80)), train_text(), 0, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.TunnelCount, 80);
       EXPECT_EQ(c.TunnelStart[80], 7900);
       EXPECT_EQ(c.TrackCells[158].Tunnel, 3);  // 50 m after the previous one
     }},
    {"81 tunnels", line_text(kRoute, tunnels(81)), train_text(), 25, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.TunnelCount, 80);
       EXPECT_EQ(c.TrackCells[160].Tunnel, 0);  // nothing of the 81st is written
     }},

    // Information-board texts: slots 80 down to 0.
    {"81 board texts", line_text(kRoute, boards(81)), train_text(), 0, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.ScenarioTable[0].Text, "(T 80)");
       EXPECT_EQ(c.TrackCells[163].Kind, kInformationBoard);
       EXPECT_EQ(c.TrackCells[163].Param1, 0);
     }},
    {"82 board texts", line_text(kRoute, boards(82)), train_text(), 25, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.ScenarioTable[0].Text, "(T 80)");
       EXPECT_EQ(c.TrackCells[165].Kind, kNothing);
     }},

    // Stations: with k board texts, 78 - k of them.
    {"78 stations, no board text", line_text(kLongRoute), train_text(halts(78)), 0, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.ScenarioTable[78].Text, "H78");
       EXPECT_EQ(c.ScenarioTable[79].Text, "");
     }},
    {"79 stations, no board text", line_text(kLongRoute), train_text(halts(79)), 10, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.ScenarioTable[79].Num3, 31600);  // stored before the code
       EXPECT_EQ(c.ScenarioTable[80].Num3, 0);
     }},
    {"75 stations, 3 board texts", line_text(kLongRoute, boards(3)), train_text(halts(75)), 0, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.ScenarioTable[75].Text, "H75");
       EXPECT_EQ(c.ScenarioTable[78].Text, "(T 2)");
     }},
    {"76 stations, 3 board texts", line_text(kLongRoute, boards(3)), train_text(halts(76)), 10, 0,
     [](const Compilation& c) {
       EXPECT_EQ(c.ScenarioTable[76].Text, "H76");
       EXPECT_EQ(c.ScenarioTable[77].Text, "");
     }},
    {"1 station, 77 board texts", line_text(kLongRoute, boards(77)), train_text(halts(1)), 0, 0},
    {"2 stations, 77 board texts", line_text(kLongRoute, boards(77)), train_text(halts(2)), 10, 0},
    {"the first station with 81 board texts still takes slot 1", line_text(kLongRoute, boards(81)),
     train_text(halts(1)), 10, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[1].Text, "H1"); }},

    // Long fields.
    {"a Long of 2147483647", line_text(kRoute + "sfondo uno, 2147483647\r\n"), train_text(), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[85].Num1, 2147483647); }},
    {"a Long of 2147483648", line_text(kRoute + "sfondo uno, 2147483648\r\n"), train_text(), 25, 0},
    {"a Long of -2147483648", line_text(kRoute), train_text("numero vetture, -2147483648\r\n"), 0,
     0, [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[84].Num3, INT32_MIN); }},
    {"a Long of -2147483649", line_text(kRoute), train_text("numero vetture, -2147483649\r\n"), 25,
     0},
    {"leading zeros do not count against the width", line_text(kRoute),
     train_text("numero vetture, 000000000002147483647\r\n"), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[84].Num3, INT32_MAX); }},
    // A station's time in seconds and a reference's progressive + 100 are stored in Longs.
    {"a station time of 2147483647 s", line_text(kLongRoute),
     train_text(station("30", "596523, 0, 847")), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[1].Num4, INT32_MAX); }},
    {"a station time of 2147483648 s", line_text(kLongRoute),
     train_text(station("30", "596523, 0, 848")), 25, 0},
    {"a progressive of 2147483500 + 100",
     line_text(kRoute + "progressiva chilometrica uno, 100, 2147483500, 1\r\n"), train_text(), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[81].Num2, 2147483600); }},
    {"a progressive of 2147483548 + 100",
     line_text(kRoute + "progressiva chilometrica uno, 100, 2147483548, 1\r\n"), train_text(), 25,
     0},

    // Integer fields.
    {"an Integer of 32767", line_text(kRoute), train_text("sabbia, 32767\r\n"), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[86].Small1, 32767); }},
    {"an Integer of 32768", line_text(kRoute), train_text("sabbia, 32768\r\n"), 25, 0},
    {"an Integer of -32768", line_text(kRoute), train_text("sabbia, -32768\r\n"), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[86].Small1, -32768); }},
    {"an Integer of -32769", line_text(kRoute), train_text("sabbia, -32769\r\n"), 25, 0},
    // The maximum-speed board packs its speeds into 16 bits: left * 20 + right / 5.
    {"a packed speed of 32767",
     line_text(kRoute, "indicatori_vmax, 1000, 1638,0,0,0, 35,0,0,0\r\n"), train_text(), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.TrackCells[21].Param1, 32767); }},
    {"a packed speed of 32780", line_text(kRoute, "indicatori_vmax, 1000, 1639,0,0,0, 0,0,0,0\r\n"),
     train_text(), 25, 0},

    // Byte fields.
    {"a Byte of 255", line_text(kLongRoute), train_text(station("255")), 0, 0,
     [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[1].Tag, 255); }},
    {"a Byte of 256", line_text(kLongRoute), train_text(station("256")), 25, 0},
    {"a Byte of -1", line_text(kLongRoute), train_text(station("-1")), 25, 0},
    {"a Byte of 255 with leading zeros", line_text(kLongRoute), train_text(station("000000255")), 0,
     0, [](const Compilation& c) { EXPECT_EQ(c.ScenarioTable[1].Tag, 255); }},
};

TEST(Limits, AtTheirEdges) {
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.what);
    Compilation c;
    c.RouteId = "Veltrano_Quarnelo";
    c.TrainNumber = "58316";
    MemoryTexts texts(test.line, test.train);
    const CompileOutcome outcome = compile_scenario(c, texts, 1);
    EXPECT_EQ(outcome.end, test.end);
    EXPECT_EQ(c.StatusCode, test.code);
    EXPECT_EQ(c.StatusPosition, test.position);
    if (test.check) test.check(c);
  }
}

}  // namespace
}  // namespace scengen
