// The authors' command line.
#pragma once

namespace scengen {

class Platform;

/// Parses the arguments and runs the chosen command; returns the exit status.
int run_command_line(int argc, char** argv);

/// The same, with the window, message boxes and reports of `platform`.
int run_command_line(int argc, char** argv, Platform& platform);

}  // namespace scengen
