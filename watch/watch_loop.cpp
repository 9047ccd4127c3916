#include "watch/watch_loop.h"

#include <algorithm>

#include "watch/debouncer.h"
#include "watch/file_watcher.h"

namespace scengen {
namespace {

using Clock = Debouncer::Clock;
using std::chrono::milliseconds;

std::vector<FileSignature> signatures(const std::vector<std::filesystem::path>& files) {
  std::vector<FileSignature> all;
  for (const auto& file : files) all.push_back(file_signature(file));
  return all;
}

bool any_missing(const std::vector<FileSignature>& all) {
  return std::any_of(all.begin(), all.end(), [](const FileSignature& s) { return !s.exists; });
}

}  // namespace

void watch_files(const std::vector<std::filesystem::path>& files, WakeUp& wake,
                 const std::function<bool()>& stopping, const std::function<void()>& rebuild,
                 const WatchTiming& timing) {
  std::unique_ptr<FileWatcher> watcher;
  if (timing.system_notifications) watcher = watch_natively(files, wake);
  if (!watcher) watcher = watch_by_polling(files, wake, timing.poll);
  std::vector<FileSignature> seen = signatures(files);
  rebuild();
  Debouncer debouncer(timing.quiet, timing.longest);
  // Since when a text has been missing; none while both are there.
  Clock::time_point missing_since = Clock::time_point::max();
  while (!stopping()) {
    milliseconds timeout = timing.poll;
    if (debouncer.pending()) {
      const auto left = std::chrono::ceil<milliseconds>(debouncer.due() - Clock::now());
      timeout = std::clamp(left, milliseconds(0), timing.poll);
    }
    const WatchWait why = watcher->wait(timeout);
    if (why == WatchWait::Woken) continue;
    const auto at = Clock::now();
    // Some file systems accept the watch and then report nothing: the signatures tell.
    if (why == WatchWait::Changed || (!debouncer.pending() && signatures(files) != seen)) {
      debouncer.note(at);
    }
    if (!debouncer.take(at)) continue;
    seen = signatures(files);
    if (any_missing(seen)) {
      missing_since = std::min(missing_since, at);
      if (at - missing_since < timing.missing_grace) {
        debouncer.note(at);
        continue;
      }
    }
    missing_since = Clock::time_point::max();
    rebuild();
  }
}

}  // namespace scengen
