// One rebuild for a burst of events: an editor's save is several (truncate, write, rename).
#pragma once

#include <chrono>

namespace scengen {

/// Turns a burst of change events into one moment to act: once the events have been quiet for a
/// while, or at the latest a bounded time after the first, so a stream of saves still rebuilds.
class Debouncer {
 public:
  using Clock = std::chrono::steady_clock;

  Debouncer(std::chrono::milliseconds quiet, std::chrono::milliseconds longest)
      : quiet_(quiet), longest_(longest) {}

  /// Notes an event seen at `now`.
  void note(Clock::time_point now);
  /// Whether an event waits to be acted on.
  bool pending() const { return pending_; }
  /// When the pending events are due.
  Clock::time_point due() const;
  /// True, once, when pending events are due at `now`; then nothing is pending.
  bool take(Clock::time_point now);

 private:
  std::chrono::milliseconds quiet_;
  std::chrono::milliseconds longest_;
  bool pending_ = false;
  Clock::time_point first_{};
  Clock::time_point last_{};
};

}  // namespace scengen
