// Seeing an editor save a file: the system's notifications on the file's folder (so that a file
// renamed over the old one, or deleted and written again, is seen by its name), or polling.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "watch/wake_up.h"

namespace scengen {

/// Why a wait of a FileWatcher ended.
enum class WatchWait { Changed, Woken, TimedOut };

/// Waits for a change to any of a few files, named by their paths.
class FileWatcher {
 public:
  virtual ~FileWatcher() = default;
  /// Waits up to `timeout` for a change to a watched name or for the wake-up.
  virtual WatchWait wait(std::chrono::milliseconds timeout) = 0;
};

/// What polling compares of a file: whether it is there, its size, when it was written and
/// (where the system tells) which file bears the name and when it last changed in any way, so that
/// a file renamed over the old one within the clock's step is still told apart.
struct FileSignature {
  bool exists = false;
  uintmax_t size = 0;
  std::filesystem::file_time_type written{};
  uint64_t identity = 0;  // POSIX: the inode
  int64_t changed = 0;    // POSIX: the status change time; Windows: the write time, to 100 ns

  bool operator==(const FileSignature&) const = default;
};

/// The file's signature now (a missing or unreadable file: exists false).
FileSignature file_signature(const std::filesystem::path& path);

/// The system's notifications (inotify, ReadDirectoryChangesW) on the folders that hold
/// `files`, reporting events on their names only; nothing when the system refuses them.
std::unique_ptr<FileWatcher> watch_natively(const std::vector<std::filesystem::path>& files,
                                            WakeUp& wake);

/// Compares the files' signatures every `interval`: for file systems that report nothing.
std::unique_ptr<FileWatcher> watch_by_polling(const std::vector<std::filesystem::path>& files,
                                              WakeUp& wake, std::chrono::milliseconds interval);

}  // namespace scengen
