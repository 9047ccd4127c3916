#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/crew_documents.h"
#include "testing/text_lines.h"

namespace scengen {
namespace {

using testing::columns_of;
using Columns = std::vector<std::size_t>;

constexpr const char* kFileName = "Veltrano_Quarnelo_58316_scheda_treno.txt";

class TrainCardFile : public testing::WrittenText {
 protected:
  void SetUp() override {
    write_with(write_train_card, kFileName);
    ASSERT_EQ(lines.size(), 46u);
  }
};

TEST_F(TrainCardFile, Has46LinesAnd3341BytesBetweenEmptyLines) {
  EXPECT_EQ(folder.names(), std::vector<std::string>{kFileName});
  EXPECT_EQ(bytes.size(), 3341u);
  EXPECT_EQ(bytes.substr(0, 4), "\r\n\r\n");
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
}

TEST_F(TrainCardFile, FixedLinesAreExactWithTheirLengths) {
  struct Case {
    std::size_t line;
    std::string text;
    std::size_t length;
  };
  const std::string rule =
      " |_____|_____|__________|_____|____________________________|________________|_____|";
  const Case cases[] = {
      {1, "", 0},
      {2, "", 0},
      {3, "  ___________________                                               ______________", 82},
      {4, " |                   |                    SCHEDA                   |              |",
       83},
      {5, " |   TRENO n.58316   |                   da: VELTRA C.LE           |    V140 B    |",
       83},
      {6, " |___________________|                    a: QUARNELO              |     120%     |",
       83},
      {7, "                                                                   |______________|",
       83},
      {8, "  ___________________                ___________________", 56},
      {9, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ", 64},
      {10, " |     REGIONALE     |              |       400T        |", 57},
      {11, " |___________________|              |___________________|", 57},
      {12, "", 0},
      {13, "  ________________________________________________________________________________",
       82},
      {14, " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
       83},
      {15, " | Lim.|Marc.|          |  Rs |                            |                |     |",
       83},
      {16, rule, 83},
      {42, rule, 83},
      {43, "", 0},
      {44, " Dalle ore 23.30 alle ore 4.30 velocit\xE0 massima 160 Km/h.", 57},
      {45, " Nei giorni festivi espleta servizio di sola 2\xB0 classe.", 55},
      {46, "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(line(c.line), c.text) << "line " << c.line;
    EXPECT_EQ(line(c.line).size(), c.length) << "line " << c.line;
  }
}

TEST_F(TrainCardFile, Line9EndsInSevenSpaces) {
  const std::string& nine = line(9);
  ASSERT_EQ(nine.size(), 64u);
  EXPECT_EQ(nine.substr(57), std::string(7, ' '));
  EXPECT_EQ(nine[56], '|');
}

TEST_F(TrainCardFile, BoxesAndTimetableKeepTheirBarColumns) {
  const Columns title = {1, 21, 67, 82};
  const Columns boxes = {1, 21, 36, 56};
  const Columns timetable = {1, 7, 13, 24, 30, 59, 76, 82};
  for (std::size_t n : {4, 5, 6}) EXPECT_EQ(columns_of(line(n), '|'), title) << "line " << n;
  EXPECT_EQ(columns_of(line(7), '|'), (Columns{67, 82}));
  for (std::size_t n : {9, 10, 11}) EXPECT_EQ(columns_of(line(n), '|'), boxes) << "line " << n;
  for (std::size_t n = 14; n <= 42; ++n) {
    EXPECT_EQ(columns_of(line(n), '|'), timetable) << "line " << n;
  }
  for (std::size_t n = 4; n <= 7; ++n) EXPECT_EQ(line(n).size(), 83u) << "line " << n;
  for (std::size_t n = 14; n <= 42; ++n) EXPECT_EQ(line(n).size(), 83u) << "line " << n;
  // The route's ends both start in column 45.
  EXPECT_EQ(line(5).find("VELTRA C.LE"), 45u);
  EXPECT_EQ(line(6).find("QUARNELO"), 45u);
}

// One row of the run: speeds, kilometre point, place, times and recovery; "" is an empty cell.
struct RunRow {
  const char* limit;
  const char* running;
  const char* km;
  const char* third;
  const char* place;
  const char* arrival;
  const char* passing;
  const char* departure;
  const char* recovery;
};

constexpr RunRow kRun[] = {
    {"30", "30", "0.000", "30", "VELTRA C.LE", "", "", "8.20", ""},
    {"95", "95", "", "95", "Deviatoio di uscita", "", "", "", ""},
    {"", "", "1.769", "", "P.B.A. P.253", "", "8.22", "", ""},
    {"105", "105", "2.000", "105", "Cippo Km.2,000", "", "", "", ""},
    {"", "", "3.779", "", "VELTRA LAMBRATE", "8.25", "", "8.26", ""},
    {"110", "110", "5.000", "110", "Cippo Km.5,000", "", "", "", ""},
    {"", "", "5.753", "", "P.B.A. P.249", "", "8.29", "", ""},
    {"85", "85", "9.567", "85", "VELTRA ROGOREDO", "8.32", "", "8.33", "1.5"},
    {"", "", "206.609", "", "S.DONATO VEL.", "", "8.35", "", ""},
    {"130", "105", "206.000", "130", "DOPPIO BIVIO S.DONATO", "", "8.36", "", "0.5"},
    {"", "95", "204.543", "", "BORGOLOMBARDO", "8.38", "", "8.39", "1"},
    {"", "125", "202.610", "", "S.GIULIANO VEL.", "8.41", "", "8.42", ""},
    {"", "120", "197.912", "", "MELEGNANO", "8.46", "", "8.47", ""},
    {"", "", "194.993", "", "BIVIO SORDIO", "", "8.49", "", ""},
    {"", "115", "193.916", "", "S.ZENONE AL LAMBRO", "8.50", "", "8.51", ""},
    {"", "130", "190.409", "", "TAVAZZANO", "8.55", "", "8.56", "0.5"},
    {"120", "120", "", "120", "Deviatoio di ingresso", "", "", "", ""},
    {"", "", "182.685", "", "LODI", "9.01", "", "9.02", ""},
    {"130", "", "180.000", "130", "Cippo Km.180,000", "", "", "", ""},
    {"", "130", "170.775", "", "SECUGNAGO", "9.10", "", "9.11", "0.5"},
    {"", "125", "163.832", "", "CASALPUSTERLENGO", "9.16", "", "9.17", "0.5"},
    {"", "120", "158.959", "", "CODOGNO", "9.21", "", "9.22", ""},
    {"", "130", "154.885", "", "S.STEFANO LODIGIANO", "9.26", "", "9.27", "0.5"},
    {"85", "85", "148.000", "85", "Cippo Km.148,000", "", "", "", ""},
    {"", "", "146.823", "", "QUARNELO", "9.33", "", "", "0.5"},
};

std::string right_in(std::string_view value, std::size_t width) {
  return std::string(width - value.size(), ' ') + std::string(value);
}

// A row line from the cell rules: speeds right-aligned in four characters and a space, the
// kilometre point right-aligned in eight and two spaces, the place after one space, the times at
// characters 3-6, 8-11 and 12-15 of sixteen, the recovery centred in five.
std::string row_line(const RunRow& row) {
  auto speed = [](std::string_view v) { return right_in(v, 4) + " "; };
  std::string times(16, ' ');
  times.replace(2, 4, right_in(row.arrival, 4));
  times.replace(7, 4, right_in(row.passing, 4));
  times.replace(11, 4, right_in(row.departure, 4));
  const std::string_view recovery = row.recovery;
  const std::size_t left = (5 - recovery.size()) / 2;
  const std::string centred =
      std::string(left, ' ') + std::string(recovery) + std::string(5 - left - recovery.size(), ' ');
  std::string place = " " + std::string(row.place);
  place.resize(28, ' ');
  return " |" + speed(row.limit) + "|" + speed(row.running) + "|" + right_in(row.km, 8) + "  |" +
         speed(row.third) + "|" + place + "|" + times + "|" + centred + "|";
}

TEST_F(TrainCardFile, RowsOfTheRunFollowTheCellLayout) {
  for (std::size_t i = 0; i < std::size(kRun); ++i) {
    EXPECT_EQ(line(17 + i), row_line(kRun[i])) << "line " << 17 + i;
  }
}

TEST_F(TrainCardFile, QuotedRowsAreExact) {
  struct Case {
    std::size_t line;
    const char* text;
  };
  const Case cases[] = {
      {17, " |  30 |  30 |   0.000  |  30 | VELTRA C.LE                |           8.20 |     |"},
      {19, " |     |     |   1.769  |     | P.B.A. P.253               |       8.22     |     |"},
      {21, " |     |     |   3.779  |     | VELTRA LAMBRATE            |  8.25     8.26 |     |"},
      {27, " |     |  95 | 204.543  |     | BORGOLOMBARDO              |  8.38     8.39 |  1  |"},
      {41, " |     |     | 146.823  |     | QUARNELO                   |  9.33          | 0.5 |"},
  };
  for (const Case& c : cases) EXPECT_EQ(line(c.line), c.text) << "line " << c.line;
}

TEST_F(TrainCardFile, OnlyTheAccentAndTheDegreeSignAreBeyondAscii) {
  EXPECT_EQ(testing::high_bytes(bytes), "\xE0\xB0");
  EXPECT_NE(line(44).find("velocit\xE0"), std::string::npos);
  EXPECT_NE(line(45).find("2\xB0"), std::string::npos);
}

}  // namespace
}  // namespace scengen
