// A platform that records what the run would show instead of showing it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace scengen::testing {

/// Counts the status windows and keeps the message boxes and report lines, in order.
class RecordingPlatform : public Platform {
 public:
  std::filesystem::path program_folder() override { return "unused"; }
  void show_status_window() override { ++windows_shown; }
  void message_box(const std::string& text) override { boxes.push_back(text); }
  void report(std::string_view line) override { reports.emplace_back(line); }
  /// Forgets what was recorded, for a second run in the same test.
  void clear() {
    windows_shown = 0;
    boxes.clear();
    reports.clear();
  }

  int windows_shown = 0;
  std::vector<std::string> boxes;
  std::vector<std::string> reports;
};

}  // namespace scengen::testing
