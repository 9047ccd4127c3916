// Files as the program uses them: read whole, replaced whole, deleted. Injectable for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input_limits.h"

namespace scengen {

/// A file operation that failed: which file and why, in words.
class FileError : public std::runtime_error {
 public:
  FileError(std::filesystem::path path, std::string reason)
      : std::runtime_error(reason), path_(std::move(path)), reason_(std::move(reason)) {}
  const std::filesystem::path& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::filesystem::path path_;
  std::string reason_;
};

enum class ReadStatus { Ok, Missing, Unreadable };

struct FileRead {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;
  std::string reason;  // why it could not be read
};

/// Receives a piece of a file's bytes and its offset from the start of the file.
using PlacedSink = std::function<void(uint64_t offset, std::string_view bytes)>;
/// Hands a file's bytes to a sink, piece after piece, each at its place.
using PlacedProducer = std::function<void(const PlacedSink&)>;

/// One file of a set replaced together: its bytes, or (when `produce` is set) its size and the
/// producer that places them.
struct Replacement {
  std::filesystem::path path;
  std::string_view bytes;
  uint64_t size = 0;
  PlacedProducer produce;
};

/// Hears of each file of a set once it has its final name.
using ReplacedSink = std::function<void(const std::filesystem::path& path)>;

class FileLayer {
 public:
  virtual ~FileLayer() = default;
  /// Replaces the file with `bytes`: a temporary file in the same folder, renamed over the name
  /// once complete. On failure throws FileError; an earlier file stays intact, no temporary stays.
  virtual void write_replacing(const std::filesystem::path& path, std::string_view bytes) = 0;
  /// Replaces the file with `size` bytes that `produce` hands to its sink piece by piece, each at
  /// its offset, as write_replacing does, for files too large to build whole first. The pieces
  /// must cover the bytes once. An exception from `produce` passes on and leaves the earlier file
  /// intact. By default the pieces are gathered and written whole.
  virtual void write_replacing_placed(const std::filesystem::path& path, uint64_t size,
                                      const PlacedProducer& produce);
  /// Replaces several files as one set: every file goes whole to its temporary and is flushed
  /// first, then the temporaries take their names one after another, so that a failure while
  /// writing (a full disk, a producer that throws) removes every temporary and leaves all the
  /// earlier files intact. `on_replaced` hears of each file that got its name, also when a later
  /// rename fails. By default the files are replaced one after another.
  virtual void write_replacing_set(const std::vector<Replacement>& files,
                                   const ReplacedSink& on_replaced);
  /// Reads a whole file of at most kMaxInputBytes.
  virtual FileRead read_whole(const std::filesystem::path& path) = 0;
  /// Reads a whole regular file of at most `cap` bytes. Anything else (a directory, a FIFO, a
  /// device, a larger file) is Unreadable with the reason, and is refused before it is read. By
  /// default read_whole's bytes are measured against the cap.
  virtual FileRead read_whole_capped(const std::filesystem::path& path, uint64_t cap);
  /// Deletes a file; a missing file is no failure.
  virtual void remove(const std::filesystem::path& path) = 0;
};

/// The real file system. A replaced file keeps the earlier file's mode (and owner where the
/// process may set it); an earlier file that is read-only (no write bit at all, refused even for
/// an administrator, who cp would let through), not writable for this user, a directory or not a
/// regular file is refused with a FileError before anything is written. A symbolic link is kept:
/// the file it names is replaced (a link to no file is refused). A file name too long for its
/// temporary (see fits_temporary_name) is refused up front. Each file's data is flushed to the
/// disk before its rename, and its folder after the renames.
FileLayer& system_files();

/// A path from UTF-8 text, as arguments and names are held inside the program on every system
/// (Windows would not read a plain std::string as UTF-8).
std::filesystem::path utf8_path(std::string_view text);

/// folder + separator + name (UTF-8). The separator is always inserted.
std::filesystem::path join_output_path(const std::filesystem::path& folder, std::string_view name);

/// The reason a file larger than `cap` is refused, in words.
std::string too_large_reason(uint64_t cap);

/// The path in quotes and UTF-8, as messages show it.
std::string display_path(const std::filesystem::path& path);

}  // namespace scengen
