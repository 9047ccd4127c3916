#include "texts/line_description.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "testing/text_lines.h"

namespace scengen {
namespace {

struct Curve {
  const char* keyword;
  int position;
  int length;
};

// The curves of the route, in file order.
constexpr Curve kCurves[] = {
    {"curvad6", 1000, 300},  {"curvad1", 1400, 900},   {"curvad4", 4200, 300},
    {"curvad3", 4500, 250},  {"curvas1", 4900, 200},   {"curvad1", 5200, 100},
    {"curvas3", 8000, 600},  {"curvas2", 10000, 400},  {"curvas3", 10400, 1500},
    {"curvad4", 18200, 500}, {"curvas3", 21000, 2250}, {"curvad3", 25000, 500},
    {"curvas4", 27250, 300}, {"curvas1", 27550, 3000}, {"curvad3", 34500, 1250},
    {"curvad4", 35750, 550}, {"curvad4", 37100, 650},  {"curvas2", 38100, 2000},
    {"curvas1", 43700, 700}, {"curvas4", 48100, 500},  {"curvas1", 54800, 600},
    {"curvad3", 58200, 600}, {"curvad4", 63150, 900},  {"curvas2", 66000, 850},
    {"curvad1", 68000, 900}, {"curvas6", 70500, 400},
};

// The gradient profile: position, per mille.
constexpr std::array<int, 2> kGradients[] = {
    {0, 0},      {1200, 5},  {1750, 0},   {9850, -3},  {11850, 0},  {20400, -1}, {35750, 0},
    {50850, -1}, {54500, 0}, {68100, -2}, {68200, -4}, {70750, -2}, {70850, 0},
};

// The maximum-speed boards: posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
// kEmpty marks a field left empty.
constexpr int kEmpty = -1;
constexpr std::array<int, 9> kSpeedBoards[] = {
    {700, 30, 30, 30, 0, 30, 30, 30, 0},
    {1250, 90, 95, 100, 0, 90, 95, 100, 0},
    {2000, 100, 105, 115, 0, 100, 105, 115, 0},
    {5050, 110, 115, 120, 0, kEmpty, kEmpty, kEmpty, 0},
    {8550, 100, 105, 115, 0, 100, 105, 115, 0},
    {12400, 135, 140, 150, 0, 135, 140, 150, 0},
    {15800, 140, 150, 155, 0, 140, 150, 155, 0},
    {21900, 140, 160, 190, 0, 140, 160, 180, 0},
    {23500, 140, 160, 190, 0, 140, 160, 180, 0},
    {30350, 140, 155, 160, 2, 140, 155, 160, 2},
    {30850, 140, 155, 160, 1, 140, 155, 160, 1},
    {31350, 140, 155, 160, 0, 140, 155, 160, 0},
    {32950, 110, 120, 125, 2, 110, 120, 125, 2},
    {33450, 110, 120, 125, 1, 110, 120, 125, 1},
    {33900, 110, 120, 125, 0, 110, 120, 125, 0},
    {38250, 140, 160, 165, 0, 140, 160, 165, 0},
    {44850, 125, 130, 140, 2, 125, 130, 140, 2},
    {45350, 125, 130, 140, 1, 125, 130, 140, 1},
    {45850, 125, 130, 140, 0, 125, 130, 140, 0},
    {50350, 140, 160, 180, 0, 140, 160, 180, 0},
    {56850, 140, 150, 160, 2, 140, 150, 160, 2},
    {57350, 140, 150, 160, 1, 140, 150, 160, 1},
    {57850, 140, 150, 160, 0, 140, 150, 160, 0},
    {64350, 140, 160, 160, 0, 140, 160, 160, 0},
    {66250, 135, 140, 140, 2, 135, 140, 140, 2},
    {66750, 135, 140, 140, 1, 135, 140, 140, 1},
    {67250, 135, 140, 140, 0, 135, 140, 140, 0},
    {68250, 80, 85, 90, 2, 80, 85, 90, 2},
    {68800, 80, 85, 90, 1, 80, 85, 90, 1},
    {69250, 80, 85, 90, 0, 80, 85, 90, 0},
    {71950, 135, 140, 145, 0, 135, 140, 145, 0},
};

// The whole text as the route's tables and each section's spacing describe it.
std::vector<std::string> expected_lines() {
  std::vector<std::string> lines = {
      "[generale]",
      "lunghezza percorso,    72000",
      "progressiva chilometrica uno,    9550,    218300,    1",
      "progressiva chilometrica due,    0,    0,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    0",
      "sfondo due,    1",
      "sfondo tre,    0",
      "ripetizione segnali 9 codici,    10700,    72000",
      "[curve]",
  };
  for (const Curve& c : kCurves) {
    lines.push_back(std::string(c.keyword) + ",  " + std::to_string(c.position) + ",  " +
                    std::to_string(c.length));
  }
  lines.push_back("[pendenze]");
  for (const auto& [position, gradient] : kGradients) {
    lines.push_back("pendenza,  " + std::to_string(position) + ",   " + std::to_string(gradient));
  }
  lines.push_back("[montagne]");
  lines.push_back("montagna,   13050,  13650,  12");
  lines.push_back("montagna,   36900,  36950,  12");
  lines.push_back("[cartelli]");
  for (const auto& board : kSpeedBoards) {
    std::string row = "indicatori_vmax";
    for (const int field : board) row += ",  " + (field == kEmpty ? "" : std::to_string(field));
    lines.push_back(row);
  }
  lines.push_back("[indicazioni]");
  for (const char* row : {
           "cartello_indicatore,  1700,   (P.B.A.)(P. 253)",
           "cartello_indicatore,  5700,   (P.B.A.)(P. 249)",
           "cartello_indicatore,  12150,   (   2   )(BOLOGNA)(  L.L. )",
           "cartello_indicatore,  21850,   (C.C. Km)(196.436)",
           "cartello_indicatore,  22600,   ( SEG. PROT  )(Bivio Sordio)",
           "cartello_indicatore,  36850,   (Sottopasso)( S.S. n\xB0"
           "9 )",
           "cartello_indicatore,  69450,   ( INIZIO  )(PONTE SUL)(FIUME  PO)",
           "cartello_indicatore,  70350,   (  FINE   )(PONTE SUL)(FIUME  PO)",
       }) {
    lines.push_back(row);
  }
  lines.push_back("[fine]");
  return lines;
}

class LineDescriptionFile : public testing::WrittenText {
 protected:
  void SetUp() override { write_with(write_line_description, "Veltrano_Quarnelo_linea.txt"); }
};

TEST_F(LineDescriptionFile, Has95LinesAnd3877BytesEachEndedByCrLf) {
  EXPECT_EQ(folder.names(), std::vector<std::string>{"Veltrano_Quarnelo_linea.txt"});
  EXPECT_EQ(bytes.size(), 3877u);
  ASSERT_EQ(lines.size(), 95u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(lines.front(), "[generale]");  // no byte-order mark before it
  EXPECT_EQ(lines.back(), "[fine]");
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
}

TEST_F(LineDescriptionFile, HoldsTheRouteRowByRowInTheSectionLayout) {
  const std::vector<std::string> expected = expected_lines();
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
  }
}

TEST_F(LineDescriptionFile, QuotedRowsStandWhereTheyBelong) {
  struct Case {
    std::size_t line;
    const char* text;
  };
  const Case cases[] = {
      {1, "[generale]"},
      {10, "[curve]"},
      {11, "curvad6,  1000,  300"},
      {36, "curvas6,  70500,  400"},
      {37, "[pendenze]"},
      {38, "pendenza,  0,   0"},
      {41, "pendenza,  9850,   -3"},
      {50, "pendenza,  70850,   0"},
      {51, "[montagne]"},
      {54, "[cartelli]"},
      {55, "indicatori_vmax,  700,  30,  30,  30,  0,  30,  30,  30,  0"},
      {58, "indicatori_vmax,  5050,  110,  115,  120,  0,  ,  ,  ,  0"},
      {64, "indicatori_vmax,  30350,  140,  155,  160,  2,  140,  155,  160,  2"},
      {85, "indicatori_vmax,  71950,  135,  140,  145,  0,  135,  140,  145,  0"},
      {86, "[indicazioni]"},
      {95, "[fine]"},
  };
  ASSERT_EQ(lines.size(), 95u);
  for (const Case& c : cases) EXPECT_EQ(lines[c.line - 1], c.text) << "line " << c.line;
}

TEST_F(LineDescriptionFile, TheBoardAt5050KeepsItsEmptyFieldsAndTheDegreeSignIsOneByte) {
  EXPECT_NE(bytes.find("indicatori_vmax,  5050,  110,  115,  120,  0,  ,  ,  ,  0\r\n"),
            std::string::npos);
  EXPECT_NE(bytes.find("(Sottopasso)( S.S. n\xB0"
                       "9 )\r\n"),
            std::string::npos);
  // 0xB0 is the file's only byte above 0x7F: no other encoding slipped in.
  EXPECT_EQ(testing::high_bytes(bytes), "\xB0");
}

TEST(LineDescriptionLines, TheListEndsWithTheMarkerInEntry95) {
  const LineList list = line_description_lines();
  EXPECT_EQ(list[94], "[fine]");
  EXPECT_EQ(list[95], kEndMarker);
}

}  // namespace
}  // namespace scengen
