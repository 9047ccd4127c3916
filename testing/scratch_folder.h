// A folder of its own for each test that touches the file system, and reading and writing whole
// files in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "texts/line_list.h"

namespace scengen::testing {

/// The whole file at `path`; empty when it cannot be read.
std::string read_file(const std::filesystem::path& path);

/// Writes `bytes` as the whole file at `path`, replacing an earlier one.
void write_file(const std::filesystem::path& path, std::string_view bytes);

/// A fresh, empty folder under the system's temporary folder, removed with everything in it.
/// Its name holds `what`, the running test's name and a number of its own: ctest runs the tests
/// of one suite in separate processes at once, and each needs its own folder.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string_view what = "scratch");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  /// The folder itself.
  const std::filesystem::path& path() const { return path_; }
  /// The place of `name` in this folder.
  std::filesystem::path at(std::string_view name) const { return path_ / std::string(name); }
  /// The whole file `name` of this folder; empty when it cannot be read.
  std::string read(std::string_view name) const { return read_file(at(name)); }
  /// Writes the whole file `name` of this folder.
  void write(std::string_view name, std::string_view bytes) const { write_file(at(name), bytes); }
  /// Whether anything named `name` stands in this folder.
  bool exists(std::string_view name) const { return std::filesystem::exists(at(name)); }
  /// The names of the files and folders in this folder, sorted.
  std::vector<std::string> names() const;
  /// Removes everything in the folder, so that a test can start again in it.
  void empty_out() const;

  /// An output place in this folder writing through the real file system.
  OutputPlace place(std::string route = "Veltrano_Quarnelo", std::string train = "58316") const;

 private:
  std::filesystem::path path_;
};

}  // namespace scengen::testing
