#include "run/printable_text.h"

#include "platform/file_layer.h"

namespace scengen {
namespace {

void append_escaped(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xf];
}

// The length of the valid UTF-8 sequence starting at `at`, or 0 when it is not one.
size_t sequence_length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  uint32_t code = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2, code = lead & 0x1f;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3, code = lead & 0x0f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4, code = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xc0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3f);
  }
  // Overlong forms, surrogates and values beyond Unicode are not text.
  const uint32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < lowest[length] || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff) return 0;
  return length;
}

}  // namespace

std::string printable_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      if (lead < 0x20 || lead == 0x7f) {
        append_escaped(out, lead);
      } else {
        out += text[at];
      }
      ++at;
      continue;
    }
    const size_t length = sequence_length(text, at);
    const bool c1 = length == 2 && lead == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
    if (length == 0 || c1) {
      // A C1 control shows as its two bytes; a stray byte alone.
      const size_t shown = c1 ? 2 : 1;
      for (size_t i = 0; i < shown; ++i)
        append_escaped(out, static_cast<unsigned char>(text[at + i]));
      at += shown;
      continue;
    }
    out.append(text, at, length);
    at += length;
  }
  return out;
}

std::string printable_path(const std::filesystem::path& path) {
  return printable_text(display_path(path));
}

}  // namespace scengen
