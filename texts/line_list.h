// The line-list emission shared by the five text writers.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/file_layer.h"

namespace scengen {

/// Where a text writer puts its file, and the identity that names it.
struct OutputPlace {
  FileLayer& files;
  std::filesystem::path folder;
  std::string RouteId;
  std::string TrainNumber;
};

/// Closes every line list; compared exactly and never written.
inline constexpr std::string_view kEndMarker = "riferimento fine del file";

/// A writer's lines, entries 0 to 1000; the end marker follows the last line.
using LineList = std::array<std::string, 1001>;

/// Puts `lines` into entries 0, 1, 2, ... and the end marker into the entry after the last one.
template <std::size_t N>
LineList make_line_list(const std::string_view (&lines)[N]) {
  // The marker needs an entry of its own, so a list holds at most 1000 lines.
  static_assert(N < std::tuple_size_v<LineList>, "a line list holds at most 1000 lines");
  LineList list;
  for (std::size_t i = 0; i < N; ++i) list[i] = std::string(lines[i]);
  list[N] = std::string(kEndMarker);
  return list;
}

/// The file's bytes: every entry before the first one equal to the end marker, each followed by
/// CR LF. A list without the marker gives all its entries.
std::string emit_line_list(const LineList& lines);

/// Replaces the file `file_name` in the output folder with the emitted lines. File failures pass
/// to the caller as FileError; an earlier file of that name stays intact until the new one is
/// whole.
void write_line_list(const OutputPlace& out, std::string_view file_name, const LineList& lines);

}  // namespace scengen
