// The keywords an editor highlights, grouped as the readers examine them: the line text's general
// section, its feature section and the train text's records. Every syntax file is made from these
// groups, so a keyword added to a reader's table reaches the editors with the next build.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/keywords.h"

namespace scengen::editors {

/// The records one reader examines in one part of a text.
struct KeywordGroup {
  std::string_view name;         // a word for the group in the syntax files' own names
  std::string_view description;  // for the comments of the generated files
  std::span<const RecordSyntax> records;
};

/// The three groups: general records, feature records, train records.
std::vector<KeywordGroup> keyword_groups();

/// The words of a keyword a field must contain, one or two.
std::vector<std::string_view> required_words(const Keyword& keyword);

/// The words a word-list highlighter offers for a record: its name as authors write it and,
/// when the tested word is not the name's start, that word too.
std::vector<std::string_view> listed_words(const RecordSyntax& record);

/// The group name with its first letter in capitals ("general" -> "General").
std::string capitalized(std::string_view word);

}  // namespace scengen::editors
