// scengenw: the Windows program a user double-clicks. With no arguments it is the built-in run with
// its window "Form1"; it takes the command line's commands too and shows what they report in a
// message box, since it has no console.
#include <iostream>

#include "cli/command_line.h"
#include "platform/signals.h"
#include "platform/win32_platform.h"
#include "platform/win32_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  scengen::install_cleanup_handlers();
  std::vector<std::string> arguments = scengen::utf8_arguments();
  std::vector<char*> argv = scengen::argument_vector(arguments);
  scengen::Win32Platform platform;
  // Usage, help and the commands' own output land in the same box as the reports.
  std::streambuf* out = std::cout.rdbuf(platform.message_buffer());
  std::streambuf* err = std::cerr.rdbuf(platform.message_buffer());
  const int status =
      scengen::run_command_line(static_cast<int>(arguments.size()), argv.data(), &platform);
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(out);
  std::cerr.rdbuf(err);
  platform.show_messages(status != 0);
  return status;
}
