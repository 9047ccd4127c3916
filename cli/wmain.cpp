// scengen.exe: the command line on Windows. The arguments arrive as UTF-16 and go on as UTF-8, so a
// path with any character survives. Output is as on every system: results on standard output,
// messages on standard error, lines ended by LF.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/command_line.h"
#include "platform/signals.h"
#include "platform/win32_text.h"

int wmain(int, wchar_t**) {
  // The same bytes as on every other system: a line ends in LF, not the CR LF of text mode.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // Ctrl-C, Ctrl-Break or closing the console must not leave a temporary behind.
  scengen::install_cleanup_handlers();
  std::vector<std::string> arguments = scengen::utf8_arguments();
  std::vector<char*> argv = scengen::argument_vector(arguments);
  const UINT console_page = GetConsoleOutputCP();
  if (console_page != 0) SetConsoleOutputCP(CP_UTF8);
  const int status = scengen::run_command_line(static_cast<int>(arguments.size()), argv.data());
  if (console_page != 0) SetConsoleOutputCP(console_page);
  return status;
}
