// Text from files and arguments shown to a person: no byte of it may act on the terminal.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace scengen {

/// `text` with every control character (C0, DEL, C1) and every byte that is not part of valid
/// UTF-8 written as \xNN, so that a name or record read from a file cannot move the cursor,
/// recolour the terminal or split a one-line message. Printable UTF-8 passes unchanged.
std::string printable_text(std::string_view text);

/// The path as messages show it (quoted, UTF-8), made printable.
std::string printable_path(const std::filesystem::path& path);

}  // namespace scengen
