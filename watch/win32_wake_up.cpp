#include <windows.h>

#include <system_error>

#include "watch/wake_up.h"

namespace scengen {

WakeUp::WakeUp() {
  // Manual reset: it stays set for whoever waits next, until clear() or wait() takes it.
  handle_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (handle_ == nullptr) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "CreateEvent");
  }
}

WakeUp::~WakeUp() {
  CloseHandle(static_cast<HANDLE>(handle_));
}

void WakeUp::signal() noexcept {
  SetEvent(static_cast<HANDLE>(handle_));
}

bool WakeUp::wait(std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(static_cast<HANDLE>(handle_), static_cast<DWORD>(timeout.count())) !=
      WAIT_OBJECT_0) {
    return false;
  }
  clear();
  return true;
}

void WakeUp::clear() noexcept {
  ResetEvent(static_cast<HANDLE>(handle_));
}

}  // namespace scengen
