#include "texts/annotated_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/keywords.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

std::vector<std::string> lines_of(const LineList& list) {
  std::vector<std::string> lines;
  for (const std::string& line : list) {
    if (line == kEndMarker) break;
    lines.push_back(line);
  }
  return lines;
}

// Only the keyword field counts: a record's values may hold a minus sign.
bool is_comment(const std::string& line) {
  return line.substr(0, line.find(',')).find('-') != std::string::npos;
}

struct Texts {
  const char* name;
  LineList plain;
  LineList annotated;
};

std::vector<Texts> both() {
  return {{"line", line_description_lines(), annotated_line_description_lines()},
          {"train", train_description_lines(), annotated_train_description_lines()}};
}

TEST(AnnotatedTexts, AddOnlyCommentsThatTheReadersPassOver) {
  for (const Texts& t : both()) {
    const std::vector<std::string> annotated = lines_of(t.annotated);
    std::vector<std::string> without_comments;
    int in_a_row = 0;
    bool records = false;
    for (const std::string& line : annotated) {
      records = records || line == "[generale]";
      if (!is_comment(line)) {
        without_comments.push_back(line);
        in_a_row = 0;
        continue;
      }
      // A comma would end the comment and start a field that is tested as a keyword; a third
      // comment in a row would be read as a record.
      EXPECT_EQ(line.find(','), std::string::npos) << t.name << ": " << line;
      EXPECT_EQ(line.find("[generale]"), std::string::npos) << t.name << ": " << line;
      if (records) {
        EXPECT_LE(++in_a_row, 2) << t.name << ": " << line;
      }
    }
    EXPECT_EQ(without_comments, lines_of(t.plain)) << t.name;
    EXPECT_GT(annotated.size(), without_comments.size()) << t.name;
  }
}

TEST(AnnotatedTexts, ExplainEveryKindOfRecordAboveItsFirstLine) {
  for (const Texts& t : both()) {
    const std::vector<std::string> annotated = lines_of(t.annotated);
    // One note serves the records that share a topic ("progressiva chilometrica uno", "due"...).
    std::set<std::string_view> topics;
    for (const Keyword* keyword : keywords::kAll) {
      if (keyword != &keywords::kGeneralHeader) topics.insert(keyword->topic);
    }
    for (const std::string_view topic : topics) {
      for (size_t i = 0; i < annotated.size(); ++i) {
        const std::string& line = annotated[i];
        const std::string field = line.substr(0, line.find(','));
        const bool of_topic = std::any_of(
            std::begin(keywords::kAll), std::end(keywords::kAll),
            [&](const Keyword* k) { return k->topic == topic && matches(*k, field); });
        if (is_comment(line) || !of_topic) continue;
        ASSERT_GT(i, 0u);
        EXPECT_TRUE(is_comment(annotated[i - 1])) << t.name << ": no note above " << line;
        break;
      }
    }
  }
}

}  // namespace
}  // namespace scengen
