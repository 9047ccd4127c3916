#include <algorithm>
#include <system_error>

#include "watch/file_watcher.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace scengen {
namespace {

class PollingWatcher final : public FileWatcher {
 public:
  PollingWatcher(const std::vector<std::filesystem::path>& files, WakeUp& wake,
                 std::chrono::milliseconds interval)
      : files_(files), wake_(wake), interval_(interval) {
    for (const auto& file : files_) signatures_.push_back(file_signature(file));
  }

  WatchWait wait(std::chrono::milliseconds timeout) override {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (wake_.wait(std::clamp(left, std::chrono::milliseconds(0), interval_))) {
        return WatchWait::Woken;
      }
      if (changed()) return WatchWait::Changed;
      if (std::chrono::steady_clock::now() >= end) return WatchWait::TimedOut;
    }
  }

 private:
  bool changed() {
    bool any = false;
    for (size_t i = 0; i < files_.size(); ++i) {
      FileSignature now = file_signature(files_[i]);
      if (now != signatures_[i]) any = true;
      signatures_[i] = now;
    }
    return any;
  }

  std::vector<std::filesystem::path> files_;
  WakeUp& wake_;
  std::chrono::milliseconds interval_;
  std::vector<FileSignature> signatures_;
};

}  // namespace

FileSignature file_signature(const std::filesystem::path& path) {
  std::error_code error;
  FileSignature signature;
  signature.size = std::filesystem::file_size(path, error);
  if (error) return {};
  signature.written = std::filesystem::last_write_time(path, error);
  if (error) return {};
  signature.exists = true;
#ifdef _WIN32
  // The library's time has whole seconds on MinGW: the system's own has 100 ns.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    signature.changed =
        static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime);
  }
#else
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    signature.identity = status.st_ino;
    signature.changed = int64_t{status.st_ctim.tv_sec} * 1000000000 + status.st_ctim.tv_nsec;
  }
#endif
  return signature;
}

std::unique_ptr<FileWatcher> watch_by_polling(const std::vector<std::filesystem::path>& files,
                                              WakeUp& wake, std::chrono::milliseconds interval) {
  return std::make_unique<PollingWatcher>(files, wake, interval);
}

}  // namespace scengen
