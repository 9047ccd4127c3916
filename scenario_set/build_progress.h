// How a build tells its progress: on a terminal one line redrawn in place, elsewhere one plain
// line per scenario ended.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <mutex>
#include <string>

namespace scengen {

/// The line a terminal shows: a bar of `done` out of `total`, the count, the scenario at hand and
/// the time left, estimated from the time the done ones took.
std::string progress_line(size_t done, size_t total, const std::string& at_hand,
                          std::chrono::steady_clock::duration elapsed);

/// The progress of one build, shared by its threads.
class BuildProgress {
 public:
  /// `terminal`: redraw one line in place; else print one line per scenario ended.
  BuildProgress(std::ostream& err, bool terminal, size_t total);
  /// A scenario's compile began.
  void started(const std::string& scenario);
  /// A scenario ended as `outcome` says ("built", "error 15", ...); `lines`, its diagnostics,
  /// are printed first (above the bar on a terminal).
  void ended(const std::string& scenario, const std::string& outcome, const std::string& lines);
  /// Clears the bar before the summary.
  void finish();

 private:
  void redraw_locked();

  std::ostream& err_;
  bool terminal_;
  size_t total_;
  size_t done_ = 0;
  std::string at_hand_;
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
};

}  // namespace scengen
