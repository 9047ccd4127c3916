#include "editors/keyword_groups.h"

#include <cctype>

namespace scengen::editors {

std::vector<KeywordGroup> keyword_groups() {
  return {
      {"general", "the line text's general section", keywords::general_records()},
      {"feature", "the line text's features", keywords::feature_records()},
      {"train", "the train text's records", keywords::train_records()},
  };
}

std::vector<std::string_view> required_words(const Keyword& keyword) {
  std::vector<std::string_view> words{keyword.word};
  if (!keyword.also.empty()) words.push_back(keyword.also);
  return words;
}

std::vector<std::string_view> listed_words(const RecordSyntax& record) {
  std::vector<std::string_view> words{record.name};
  if (!record.name.starts_with(record.keyword.word)) words.push_back(record.keyword.word);
  return words;
}

std::string capitalized(std::string_view word) {
  std::string text(word);
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace scengen::editors
