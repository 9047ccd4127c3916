#include "cli/explain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <sstream>
#include <string>

#include "compiler/error_codes.h"
#include "compiler/field_reader.h"
#include "compiler/keywords.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

const std::vector<ReferenceTopic>& topics() {
  static const std::vector<ReferenceTopic> all = reference_topics(formats_reference());
  return all;
}

// The reference's topics are of three kinds, told apart by their headings: "Error 15", a section
// header in brackets, and a keyword in lower case. Headings in capitals are the topics of the text
// as a whole ("Comments", "Encoding").
bool is_error_topic(const std::string& name) {
  return name.starts_with("Error ");
}
bool is_section_topic(const std::string& name) {
  return name.starts_with("[");
}
bool is_keyword_topic(const std::string& name) {
  return !name.empty() && name[0] >= 'a' && name[0] <= 'z';
}

// The reference and the code cannot drift apart: each list is compared in both directions.

TEST(ReferenceAgreesWithTheReaders, EveryKeywordHasItsTopicAndNoTopicNamesAnUnknownKeyword) {
  std::set<std::string> keywords;
  for (const Keyword* keyword : keywords::kAll) {
    if (!keyword->topic.starts_with("[")) keywords.insert(std::string(keyword->topic));
  }
  std::set<std::string> documented;
  for (const ReferenceTopic& topic : topics()) {
    if (is_keyword_topic(topic.name)) documented.insert(topic.name);
  }
  EXPECT_EQ(documented, keywords);
}

TEST(ReferenceAgreesWithTheReaders, EverySectionHeaderHasItsTopic) {
  std::set<std::string> headers(std::begin(keywords::kSectionHeaders),
                                std::end(keywords::kSectionHeaders));
  std::set<std::string> documented;
  for (const ReferenceTopic& topic : topics()) {
    if (is_section_topic(topic.name)) documented.insert(topic.name);
  }
  EXPECT_EQ(documented, headers);
  // The built-in texts use no header that the table lacks.
  for (const LineList& lines : {line_description_lines(), train_description_lines()}) {
    for (const std::string& line : lines) {
      if (line.starts_with("[")) {
        EXPECT_TRUE(headers.count(line)) << line;
      }
    }
  }
}

TEST(ReferenceAgreesWithTheReaders, EveryErrorCodeOfTheCatalogueHasItsTopic) {
  std::set<std::string> codes;
  for (int32_t code = -1000; code <= 100000; ++code) {
    if (find_error_code(code)) codes.insert("Error " + std::to_string(code));
  }
  std::set<std::string> documented;
  for (const ReferenceTopic& topic : topics()) {
    if (is_error_topic(topic.name)) documented.insert(topic.name);
  }
  EXPECT_EQ(documented, codes);
}

// Each keyword's section shows the record as it is written: an example whose keyword field the
// reader matches.
TEST(ReferenceAgreesWithTheReaders, EveryKeywordSectionHasAnExampleTheReaderMatches) {
  for (const Keyword* keyword : keywords::kAll) {
    const ReferenceTopic* topic = find_topic(topics(), keyword->topic);
    ASSERT_NE(topic, nullptr) << keyword->topic;
    bool example = false;
    std::istringstream lines{std::string(topic->text)};
    for (std::string line; std::getline(lines, line);) {
      if (!line.starts_with("    ")) continue;
      const std::string field = line.substr(4, line.find(',') - 4);
      example = example || matches(*keyword, field);
    }
    EXPECT_TRUE(example) << keyword->topic << " (" << keyword->word << ")";
  }
}

// Whether `line` holds a record's keyword and exactly `values` values after it, on the line, as
// the readers take fields (a record's last value read as text: a board text, a station name).
bool holds_values(const std::string& line, int values) {
  const std::string text = line + "\r\n";
  FieldReader fields(text, TextKind::Train);
  try {
    fields.read_text();
    for (int i = 1; i < values; ++i) fields.read_long();
    fields.read_text();
  } catch (const ReadFailure&) {
    return false;
  }
  return fields.field_start().line == 1 && !fields.rest_of_line_has_fields();
}

// The record a line holds: the first row of `section` that its keyword field matches.
const RecordSyntax* record_of(std::span<const RecordSyntax> section, const std::string& line) {
  const std::string field = line.substr(0, line.find(','));
  for (const RecordSyntax& record : section) {
    if (matches(record.keyword, field)) return &record;
  }
  return nullptr;
}

// The readers' tables give each record its number of values; the reference's examples and the
// built-in texts write them so.
TEST(ReferenceAgreesWithTheReaders, EveryRecordIsWrittenWithItsNumberOfValues) {
  const std::span<const RecordSyntax> sections[] = {
      keywords::general_records(), keywords::feature_records(), keywords::train_records()};
  for (const std::span<const RecordSyntax> section : sections) {
    for (const RecordSyntax& record : section) {
      const ReferenceTopic* topic = find_topic(topics(), record.keyword.topic);
      ASSERT_NE(topic, nullptr) << record.name;
      std::istringstream lines{std::string(topic->text)};
      for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("    ") || record_of(section, line.substr(4)) != &record) continue;
        EXPECT_TRUE(holds_values(line.substr(4), record.values)) << record.name << ": " << line;
      }
    }
  }
  const auto check_text = [](const LineList& text, std::span<const std::span<const RecordSyntax>> in) {
    for (const std::string& line : text) {
      if (line.find('-') != std::string::npos) continue;  // a comment
      for (const std::span<const RecordSyntax> section : in) {
        if (const RecordSyntax* record = record_of(section, line)) {
          EXPECT_TRUE(holds_values(line, record->values)) << record->name << ": " << line;
        }
      }
    }
  };
  check_text(line_description_lines(), std::span(sections).first(2));
  check_text(train_description_lines(), std::span(sections).last(1));
}

TEST(ReferenceTopics, EachTopicsKindComesFromItsHeadingAndTheReadersKeywords) {
  struct Case {
    const char* name;
    TopicKind kind;
  };
  const Case cases[] = {
      {"Error 15", TopicKind::ErrorCode},       {"stazione", TopicKind::Keyword},
      {"progressiva chilometrica", TopicKind::Keyword}, {"[curve]", TopicKind::SectionHeader},
      {"Comments", TopicKind::Texts},           {"treno", TopicKind::Texts},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(topic_kind({c.name, {}}), c.kind) << c.name;
  }
}

TEST(ReferenceTopics, ASectionRunsToTheNextHeadingAndKeepsItsHeading) {
  const auto cut = reference_topics(
      "# Title\nintro\n### one\nfirst\n\n## Part\nnot in one\n### [two]\nsecond\n### Error "
      "3\nthird\n");
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[0].name, "one");
  EXPECT_EQ(cut[0].text, "### one\nfirst");
  EXPECT_EQ(cut[1].name, "[two]");
  EXPECT_EQ(cut[1].text, "### [two]\nsecond");
  EXPECT_EQ(cut[2].text, "### Error 3\nthird");
}

TEST(FindTopic, FindsACodeAKeywordASectionAndAKeywordFieldAsWritten) {
  struct Case {
    const char* asked;
    const char* topic;
  };
  const Case cases[] = {
      {"15", "Error 15"},
      {"error 15", "Error 15"},
      {" Error  1250 ", "Error 1250"},
      {"E103", "Error 103"},
      {"stazione", "stazione"},
      {"STAZIONE", "stazione"},
      {"[curve]", "[curve]"},
      {"curve", "[curve]"},
      {"[FINE]", "[fine]"},
      {"curvad6", "curva"},
      {"indicatori_vmax", "indicatori_v"},
      {"velocità", "velocita"},
      {"progressiva chilometrica uno", "progressiva chilometrica"},
      {"ripetizione segnali 9 codici", "ripetizione segnali"},
      {"sfondo tre", "sfondo"},
      {"comments", "Comments"},
  };
  for (const Case& c : cases) {
    const ReferenceTopic* topic = find_topic(topics(), c.asked);
    ASSERT_NE(topic, nullptr) << c.asked;
    EXPECT_EQ(topic->name, c.topic) << c.asked;
  }
  for (const char* unknown : {"14", "error 23", "", "treno", "error x"}) {
    EXPECT_EQ(find_topic(topics(), unknown), nullptr) << unknown;
  }
}

TEST(ExplainTopic, PrintsTheSectionOfACode) {
  std::ostringstream out, err;
  EXPECT_EQ(explain_topic("15", out, err), 0);
  EXPECT_TRUE(out.str().starts_with("### Error 15\n")) << out.str();
  EXPECT_NE(out.str().find("beyond the track"), std::string::npos);
  EXPECT_EQ(out.str().find("### Error 16"), std::string::npos);
  EXPECT_EQ(err.str(), "");
}

TEST(ExplainTopic, PrintsTheSectionOfAKeywordAndOfAHeader) {
  for (const char* asked : {"stazione", "[curve]"}) {
    std::ostringstream out, err;
    EXPECT_EQ(explain_topic(asked, out, err), 0) << asked;
    EXPECT_TRUE(out.str().starts_with(std::string("### ") + asked + "\n")) << out.str();
    EXPECT_EQ(out.str().find("\n#"), std::string::npos) << "one section only: " << out.str();
  }
}

TEST(ExplainTopic, AnUnknownTopicSuggestsTheNearestAndListsThemAll) {
  std::ostringstream out, err;
  EXPECT_EQ(explain_topic("stazone", out, err), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("no topic \"stazone\""), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("Did you mean: stazione"), std::string::npos) << err.str();
  for (const char* listed : {" 1250", " [curve],", " cartello_indicatore,", " comments,"}) {
    EXPECT_NE(err.str().find(listed), std::string::npos) << listed;
  }
}

TEST(ExplainTopic, AFarTopicGetsTheListWithoutAGuess) {
  std::ostringstream out, err;
  EXPECT_EQ(explain_topic("locomotiva elettrica", out, err), 2);
  EXPECT_EQ(err.str().find("Did you mean"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("Topics:\n  error codes: 1, 2,"), std::string::npos) << err.str();
}

TEST(TopicsByWord, AWholeWordFirstThenTheStartOfOne) {
  struct Case {
    const char* asked;
    std::vector<std::string> found;
  };
  const Case cases[] = {
      {"vetture", {"numero vetture"}},
      {"VETTURE", {"numero vetture"}},
      {"cartello", {"cartello_indicatore"}},
      {"indicatore", {"cartello_indicatore"}},
      {"massa frenata", {"percentuale massa frenata"}},
      // A whole word wins over the names it only starts: "file" is a word of "End of file".
      {"file", {"End of file"}},
      {"vett", {"numero vetture"}},
      {"cartel", {"[cartelli]", "cartello_indicatore"}},
      {"stazion", {"[stazioni]", "stazione"}},
      {"segnal", {"[segnali]", "segnale", "ripetizione segnali"}},
      // Every asked word must be there.
      {"numero treno", {}},
      // Error codes go by number only, and two letters start too many words.
      {"error", {}},
      {"15", {}},
      {"ca", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    for (const ReferenceTopic* topic : topics_by_word(topics(), c.asked))
      names.push_back(topic->name);
    std::vector<std::string> expected = c.found;
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected) << c.asked;
  }
}

TEST(ExplainTopic, OneTopicHoldingTheWordIsPrintedSeveralAreSuggested) {
  struct Case {
    const char* asked;
    int status;
    const char* first_out_line;  // empty when nothing is printed
    const char* first_err_lines;
  };
  const Case cases[] = {
      // A keyword field as written finds its record without a word.
      {"vetture", 0, "### numero vetture", ""},
      {"numero", 0, "### numero vetture", "scengen explain: taking \"numero\" as numero vetture\n"},
      {"cartello", 0, "### cartello_indicatore",
       "scengen explain: taking \"cartello\" as cartello_indicatore; see also [cartelli]\n"},
      // An exact name still wins over the words of others.
      {"stazione", 0, "### stazione", ""},
      {"stazion", 2, "",
       "scengen explain: no topic \"stazion\"\nDid you mean: [stazioni], stazione?\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(explain_topic(c.asked, out, err), c.status) << c.asked;
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), c.first_out_line) << c.asked;
    EXPECT_EQ(err.str().substr(0, std::string_view(c.first_err_lines).size()), c.first_err_lines)
        << c.asked;
    if (c.status == 0) {
      EXPECT_EQ(err.str(), c.first_err_lines) << c.asked;
    }
  }
}

TEST(SimilarTopics, ABracketlessOrMistypedHeaderFindsItsSection) {
  EXPECT_EQ(similar_topics(topics(), "pendenze_")[0], "[pendenze]");
  EXPECT_EQ(similar_topics(topics(), "montagne")[0], "[montagne]");
}

TEST(ExplainHint, NamesTheCommandOnlyForADocumentedCode) {
  EXPECT_EQ(explain_hint(15), " (scengen explain 15)");
  EXPECT_EQ(explain_hint(14), "");
}

}  // namespace
}  // namespace scengen
