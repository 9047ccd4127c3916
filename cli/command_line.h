// The authors' command line.
#pragma once

namespace scengen {

/// Parses the arguments and runs the chosen command; returns the exit status.
int run_command_line(int argc, char** argv);

}  // namespace scengen
