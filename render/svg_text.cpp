#include "render/svg_text.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace scengen {
namespace {

// Advance widths of DejaVu Sans for U+0020 to U+007E, in thousandths of the font size.
constexpr std::array<uint16_t, 95> kAsciiWidths = {
    318, 401, 460, 838, 636, 950, 780, 275, 390, 390, 500, 838, 318, 361,  318, 337, 636, 636, 636,
    636, 636, 636, 636, 636, 636, 636, 337, 337, 838, 838, 838, 531, 1000, 684, 686, 698, 770, 632,
    575, 775, 752, 295, 295, 656, 557, 863, 748, 787, 603, 787, 695, 635,  611, 732, 684, 989, 685,
    611, 685, 390, 337, 390, 838, 500, 500, 613, 635, 550, 635, 615, 352,  635, 634, 278, 278, 579,
    278, 974, 634, 612, 635, 635, 411, 521, 392, 634, 592, 818, 592, 592,  525, 636, 337, 636, 838};

}  // namespace

std::string xml_escaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<uint8_t>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          out += ' ';
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string format_number(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

double text_width(std::string_view utf8, double font_size, bool bold) {
  double thousandths = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<uint8_t>(utf8[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      thousandths += kAsciiWidths[byte - 0x20];
    } else if (byte >= 0xC0 || byte < 0x80) {
      thousandths += 650;  // the first byte of any other character: an average letter
    }
  }
  // The bold face is about a tenth wider.
  return thousandths / 1000.0 * font_size * (bold ? 1.1 : 1.0);
}

}  // namespace scengen
