// The loop of `scengen watch`: a rebuild at the start and after every save of the watched files.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

#include "watch/wake_up.h"

namespace scengen {

/// How the loop waits.
struct WatchTiming {
  std::chrono::milliseconds quiet{30};     // the events of one save come within this of another
  std::chrono::milliseconds longest{300};  // saves in a stream still rebuild this often
  std::chrono::milliseconds poll{500};     // signatures compared even when the system says nothing
  std::chrono::milliseconds missing_grace{1000};  // a deleted file is awaited this long
  bool system_notifications = true;               // false: polling alone
};

/// Calls `rebuild` once, then again after each debounced change of `files` (followed by name
/// whichever way they are saved), until `stopping` is true; it is asked whenever `wake` is
/// signalled. A file deleted is given missing_grace to be written again before the rebuild.
/// Uses the system's notifications and polls besides, or polls alone where they are refused.
void watch_files(const std::vector<std::filesystem::path>& files, WakeUp& wake,
                 const std::function<bool()>& stopping, const std::function<void()>& rebuild,
                 const WatchTiming& timing = {});

}  // namespace scengen
