// The file handling the commands share: paths from arguments, reading an author's texts, the
// one line for a file that failed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/diagnostics.h"
#include "compiler/compilation.h"
#include "platform/file_layer.h"
#include "platform/input_limits.h"
#include "platform/output_lock.h"

namespace scengen {

/// A path given on the command line.
std::filesystem::path argument_path(const std::string& argument);

/// Reads a file a user handed to the program, refusing before it is read anything that is not a
/// regular file of at most `cap` bytes; on failure prints one line and returns nothing.
std::optional<std::string> read_input(FileLayer& files, const std::filesystem::path& path,
                                      uint64_t cap, Console& console);

/// Reads both description texts; on failure prints one line and returns nothing.
std::optional<AuthorTexts> read_author_texts(FileLayer& files, const std::string& line_text,
                                             const std::string& train_text, Console& console);

/// Whether a route or train can name the output files; if not, says so for `command`.
bool usable_name(const char* command, const std::string& id, Console& console);

/// The Windows-1252 form the compile holds of a route or train (`what`) named in UTF-8 by `source`
/// (a file name, or an option); says why on `err` for `command` and returns nothing when a
/// character has no byte in the code page. A control character is kept with a warning.
std::optional<std::string> compiled_name(const char* command, const char* what,
                                         const std::string& name, const std::string& source,
                                         Console& console);

/// Whether every output file name fits beside its temporary; if not, says so for `command`
/// before anything is compiled or written.
bool fitting_names(const char* command, std::initializer_list<std::string> names,
                   Console& console);

/// Takes the lock of the output folder (none: the current folder) for the whole of a command's
/// writing, saying once on `err` when another scengen holds it, then removes the temporaries
/// killed processes left there. No lock for a folder that does not exist: the writes say why.
/// Throws FileError when the lock file cannot be made.
std::unique_ptr<OutputLock> lock_output_folder(const std::filesystem::path& folder,
                                               std::ostream& err);

/// Creates the output folder given with --out, and the folders above it, when it is missing,
/// saying so in one line unless `quiet`; false, once one line said why, when it cannot be made.
bool make_output_folder(const std::filesystem::path& folder, Console& console, bool quiet);

/// The closing line of a command that wrote files: how many, and into which folder (none: the
/// current one). Nothing when `quiet`.
void report_files_written(const std::filesystem::path& folder, size_t count, Console& console,
                          bool quiet);

/// The one line for a file that could not be written.
void report_write_failure(const FileError& error, Console& console);

}  // namespace scengen
