#include "editors/notepad_language.h"

#include <string_view>

#include "editors/keyword_groups.h"

namespace scengen::editors {
namespace {

// Notepad++ takes a keyword of several words in double quotes.
std::string keyword_list(const KeywordGroup& group) {
  std::string list;
  for (const RecordSyntax& record : group.records) {
    for (const std::string_view word : listed_words(record)) {
      if (!list.empty()) list += ' ';
      list += word.find(' ') == std::string_view::npos ? std::string(word)
                                                        : "&quot;" + std::string(word) + "&quot;";
    }
  }
  return list;
}

std::string keyword_lists() {
  std::string text;
  int number = 1;
  for (const KeywordGroup& group : keyword_groups()) {
    text += "      <Keywords name=\"Keywords" + std::to_string(number++) + "\">" +
            keyword_list(group) + "</Keywords>\n";
  }
  for (; number <= 8; ++number) {
    text += "      <Keywords name=\"Keywords" + std::to_string(number) + "\"></Keywords>\n";
  }
  return text;
}

constexpr std::string_view kSettings =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- scengen's line texts (ROUTE_linea.txt) and train texts (ROUTE_TRAIN-.txt). Made from "
    "the\n"
    "     compiler's keyword tables by scengen-syntax-files: edit those, not this file. -->\n"
    "<NotepadPlus>\n"
    "  <UserLang name=\"scengen\" ext=\"\" udlVersion=\"2.1\">\n"
    "    <Settings>\n"
    "      <Global caseIgnored=\"yes\" allowFoldOfComments=\"no\" foldCompact=\"no\" "
    "forcePureLC=\"0\" decimalSeparator=\"0\" />\n"
    // Prefix mode: the readers match a keyword anywhere in its field ("curva" in "curvad6").
    "      <Prefix Keywords1=\"yes\" Keywords2=\"yes\" Keywords3=\"yes\" Keywords4=\"no\" "
    "Keywords5=\"no\" Keywords6=\"no\" Keywords7=\"no\" Keywords8=\"no\" />\n"
    "    </Settings>\n"
    "    <KeywordLists>\n"
    "      <Keywords name=\"Comments\">00-- 01 02 03 04</Keywords>\n"
    "      <Keywords name=\"Numbers, prefix1\"></Keywords>\n"
    "      <Keywords name=\"Numbers, prefix2\"></Keywords>\n"
    "      <Keywords name=\"Numbers, extras1\"></Keywords>\n"
    "      <Keywords name=\"Numbers, extras2\"></Keywords>\n"
    "      <Keywords name=\"Numbers, suffix1\"></Keywords>\n"
    "      <Keywords name=\"Numbers, suffix2\"></Keywords>\n"
    "      <Keywords name=\"Numbers, range\"></Keywords>\n"
    "      <Keywords name=\"Operators1\">,</Keywords>\n"
    "      <Keywords name=\"Operators2\"></Keywords>\n"
    "      <Keywords name=\"Folders in code1, open\"></Keywords>\n"
    "      <Keywords name=\"Folders in code1, middle\"></Keywords>\n"
    "      <Keywords name=\"Folders in code1, close\"></Keywords>\n"
    "      <Keywords name=\"Folders in code2, open\"></Keywords>\n"
    "      <Keywords name=\"Folders in code2, middle\"></Keywords>\n"
    "      <Keywords name=\"Folders in code2, close\"></Keywords>\n"
    "      <Keywords name=\"Folders in comment, open\"></Keywords>\n"
    "      <Keywords name=\"Folders in comment, middle\"></Keywords>\n"
    "      <Keywords name=\"Folders in comment, close\"></Keywords>\n";

// Delimiters 1: quoted texts; 2: section headers.
constexpr std::string_view kDelimiters =
    "      <Keywords name=\"Delimiters\">00&quot; 01 02&quot; 03[ 04 05] 06 07 08 09 10 11 12 13 "
    "14 15 16 17 18 19 20 21 22 23</Keywords>\n"
    "    </KeywordLists>\n";

std::string style(std::string_view name, std::string_view colour, int font_style) {
  return "      <WordsStyle name=\"" + std::string(name) + "\" fgColor=\"" + std::string(colour) +
         "\" bgColor=\"FFFFFF\" fontName=\"\" fontStyle=\"" + std::to_string(font_style) +
         "\" nesting=\"0\" />\n";
}

std::string styles() {
  struct Style {
    std::string_view name;
    std::string_view colour;
    int font_style;  // 0 plain, 1 bold, 2 italic
  };
  static constexpr Style kStyles[] = {
      {"DEFAULT", "000000", 0},        {"COMMENTS", "008000", 2},
      {"LINE COMMENTS", "008000", 2},  {"NUMBERS", "FF8000", 0},
      {"KEYWORDS1", "0000FF", 1},      {"KEYWORDS2", "0000FF", 1},
      {"KEYWORDS3", "8000FF", 1},      {"KEYWORDS4", "000000", 0},
      {"KEYWORDS5", "000000", 0},      {"KEYWORDS6", "000000", 0},
      {"KEYWORDS7", "000000", 0},      {"KEYWORDS8", "000000", 0},
      {"OPERATORS", "808080", 0},      {"FOLDER IN CODE1", "000000", 0},
      {"FOLDER IN CODE2", "000000", 0}, {"FOLDER IN COMMENT", "000000", 0},
      {"DELIMITERS1", "800000", 0},    {"DELIMITERS2", "800080", 1},
      {"DELIMITERS3", "000000", 0},    {"DELIMITERS4", "000000", 0},
      {"DELIMITERS5", "000000", 0},    {"DELIMITERS6", "000000", 0},
      {"DELIMITERS7", "000000", 0},    {"DELIMITERS8", "000000", 0},
  };
  std::string text = "    <Styles>\n";
  for (const Style& entry : kStyles) text += style(entry.name, entry.colour, entry.font_style);
  return text + "    </Styles>\n";
}

}  // namespace

std::string notepad_language() {
  return std::string(kSettings) + keyword_lists() + std::string(kDelimiters) + styles() +
         "  </UserLang>\n</NotepadPlus>\n";
}

}  // namespace scengen::editors
