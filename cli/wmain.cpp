// scengen.exe: the command line on Windows. The arguments arrive as UTF-16 and go on as UTF-8, so a
// path with any character survives; messages go to standard error as on every system.
#include <windows.h>

#include "cli/command_line.h"
#include "platform/win32_text.h"

int wmain(int, wchar_t**) {
  std::vector<std::string> arguments = scengen::utf8_arguments();
  std::vector<char*> argv = scengen::argument_vector(arguments);
  const UINT console_page = GetConsoleOutputCP();
  if (console_page != 0) SetConsoleOutputCP(CP_UTF8);
  const int status = scengen::run_command_line(static_cast<int>(arguments.size()), argv.data());
  if (console_page != 0) SetConsoleOutputCP(console_page);
  return status;
}
