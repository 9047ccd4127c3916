// Which two texts are checked together: a line text ROUTE_linea.txt with a train text of its
// route beside it (ROUTE_TRAIN-.txt), and a train text with its route's line text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "compiler/compilation.h"
#include "lsp/documents.h"

namespace scengen::lsp {

/// A text of a pair: its URI and, when it is a file, its path.
struct PairMember {
  std::string uri;
  std::optional<std::filesystem::path> path;
};

/// The two texts checked together; a side is missing when no such text exists.
struct TextPair {
  std::optional<PairMember> line;
  std::optional<PairMember> train;

  const std::optional<PairMember>& side(TextKind kind) const {
    return kind == TextKind::Line ? line : train;
  }
};

/// The kind a document's name gives: a train text ends in "-.txt", any other is a line text.
TextKind kind_of_document(std::string_view uri);

/// The pair of the document `uri`: its partner among the open documents of the same folder
/// first, else among the files there (the first by name). The partner of a document that is no
/// file is an open document only.
TextPair find_pair(std::string_view uri, const DocumentStore& documents);

}  // namespace scengen::lsp
