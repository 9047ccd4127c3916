// The pieces both recovered texts and their verification share: the text being written, a text
// field as the readers take it back, a cell named with its metres, a profile as records.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "scenario/scenario_model.h"

namespace scengen {

/// One text, a line at a time, CR LF ended.
class Text {
 public:
  /// Appends `s` and a line end.
  void line(const std::string& s) {
    bytes_ += s;
    bytes_ += "\r\n";
  }
  /// Appends `pattern` filled with `args` (up to 255 bytes), without a line end.
  template <typename... Args>
  void format(const char* pattern, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    bytes_ += buffer;
  }
  /// Ends the current line.
  void end_line() { bytes_ += "\r\n"; }
  /// The text written so far, leaving this one empty.
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

/// "cell 36 (1800 m)": a cell as notes and differences name it.
std::string where(int64_t cell);

/// A text field as the readers take it back: bare when it reads back as itself, in quotes when it
/// holds a separator or blanks at its ends; nullopt when neither way keeps it.
std::optional<std::string> text_field(const std::string& text);

/// Writes the records of a profile over `cell_count` cells, each `pattern` filled with a position
/// and a value. `empty_value` is the value of a cell no record reached. `with_tail`: the reader
/// runs its tail after the records (it does unless it stopped).
void write_profile(Text& text, const char* pattern, const std::vector<Step>& steps,
                   int32_t cell_count, int empty_value, bool with_tail = true);

}  // namespace scengen
