#include "cli/command_line.h"

#include <iostream>

#include "platform/file_layer.h"
#include "platform/platform.h"
#include "run/exit_status.h"
#include "run/form1.h"

namespace scengen {

int run_command_line(int argc, char** argv) { return run_command_line(argc, argv, nullptr); }

int run_command_line(int argc, char** argv, Platform* window) {
  (void)argv;
  if (argc > 1) {
    std::cerr << "usage: scengen\n"
                 "Writes the built-in scenario's files into the program's folder.\n";
    return kExitUsage;
  }
  Form1 form(window != nullptr ? *window : console_platform(), system_files());
  return form.Form_Load();
}

}  // namespace scengen
