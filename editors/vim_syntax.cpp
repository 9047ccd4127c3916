#include "editors/vim_syntax.h"

#include "editors/keyword_groups.h"

namespace scengen::editors {
namespace {

// A word inside a Vim pattern with the default 'magic'.
std::string literal(std::string_view word) {
  std::string text;
  for (const char c : word) {
    if (std::string_view("\\^$.*[]~/\"").find(c) != std::string_view::npos) text += '\\';
    text += c;
  }
  return text;
}

// A keyword field at the start of a line: the readers match a keyword anywhere in the field, so
// every required word is a look-ahead within the field. \c or \C at the end decides the case of
// the whole pattern (at its start it would make ^ a plain character).
std::string keyword_field_pattern(const Keyword& keyword) {
  std::string pattern = "^\\s*";
  for (const std::string_view word : required_words(keyword)) {
    pattern += "\\%([^,]*" + literal(word) + "\\)\\@=";
  }
  return pattern + "[^,]*" + (keyword.ignore_case ? "\\c" : "\\C");
}

std::string keyword_matches(const KeywordGroup& group) {
  const std::string syntax_group = "scengen" + capitalized(group.name) + "Keyword";
  std::string text = "\" The keywords of " + std::string(group.description) + ".\n";
  for (const RecordSyntax& record : group.records) {
    text += "syn match " + syntax_group + " \"" + keyword_field_pattern(record.keyword) +
            "\" contained\n";
  }
  return text;
}

constexpr std::string_view kHeader =
    "\" Vim syntax file\n"
    "\" Language: scengen line texts (ROUTE_linea.txt) and train texts (ROUTE_TRAIN-.txt)\n"
    "\" Made from the compiler's keyword tables by scengen-syntax-files: edit those, not this "
    "file.\n"
    "\n"
    "if exists('b:current_syntax')\n"
    "  finish\n"
    "endif\n"
    "\n";

// Sections run from a header to the line before the next one; the general section holds the
// line text's general records and, in a train text, the train's.
constexpr std::string_view kSections =
    "syn cluster scengenValues contains=scengenNumber,scengenText,scengenString\n"
    "syn region scengenGeneralSection matchgroup=scengenHeader "
    "start=\"^\\s*\\[generale\\]\\c\" end=\"^\\ze\\s*\\[\" "
    "contains=scengenGeneralKeyword,scengenTrainKeyword,scengenComment,@scengenValues\n"
    "syn region scengenRecordSection matchgroup=scengenHeader "
    "start=\"^\\s*\\[\\%(generale\\]\\)\\@![^],]*\\]\\c\" end=\"^\\ze\\s*\\[\" "
    "contains=scengenFeatureKeyword,scengenTrainKeyword,scengenComment,@scengenValues\n"
    "\n"
    "syn match scengenNumber \"[-+]\\=\\<\\d\\+\\>\" contained\n"
    "\" A field after a comma that does not start as a number: a station name, a board text.\n"
    "syn match scengenText /,\\s*\\zs[^-+0-9 \\t,\"][^,]*/ contained\n"
    "syn region scengenString start=+\"+ end=+\"+ contained\n"
    "\" A first field holding a hyphen is passed over by the readers: a comment. Defined last, "
    "it wins\n"
    "\" over a keyword in the same field.\n"
    "syn match scengenComment \"^\\s*[^,]*-[^,]*\"\n"
    "\n"
    "syn sync fromstart\n"
    "\n"
    "hi def link scengenHeader Title\n"
    "hi def link scengenGeneralKeyword Keyword\n"
    "hi def link scengenFeatureKeyword Keyword\n"
    "hi def link scengenTrainKeyword Keyword\n"
    "hi def link scengenComment Comment\n"
    "hi def link scengenNumber Number\n"
    "hi def link scengenText String\n"
    "hi def link scengenString String\n"
    "\n"
    "let b:current_syntax = 'scengen'\n";

}  // namespace

std::string vim_syntax() {
  std::string text(kHeader);
  for (const KeywordGroup& group : keyword_groups()) text += keyword_matches(group) + "\n";
  return text + std::string(kSections);
}

std::string vim_file_detection() {
  return "\" scengen's line texts (ROUTE_linea.txt) and train texts (ROUTE_TRAIN-.txt).\n"
         // set, not setfiletype: the default rule for *.txt has set "text" already.
         "autocmd BufNewFile,BufRead *_linea.txt,*_*-.txt set filetype=scengen\n";
}

}  // namespace scengen::editors
