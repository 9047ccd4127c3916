#include "platform/output_lock.h"

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include "platform/file_layer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace scengen {
namespace {

using namespace std::chrono_literals;

// Polled rather than blocking, so that the wait can be announced after a second on every system.
constexpr auto kPoll = 20ms;
constexpr auto kAnnounceAfter = 1s;

// Tries `try_lock` until it succeeds; calls on_wait once after a second of failures.
template <typename TryLock>
void wait_for(TryLock try_lock, const std::function<void()>& on_wait) {
  const auto start = std::chrono::steady_clock::now();
  bool announced = false;
  while (!try_lock()) {
    if (!announced && std::chrono::steady_clock::now() - start >= kAnnounceAfter) {
      announced = true;
      if (on_wait) on_wait();
    }
    std::this_thread::sleep_for(kPoll);
  }
}

}  // namespace

#ifdef _WIN32
OutputLock::OutputLock(const std::filesystem::path& folder, const std::function<void()>& on_wait) {
  const auto path = folder / kOutputLockName;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) return;
    throw FileError(path, std::system_category().default_error_condition(
                              static_cast<int>(error)).message());
  }
  handle_ = h;
  wait_for(
      [&] {
        OVERLAPPED at{};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
          return true;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return false;
        CloseHandle(h);
        handle_ = nullptr;
        throw FileError(path, std::system_category().default_error_condition(
                                  static_cast<int>(error)).message());
      },
      on_wait);
  held_ = true;
}

OutputLock::~OutputLock() {
  if (handle_ == nullptr) return;
  OVERLAPPED at{};
  UnlockFileEx(static_cast<HANDLE>(handle_), 0, 1, 0, &at);
  CloseHandle(static_cast<HANDLE>(handle_));
}
#else
OutputLock::OutputLock(const std::filesystem::path& folder, const std::function<void()>& on_wait)
    : path_(folder / kOutputLockName) {
  // Said once however many lock files this takes.
  bool announced = false;
  const std::function<void()> announce_once = [&] {
    if (!announced && on_wait) on_wait();
    announced = true;
  };
  for (;;) {
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
      // An existing lock file may still be opened for reading; flock does not need more.
      fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
      if (fd < 0) return;
    }
    if (fd < 0) throw FileError(path_, std::generic_category().message(errno));
    fd_ = fd;
    wait_for(
        [&] {
          if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
          if (errno == EWOULDBLOCK || errno == EINTR) return false;
          const int error = errno;
          ::close(fd);
          fd_ = -1;
          throw FileError(path_, std::generic_category().message(error));
        },
        announce_once);
    // The holder before us removes the file when done: a lock won on a file that no longer bears
    // the name locks nothing that others see, so take the one that does.
    struct stat locked {};
    struct stat named {};
    if (::fstat(fd, &locked) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      break;
    }
    ::close(fd);
    fd_ = -1;
  }
  held_ = true;
}

OutputLock::~OutputLock() {
  if (fd_ < 0) return;
  // Removed while still held, so that a waiter on this file sees it gone and takes a new one; a
  // folder that refuses the removal keeps the file, which stays usable as a lock.
  if (held_) ::unlink(path_.c_str());
  // Closing the only descriptor of the open file releases the lock.
  ::close(fd_);
}
#endif

}  // namespace scengen
