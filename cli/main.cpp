// scengen: the scenario compiler. With no arguments it is the built-in run.
#include <iostream>

#include "cli/command_line.h"
#include "platform/signals.h"

int main(int argc, char** argv) {
  // A signal or a file-size limit must not leave a temporary behind.
  scengen::install_cleanup_handlers();
  return scengen::run_command_line(argc, argv);
}
