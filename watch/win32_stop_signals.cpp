#include <windows.h>

#include <atomic>

#include "platform/signals.h"
#include "watch/stop_signals.h"

namespace scengen {
namespace {

std::atomic<int> received_signal{0};
std::atomic<WakeUp*> waker{nullptr};

// Runs on a thread of its own: the loop is told, and this thread waits for it to end the
// process (returning would let Windows end it at once on the console's close).
BOOL WINAPI on_console_event(DWORD event) {
  const int signal_number = event == CTRL_C_EVENT ? 2 : event == CTRL_BREAK_EVENT ? 15 : 1;
  int none = 0;
  received_signal.compare_exchange_strong(none, signal_number);
  WakeUp* wake = waker.load();
  if (wake == nullptr) return FALSE;
  wake->signal();
  Sleep(INFINITE);
  return TRUE;
}

}  // namespace

StopSignals::StopSignals(WakeUp& wake) {
  received_signal = 0;
  waker = &wake;
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

StopSignals::~StopSignals() {
  waker = nullptr;
  SetConsoleCtrlHandler(on_console_event, FALSE);
}

int StopSignals::received() {
  return received_signal.load();
}

void end_as_signalled(int signal_number) {
  (void)signal_number;
  // The status cmd and PowerShell show for Ctrl-C (STATUS_CONTROL_C_EXIT), as the other commands.
  ExitProcess(0xC000013A);
}

}  // namespace scengen
