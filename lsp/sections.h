// What a line of a description text stands in: the section its header opens, the records the
// convention puts there, and the reference topic of a keyword or header field.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "cli/explain.h"
#include "compiler/compilation.h"
#include "compiler/keywords.h"
#include "lsp/positions.h"

namespace scengen::lsp {

/// The reference's topics, cut once.
const std::vector<ReferenceTopic>& reference_topics_once();

/// The topic of a keyword or a section header as written in a text; nullptr for any other field
/// (an error code's number among them) and for a comment (a field holding '-').
const ReferenceTopic* field_topic(std::string_view field);

/// The header of the section line `line` (from 0) stands in: the nearest header line above it
/// (its first field); empty before the first.
std::string_view section_of_line(const TextPositions& text, int line);

/// The headers a text of this kind uses by convention, in their order.
std::vector<std::string_view> section_headers(TextKind kind);

/// The records of the section a header opens: those the convention puts under it, else every
/// record the reader may meet there.
std::vector<RecordSyntax> section_records(TextKind kind, std::string_view header);

}  // namespace scengen::lsp
