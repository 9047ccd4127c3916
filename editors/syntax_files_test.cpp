#include "editors/syntax_files.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "editors/keyword_groups.h"
#include "editors/textmate_grammar.h"

namespace scengen::editors {
namespace {

std::string word_in_grammar(const Keyword& keyword, std::string_view word) {
  return keyword.ignore_case ? "(?i:" + std::string(word) + ")" : std::string(word);
}

TEST(TextMateGrammar, EveryKeywordOfTheTablesIsAPatternOfItsGroup) {
  const auto grammar = nlohmann::json::parse(textmate_grammar());
  EXPECT_EQ(grammar["scopeName"], "source.scengen");
  for (const KeywordGroup& group : keyword_groups()) {
    SCOPED_TRACE(group.name);
    const auto& patterns = grammar["repository"][std::string(group.name) + "-keywords"]["patterns"];
    ASSERT_EQ(patterns.size(), group.records.size());
    for (size_t i = 0; i < group.records.size(); ++i) {
      const Keyword& keyword = group.records[i].keyword;
      const std::string match = patterns[i]["match"];
      for (const std::string_view word : required_words(keyword)) {
        EXPECT_NE(match.find(word_in_grammar(keyword, word)), std::string::npos)
            << match << " lacks " << word;
      }
      EXPECT_EQ(patterns[i]["name"], "keyword.other." + std::string(group.name) + ".scengen");
    }
  }
}

// The line text's general section is read with its own records and the feature section with the
// feature records; a train text's records may stand in any section.
TEST(TextMateGrammar, SectionsIncludeTheKeywordsTheirReaderExamines) {
  const auto repository = nlohmann::json::parse(textmate_grammar())["repository"];
  const struct {
    const char* section;
    std::vector<std::string> includes;
  } kCases[] = {
      {"general-section", {"#comment", "#general-keywords", "#train-keywords", "#values"}},
      {"record-section", {"#comment", "#feature-keywords", "#train-keywords", "#values"}},
  };
  for (const auto& entry : kCases) {
    std::vector<std::string> includes;
    for (const auto& pattern : repository[entry.section]["patterns"]) {
      includes.push_back(pattern["include"]);
    }
    EXPECT_EQ(includes, entry.includes) << entry.section;
  }
}

TEST(SyntaxFiles, EachNamesEveryRecordOfEveryGroup) {
  for (const SyntaxFile& file : syntax_files()) {
    if (file.path.find("ftdetect") != std::string::npos) continue;
    for (const KeywordGroup& group : keyword_groups()) {
      for (const RecordSyntax& record : group.records) {
        for (const std::string_view word : required_words(record.keyword)) {
          EXPECT_NE(file.contents.find(word), std::string::npos)
              << file.path << " lacks " << word << " of " << record.name;
        }
      }
    }
  }
}

TEST(SyntaxFiles, VimDetectionNamesBothTexts) {
  for (const SyntaxFile& file : syntax_files()) {
    if (file.path != "vim/ftdetect/scengen.vim") continue;
    EXPECT_EQ(file.contents,
              "\" scengen's line texts (ROUTE_linea.txt) and train texts (ROUTE_TRAIN-.txt).\n"
              "autocmd BufNewFile,BufRead *_linea.txt,*_*-.txt set filetype=scengen\n");
    return;
  }
  FAIL() << "no vim/ftdetect/scengen.vim";
}

}  // namespace
}  // namespace scengen::editors
