// Texts of the scenario files are Windows-1252; terminals and JSON want UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace scengen {

/// The Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined become the
/// control characters of the same number, as Windows converts them.
std::string windows_1252_to_utf8(std::string_view bytes);

}  // namespace scengen
