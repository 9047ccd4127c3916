#include "compiler/keywords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace scengen {
namespace {

// The entries of a libFuzzer dictionary: one quoted string a line, with \xNN escapes.
std::vector<std::string> dictionary_entries(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> entries;
  for (std::string line; std::getline(in, line);) {
    const size_t open = line.find('"');
    const size_t close = line.rfind('"');
    if (line.starts_with('#') || open == std::string::npos || close <= open) continue;
    std::string entry;
    for (size_t i = open + 1; i < close; ++i) {
      if (line[i] == '\\' && i + 3 < close && line[i + 1] == 'x') {
        entry += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
        i += 3;
      } else {
        entry += line[i];
      }
    }
    entries.push_back(entry);
  }
  return entries;
}

// The fuzzers reach every record through the dictionary: it must name each keyword of the readers'
// tables (an entry the reader matches as that record) and each section header.
TEST(Keywords, TheFuzzDictionaryHoldsEveryKeywordAndHeader) {
  const std::vector<std::string> entries =
      dictionary_entries(std::filesystem::path(SCENGEN_TESTDATA) / ".." / "fuzz" / "scengen.dict");
  ASSERT_FALSE(entries.empty());
  for (const Keyword* keyword : keywords::kAll) {
    bool found = false;
    for (const std::string& entry : entries) found = found || matches(*keyword, entry);
    EXPECT_TRUE(found) << keyword->topic << " (" << keyword->word << " " << keyword->also << ")";
  }
  for (const std::string_view header : keywords::kSectionHeaders) {
    EXPECT_NE(std::find(entries.begin(), entries.end(), header), entries.end()) << header;
  }
}

// A record's name is what the suggestions offer after a misspelling: the reader must take it as
// that record, and as no record tested before it.
TEST(Keywords, EachRecordsNameIsReadAsThatRecord) {
  for (const auto section :
       {keywords::general_records(), keywords::feature_records(), keywords::train_records()}) {
    for (size_t i = 0; i < section.size(); ++i) {
      EXPECT_TRUE(matches(section[i].keyword, section[i].name)) << section[i].name;
      for (size_t before = 0; before < i; ++before) {
        EXPECT_FALSE(matches(section[before].keyword, section[i].name)) << section[i].name;
      }
    }
  }
}

}  // namespace
}  // namespace scengen
