// The line-list emission shared by the five text writers.
#pragma once

#include <array>
#include <filesystem>
#include <string>

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

}  // namespace scengen
