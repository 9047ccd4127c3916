// A wake-up for a thread that waits on files: another thread or a signal handler rouses it.
#pragma once

#include <chrono>

namespace scengen {

/// A flag that a waiter can sleep on together with the system's file notifications (a pipe on
/// POSIX, an event on Windows).
class WakeUp {
 public:
  /// Makes the pipe or event; throws std::system_error when the system refuses it.
  WakeUp();
  WakeUp(const WakeUp&) = delete;
  WakeUp& operator=(const WakeUp&) = delete;
  ~WakeUp();

  /// Rouses the waiter. Async-signal-safe on POSIX; callable from any thread.
  void signal() noexcept;
  /// Waits up to `timeout` for a signal; true when one came (it is then taken).
  bool wait(std::chrono::milliseconds timeout);
  /// Takes any pending signal without waiting.
  void clear() noexcept;
  /// Windows: the event's HANDLE, to wait on with others.
  void* native_handle() const { return handle_; }
  /// POSIX: the pipe's reading end, to poll with others.
  int native_fd() const { return read_fd_; }

 private:
  void* handle_ = nullptr;  // Windows: the event
  int read_fd_ = -1;        // POSIX: the pipe
  int write_fd_ = -1;
};

}  // namespace scengen
