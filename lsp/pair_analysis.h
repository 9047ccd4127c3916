// One compile of a pair of texts as `check` makes it, kept while its documents are open: the
// diagnostics come from its report, hover and completion from its scenario model.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "cli/diagnostics.h"
#include "compiler/compilation.h"
#include "lsp/documents.h"
#include "lsp/pairing.h"
#include "platform/file_layer.h"
#include "scenario/scenario_model.h"

namespace scengen::lsp {

/// How many warnings a compile keeps for the editor; the others are counted.
inline constexpr size_t kMaxPublishedWarnings = 1000;

/// A text that has no Windows-1252 form: check's report of its first such character, and the
/// UTF-8 text it points into.
struct UnconvertedText {
  CompileReport report;
  std::string utf8;
};

struct PairAnalysis {
  std::array<std::string, 2> uris;  // the line text's, the train text's; empty: no such text
  AuthorTexts texts;                // Windows-1252 bytes, the paths those of the documents
  std::optional<UnconvertedText> unconverted;  // then nothing is compiled
  bool compiled = false;
  Compilation compilation;
  CompileReport report;

  const std::string& uri(TextKind kind) const { return uris[kind == TextKind::Line ? 0 : 1]; }
  /// The model of the compile, built on first use; nullptr when no track was compiled.
  const ScenarioModel* model();

 private:
  std::optional<ScenarioModel> model_;
};

/// Reads the texts of the pair (an open document's text, else the file's bytes) and compiles
/// them as check does. A line text without a train text is compiled with an empty one; a train
/// text without its line text is not compiled.
std::unique_ptr<PairAnalysis> analyse_pair(const TextPair& pair, const DocumentStore& documents,
                                           FileLayer& files);

}  // namespace scengen::lsp
