// One writer at a time in an output folder: runs and compiles started together take turns.
#pragma once

#include <filesystem>
#include <functional>

namespace scengen {

/// The lock file's name in an output folder. On Linux it is there only while a writer works (the
/// holder removes it, and a waiter checks that the file it locked still bears the name); on
/// Windows, where a file in use cannot lose its name safely, it stays, hidden.
inline constexpr char kOutputLockName[] = ".scengen.lock";

/// An advisory lock on an output folder, held for the object's life (flock on Linux, LockFileEx
/// on Windows; released by the system too when the process dies). Only other scengen processes
/// heed it.
class OutputLock {
 public:
  /// Takes the lock, waiting as long as another process holds it; `on_wait` is called once after
  /// about a second of waiting so that the front end can tell the person why nothing happens.
  /// A folder in which the lock file cannot be created because writing there is refused is not
  /// locked (nothing can be written there anyway; the writes then report it); any other failure
  /// throws FileError naming the lock file.
  explicit OutputLock(const std::filesystem::path& folder,
                      const std::function<void()>& on_wait = {});
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;
  ~OutputLock();

  /// Whether the lock is held (false only for a folder that refuses the lock file).
  bool held() const { return held_; }

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  std::filesystem::path path_;
  int fd_ = -1;
#endif
  bool held_ = false;
};

}  // namespace scengen
