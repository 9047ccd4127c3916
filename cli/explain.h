// `scengen explain TOPIC`: one part of the authors' reference (docs/formats.md), found by an error
// code, a keyword or a section header.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace scengen {

/// The reference's text, built into the program so that `explain` works wherever it is copied.
std::string_view formats_reference();

/// One "### " heading of the reference and its text up to the next heading.
struct ReferenceTopic {
  std::string name;       // the heading without "### ": "stazione", "[curve]", "Error 15"
  std::string_view text;  // the heading line and its section
};

/// What a topic explains, as its heading tells: "Error 15", a record's keyword ("stazione"), a
/// section header ("[curve]"), or the texts as a whole ("Comments").
enum class TopicKind { ErrorCode, Keyword, SectionHeader, Texts };

/// The kind of a topic; its keywords are those of the readers' tables.
TopicKind topic_kind(const ReferenceTopic& topic);

/// Cuts a reference into its topics, in order.
std::vector<ReferenceTopic> reference_topics(std::string_view reference);

/// The topic an author asks for: "15", "error 15", a keyword or a keyword field as written in a
/// text ("curvad6", "indicatori_vmax"), a section header with or without its brackets. nullptr
/// when none fits.
const ReferenceTopic* find_topic(const std::vector<ReferenceTopic>& topics, std::string_view asked);

/// The topics whose name holds the asked words (error codes aside, which go by number): those
/// where each asked word is a whole word of the name ("vetture": numero vetture), else those where
/// each is the start of one ("cartel": cartello_indicatore, [cartelli]); in the reference's order.
std::vector<const ReferenceTopic*> topics_by_word(const std::vector<ReferenceTopic>& topics,
                                                  std::string_view asked);

/// The names of the topics closest to a mistyped one, nearest first; few and only close ones.
std::vector<std::string> similar_topics(const std::vector<ReferenceTopic>& topics,
                                        std::string_view asked);

/// " (scengen explain 15)" when the reference explains the code, else empty: diagnostics end with
/// it so that an author knows where to read on.
std::string explain_hint(int32_t code);

/// Prints the topic's section to `out` (status 0): the topic named, else the one topic that holds
/// the asked words, with a line on `err` saying which it is and naming near topics. Several
/// topics holding them, or none, are suggestions on `err` with the list of topics (status 2).
int explain_topic(const std::string& topic, std::ostream& out, std::ostream& err);

}  // namespace scengen
