#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "documents/crew_documents.h"
#include "testing/text_lines.h"

namespace scengen {
namespace {

constexpr const char* kFileName = "Veltrano_Quarnelo_58316_note.txt";

class ScenarioNotesFile : public testing::WrittenText {
 protected:
  void SetUp() override {
    write_with(write_scenario_notes, kFileName);
    ASSERT_EQ(lines.size(), 22u);
  }
};

TEST_F(ScenarioNotesFile, Has22LinesWithEmptyLinesBetweenTheGroups) {
  EXPECT_EQ(folder.names(), std::vector<std::string>{kFileName});
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
  EXPECT_EQ(line(1), "Veltrano-Quarnelo 58316 - versione aggiornata.");
  const std::vector<std::size_t> empty = {2, 8, 18, 20, 21};
  for (std::size_t n = 1; n <= 22; ++n) {
    const bool should_be_empty = std::find(empty.begin(), empty.end(), n) != empty.end();
    EXPECT_EQ(line(n).empty(), should_be_empty) << "line " << n;
  }
}

TEST_F(ScenarioNotesFile, EachParagraphIsOneUnbrokenLineTheLongestOf744Characters) {
  std::size_t longest = 0;
  for (const std::string& l : lines) {
    EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << l;
    longest = std::max(longest, l.size());
  }
  EXPECT_EQ(longest, 744u);
}

TEST_F(ScenarioNotesFile, Line10EndsInOneSpace) {
  const std::string& ten = line(10);
  ASSERT_GE(ten.size(), 2u);
  EXPECT_EQ(ten.back(), ' ');
  EXPECT_NE(ten[ten.size() - 2], ' ');
}

TEST_F(ScenarioNotesFile, AccentsAreSingleWindows1252Bytes) {
  const std::string high = testing::high_bytes(bytes);
  EXPECT_EQ(high.find_first_not_of("\xE0\xE8\xF2\xF9"), std::string::npos);
  for (const char accent : {'\xE0', '\xE8', '\xF2', '\xF9'}) {
    EXPECT_NE(high.find(accent), std::string::npos) << int(static_cast<unsigned char>(accent));
  }
}

TEST_F(ScenarioNotesFile, ParagraphsFollowTheTopicsInOrder) {
  // The names and figures each paragraph has to mention.
  struct Case {
    std::size_t line;
    std::vector<std::string> mentions;
  };
  const Case cases[] = {
      {3, {"9 codici"}},
      {9, {"58316", "VELTRA", "QUARNELO"}},
      {10, {"rango B", "140 km/h"}},
      {11, {"sei assi", "quattro assi", "520 t", "400 t"}},
      {12, {"9/6/2001", "rango B"}},
      {13, {"ROGOREDO", "DOPPIO BIVIO S.DONATO", "BIVIO SORDIO"}},
      {14, {"ROGOREDO", "200 km/h"}},
      {15, {"sottopassi", "gallerie"}},
  };
  for (const Case& c : cases) {
    for (const std::string& text : c.mentions) {
      EXPECT_NE(line(c.line).find(text), std::string::npos) << "line " << c.line << ": " << text;
    }
  }
}

TEST_F(ScenarioNotesFile, IsSignedByTheProgramAtAPlaceOfItsOwnRoute) {
  // The world of the scenario is fictional: the signature names the program and the terminus.
  EXPECT_EQ(line(22), "scengen - Quarnelo");
}

}  // namespace
}  // namespace scengen
