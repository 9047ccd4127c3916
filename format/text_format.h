// The canonical layout of the two description texts, as the built-in texts are laid out: each
// section's fields spaced (the train text's numbers right-aligned in columns) as there.
#pragma once

#include <string>
#include <string_view>

// Its own namespace: the compiler's TextKind (Line, Train) names the texts of a compile.
namespace scengen::format {

enum class TextKind { line, train };

/// The canonical layout of a description text (bytes in, bytes out, encoding untouched);
/// comments and blank lines kept.
std::string format_text(std::string_view text, TextKind kind);

}  // namespace scengen::format
