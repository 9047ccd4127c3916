// Text for the pictures and the page: XML escapes, numbers, text widths. The scenario's
// Windows-1252 bytes become UTF-8 through compiler/source_text.h first.
#pragma once

#include <string>
#include <string_view>

namespace scengen {

/// The UTF-8 text with &, <, >, " and ' escaped and control characters other than tab, line feed
/// and carriage return replaced by a space, so that it is valid anywhere in an XML document.
std::string xml_escaped(std::string_view utf8);

/// The number with at most `decimals` decimals, trailing zeros dropped, never "-0".
std::string format_number(double value, int decimals = 2);

/// The width in pixels that the UTF-8 text takes in the pictures' font (DejaVu Sans) at the size.
double text_width(std::string_view utf8, double font_size, bool bold = false);

/// The font list that every picture uses; the widths above are measured for its first font.
inline constexpr const char* kPictureFont = "DejaVu Sans, Verdana, sans-serif";

}  // namespace scengen
