// Test support for the text writers: a scratch output folder and the file read back as lines.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/file_layer.h"
#include "texts/line_list.h"

namespace scengen::testing {

/// A fresh, empty folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("scengen-texts-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  /// An output place in this folder writing through the real file system.
  OutputPlace place(std::string route = "Veltrano_Quarnelo", std::string train = "58316") const {
    return OutputPlace{system_files(), path_, std::move(route), std::move(train)};
  }

  /// The whole file `name` of this folder; empty when it cannot be read.
  std::string read(std::string_view name) const {
    return system_files().read_whole(path_ / std::string(name)).bytes;
  }

  /// The names of the files in this folder.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      found.push_back(entry.path().filename().string());
    }
    return found;
  }

 private:
  std::filesystem::path path_;
};

/// The lines of a text whose every line ends in CR LF; a last piece without CR LF is kept as a
/// line of its own so that a missing line end shows up as a difference.
inline std::vector<std::string> split_crlf(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

/// The columns (from 0) at which `line` holds the character `c`.
inline std::vector<std::size_t> columns_of(std::string_view line, char c) {
  std::vector<std::size_t> columns;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == c) columns.push_back(i);
  }
  return columns;
}

/// The bytes of `bytes` at or above 0x80, in order.
inline std::string high_bytes(std::string_view bytes) {
  std::string found;
  for (const char b : bytes) {
    if (static_cast<unsigned char>(b) >= 0x80) found += b;
  }
  return found;
}

}  // namespace scengen::testing
