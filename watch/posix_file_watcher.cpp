#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "watch/file_watcher.h"

namespace scengen {
namespace {

// Every way an editor replaces a file's content or its name ends in one of these on the folder.
constexpr uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE |
                                   IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

class InotifyWatcher final : public FileWatcher {
 public:
  InotifyWatcher(int fd, WakeUp& wake) : fd_(fd), wake_(wake) {}
  ~InotifyWatcher() override { ::close(fd_); }

  // Watches the folder of `file` for events on its name; false when inotify refuses the folder.
  bool add(const std::filesystem::path& file) {
    const std::filesystem::path absolute = std::filesystem::absolute(file);
    const int wd = ::inotify_add_watch(fd_, absolute.parent_path().c_str(), kFolderEvents);
    if (wd < 0) return false;
    names_[wd].insert(absolute.filename().string());
    return true;
  }

  WatchWait wait(std::chrono::milliseconds timeout) override {
    pollfd p[2] = {{fd_, POLLIN, 0}, {wake_.native_fd(), POLLIN, 0}};
    if (::poll(p, 2, static_cast<int>(timeout.count())) <= 0) return WatchWait::TimedOut;
    if (p[1].revents != 0) {
      wake_.clear();
      return WatchWait::Woken;
    }
    return read_events() ? WatchWait::Changed : WatchWait::TimedOut;
  }

 private:
  // Reads every queued event; true when one concerns a watched name (or the queue overflowed).
  bool read_events() {
    alignas(inotify_event) char buffer[16384];
    bool watched = false;
    for (;;) {
      const ssize_t length = ::read(fd_, buffer, sizeof buffer);
      if (length <= 0) return watched;
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->mask & IN_Q_OVERFLOW) watched = true;
        const auto names = names_.find(event->wd);
        if (event->len > 0 && names != names_.end() && names->second.count(event->name) > 0) {
          watched = true;
        }
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  int fd_;
  WakeUp& wake_;
  std::map<int, std::set<std::string>> names_;  // per watched folder, the names that matter
};

}  // namespace

std::unique_ptr<FileWatcher> watch_natively(const std::vector<std::filesystem::path>& files,
                                            WakeUp& wake) {
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return nullptr;
  auto watcher = std::make_unique<InotifyWatcher>(fd, wake);
  for (const auto& file : files) {
    if (!watcher->add(file)) return nullptr;
  }
  return watcher;
}

}  // namespace scengen
