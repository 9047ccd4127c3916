#include "compiler/source_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace scengen {
namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves unassigned.
// Every other byte is the Latin-1 code point of the same number.
constexpr std::array<char16_t, 32> kHighBytes = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

constexpr char32_t kReplacement = 0xFFFD;

// Every code point of the code page lies below U+10000: at most three bytes.
void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The code point that starts at `at` and its length in bytes; nothing for bytes that are not
// UTF-8: a stray continuation byte, a sequence cut short, an overlong form, a surrogate or a code
// point beyond U+10FFFF.
std::optional<std::pair<char32_t, size_t>> decode_utf8(std::string_view text, size_t at) {
  const auto lead = static_cast<uint8_t>(text[at]);
  if (lead < 0x80) return std::pair<char32_t, size_t>{lead, 1};
  size_t length = 0;
  char32_t code = 0;
  if (lead >= 0xC0 && lead < 0xE0) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead < 0xF8) {
    length = 4, code = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (text.size() - at < length) return std::nullopt;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<uint8_t>(text[at + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kShortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return std::nullopt;
  }
  return std::pair<char32_t, size_t>{code, length};
}

// The code page's byte for a code point; nothing when it has none.
std::optional<char> windows_1252_byte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  const auto found = std::find(kHighBytes.begin(), kHighBytes.end(), code);
  // The zeros of the unassigned bytes never match: code 0 was taken above.
  if (found == kHighBytes.end()) return std::nullopt;
  return static_cast<char>(0x80 + (found - kHighBytes.begin()));
}

}  // namespace

std::string utf8_from_windows_1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte >= 0x80 && byte < 0xA0) {
      const char16_t code = kHighBytes[byte - 0x80];
      append_utf8(out, code == 0 ? kReplacement : code);
    } else {
      append_utf8(out, byte);
    }
  }
  return out;
}

std::optional<std::string> windows_1252_from_utf8(std::string_view utf8,
                                                  Windows1252Failure* failure) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const auto decoded = decode_utf8(utf8, at);
    const std::optional<char> byte = decoded ? windows_1252_byte(decoded->first) : std::nullopt;
    if (!byte) {
      if (failure != nullptr) *failure = {at, !decoded.has_value()};
      return std::nullopt;
    }
    out.push_back(*byte);
    at += decoded->second;
  }
  return out;
}

LineIndex::LineIndex(std::string_view text) : text_(text), starts_{0} {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;  // CR LF is one end
    if (text[i] == '\r' || text[i] == '\n') starts_.push_back(i + 1);
  }
}

TextPlace LineIndex::line_of(size_t offset) const {
  offset = std::min(offset, text_.size());
  // The last line that starts at or before the offset.
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const size_t line = static_cast<size_t>(after - starts_.begin());
  return {static_cast<int>(line), static_cast<int>(offset - starts_[line - 1]) + 1};
}

std::string_view LineIndex::line(int line) const {
  if (line < 1 || line > line_count()) return {};
  const size_t begin = starts_[static_cast<size_t>(line) - 1];
  // The next line's start, less the line end before it: no search through a long line.
  if (line == line_count()) return text_.substr(begin);
  size_t end = starts_[static_cast<size_t>(line)];
  if (end > begin && text_[end - 1] == '\n') --end;
  if (end > begin && text_[end - 1] == '\r') --end;
  return text_.substr(begin, end - begin);
}

}  // namespace scengen
