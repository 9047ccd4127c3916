#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/crew_documents.h"
#include "testing/text_lines.h"

namespace scengen {
namespace {

using testing::columns_of;

constexpr const char* kFileName = "Veltrano_Quarnelo_58316_rallentamenti.txt";

class SlowOrderNoticeFile : public testing::WrittenText {
 protected:
  void SetUp() override {
    write_with(write_slow_order_notice, kFileName);
    ASSERT_EQ(lines.size(), 47u);
  }
};

TEST_F(SlowOrderNoticeFile, Has47LinesAnd3365Bytes) {
  EXPECT_EQ(folder.names(), std::vector<std::string>{kFileName});
  EXPECT_EQ(bytes.size(), 3365u);
  EXPECT_EQ(bytes.substr(0, 2), "\r\n");  // the first line is empty
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
}

TEST_F(SlowOrderNoticeFile, EveryLineIsExactWithItsLength) {
  struct Case {
    std::size_t line;
    std::string text;
    std::size_t length;
  };
  const std::string rule =
      " |___|____________________________|____________|__________|_________|____________|";
  const std::string blank_row =
      " |   |                            |            |          |         |            |";
  std::vector<Case> cases = {
      {1, "", 0},
      {2, "                                Modulo M. 3", 43},
      {3, "                           ORDINE DI RALLENTAMENTO", 50},
      {4, " " + std::string(80, '_'), 81},
      {5, "  Linea  VELTRA QUARNELO", 24},
      {6, "", 0},
      {7, "  Si ordina al macchinista del treno 58316 di effettuare i seguenti rallentamenti", 81},
      {8, "  " + std::string(79, '_'), 81},
      {9, " |   |                            |Inizio dopo |          |         |            |", 82},
      {10, " | N.|      FRA LE STAZIONI       | il cippo   | Velocit\xE0 |Lunghezza|Prescrizioni|",
       82},
      {11, " |   |   (o nelle Stazioni di)    |chilometrico|          |  metri  | specifiche |",
       82},
      {12, rule, 82},
      {13, " | 1 | SECUGNAGO-CASALPUSTERLENGO |    165     |    40    |   400   |    A-B-C   |",
       82},
      {39, rule, 82},
      {40, "", 0},
      {41, "              Prescrizioni specifiche", 37},
      {42, " A - Da rispettare con tutto il treno (per i treni viaggiatori)", 63},
      {43, " B - Interessa anche la stazione di CASALPUSTERLENGO", 52},
      {44, " C - Da rispettare dalle ore 07.30 alle ore 20.30 di tutti", 58},
      {45, "     i giorni esclusi i FESTIVI e i PREFESTIVI", 46},
      {46, " D - Rallentamento N. ... e N. ...  sono contigui", 49},
      {47, " E - Segnale di avviso non preceduto da tavole distanziometriche", 64},
  };
  for (std::size_t n = 14; n <= 38; ++n) cases.push_back({n, blank_row, 82});
  for (const Case& c : cases) {
    EXPECT_EQ(line(c.line), c.text) << "line " << c.line;
    EXPECT_EQ(line(c.line).size(), c.length) << "line " << c.line;
  }
}

TEST_F(SlowOrderNoticeFile, TableLinesAre82CharactersWithBarsInSevenColumns) {
  const std::vector<std::size_t> bars = {1, 5, 34, 47, 58, 68, 81};
  for (std::size_t n = 9; n <= 39; ++n) {
    EXPECT_EQ(line(n).size(), 82u) << "line " << n;
    EXPECT_EQ(columns_of(line(n), '|'), bars) << "line " << n;
  }
  for (std::size_t n = 15; n <= 38; ++n) EXPECT_EQ(line(n), line(14)) << "line " << n;
}

TEST_F(SlowOrderNoticeFile, TheFilledRowHoldsTheRestrictionCellByCell) {
  const std::string& row = line(13);
  const char* cells[] = {" 1 ",          " SECUGNAGO-CASALPUSTERLENGO ",
                         "    165     ", "    40    ",
                         "   400   ",    "    A-B-C   "};
  const std::size_t bars[] = {1, 5, 34, 47, 58, 68, 81};
  for (std::size_t i = 0; i < std::size(cells); ++i) {
    EXPECT_EQ(row.substr(bars[i] + 1, bars[i + 1] - bars[i] - 1), cells[i]) << "cell " << i + 1;
  }
}

TEST_F(SlowOrderNoticeFile, OnlyVelocitaCarriesAByteBeyondAscii) {
  EXPECT_EQ(testing::high_bytes(bytes), "\xE0");
  EXPECT_NE(line(10).find("Velocit\xE0"), std::string::npos);
}

}  // namespace
}  // namespace scengen
