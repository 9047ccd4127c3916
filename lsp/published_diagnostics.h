// check's errors and warnings as the protocol's diagnostics, one list per text of a pair, and
// the fixes the diagnostics know for the code actions.
#pragma once

#include <string>
#include <vector>

#include "lsp/json_rpc.h"
#include "lsp/pair_analysis.h"
#include "lsp/positions.h"

namespace scengen::lsp {

/// An edit that mends what a diagnostic reports.
struct Fix {
  std::string title;
  Range range;
  std::string new_text;  // UTF-8
  Json diagnostic;       // the diagnostic it mends
};

/// The diagnostics of one document.
struct DocumentDiagnostics {
  std::string uri;
  Json diagnostics = Json::array();
  std::vector<Fix> fixes;
};

/// The range a protocol Range takes in JSON, and back.
Json range_json(const Range& range);
Range range_from_json(const Json& range);

/// The diagnostics of each text of the pair that exists, in positions of `encoding`: errors with
/// their code (severity 1), warnings with their class (severity 2), source "scengen"; an error
/// about a taken cell points at the record that holds it.
std::vector<DocumentDiagnostics> pair_diagnostics(const PairAnalysis& analysis,
                                                  PositionEncoding encoding);

}  // namespace scengen::lsp
