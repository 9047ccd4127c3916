// Text for the pictures and the page: Windows-1252 to UTF-8, XML escapes, numbers, text widths.
#pragma once

#include <string>
#include <string_view>

namespace scengen {

/// The Windows-1252 bytes as UTF-8; the five unassigned bytes become U+FFFD.
std::string utf8_from_windows_1252(std::string_view bytes);

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
