// The file handling the commands share: paths from arguments, reading an author's texts, the
// one line for a file that failed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/diagnostics.h"
#include "compiler/compilation.h"
#include "platform/file_layer.h"

namespace scengen {

/// A path given on the command line.
std::filesystem::path argument_path(const std::string& argument);

/// Reads a file a user handed to the program; on failure prints one line and returns nothing.
std::optional<std::string> read_input(FileLayer& files, const std::filesystem::path& path,
                                      Console& console);

/// Reads both description texts; on failure prints one line and returns nothing.
std::optional<AuthorTexts> read_author_texts(FileLayer& files, const std::string& line_text,
                                             const std::string& train_text, Console& console);

/// Whether a route or train can name the output files; if not, says so for `command`.
bool usable_name(const char* command, const std::string& id, Console& console);

/// The one line for a file that could not be written.
void report_write_failure(const FileError& error, Console& console);

}  // namespace scengen
