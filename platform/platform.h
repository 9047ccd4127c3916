// What the run needs from the operating system's user interface: a status window, a message box,
// the program's folder and a place for diagnostics.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace scengen {

class Platform {
 public:
  virtual ~Platform() = default;
  /// The folder that holds the running program.
  virtual std::filesystem::path program_folder() = 0;
  /// Shows the window with its "Attendere" label and paints it once; it is not updated again.
  virtual void show_status_window() = 0;
  /// Shows a modal message box with an OK button and waits for it.
  virtual void message_box(const std::string& text) = 0;
  /// One line of diagnostics for the user (no line end).
  virtual void report(std::string_view line) = 0;
};

/// The console implementation: "Attendere" and message boxes on standard error.
Platform& console_platform();

}  // namespace scengen
