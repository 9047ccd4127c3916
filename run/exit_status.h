// The program's exit statuses, and the one rule that turns a compile's end into one.
#pragma once

#include <cstdint>

namespace scengen {

enum ExitStatus : int {
  kExitOk = 0,            // every file written, no error recorded
  kExitCompileError = 1,  // every file written, a compile error recorded
  kExitUsage = 2,         // the command line is wrong
  kExitStopped = 3,       // stopped before any binary file: 1250, 1251 or no track
  kExitFileFailed = 4,    // an output file could not be written, or an input file read
};

/// The status of a compile whose files were written as far as it allowed: `stopped` when it ended
/// before them (no track, or a seal error where that stops the run), else by the recorded code.
constexpr int exit_status_of(bool stopped, int32_t status_code) {
  if (stopped) return kExitStopped;
  return status_code != 0 ? kExitCompileError : kExitOk;
}

}  // namespace scengen
