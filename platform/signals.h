// The end of the process by a signal (or a console's Ctrl-C or close) without leftovers.
#pragma once

namespace scengen {

/// Installs, once per process from main, handlers that remove the temporaries being written and
/// then end the process as the signal would (SIGINT, SIGTERM, SIGHUP: status 130, 143, 129 as a
/// shell shows it), and ignores SIGXFSZ so that a file-size limit fails the write with a FileError
/// instead of killing the process silently. A signal the parent had ignored stays ignored. On
/// Windows: a console control handler for Ctrl-C, Ctrl-Break and the console's close.
void install_cleanup_handlers();

}  // namespace scengen
