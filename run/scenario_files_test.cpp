#include "run/scenario_files.h"

#include <gtest/gtest.h>

#include "platform/file_layer.h"

namespace scengen {
namespace {

TEST(ScenarioFiles, RouteAndTrainFromTheTextsNames) {
  struct Case {
    const char* line;
    const char* train;
    std::optional<std::string> route;
    std::optional<std::string> number;  // under the route found, or "Ponte" when there is none
  };
  const Case cases[] = {
      {"work/Veltrano_Quarnelo_linea.txt", "work/Veltrano_Quarnelo_58316-.txt", "Veltrano_Quarnelo",
       "58316"},
      {"Ponte_linea.txt", "other/Ponte_R_2101-.txt", "Ponte", "R_2101"},
      {"_linea.txt", "Ponte_2101-.txt", std::nullopt, "2101"},             // no route
      {"Ponte_linea.txt/x", "Ponte_-.txt", std::nullopt, std::nullopt},    // no train number
      {"Ponte-linea.txt", "Monte_2101-.txt", std::nullopt, std::nullopt},  // another route
      {"line.txt", "Ponte_2101.txt", std::nullopt, std::nullopt},          // the hyphen is missing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(route_from_line_text(c.line), c.route) << c.line;
    EXPECT_EQ(train_from_train_text(c.train, c.route.value_or("Ponte")), c.number) << c.train;
  }
}

TEST(ScenarioFiles, OnlyPlainNamesCanNameFiles) {
  for (const char* good : {"Veltrano_Quarnelo", "58316", "a b", "n\xB0"}) {
    EXPECT_TRUE(names_a_file(good)) << good;
  }
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "c:", "a*", "a\tb", "x\"y"}) {
    EXPECT_FALSE(names_a_file(bad)) << bad;
  }
}

TEST(ScenarioFiles, EveryFileOfTheBuiltInScenarioByName) {
  Compilation c;
  c.RouteId = kBuiltInRouteId;
  c.TrainNumber = kBuiltInTrainNumber;
  EXPECT_EQ(line_text_file_name(c.RouteId), "Veltrano_Quarnelo_linea.txt");
  EXPECT_EQ(train_text_file_name(c.RouteId, c.TrainNumber), "Veltrano_Quarnelo_58316-.txt");
  std::vector<std::string> documents;
  for (const CrewDocument& d : kCrewDocuments) {
    documents.push_back(crew_document_file_name(c.RouteId, c.TrainNumber, d));
    EXPECT_FALSE(d.built_in().empty()) << d.heading;
  }
  EXPECT_EQ(documents, (std::vector<std::string>{"Veltrano_Quarnelo_58316_scheda_treno.txt",
                                                 "Veltrano_Quarnelo_58316_rallentamenti.txt",
                                                 "Veltrano_Quarnelo_58316_note.txt"}));
  EXPECT_EQ(route_map_file_name(c), "Veltrano_Quarnelo_map.svg");
  EXPECT_EQ(route_profile_file_name(c), "Veltrano_Quarnelo_58316_profile.svg");
  EXPECT_EQ(html_page_file_name(c), "Veltrano_Quarnelo_58316.html");
}

TEST(ScenarioFiles, NoFolderKeepsTheNameRelative) {
  EXPECT_EQ(scenario_file_path({}, "A_1.sim"), std::filesystem::path("A_1.sim"));
  EXPECT_EQ(scenario_file_path("out", "A_1.sim"), join_output_path("out", "A_1.sim"));
  // The compile holds names in Windows-1252; the file is named by the UTF-8 form.
  EXPECT_EQ(scenario_file_path({}, "Citt\xE0_1.sim"), utf8_path("Citt\xC3\xA0_1.sim"));
}

TEST(ScenarioFiles, NamesTakeTheirWindows1252Bytes) {
  struct Case {
    const char* utf8;
    std::optional<std::string> bytes;
    const char* missing;
  };
  const Case cases[] = {
      {"Ponte", "Ponte", ""},
      {"Citt\xC3\xA0", "Citt\xE0", ""},
      {"\xE2\x82\xAC", "\x80", ""},  // the euro sign has a byte of its own
      {"A\xCE\xA9", std::nullopt, "U+03A9"},
      {"A\xF0\x9F\x9A\x82", std::nullopt, "U+1F682"},
      {"A\xE0", std::nullopt, "\\xE0"},  // not UTF-8: the byte itself
  };
  for (const Case& c : cases) {
    const CompiledName name = windows_1252_name(c.utf8);
    EXPECT_EQ(name.bytes, c.bytes) << c.utf8;
    EXPECT_EQ(name.missing_character, c.missing) << c.utf8;
  }
}

}  // namespace
}  // namespace scengen
