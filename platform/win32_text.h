// Text between the program (UTF-8) and Windows (UTF-16).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scengen {

/// UTF-8 to UTF-16; an invalid sequence becomes U+FFFD.
std::wstring widen(std::string_view utf8);

/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string narrow(std::wstring_view utf16);

/// The program's arguments as Windows split them (program name first), in UTF-8.
std::vector<std::string> utf8_arguments();

/// Arguments in the shape main() takes them; `arguments` must outlive the result.
std::vector<char*> argument_vector(std::vector<std::string>& arguments);

}  // namespace scengen
