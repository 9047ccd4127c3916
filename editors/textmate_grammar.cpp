#include "editors/textmate_grammar.h"

#include <nlohmann/json.hpp>

#include "editors/keyword_groups.h"

namespace scengen::editors {
namespace {

using Json = nlohmann::ordered_json;

// A field runs to the next comma or line end.
constexpr std::string_view kFieldChar = "[^,\\r\\n]";

std::string literal(std::string_view word) {
  std::string text;
  for (const char c : word) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) text += '\\';
    text += c;
  }
  return text;
}

// A keyword field at the start of a line: the readers match a keyword anywhere in the field, so
// every required word is a look-ahead within the field.
std::string keyword_field_pattern(const Keyword& keyword) {
  std::string pattern = "^[ \\t]*";
  for (const std::string_view word : required_words(keyword)) {
    const std::string text = literal(word);
    pattern += "(?=" + std::string(kFieldChar) + "*" +
               (keyword.ignore_case ? "(?i:" + text + ")" : text) + ")";
  }
  return pattern + std::string(kFieldChar) + "*";
}

Json keyword_patterns(const KeywordGroup& group) {
  Json patterns = Json::array();
  for (const RecordSyntax& record : group.records) {
    patterns.push_back({{"comment", std::string(record.name)},
                        {"match", keyword_field_pattern(record.keyword)},
                        {"name", "keyword.other." + std::string(group.name) + ".scengen"}});
  }
  return {{"comment", "the keywords of " + std::string(group.description)},
          {"patterns", patterns}};
}

Json include(std::string_view name) { return {{"include", "#" + std::string(name)}}; }

// A section runs from its header to the line before the next header.
Json section(std::string_view header, std::string_view keyword_group) {
  return {{"begin", "^[ \\t]*(" + std::string(header) + ")"},
          {"beginCaptures", {{"1", {{"name", "entity.name.section.scengen"}}}}},
          {"end", "^(?=[ \\t]*\\[)"},
          {"patterns", Json::array({include("comment"), include(keyword_group),
                                    include("train-keywords"), include("values")})}};
}

Json values() {
  const Json quoted = {{"begin", "\""}, {"end", "\""}, {"name", "string.quoted.double.scengen"}};
  const Json number = {{"match", "(?<![\\w.])[-+]?\\d+"}, {"name", "constant.numeric.scengen"}};
  // A field after a comma that does not start as a number: a station name, a board text.
  const Json text = {
      {"match", "(?<=,)[ \\t]*([^-+\\d \\t,\\r\\n\"]" + std::string(kFieldChar) + "*)"},
      {"captures", {{"1", {{"name", "string.unquoted.scengen"}}}}}};
  return {{"patterns", Json::array({quoted, number, text})}};
}

}  // namespace

std::string textmate_grammar() {
  Json repository = {
      // A first field holding a hyphen is passed over by the readers: a comment.
      {"comment",
       {{"match", "^[ \\t]*" + std::string(kFieldChar) + "*-" + std::string(kFieldChar) + "*"},
        {"name", "comment.line.scengen"}}},
      {"general-section", section("(?i:" + literal(keywords::kGeneralHeader.word) + ")",
                                  "general-keywords")},
      {"record-section", section("\\[[^\\],\\r\\n]*\\]", "feature-keywords")},
      {"values", values()},
  };
  for (const KeywordGroup& group : keyword_groups()) {
    repository[std::string(group.name) + "-keywords"] = keyword_patterns(group);
  }
  const Json grammar = {
      {"name", "scengen"},
      {"scopeName", "source.scengen"},
      {"comment",
       "Line texts (ROUTE_linea.txt) and train texts (ROUTE_TRAIN-.txt) of scengen. Made from "
       "the compiler's keyword tables by scengen-syntax-files: edit those, not this file."},
      {"fileTypes", Json::array({"_linea.txt", "-.txt"})},
      {"patterns",
       Json::array({include("comment"), include("general-section"), include("record-section")})},
      {"repository", repository},
  };
  return grammar.dump(2) + "\n";
}

}  // namespace scengen::editors
