// The program's exit statuses.
#pragma once

namespace scengen {

enum ExitStatus : int {
  kExitOk = 0,             // every file written, no error recorded
  kExitCompileError = 1,   // every file written, a compile error recorded
  kExitUsage = 2,          // the command line is wrong
  kExitStopped = 3,        // stopped before any binary file: 1250, 1251 or no track
  kExitFileFailed = 4,     // an output file could not be written, or an input file read
};

}  // namespace scengen
