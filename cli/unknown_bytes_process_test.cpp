// A station name with a byte that Windows-1252 leaves unassigned must read the same in `dump` and
// in `render`: both show it as U+FFFD.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "testing/scengen_process.h"

namespace scengen {
namespace {

using testing::ProcessResult;
using UnknownBytesProcess = testing::ScengenFolder;

constexpr const char* kLine = "Veltrano_Quarnelo_linea.txt";
constexpr const char* kTrain = "Veltrano_Quarnelo_58316-.txt";
constexpr const char* kReplacement = "\xEF\xBF\xBD";

// Each station gets one of the five unassigned bytes after its fourth letter.
struct Case {
  std::string name;
  char byte;

  std::string bytes() const { return name.substr(0, 4) + byte + name.substr(4); }
  std::string shown() const { return name.substr(0, 4) + kReplacement + name.substr(4); }
};

const Case kCases[] = {
    {"ROGOREDO", '\x81'},  {"MELEGNANO", '\x8D'}, {"TAVAZZANO", '\x8F'},
    {"SECUGNAGO", '\x90'}, {"CODOGNO", '\x9D'},
};

TEST_F(UnknownBytesProcess, DumpAndRenderShowAStationNameAlike) {
  ASSERT_EQ(scengen({"texts"}).status, 0);
  std::string train = read(kTrain);
  for (const Case& c : kCases) {
    const std::string old_name = ", " + c.name + "\r\n";
    const size_t at = train.find(old_name);
    ASSERT_NE(at, std::string::npos) << c.name;
    train.replace(at, old_name.size(), ", " + c.bytes() + "\r\n");
  }
  write(kTrain, train);

  const ProcessResult compiled = scengen({"compile", kLine, kTrain, "--out", "."});
  ASSERT_EQ(compiled.status, 0) << compiled.err;
  const ProcessResult table = scengen({"dump", "Veltrano_Quarnelo_58316.sim"});
  ASSERT_EQ(table.status, 0) << table.err;
  const ProcessResult json = scengen({"dump", "Veltrano_Quarnelo_58316.sim", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const ProcessResult rendered = scengen({"render", kLine, kTrain, "--out", "."});
  ASSERT_EQ(rendered.status, 0) << rendered.err;
  const std::string profile = read("Veltrano_Quarnelo_58316_profile.svg");
  const std::string page = read("Veltrano_Quarnelo_58316.html");

  std::vector<std::string> json_texts;
  const nlohmann::json dumped = nlohmann::json::parse(json.out);
  for (const auto& slot : dumped.at("slots")) {
    json_texts.push_back(slot.at("Text").get<std::string>());
  }
  for (const Case& c : kCases) {
    const std::string shown = c.shown();
    EXPECT_NE(table.out.find("\"" + shown + "\""), std::string::npos) << shown;
    EXPECT_EQ(std::count(json_texts.begin(), json_texts.end(), shown), 1) << shown;
    EXPECT_NE(profile.find(">" + shown + "<"), std::string::npos) << shown;
    EXPECT_NE(page.find(">" + shown + "<"), std::string::npos) << shown;
    // Neither shows the byte as the C1 control of the same number.
    const std::string control = {'\xC2', c.byte};
    for (const std::string* shown_in : {&table.out, &json.out, &profile, &page}) {
      EXPECT_EQ(shown_in->find(control), std::string::npos) << shown;
    }
  }
}

}  // namespace
}  // namespace scengen
