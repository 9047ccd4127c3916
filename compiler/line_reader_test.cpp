#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/field_reader.h"
#include "compiler/read_descriptions.h"

namespace scengen {
namespace {

constexpr int32_t kUnchanged = -777;  // StatusPosition before the compile
const char kTrainText[] = "[generale]\r\n[fine]\r\n";
const char kBinary[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe,\x80\"\0\x01";

// Writes "\n" as the CR LF of a description text.
std::string crlf(std::string_view text) {
  std::string out;
  for (char ch : text) {
    if (ch == '\n') out += '\r';
    out += ch;
  }
  return out;
}

// A line description of the given route length with `features` in its feature section.
std::string line_text(std::string_view features, int32_t route = 2000) {
  return crlf("[generale]\nlunghezza percorso, " + std::to_string(route) + "\n[curve]\n" +
              std::string(features) + "[fine]\n");
}

struct LineRun {
  Compilation c;
  bool line_exists = true;
  bool train_exists = true;
};

LineRun compile_line(std::optional<std::string> line, int32_t flag = 0) {
  LineRun run;
  run.c.RouteId = "Veltrano_Quarnelo";
  run.c.TrainNumber = "58316";
  run.c.CompileFlag = flag;
  run.c.StatusPosition = kUnchanged;
  MemoryTexts texts(std::move(line), std::string(kTrainText));
  read_descriptions(run.c, texts);
  run.line_exists = texts.line_exists();
  run.train_exists = texts.train_exists();
  return run;
}

// The codes after which read_descriptions stops: the train text is neither read nor deleted.
bool stops_before_train(int32_t code) {
  for (int32_t stop : {1, 3, 4, 5, 6, 21, 101, 102, 103})
    if (code == stop) return true;
  return false;
}

enum Field {
  Kind,
  Param1,
  Param2,
  Param3,
  Param4,
  Tunnel,
  Gradient,
  Num1,
  Num2,
  Num3,
  Cells,
  Tunnels
};

struct Expect {
  Field field;
  int index;  // cell or slot; unused for Cells and Tunnels
  int64_t value;
};

int64_t actual(const Compilation& c, const Expect& e) {
  if (e.field == Cells) return static_cast<int64_t>(c.TrackCells.size());
  if (e.field == Tunnels) return c.TunnelCount;
  if (e.field >= Num1) {
    const ScenarioEntry& slot = c.ScenarioTable[e.index];
    return e.field == Num1 ? slot.Num1 : e.field == Num2 ? slot.Num2 : slot.Num3;
  }
  if (e.index < 0 || e.index >= static_cast<int>(c.TrackCells.size())) return -1;
  const TrackCell& cell = c.TrackCells[e.index];
  switch (e.field) {
    case Kind:
      return cell.Kind;
    case Param1:
      return cell.Param1;
    case Param2:
      return cell.Param2;
    case Param3:
      return cell.Param3;
    case Param4:
      return cell.Param4;
    case Tunnel:
      return cell.Tunnel;
    default:
      return cell.Gradient;
  }
}

struct Case {
  const char* what;
  std::string line;
  int32_t code;
  int32_t position;
  std::vector<Expect> expect;
  int32_t flag = 0;
};

std::string tunnels(int count) {
  std::string text;
  for (int n = 0; n < count; ++n)
    text += "montagna, " + std::to_string(100 * n) + ", " + std::to_string(100 * n + 50) + ", 2\n";
  return line_text(text);
}

std::string boards(int count) {
  std::string text;
  for (int n = 0; n < count; ++n)
    text += "cartello_indicatore, " + std::to_string(100 * n) + ", (T " + std::to_string(n) + ")\n";
  return line_text(text);
}

std::string comment_fields(int count) {
  std::string text;
  for (int n = 0; n < count; ++n) text += "-c" + std::to_string(n) + ",";
  return text;
}

// Route 2000 m: cells 0 to 180, a position passes the track check up to 8900 m.
const Case kCases[] = {
    // The search for the general section.
    {"no general section", crlf("a, b\n[fine]\n"), 102, kUnchanged, {{Cells, 0, 0}}},
    {"[generale] as the last field", crlf("x\n[generale]\n"), 102, kUnchanged, {}},
    {"[generale] in capitals",
     crlf("[GENERALE]\nlunghezza percorso, 2000\n[fine]\n"),
     0,
     kUnchanged,
     {{Cells, 0, 181}}},
    {"[generale] inside a field",
     crlf("intro [Generale] x\nlunghezza percorso, 2000\n[x]\n"),
     0,
     kUnchanged,
     {{Cells, 0, 181}}},
    {"an empty text", "", 25, kUnchanged, {{Cells, 0, 0}}},
    {"blanks only", "   ", 102, kUnchanged, {}},
    {"a binary file", std::string(kBinary, sizeof kBinary - 1), 102, kUnchanged, {}},

    // The route length.
    {"route length", line_text(""), 0, kUnchanged, {{Cells, 0, 181}, {Num2, 84, 2000}}},
    {"route length 0", line_text("", 0), 0, kUnchanged, {{Cells, 0, 141}}},
    {"route length 1000000", line_text("", 1000000), 0, kUnchanged, {{Cells, 0, 20141}}},
    {"route length above 1000000",
     line_text("", 1000001),
     1,
     kUnchanged,
     {{Cells, 0, 0}, {Num2, 84, 1000001}}},
    {"negative route length", line_text("", -50), 25, kUnchanged, {{Cells, 0, 0}}},
    {"route length keyword ignores case",
     crlf("[generale]\nPERCORSO Lunghezza, 1000\n[x]\n"),
     0,
     kUnchanged,
     {{Cells, 0, 161}}},
    {"a second route length sizes afresh",
     crlf("[generale]\nlunghezza percorso, 2000\nlunghezza percorso, 1000\n[x]\n"),
     0,
     kUnchanged,
     {{Cells, 0, 161}}},
    {"no route length", crlf("[generale]\n[curve]\n[fine]\n"), 25, kUnchanged, {{Cells, 0, 0}}},
    {"no route length, a gradient",
     crlf("[generale]\n[curve]\npendenza, 0, 5\n[fine]\n"),
     25,
     kUnchanged,
     {{Cells, 0, 0}}},
    {"no route length with curves",
     crlf("[generale]\n[curve]\n[fine]\n"),
     25,
     kUnchanged,
     {{Cells, 0, 0}},
     1},

    // References and background selectors; keywords compared exactly.
    {"reference uno",
     crlf("[generale]\nlunghezza percorso, 2000\nprogressiva chilometrica uno, 9550, 218300, "
          "1\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 81, 9550},
      {Num2, 81, 218400},
      {Num3, 81, 1},
      {Num1, 82, 0},
      {Num2, 82, 0},
      {Num3, 82, 0},
      {Num1, 83, 0},
      {Num2, 83, 0},
      {Num3, 83, 0}}},
    {"three references ordered",
     crlf("[generale]\nlunghezza percorso, 2000\nprogressiva tre, 3000, 100000, 0\nprogressiva "
          "due, 9000, 300000, 1\nprogressiva uno, 5000, 200000, 0\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 81, 9000}, {Num2, 81, 300100}, {Num1, 82, 5000}, {Num1, 83, 3000}}},
    {"references sharing the largest position",
     crlf("[generale]\nlunghezza percorso, 2000\nprogressiva tre, 9000, 100000, 0\nprogressiva "
          "due, 9000, 300000, 1\nprogressiva uno, 5000, 200000, 0\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 81, 0}, {Num2, 81, 0}, {Num1, 82, 0}, {Num1, 83, 0}}},
    {"reference keyword in capitals is no reference",
     crlf("[generale]\nlunghezza percorso, 2000\nPROGRESSIVA uno, 9550, 218300, 1\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 81, 0}, {Num2, 81, 0}, {Num1, 83, 0}}},
    {"background selectors",
     crlf("[generale]\nlunghezza percorso, 2000\nsfondo uno, 3\nsfondo due, 4\nsfondo tre, "
          "5\nSFONDO UNO, 9\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 85, 3}, {Num2, 85, 5}, {Num3, 85, 4}}},
    {"one field, two keywords, in table order",
     crlf("[generale]\nlunghezza percorso, 2000\nsfondo uno due, 3, 4\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 85, 3}, {Num3, 85, 4}, {Num2, 85, 0}}},
    {"a reference and a selector in one field",
     crlf("[generale]\nlunghezza percorso, 2000\nprogressiva sfondo uno, 100, 200, 0, 7\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 81, 100}, {Num2, 81, 200}, {Num1, 85, 7}}},

    // The cab-signal repetition.
    {"repetition of 9 codes",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali 9 codici, 1000, 5000\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 86, 1000}, {Num2, 86, 5000}, {Num3, 86, 9}}},
    {"4 is tested before 9",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali 9 o 4, 1000, 5000\n[x]\n"),
     0,
     kUnchanged,
     {{Num3, 86, 4}}},
    {"repetition end 0: no repetition",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali 9, 1000, 0\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 86, 1000}, {Num2, 86, 0}, {Num3, 86, 0}}},
    {"repetition naming no count",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali, 1000, 5000\n[x]\n"),
     5,
     kUnchanged,
     {{Num1, 86, 1000}, {Num2, 86, 5000}, {Num3, 86, 0}}},
    {"repetition end 0 naming no count",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali, 1000, 0\n[x]\n"),
     5,
     kUnchanged,
     {}},
    {"repetition start off the 50 m grid",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali 9, 1025, 5025\n[x]\n"),
     3,
     kUnchanged,
     {}},
    {"repetition end off the 50 m grid",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali 9, 1000, 5025\n[x]\n"),
     4,
     kUnchanged,
     {}},
    {"negative repetition on the grid",
     crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali 4, -50, 100\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 86, -50}, {Num3, 86, 4}}},
    {"repetition keyword in capitals is no repetition",
     crlf("[generale]\nlunghezza percorso, 2000\nRIPETIZIONE SEGNALI, 1025, 5025\n[x]\n"),
     0,
     kUnchanged,
     {{Num1, 86, 0}}},

    // Where the general section ends, and comment fields.
    {"a header in capitals ends the general section",
     crlf("[generale]\nlunghezza percorso, 2000\n[CURVE]\npendenza, 1000, 5\n[fine]\n"),
     0,
     kUnchanged,
     {{Gradient, 19, 100}, {Gradient, 20, 105}}},
    {"a bracketed field beginning with - does not end it",
     crlf("[generale]\nlunghezza percorso, 2000\n" + comment_fields(10) +
          "-[curve]\npendenza, 1000, 5\n[curve]\n[fine]\n"),
     0,
     kUnchanged,
     {{Gradient, 20, 100}}},
    {"ten comment fields are passed over, the eleventh is examined",
     crlf("[generale]\n" + comment_fields(10) + "lunghezza percorso -, 2000\n[x]\n"),
     0,
     kUnchanged,
     {{Cells, 0, 181}}},
    {"a comment field in the general section",
     crlf("[generale]\nlunghezza percorso, 2000\n-lunghezza percorso, 1000\n[x]\n"),
     0,
     kUnchanged,
     {{Cells, 0, 181}}},
    {"the field replacing a comment is examined at the end of the file",
     crlf("[generale]\n-a\nlunghezza percorso"),
     25,
     kUnchanged,
     {{Cells, 0, 0}}},

    // Gradients.
    {"two gradients",
     line_text("pendenza, 0, 5\npendenza, 1200, -3\n"),
     0,
     kUnchanged,
     {{Gradient, 0, 105},
      {Gradient, 23, 105},
      {Gradient, 24, 97},
      {Gradient, 177, 97},
      {Gradient, 178, 0},
      {Gradient, 180, 0}}},
    {"two records on one line",
     line_text("pendenza, 0, 5, pendenza, 1200, -3\n"),
     0,
     kUnchanged,
     {{Gradient, 23, 105}, {Gradient, 24, 97}}},
    {"a second gradient in the cursor's cell still writes it",
     line_text("pendenza, 0, 5\npendenza, 1000, 3\npendenza, 1010, 7\n"),
     0,
     kUnchanged,
     {{Gradient, 19, 105}, {Gradient, 20, 103}, {Gradient, 21, 107}}},
    {"gradient keyword ignores case",
     line_text("PenDenza, 1000, 5\n"),
     0,
     kUnchanged,
     {{Gradient, 19, 100}, {Gradient, 20, 105}}},
    {"a gradient of -101 keeps its low 8 bits",
     line_text("pendenza, 0, -101\n"),
     0,
     kUnchanged,
     {{Gradient, 0, 255}}},
    {"gradient at the last position on the track",
     line_text("pendenza, 8900, 1\n"),
     0,
     kUnchanged,
     {{Gradient, 177, 100}, {Gradient, 178, 101}, {Gradient, 179, 0}}},
    {"gradient beyond the track",
     line_text("pendenza, 0, 5\npendenza, 8901, 1\n"),
     15,
     8901,
     {{Gradient, 0, 105}, {Gradient, 177, 105}, {Gradient, 178, 0}}},
    {"gradient at a negative position",
     line_text("pendenza, -50, 1\n"),
     15,
     -50,
     {{Gradient, 0, 100}}},
    {"gradients that fill the last cells",
     line_text("pendenza, 6900, 1\npendenza, 6900, 2\npendenza, 6900, 3\n", 0),
     0,
     kUnchanged,
     {{Gradient, 137, 100}, {Gradient, 138, 101}, {Gradient, 139, 102}, {Gradient, 140, 103}}},
    {"gradients that run past the last cell",
     line_text("pendenza, 6900, 1\npendenza, 6900, 2\npendenza, 6900, 3\npendenza, 6900, 4\n", 0),
     25,
     kUnchanged,
     {}},

    // Curves, read only when curves are computed.
    {"a curve without a class", line_text("curvad, 1000, 100\n"), 103, kUnchanged, {}, 1},
    {"a curve class 7 is no class", line_text("curvad70, 1000, 100\n"), 103, kUnchanged, {}, 1},
    {"a curve is not read without curves", line_text("curvad, 1000, 100\n"), 0, kUnchanged, {}},
    {"curve beyond the track", line_text("curvad6, 8901, 10\n"), 15, 8901, {}, 1},
    {"curve beyond the track before its class", line_text("curvad, 8950, 10\n"), 15, 8950, {}, 1},
    {"curve at a negative position", line_text("curvad6, -1, 10\n"), 15, -1, {}, 1},
    {"curve ending on the last computed point",
     line_text("curvad6, 8000, 998\n"),
     0,
     kUnchanged,
     {},
     1},
    {"curve ending past the last computed point",
     line_text("curvad6, 8000, 999\n"),
     15,
     8000,
     {},
     1},

    // Tunnels.
    {"tunnels with markers",
     line_text("montagna, 13050, 13650, 12\nmontagna, 36900, 36950, 12\n", 40000),
     0,
     kUnchanged,
     {{Tunnel, 260, 0},
      {Tunnel, 261, 2},
      {Tunnel, 272, 2},
      {Tunnel, 273, 0},
      {Kind, 263, 0},
      {Kind, 264, 11},
      {Kind, 268, 11},
      {Kind, 272, 11},
      {Tunnel, 738, 2},
      {Tunnel, 737, 0},
      {Tunnel, 739, 0},
      {Kind, 738, 0},
      {Tunnels, 0, 2}}},
    {"a tunnel 150 m after the previous one is of kind 3",
     line_text("montagna, 1000, 1400, 12\nmontagna, 1550, 2000, 12\n"),
     0,
     kUnchanged,
     {{Tunnel, 27, 2}, {Tunnel, 31, 3}, {Kind, 34, 11}, {Tunnel, 38, 3}}},
    {"a tunnel 200 m after keeps its kind",
     line_text("montagna, 1000, 1400, 12\nmontagna, 1600, 2000, 12\n"),
     0,
     kUnchanged,
     {{Tunnel, 32, 2}}},
    {"tunnel beyond the track", line_text("montagna, 8901, 8950, 2\n"), 15, 8901, {}},
    {"tunnel at a negative position",
     line_text("montagna, -50, 100, 2\n"),
     15,
     -50,
     {{Tunnel, 0, 0}}},
    {"tunnel with a negative end", line_text("montagna, 50, -100, 2\n"), 15, -100, {}},
    {"tunnel ending on the last cell",
     line_text("montagna, 8000, 9075, 2\n"),
     0,
     kUnchanged,
     {{Tunnel, 180, 2}}},
    {"tunnel ending past the last cell",
     line_text("montagna, 8000, 9100, 2\n"),
     15,
     8000,
     {{Tunnel, 160, 0}, {Tunnels, 0, 0}}},
    {"eighty tunnels",
     tunnels(80),
     0,
     kUnchanged,
     {{Tunnels, 0, 80}, {Tunnel, 0, 2}, {Tunnel, 2, 3}, {Tunnel, 158, 3}}},
    {"an 81st tunnel", tunnels(81), 25, kUnchanged, {{Tunnels, 0, 80}, {Tunnel, 160, 0}}},

    // Maximum-speed boards.
    {"a maximum-speed board",
     line_text("indicatori_vmax, 5050, 140, 160, 190, 1, 140, 160, 180, 2\n", 6000),
     0,
     kUnchanged,
     {{Kind, 102, 6},
      {Param1, 102, 2828},
      {Param2, 102, 3232},
      {Param3, 102, 3836},
      {Param4, 102, 12}}},
    {"empty speed fields read 0",
     line_text("indicatori_vmax,  5050,  110,  115,  120,  0,  ,  ,  ,  0\n", 6000),
     0,
     kUnchanged,
     {{Param1, 102, 2200}, {Param2, 102, 2300}, {Param3, 102, 2400}}},
    {"board on an information board",
     line_text("cartello_indicatore, 1000, (A)\nindicatori_v, 1000, 1,1,1,0, 1,1,1,0\n"),
     21,
     1000,
     {{Kind, 21, 14}, {Param1, 21, 80}}},
    {"board on a tunnel marker",
     line_text("montagna, 1000, 1400, 12\nindicatori_v, 1100, 5,5,5,0, 5,5,5,0\n"),
     0,
     kUnchanged,
     {{Kind, 23, 6}, {Param1, 23, 101}, {Tunnel, 23, 2}}},
    {"board beyond the track", line_text("indicatori_v, 8901, 5,5,5,0, 5,5,5,0\n"), 15, 8901, {}},
    {"board at a negative position",
     line_text("indicatori_v, -10, 5,5,5,0, 5,5,5,0\n"),
     15,
     -10,
     {{Kind, 0, 0}}},
    {"a packed speed too large",
     line_text("indicatori_v, 1000, 1639,0,0,0, 0,0,0,0\n"),
     25,
     kUnchanged,
     {{Kind, 21, 6}}},

    // Information boards.
    {"two information boards",
     line_text("cartello_indicatore, 5050, (P.B.A.)(P. 253)\nCartello Indicatore, 100, (C)\n"),
     0,
     kUnchanged,
     {{Kind, 102, 14}, {Param1, 102, 80}, {Kind, 3, 14}, {Param1, 3, 79}}},
    {"an information board needs both words",
     line_text("cartello, 5050, x\nindicatore, 5050, y\n"),
     0,
     kUnchanged,
     {{Kind, 102, 0}}},
    {"information board on a maximum-speed board",
     line_text("indicatori_v, 1000, 1,1,1,0, 1,1,1,0\ncartello_indicatore, 1000, (A)\n"),
     6,
     1000,
     {{Kind, 21, 6}}},
    {"information board on a tunnel marker",
     line_text("montagna, 1000, 1400, 12\ncartello_indicatore, 1100, (A)\n"),
     0,
     kUnchanged,
     {{Kind, 23, 14}, {Tunnel, 23, 2}}},
    {"information board beyond the track",
     line_text("cartello_indicatore, 8901, (A)\n"),
     15,
     8901,
     {}},
    {"information board at a negative position",
     line_text("cartello_indicatore, -100, (A)\n"),
     15,
     -100,
     {}},
    {"81 information boards",
     boards(81),
     0,
     kUnchanged,
     {{Param1, 1, 80}, {Kind, 161, 14}, {Param1, 161, 0}}},
    {"an 82nd information board", boards(82), 25, kUnchanged, {{Kind, 163, 0}}},

    // The feature section's fields.
    {"section headers match no feature",
     line_text("[pendenze]\n[montagne]\n[cartelli]\n[indicazioni]\n"),
     0,
     kUnchanged,
     {{Gradient, 0, 100}, {Tunnels, 0, 0}}},
    {"two comment fields are passed over, the third is examined",
     line_text("-a, -b, -pendenza, 1000, 5\n"),
     0,
     kUnchanged,
     {{Gradient, 20, 105}}},
    {"a field holding two feature keywords reads both",
     line_text("pendenza montagna, 1000, 5, 2000, 2100, 2\n"),
     0,
     kUnchanged,
     {{Gradient, 20, 105}, {Tunnel, 40, 2}, {Tunnel, 41, 2}, {Tunnel, 42, 0}}},
    {"a keyword that ends the file is not examined",
     crlf("[generale]\nlunghezza percorso, 2000\n[curve]\npendenza, 1000, 5\npendenza"),
     0,
     kUnchanged,
     {{Gradient, 20, 105}}},
    {"a comment replacement that ends the file is not examined",
     crlf("[generale]\nlunghezza percorso, 2000\n[curve]\n-a\npendenza"),
     0,
     kUnchanged,
     {}},
    {"the text ends inside a record",
     crlf("[generale]\nlunghezza percorso, 2000\n[curve]\npendenza, 100\n"),
     25,
     kUnchanged,
     {}},
    {"a position too large for a Long",
     line_text("pendenza, 99999999999, 1\n"),
     25,
     kUnchanged,
     {}},
    {"a route length too large for a Long",
     crlf("[generale]\nlunghezza percorso, 2147483648\n[x]\n"),
     25,
     kUnchanged,
     {{Cells, 0, 0}}},
};

TEST(LineReader, Cases) {
  for (const Case& test : kCases) {
    const LineRun run = compile_line(test.line, test.flag);
    EXPECT_EQ(run.c.StatusCode, test.code) << test.what;
    EXPECT_EQ(run.c.StatusPosition, test.position) << test.what;
    EXPECT_FALSE(run.line_exists) << test.what;
    // The train text goes with the train half, or with the code-25 handler.
    EXPECT_EQ(run.train_exists, stops_before_train(test.code)) << test.what;
    for (const Expect& e : test.expect)
      EXPECT_EQ(actual(run.c, e), e.value)
          << test.what << ": field " << e.field << " at " << e.index;
  }
}

TEST(LineReader, AMissingTextIsCode101AndNothingIsDeleted) {
  const LineRun run = compile_line(std::nullopt);
  EXPECT_EQ(run.c.StatusCode, 101);
  EXPECT_EQ(run.c.StatusPosition, kUnchanged);
  EXPECT_TRUE(run.train_exists);
  EXPECT_TRUE(run.c.TrackCells.empty());
  EXPECT_EQ(run.c.ScenarioTable[85].Text, "Veltrano_Quarnelo");
  EXPECT_EQ(run.c.ScenarioTable[86].Text, "58316");
}

class UnreadableTexts : public MemoryTexts {
 public:
  UnreadableTexts() : MemoryTexts(std::string("[generale]"), std::string(kTrainText)) {}
  TextRead read_line_text() override { return {TextStatus::Unreadable, {}}; }
};

TEST(LineReader, AnUnreadableTextIsCode25) {
  Compilation c;
  UnreadableTexts texts;
  read_descriptions(c, texts);
  EXPECT_EQ(c.StatusCode, 25);
  EXPECT_FALSE(texts.line_exists());
  EXPECT_FALSE(texts.train_exists());
}

TEST(LineReader, BoardTextsFillTheSlotsDownward) {
  Compilation c;
  ReadingState state;
  MemoryTexts texts(
      line_text("cartello_indicatore, 5050, (P.B.A.)(P. 253)  \ncartello_indicatore, 100, "
                "\"(C.C. Km), (196.436)\" x\n"),
      std::string(kTrainText));
  ASSERT_TRUE(read_line_description(c, texts, state));
  EXPECT_EQ(c.StatusCode, 0);
  EXPECT_EQ(c.ScenarioTable[80].Text, "(P.B.A.)(P. 253)");
  EXPECT_EQ(c.ScenarioTable[79].Text, "(C.C. Km), (196.436)");
  EXPECT_EQ(c.ScenarioTable[78].Text, "");
  EXPECT_EQ(state.next_board_slot, 78);
  EXPECT_FALSE(texts.line_exists());
  EXPECT_TRUE(texts.train_exists());  // the train half is the caller's next step
}

TEST(LineReader, ThePlanOfARouteWithACurve) {
  const LineRun run = compile_line(line_text("curvad6, 1000, 100\n"), 1);
  ASSERT_EQ(run.c.StatusCode, 0);
  const TrackPlan& plan = run.c.TrackPlan;
  ASSERT_TRUE(plan.exists());
  ASSERT_EQ(plan.last_point(), 9000);
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    EXPECT_EQ(plan.tag(0, coordinate), PlanTag::Integer);
    EXPECT_EQ(plan.tag(1, coordinate), PlanTag::Integer);
    EXPECT_EQ(plan.tag(8999, coordinate), PlanTag::Empty);
    EXPECT_EQ(plan.tag(9000, coordinate), PlanTag::Empty);
  }
  EXPECT_EQ(plan.value(0, 0), 0.0);
  EXPECT_EQ(plan.value(0, 1), 0.0);
  EXPECT_EQ(plan.value(1, 0), 0.0);
  EXPECT_EQ(plan.value(1, 1), 1.0);
  for (int32_t p = 2; p <= 8998; ++p) {
    ASSERT_EQ(plan.tag(p, 0), PlanTag::Double) << p;
    ASSERT_EQ(plan.tag(p, 1), PlanTag::Double) << p;
  }
  EXPECT_EQ(plan.value(1000, 0), 0.0);
  EXPECT_EQ(plan.value(1000, 1), 1000.0);
  EXPECT_EQ(plan.value(1001, 0), 0.003);
  EXPECT_EQ(plan.value(1001, 1), 1001.0);
  // After the curve the route runs straight on in its last direction.
  const double step0 = plan.value(1100, 0) - plan.value(1099, 0);
  EXPECT_NEAR(plan.value(8998, 0) - plan.value(8997, 0), step0, 1e-9);
  EXPECT_GT(step0, 0.29);  // turned by about 100 * 0.003 rad
}

TEST(LineReader, CurveClassAndSide) {
  struct Case {
    const char* keyword;
    double point_1001;  // coordinate 0 of the first curved point
  };
  const Case cases[] = {{"curvad6", 0.003},    {"curvas6", -0.003},  {"CURVAS6", -0.003},
                        {"curvad21", 0.0001},  {"curvad12", 0.0001}, {"curva5 d", 0.002},
                        {"xcurvaS4y", -0.001}, {"curvad3", 0.0004}};
  for (const Case& test : cases) {
    const LineRun run = compile_line(line_text(std::string(test.keyword) + ", 1000, 10\n"), 1);
    EXPECT_EQ(run.c.StatusCode, 0) << test.keyword;
    EXPECT_EQ(run.c.TrackPlan.value(1001, 0), test.point_1001) << test.keyword;
  }
}

TEST(LineReader, CurvesBehindTheCursor) {
  // The second curve starts behind the cursor and turns from it on; the third ends behind it.
  const LineRun run =
      compile_line(line_text("curvad6, 1000, 100\ncurvas6, 500, 700\ncurvad6, 100, 200\n"), 1);
  ASSERT_EQ(run.c.StatusCode, 0);
  const TrackPlan& plan = run.c.TrackPlan;
  // Point 1101 is the first one of the left curve: its step turns back by 0.003.
  const auto step0 = [&](int32_t p) { return plan.value(p, 0) - plan.value(p - 1, 0); };
  EXPECT_NEAR(step0(1101) - step0(1100), -0.003 * (plan.value(1100, 1) - plan.value(1099, 1)),
              1e-12);
  EXPECT_NEAR(step0(1300), step0(1201), 1e-9);  // straight after 1200
}

TEST(LineReader, ThePlanLimit) {
  const std::string head = "[generale]\nlunghezza percorso, 1000000\n[curve]\n";
  const LineRun reaching =
      compile_line(crlf(head + "curvad1, 999900, 99\n[fine]\n"), 1);  // ends at 999999
  EXPECT_EQ(reaching.c.StatusCode, 0);
  const LineRun passing = compile_line(crlf(head + "curvad1, 999900, 100\n[fine]\n"), 1);
  EXPECT_EQ(passing.c.StatusCode, 103);
  EXPECT_EQ(passing.c.StatusPosition, kUnchanged);
  EXPECT_TRUE(passing.train_exists);
  EXPECT_EQ(passing.c.TrackPlan.tag(1000000, 0), PlanTag::Double);
  EXPECT_EQ(passing.c.TrackPlan.tag(1000001, 0), PlanTag::Empty);
}

TEST(LineReader, TheTrackCheckEndsTheLineButNotTheRun) {
  // After a code 15 the end steps still run: the gradient tail and the plan tail.
  const LineRun run = compile_line(line_text("pendenza, 0, 5\npendenza, 9000, 1\n"), 1);
  EXPECT_EQ(run.c.StatusCode, 15);
  EXPECT_EQ(run.c.StatusPosition, 9000);
  EXPECT_EQ(run.c.TrackCells[177].Gradient, 105);
  EXPECT_EQ(run.c.TrackPlan.tag(8998, 1), PlanTag::Double);
  EXPECT_FALSE(run.train_exists);
}

TEST(LineReader, ErrorsPointAtTheirRecord) {
  struct Case {
    const char* what;
    std::string line;
    int32_t code;
    int line_number, column;
  };
  const Case cases[] = {
      {"track check", line_text("pendenza, 0, 5\n  pendenza, 8950, 1\n"), 15, 5, 3},
      {"board on a board",
       line_text("indicatori_v, 1000, 1,1,1,0, 1,1,1,0\n cartello_indicatore, 1000, A\n"), 6, 5, 2},
      {"number too large", line_text("pendenza, 99999999999, 1\n"), 25, 4, 11},
      {"packed speed too large", line_text("x, indicatori_v, 1000, 1639,0,0,0, 0,0,0,0\n"), 25, 4,
       4},
      {"an 81st tunnel", tunnels(81), 25, 84, 1},
      {"repetition", crlf("[generale]\nlunghezza percorso, 2000\nripetizione segnali, 0, 0\n"), 5,
       3, 1},
  };
  for (const Case& test : cases) {
    const LineRun run = compile_line(test.line);
    EXPECT_EQ(run.c.StatusCode, test.code) << test.what;
    ASSERT_TRUE(run.c.StatusSource.has_value()) << test.what;
    EXPECT_EQ(run.c.StatusSource->text, TextKind::Line) << test.what;
    EXPECT_EQ(run.c.StatusSource->line, test.line_number) << test.what;
    EXPECT_EQ(run.c.StatusSource->column, test.column) << test.what;
  }
  // Without an error no place is recorded.
  EXPECT_FALSE(compile_line(line_text("pendenza, 0, 5\n")).c.StatusSource.has_value());
}

// Texts made of keyword pieces, numbers and separators in random order never take the reader
// outside the model: each gives one of the line codes, and a sized track matches its length.
TEST(LineReader, HostileTextsStayInsideTheModel) {
  const char* const pieces[] = {"[generale]",
                                "lunghezza percorso",
                                "progressiva uno",
                                "progressiva tre",
                                "sfondo due",
                                "ripetizione segnali 9",
                                "ripetizione segnali 4",
                                "[curve]",
                                "pendenza",
                                "curvad6",
                                "curvas",
                                "montagna",
                                "indicatori_vmax",
                                "cartello_indicatore",
                                "-",
                                "-[x]",
                                "\"",
                                "[fine]",
                                "",
                                "x",
                                "\xFF\x00"};
  const char* const numbers[] = {"0",           "1",    "25",    "50",         "75",
                                 "100",         "1000", "2000",  "8900",       "9000",
                                 "-50",         "-1",   "12",    "2147483647", "-2147483648",
                                 "99999999999", "1639", "20000", "+50",        "1e5"};
  const char* const separators[] = {",", "\r\n", " ", "\n", "\r", ",,", "\t"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 400; ++round) {
    std::string text = random() % 8 ? "[generale]\r\nlunghezza percorso, 2000\r\n" : "";
    const int fields = static_cast<int>(random() % 60);
    for (int n = 0; n < fields; ++n) {
      text += random() % 2 ? pieces[random() % std::size(pieces)]
                           : numbers[random() % std::size(numbers)];
      text += separators[random() % std::size(separators)];
    }
    const LineRun run = compile_line(text, static_cast<int32_t>(random() % 2));
    const int32_t code = run.c.StatusCode;
    EXPECT_TRUE(code == 0 || code == 1 || code == 2 || code == 3 || code == 4 || code == 5 ||
                code == 6 || code == 15 || code == 21 || code == 25 || code == 102 || code == 103)
        << code << " for " << text;
    EXPECT_FALSE(run.line_exists);
    if (!run.c.TrackCells.empty()) {
      // A rejected length (code 1, or 25 for a negative one) stays in slot 84 unsized.
      const int64_t length = run.c.ScenarioTable[84].Num2;
      const int64_t cells = static_cast<int64_t>(run.c.TrackCells.size());
      if (code != 1 && code != 25) {
        EXPECT_EQ(cells, nearest((length + 7000) / 50.0) + 1) << text;
      }
      EXPECT_GE(cells, 141);
      EXPECT_LE(cells, 20141);
    }
  }
}

}  // namespace
}  // namespace scengen
