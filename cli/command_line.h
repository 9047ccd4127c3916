// The authors' command line.
#pragma once

namespace scengen {

class Platform;

/// Parses the arguments and runs the chosen command; returns the exit status.
int run_command_line(int argc, char** argv);

/// The same for the window program: `window` shows the run's window and the message boxes.
int run_command_line(int argc, char** argv, Platform* window);

}  // namespace scengen
