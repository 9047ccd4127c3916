#include <windows.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "watch/file_watcher.h"

namespace scengen {
namespace {

constexpr DWORD kFolderChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                 FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_CREATION;

std::wstring folded(std::wstring name) {
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
  return name;
}

// One folder read with ReadDirectoryChangesW, one request always pending.
struct WatchedFolder {
  std::filesystem::path path;
  HANDLE handle = INVALID_HANDLE_VALUE;
  OVERLAPPED overlapped{};
  alignas(DWORD) char buffer[16384];
  std::set<std::wstring> names;  // folded: Windows names ignore case

  ~WatchedFolder() {
    if (handle != INVALID_HANDLE_VALUE) {
      CancelIo(handle);
      DWORD ignored = 0;
      GetOverlappedResult(handle, &overlapped, &ignored, TRUE);
      CloseHandle(handle);
    }
    if (overlapped.hEvent != nullptr) CloseHandle(overlapped.hEvent);
  }

  bool open() {
    handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return overlapped.hEvent != nullptr && request();
  }

  bool request() {
    ResetEvent(overlapped.hEvent);
    return ReadDirectoryChangesW(handle, buffer, sizeof buffer, FALSE, kFolderChanges, nullptr,
                                 &overlapped, nullptr) != 0;
  }

  // Reads the finished request and makes the next; true when a watched name changed (or the
  // buffer overflowed and nothing can be told).
  bool take() {
    DWORD length = 0;
    const bool ok = GetOverlappedResult(handle, &overlapped, &length, FALSE) != 0;
    bool watched = !ok || length == 0;
    for (DWORD at = 0; ok && length > 0;) {
      const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
      const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
      if (names.count(folded(name)) > 0) watched = true;
      if (info->NextEntryOffset == 0) break;
      at += info->NextEntryOffset;
    }
    request();
    return watched;
  }
};

class DirectoryChangesWatcher final : public FileWatcher {
 public:
  explicit DirectoryChangesWatcher(WakeUp& wake) : wake_(wake) {}

  bool add(const std::filesystem::path& file) {
    const std::filesystem::path absolute = std::filesystem::absolute(file);
    for (auto& folder : folders_) {
      if (folder->path == absolute.parent_path()) {
        folder->names.insert(folded(absolute.filename().wstring()));
        return true;
      }
    }
    auto folder = std::make_unique<WatchedFolder>();
    folder->path = absolute.parent_path();
    folder->names.insert(folded(absolute.filename().wstring()));
    if (!folder->open()) return false;
    folders_.push_back(std::move(folder));
    return true;
  }

  WatchWait wait(std::chrono::milliseconds timeout) override {
    std::vector<HANDLE> handles;
    for (const auto& folder : folders_) handles.push_back(folder->overlapped.hEvent);
    handles.push_back(static_cast<HANDLE>(wake_.native_handle()));
    const DWORD ready = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                               FALSE, static_cast<DWORD>(timeout.count()));
    if (ready == WAIT_TIMEOUT || ready == WAIT_FAILED) return WatchWait::TimedOut;
    const size_t index = ready - WAIT_OBJECT_0;
    if (index >= folders_.size()) {
      wake_.clear();
      return WatchWait::Woken;
    }
    return folders_[index]->take() ? WatchWait::Changed : WatchWait::TimedOut;
  }

 private:
  WakeUp& wake_;
  std::vector<std::unique_ptr<WatchedFolder>> folders_;
};

}  // namespace

std::unique_ptr<FileWatcher> watch_natively(const std::vector<std::filesystem::path>& files,
                                            WakeUp& wake) {
  auto watcher = std::make_unique<DirectoryChangesWatcher>(wake);
  for (const auto& file : files) {
    if (!watcher->add(file)) return nullptr;
  }
  return watcher;
}

}  // namespace scengen
