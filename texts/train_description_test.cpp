#include "texts/train_description.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>
#include <vector>

#include "testing/text_lines.h"

namespace scengen {
namespace {

constexpr const char* kFileName = "Veltrano_Quarnelo_58316-.txt";

// The signals: posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo.
constexpr std::array<int, 11> kSignals[] = {
    {1750, 2, 4, 1, 1, 0, 2, 3, 1, 1, 0},  {2850, 2, 3, 1, 1, 0, 2, 2, 1, 1, 0},
    {5750, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0},  {6650, 2, 4, 1, 0, 0, 2, 1, 1, 0, 0},
    {7700, 2, 5, 6, 1, 0, 2, 1, 1, 1, 0},  {8600, 2, 2, 3, 1, 1, 2, 2, 1, 1, 0},
    {11550, 2, 2, 4, 0, 1, 2, 3, 1, 0, 0}, {14450, 2, 4, 0, 0, 0, 2, 2, 0, 0, 0},
    {15900, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {17700, 2, 4, 1, 0, 0, 0, 0, 0, 0, 0},
    {19350, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0}, {21650, 2, 5, 7, 0, 0, 2, 2, 1, 0, 0},
    {22650, 2, 2, 4, 0, 2, 2, 3, 1, 0, 0}, {24100, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0},
    {25300, 2, 4, 1, 0, 0, 2, 3, 1, 0, 0}, {26900, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0},
    {29900, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {31500, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0},
    {32900, 2, 5, 6, 0, 0, 2, 4, 1, 0, 0}, {34550, 2, 2, 3, 0, 1, 2, 4, 1, 0, 0},
    {37100, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {38400, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0},
    {39800, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {41150, 2, 4, 0, 0, 0, 2, 2, 0, 0, 0},
    {42900, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {44600, 2, 4, 1, 0, 0, 2, 3, 1, 0, 0},
    {46600, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0}, {49500, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0},
    {50700, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {52050, 2, 5, 6, 0, 0, 2, 3, 1, 0, 0},
    {53400, 2, 2, 3, 0, 1, 2, 2, 1, 0, 0}, {56650, 2, 4, 1, 0, 0, 2, 3, 1, 0, 0},
    {58300, 2, 3, 1, 1, 0, 2, 2, 1, 1, 0}, {60950, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0},
    {62300, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {63650, 2, 4, 0, 0, 0, 2, 2, 0, 0, 0},
    {65300, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {66700, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0},
    {68050, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}, {69400, 2, 5, 6, 0, 0, 2, 3, 1, 0, 0},
    {70450, 2, 2, 3, 1, 1, 2, 2, 1, 1, 0},
};

// The separator before each signal field after the position.
constexpr const char* kSignalSeparators[] = {",   ",  ", ",  ", ", ",  ", ", ",
                                             ",    ", ",  ", ",",  ",",   ", "};

// The code points as runs of equal code, in file order.
struct CodeRun {
  int code;
  std::vector<int> positions;
};
const CodeRun kCodeRuns[] = {
    {270,
     {10000, 11000, 12000, 12600, 13050, 14000, 15000, 15900, 16000, 17000, 18000, 19000, 20000,
      20750, 21000, 21500, 22000, 22500, 23000}},
    {280,
     {23850, 24400, 25000, 25500, 26000, 27000, 27500, 28100, 28500, 29000, 30000, 31000, 32000,
      32500, 33050, 33400, 34100, 34500}},
    {270, {35000, 35500, 36000, 37050}},
    {280, {37500, 38000}},
    {270, {38500}},
    {280, {39000, 40000, 41050, 41500, 42000, 42800, 43000, 44000, 45000}},
    {270, {46000, 46600, 47400, 48000, 49000, 50000}},
    {280,
     {51000, 52000, 53000, 53500, 54000, 55000, 56000, 57000, 58000, 58500, 59000, 60000, 61050,
      62000, 62100, 62500, 63000, 64000, 65000, 65500, 66000, 67000, 68000, 69000, 70000}},
    {270, {70300, 71000, 71500, 72100}},
};

std::string right_aligned(int value, std::size_t width) {
  const std::string digits = std::to_string(value);
  return std::string(width - digits.size(), ' ') + digits;
}

// The whole text from the quoted rows and the signal and code tables in their column layout.
std::vector<std::string> expected_lines() {
  std::vector<std::string> lines = {
      "[generale]",
      "numero vetture,    8",
      "percentuale massa frenata,    120",
      "sabbia,    300",
      "orologio,    8               19            15 ",
      "[aderenze]",
      "aderenza,       0,    96",
      "aderenza,   53950,    70",
      "aderenza,   55000,    90",
      "aderenza,   57000,    96",
      "[vel_limite]",
      "velocita,   0,    30",
      "velocita,    1100,    95",
      "velocita,    2000,   105",
      "velocita,    5000,   110",
      "velocita,    9550,    85",
      "velocita,   12350,   130",
      "velocita,   35100,   120",
      "velocita,   38300,   130",
      "velocita,   70300,    85",
      "[stazioni]",
      "stazione,       0,  8,  600,  0, 1, 0,  1,1,0,  2,4,1,    1,   8,20, 0, VELTRA CENTRALE",
      "stazione,    1100, 26,  200,  0, 0, 0,  0,0,0,  0,0,0,    1,   0, 0, 0, Cabina B",
      "stazione,    3750,  4,  700,  0, 1, 0,  1,1,0,  4,1,1,   60,   8,26, 0, VELTRA LAMBRATE",
      "stazione,    9550, 12,  600,  1, 1, 0,  5,6,1,  2,1,1,   60,   8,33, 0, ROGOREDO",
      "stazione,   11700, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, S. DONATO VEL.",
      "stazione,   12300, 11,  200,  1, 0, 0,  4,1,1,  2,1,1,    0,   0, 0, 0, DOPPIO BIVIO "
      "S.DONATO",
      "stazione,   13750, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   60,   8,39, 0, BORGOLOMBARDO",
      "stazione,   15700, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   60,   8,42, 0, S. GIULIANO VEL.",
      "stazione,   20400, 12,  600,  0, 0, 1,  0,0,0,  4,1,1,   60,   8,47, 0, MELEGNANO",
      "stazione,   23350, 11,  200,  1, 0, 0,  4,1,2,  2,1,1,    0,   0, 0, 0, BIVIO SORDIO",
      "stazione,   24400, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   60,   8,51, 0, S.ZENONE AL LAMBRO",
      "stazione,   27900, 12,  700,  0, 0, 1,  1,1,0,  4,1,1,   60,   8,56, 0, TAVAZZANO",
      "stazione,   35600, 12,  600,  1, 0, 1,  4,1,1,  2,1,1,   60,   9, 2, 0, LODI",
      "stazione,   47550, 12,  600,  0, 0, 1,  0,0,0,  4,1,1,   60,   9,11, 0, SECUGNAGO",
      "stazione,   54450,  4,  600,  1, 1, 0,  4,1,1,  2,1,1,   60,   9,17, 0, CASALPUSTERLENGO",
      "stazione,   59350,  4,  600,  0, 0, 0,  1,1,0,  4,1,1,   60,   9,22, 0, CODOGNO",
      "stazione,   63400, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   60,   9,27, 0, S.STEFANO L.",
      "stazione,   71450,  2,  700,  1, 1, 0,  1,1,0,  2,1,1,    0,   9,33, 0, QUARNELO",
      "[rallentamenti]",
      "rallentamento,   53750,    40,  400, 1,  1,  30",
      "[segnali]",
  };
  for (const auto& signal : kSignals) {
    std::string row = "segnale," + right_aligned(signal[0], 8);
    for (std::size_t i = 1; i < signal.size(); ++i) {
      row += kSignalSeparators[i - 1] + std::to_string(signal[i]);
    }
    lines.push_back(row);
  }
  lines.push_back("[codici]");
  for (const CodeRun& run : kCodeRuns) {
    for (const int position : run.positions) {
      lines.push_back("abbattimento," + right_aligned(position, 8) + "," +
                      right_aligned(run.code, 6));
    }
  }
  lines.push_back("[fine]");
  return lines;
}

class TrainDescriptionFile : public testing::WrittenText {
 protected:
  void SetUp() override { write_with(write_train_description, kFileName); }
};

TEST_F(TrainDescriptionFile, IsNamedWithAHyphenBeforeTheExtensionAndHas173Lines) {
  EXPECT_EQ(folder.names(), std::vector<std::string>{kFileName});
  ASSERT_EQ(lines.size(), 173u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(lines.front(), "[generale]");
  EXPECT_EQ(lines.back(), "[fine]");
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
  EXPECT_EQ(testing::high_bytes(bytes), "");  // plain ASCII
}

TEST_F(TrainDescriptionFile, SectionHeadersOpenTheirLines) {
  struct Case {
    std::size_t line;
    const char* header;
  };
  const Case cases[] = {{1, "[generale]"},  {6, "[aderenze]"},       {11, "[vel_limite]"},
                        {21, "[stazioni]"}, {40, "[rallentamenti]"}, {42, "[segnali]"},
                        {84, "[codici]"},   {173, "[fine]"}};
  ASSERT_EQ(lines.size(), 173u);
  for (const Case& c : cases) EXPECT_EQ(lines[c.line - 1], c.header) << "line " << c.line;
}

TEST_F(TrainDescriptionFile, TheClockRowSeparatesByBlanksAndEndsInOneSpace) {
  ASSERT_GE(lines.size(), 5u);
  const std::string& clock = lines[4];
  EXPECT_EQ(clock, "orologio,    8" + std::string(15, ' ') + "19" + std::string(12, ' ') + "15 ");
  EXPECT_EQ(clock.back(), ' ');
  EXPECT_NE(clock[clock.size() - 2], ' ');
}

TEST_F(TrainDescriptionFile, HoldsEveryRowOfTheTrain) {
  const std::vector<std::string> expected = expected_lines();
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
  }
}

TEST_F(TrainDescriptionFile, QuotedSignalAndCodeRowsStandInTheFile) {
  const char* quoted[] = {
      "segnale,    1750,   2, 4, 1,  1, 0,    2,  3,1,1, 0",
      "segnale,   70450,   2, 2, 3,  1, 1,    2,  2,1,1, 0",
      "segnale,    5750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   21650,   2, 5, 7,  0, 0,    2,  2,1,0, 0",
      "segnale,   22650,   2, 2, 4,  0, 2,    2,  3,1,0, 0",
      "segnale,    8600,   2, 2, 3,  1, 1,    2,  2,1,1, 0",
      "abbattimento,   10000,   270",
  };
  for (const char* row : quoted) {
    EXPECT_NE(bytes.find(std::string(row) + "\r\n"), std::string::npos) << row;
  }
  ASSERT_EQ(lines.size(), 173u);
  EXPECT_EQ(lines[42], quoted[0]);
  EXPECT_EQ(lines[82], quoted[1]);
  EXPECT_EQ(lines[84], quoted[6]);
}

TEST_F(TrainDescriptionFile, PositionsFillEightCharactersAndValuesSix) {
  // Keyword, comma, the position right-aligned in eight characters, then the rest.
  const std::regex position_column(R"(^[a-z]+,( *)(\d+)(,.*)$)");
  // The two-value sections: the value after the position fills six characters.
  const std::regex value_column(R"(^[a-z]+, *\d+,( *\d+)$)");
  ASSERT_EQ(lines.size(), 173u);
  int code_270 = 0;
  int code_280 = 0;
  for (std::size_t n = 7; n <= 172; ++n) {
    const std::string& line = lines[n - 1];
    if (line.front() == '[' || n == 12) continue;  // headers; the unpadded first speed step
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, position_column)) << "line " << n << ": " << line;
    EXPECT_EQ(m[1].length() + m[2].length(), 8) << "line " << n << ": " << line;
    EXPECT_FALSE(m[2].str().size() > 1 && m[2].str()[0] == '0') << "line " << n;
    const bool two_values = n <= 10 || (n >= 12 && n <= 20) || n >= 85;
    if (two_values) {
      ASSERT_TRUE(std::regex_match(line, m, value_column)) << "line " << n << ": " << line;
      EXPECT_EQ(m[1].length(), 6) << "line " << n << ": " << line;
    }
    if (n >= 85) {
      code_270 += line.ends_with(",   270");
      code_280 += line.ends_with(",   280");
    }
  }
  EXPECT_EQ(lines[11], "velocita,   0,    30");
  EXPECT_EQ(code_270, 34);
  EXPECT_EQ(code_280, 54);
}

TEST(TrainDescriptionLines, TheListEndsWithTheMarkerInEntry173) {
  const LineList list = train_description_lines();
  EXPECT_EQ(list[172], "[fine]");
  EXPECT_EQ(list[173], kEndMarker);
}

}  // namespace
}  // namespace scengen
