// Formatting: the edits `scengen fmt` makes, as one edit of the whole document.
#pragma once

#include <string>
#include <string_view>

#include "compiler/compilation.h"
#include "lsp/json_rpc.h"
#include "lsp/positions.h"

namespace scengen::lsp {

/// The text as `scengen fmt` writes it (Windows-1252 bytes in and out). Defined apart, in
/// formatting_source.cpp.
std::string formatted_text(std::string_view text, TextKind kind);

/// The protocol's TextEdits that format the Windows-1252 text: one that replaces the whole
/// document, or none when it is formatted already.
Json formatting_edits(const TextPositions& positions, std::string_view text, TextKind kind);

}  // namespace scengen::lsp
