// scengen: the scenario compiler. With no arguments it is the built-in run.
#include <iostream>

#include "cli/command_line.h"

int main(int argc, char** argv) { return scengen::run_command_line(argc, argv); }
