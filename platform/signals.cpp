#include "platform/signals.h"

#include "platform/temporary_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace scengen {
namespace {

#ifdef _WIN32
BOOL WINAPI on_console_event(DWORD event) {
  temporary_registry::unlink_all();
  // The status cmd and PowerShell show for Ctrl-C (STATUS_CONTROL_C_EXIT); 130 would be POSIX's.
  (void)event;
  ExitProcess(0xC000013A);
  return TRUE;
}
#else
// Only async-signal-safe calls: unlink, sigaction, raise.
void on_signal(int signal_number) {
  temporary_registry::unlink_all();
  // Die of the signal itself, so that the parent sees what killed us (a shell: 128 + n).
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  sigemptyset(&plain.sa_mask);
  sigaction(signal_number, &plain, nullptr);
  raise(signal_number);
}
#endif

}  // namespace

void install_cleanup_handlers() {
#ifdef _WIN32
  SetConsoleCtrlHandler(on_console_event, TRUE);
#else
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(signal_number, nullptr, &previous);
    // nohup and background jobs ignore some of these on purpose.
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction handler {};
    handler.sa_handler = on_signal;
    sigemptyset(&handler.sa_mask);
    // Further signals wait while the handler removes the files.
    sigaddset(&handler.sa_mask, SIGINT);
    sigaddset(&handler.sa_mask, SIGTERM);
    sigaddset(&handler.sa_mask, SIGHUP);
    sigaction(signal_number, &handler, nullptr);
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, nullptr);
#endif
}

}  // namespace scengen
