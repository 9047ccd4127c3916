// The operating system's half of the real file layer: posix_file_layer.cpp and
// win32_file_layer.cpp each implement it for one system, and file_layer.cpp builds the file
// layer on it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_layer.h"

namespace scengen::os {

/// A temporary file beside the file it replaces, which takes that name only when renamed. Until
/// then a failure, whatever throws it, removes the temporary and leaves an earlier file intact.
class TemporaryFile {
 public:
  virtual ~TemporaryFile() = default;
  /// Appends bytes at the current position.
  virtual void write(std::string_view bytes) = 0;
  /// Gives the file its size at once; the pieces then go to their places.
  virtual void set_size(uint64_t size) = 0;
  /// Writes bytes at an offset from the start.
  virtual void write_at(uint64_t offset, std::string_view bytes) = 0;
  /// Puts the data on the disk and closes the file, before it takes its name: after a power
  /// failure the name never shows an empty or partial file.
  virtual void flush() = 0;
  /// Renames the temporary over the file it replaces.
  virtual void rename() = 0;
  /// The folder of the file replaced (the one a symbolic link names).
  virtual std::filesystem::path folder() const = 0;
  /// The name the caller gave, as messages show it.
  virtual const std::filesystem::path& path() const = 0;
};

/// Creates the temporary that will replace `path`, refusing with a FileError what must not be
/// replaced.
std::unique_ptr<TemporaryFile> create_temporary_file(const std::filesystem::path& path);

/// Flushes a folder's entries (the renames in it) to the disk; `shown` names the failure.
void sync_folder(const std::filesystem::path& folder, const std::filesystem::path& shown);

/// Reads a whole regular file of at most `cap` bytes, refusing anything else before reading it.
FileRead read_regular_file(const std::filesystem::path& path, uint64_t cap);

/// An errno value in words.
std::string last_error_text(int error);

/// The file name of a path, in UTF-8.
std::string utf8_name(const std::filesystem::path& path);

/// Refuses with a FileError, naming `shown`, a file whose temporary's name would not fit its
/// folder.
void check_name_length(const std::filesystem::path& path, const std::filesystem::path& shown);

/// Eight letters and digits for a temporary's name.
std::string random_letters();

}  // namespace scengen::os
