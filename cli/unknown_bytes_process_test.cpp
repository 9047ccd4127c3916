// Bytes of a text that are no plain character, as the commands show them: a byte that
// Windows-1252 leaves unassigned reads the same in `dump` and in `render` (U+FFFD); a control
// byte (an escape sequence, a bell) never reaches the terminal from `check` or `dump`.
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

TEST_F(UnknownBytesProcess, ControlBytesInATextAreShownEscaped) {
  ASSERT_EQ(scengen({"texts"}).status, 0);
  std::string train = read(kTrain);
  const std::string old_name = ", ROGOREDO\r\n";
  const size_t at = train.find(old_name);
  ASSERT_NE(at, std::string::npos);
  train.replace(at, old_name.size(), ", ROGO\x1b[2J\x07REDO\r\n");
  // A record misspelt after a title-setting sequence: its warning shows the line.
  const size_t signals = train.find("[segnali]\r\n");
  ASSERT_NE(signals, std::string::npos);
  train.insert(signals + 11, "\x1b]0;x\x07segnal, 500\r\n");
  write(kTrain, train);

  const ProcessResult checked = scengen({"check", kLine, kTrain});
  ASSERT_EQ(checked.status, 0) << checked.err;
  EXPECT_NE(checked.err.find("\\x1b]0;x\\x07segnal, 500"), std::string::npos) << checked.err;
  ASSERT_EQ(scengen({"compile", kLine, kTrain, "--out", "."}).status, 0);
  const ProcessResult table = scengen({"dump", "Veltrano_Quarnelo_58316.sim", "--describe"});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("\"ROGO\\x1b[2J\\x07REDO\""), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("station \"ROGO\\x1b[2J\\x07REDO\""), std::string::npos)
      << table.out;
  for (const ProcessResult* shown : {&checked, &table}) {
    for (const std::string* stream : {&shown->out, &shown->err}) {
      EXPECT_EQ(stream->find('\x1b'), std::string::npos) << *stream;
      EXPECT_EQ(stream->find('\x07'), std::string::npos) << *stream;
    }
  }
}

}  // namespace
}  // namespace scengen
