// Ending a watch between two writes: a signal asks the loop to stop instead of killing it, so no
// temporary and no lock file outlives it.
#pragma once

#include "watch/wake_up.h"

namespace scengen {

/// While it lives, SIGINT, SIGTERM and SIGHUP (on Windows the console's Ctrl-C, Ctrl-Break and
/// close) no longer end the process at once: the first one is noted and `wake` signalled. A
/// signal the parent had ignored stays ignored. One at a time per process.
class StopSignals {
 public:
  explicit StopSignals(WakeUp& wake);
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  /// Puts back the handlers that were there before.
  ~StopSignals();

  /// The signal received (SIGINT 2, SIGTERM 15, SIGHUP 1), or 0.
  static int received();
};

/// Ends the process as `signal` (from StopSignals::received) would have, once the caller has let
/// go of its files: status 130, 143 or 129 as a shell shows it (Windows: as its Ctrl-C).
[[noreturn]] void end_as_signalled(int signal);

}  // namespace scengen
