#include "lsp/code_actions.h"

#include <tuple>

namespace scengen::lsp {
namespace {

bool before(const Position& a, const Position& b) {
  return std::tie(a.line, a.character) < std::tie(b.line, b.character);
}

// Whether two ranges share a place; an empty range (a cursor) meets the range it touches.
bool meet(const Range& a, const Range& b) { return !before(a.end, b.start) && !before(b.end, a.start); }

}  // namespace

Json code_actions(const std::string& uri, const std::vector<Fix>& fixes, const Range& range) {
  Json actions = Json::array();
  for (const Fix& fix : fixes) {
    if (!meet(fix.range, range)) continue;
    Json edit = {{"range", range_json(fix.range)}, {"newText", fix.new_text}};
    actions.push_back({{"title", fix.title},
                       {"kind", "quickfix"},
                       {"diagnostics", Json::array({fix.diagnostic})},
                       {"isPreferred", true},
                       {"edit", {{"changes", {{uri, Json::array({edit})}}}}}});
  }
  return actions;
}

}  // namespace scengen::lsp
