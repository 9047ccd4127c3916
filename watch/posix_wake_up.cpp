#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "watch/wake_up.h"

namespace scengen {

WakeUp::WakeUp() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe");
  }
  read_fd_ = fds[0];
  write_fd_ = fds[1];
}

WakeUp::~WakeUp() {
  ::close(read_fd_);
  ::close(write_fd_);
}

void WakeUp::signal() noexcept {
  const char byte = 1;
  // A full pipe already holds a wake-up: losing this one changes nothing.
  const ssize_t written = ::write(write_fd_, &byte, 1);
  (void)written;
}

bool WakeUp::wait(std::chrono::milliseconds timeout) {
  pollfd p{read_fd_, POLLIN, 0};
  const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
  if (ready <= 0) return false;
  clear();
  return true;
}

void WakeUp::clear() noexcept {
  char bytes[64];
  while (::read(read_fd_, bytes, sizeof bytes) > 0) {
  }
}

}  // namespace scengen
