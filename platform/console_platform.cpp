#include <cstdio>
#include <iostream>

#include "platform/platform.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace scengen {
namespace {

bool stderr_is_terminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

class ConsolePlatform : public Platform {
 public:
  std::filesystem::path program_folder() override {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return std::filesystem::path(buffer).parent_path();
#else
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path();
    return exe.parent_path();
#endif
  }

  void show_status_window() override {
    // A console has no window; a person watching a terminal still learns that work is going on.
    if (stderr_is_terminal()) std::cerr << "Attendere\n" << std::flush;
  }

  void message_box(const std::string& text) override { std::cerr << text << '\n' << std::flush; }

  void report(std::string_view line) override { std::cerr << line << '\n' << std::flush; }
};

}  // namespace

Platform& console_platform() {
  static ConsolePlatform platform;
  return platform;
}

}  // namespace scengen
