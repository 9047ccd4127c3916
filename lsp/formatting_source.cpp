// The formatter the server's formatting uses: the layout of `scengen fmt`.
#include "format/text_format.h"
#include "lsp/formatting.h"

namespace scengen::lsp {

std::string formatted_text(std::string_view text, TextKind kind) {
  return format::format_text(text, kind == TextKind::Line ? format::TextKind::line
                                                          : format::TextKind::train);
}

}  // namespace scengen::lsp
