// The Windows user interface of the run: the window "Form1" with its label, and message boxes.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <sstream>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace scengen {

/// Sizes of the window in twips (1/1440 inch), converted with the screen's DPI when shown.
struct StatusWindowLayout {
  static constexpr int kClientWidth = 4200;
  static constexpr int kClientHeight = 2688;
  static constexpr int kLabelLeft = 960;
  static constexpr int kLabelTop = 960;
  static constexpr int kLabelWidth = 2652;
  static constexpr int kLabelHeight = 792;
  static constexpr int kFontPoints = 24;
};

/// Twips to pixels at `dpi` pixels per inch, to the nearest pixel.
int twips_to_pixels(int twips, int dpi);

class Win32Platform : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  /// The folder of the running executable, from its wide module path.
  std::filesystem::path program_folder() override;
  /// Creates "Form1" with its label, shows it and paints it once; no message is processed.
  void show_status_window() override;
  /// A modal box with the text, an OK button and the program's name as title.
  void message_box(const std::string& text) override;
  /// Keeps the line for the box that `show_messages` shows at the end.
  void report(std::string_view line) override;

  /// Where the program's other output goes (the command line's texts), kept with the reports.
  std::streambuf* message_buffer() { return messages_.rdbuf(); }
  /// Shows what was reported, if anything, in one message box; `failed` picks the error icon.
  void show_messages(bool failed);

 private:
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HFONT font_ = nullptr;
  std::ostringstream messages_;
};

}  // namespace scengen
