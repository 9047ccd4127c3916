#include "lsp/formatting.h"

#include "compiler/source_text.h"
#include "lsp/published_diagnostics.h"

namespace scengen::lsp {

Json formatting_edits(const TextPositions& positions, std::string_view text, TextKind kind) {
  const std::string formatted = formatted_text(text, kind);
  if (formatted == text) return Json::array();
  const Range whole{{0, 0}, positions.at_offset(text.size())};
  return Json::array({{{"range", range_json(whole)}, {"newText", utf8_from_windows_1252(formatted)}}});
}

}  // namespace scengen::lsp
