#include <unistd.h>

#include <atomic>
#include <csignal>

#include "platform/signals.h"
#include "watch/stop_signals.h"

namespace scengen {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> received_signal{0};
std::atomic<WakeUp*> waker{nullptr};
struct sigaction previous[3];

// Only async-signal-safe work: an atomic store and a write to a pipe.
void on_stop_signal(int signal_number) {
  int none = 0;
  received_signal.compare_exchange_strong(none, signal_number);
  if (WakeUp* wake = waker.load()) wake->signal();
}

}  // namespace

StopSignals::StopSignals(WakeUp& wake) {
  received_signal = 0;
  waker = &wake;
  for (int i = 0; i < 3; ++i) {
    sigaction(kStopSignals[i], nullptr, &previous[i]);
    // nohup and background jobs ignore some of these on purpose.
    if (previous[i].sa_handler == SIG_IGN) continue;
    struct sigaction handler {};
    handler.sa_handler = on_stop_signal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    sigaction(kStopSignals[i], &handler, nullptr);
  }
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 3; ++i) sigaction(kStopSignals[i], &previous[i], nullptr);
  waker = nullptr;
}

int StopSignals::received() {
  return received_signal.load();
}

void end_as_signalled(int signal_number) {
  // The process's own handlers remove what may be left and die of the signal itself.
  install_cleanup_handlers();
  raise(signal_number);
  _exit(128 + signal_number);
}

}  // namespace scengen
