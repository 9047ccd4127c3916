#include "format/text_diff.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace scengen::format {
namespace {

constexpr size_t kContext = 3;

// The lines of a text, each with its line end (CR LF, LF or CR; none for an unended last one).
std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = begin;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    if (end < text.size()) end += text.substr(end, 2) == "\r\n" ? 2 : 1;
    lines.push_back(text.substr(begin, end - begin));
    begin = end;
  }
  return lines;
}

void add_line(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (line.empty() || (line.back() != '\n' && line.back() != '\r')) {
    out += "\n\\ No newline at end of file\n";
  }
}

// "@@ -A,B +C,D @@": where a hunk starts on each side (from 1) and how many lines it spans.
std::string hunk_header(size_t first, size_t before_count, size_t after_count) {
  const auto side = [first](size_t count) {
    return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
  };
  return "@@ -" + side(before_count) + " +" + side(after_count) + " @@\n";
}

}  // namespace

std::string unified_diff(std::string_view before, std::string_view after, std::string_view label) {
  const std::vector<std::string_view> old_lines = lines_of(before);
  const std::vector<std::string_view> new_lines = lines_of(after);
  const size_t count = std::max(old_lines.size(), new_lines.size());
  const auto differs = [&](size_t i) {
    return i >= old_lines.size() || i >= new_lines.size() || old_lines[i] != new_lines[i];
  };
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (!differs(i)) continue;
    // A hunk: from three lines before this change to three after the last change that follows
    // within six lines of the one before it.
    const size_t first = i >= kContext ? i - kContext : 0;
    size_t last_change = i;
    for (size_t j = i + 1; j < count && j <= last_change + 2 * kContext; ++j) {
      if (differs(j)) last_change = j;
    }
    const size_t end = std::min(count, last_change + kContext + 1);
    const size_t old_end = std::min(end, old_lines.size());
    const size_t new_end = std::min(end, new_lines.size());
    out +=
        hunk_header(first, old_end - std::min(first, old_end), new_end - std::min(first, new_end));
    for (size_t j = first; j < end;) {
      if (!differs(j)) {
        add_line(out, ' ', old_lines[j++]);
        continue;
      }
      size_t run_end = j;
      while (run_end < end && differs(run_end)) ++run_end;
      for (size_t k = j; k < std::min(run_end, old_lines.size()); ++k)
        add_line(out, '-', old_lines[k]);
      for (size_t k = j; k < std::min(run_end, new_lines.size()); ++k)
        add_line(out, '+', new_lines[k]);
      j = run_end;
    }
    i = end - 1;
  }
  if (out.empty()) return out;
  const std::string name(label);
  return "--- " + name + "\n+++ " + name + "\n" + out;
}

}  // namespace scengen::format
