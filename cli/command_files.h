// The file handling the commands share: paths from arguments, reading an author's texts, writing
// the compiled files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/diagnostics.h"
#include "compiler/compilation.h"
#include "platform/file_layer.h"

namespace scengen {

/// A path given on the command line.
std::filesystem::path argument_path(const std::string& argument);

/// `name` inside the folder given by --out, or in the current folder when none was given.
std::filesystem::path output_path(const std::optional<std::string>& out, const std::string& name);

/// Reads a file a user handed to the program; on failure prints one line and returns nothing.
std::optional<std::string> read_input(FileLayer& files, const std::filesystem::path& path,
                                      Console& console);

/// Reads both description texts; on failure prints one line and returns nothing.
std::optional<AuthorTexts> read_author_texts(FileLayer& files, const std::string& line_text,
                                             const std::string& train_text, Console& console);

/// Writes the binary files of a sealed compile (the route plan only when CompileFlag is not 0)
/// and returns their paths in the order written. Throws FileError.
std::vector<std::filesystem::path> write_compiled_files(FileLayer& files,
                                                        const std::optional<std::string>& out,
                                                        const Compilation& c);

/// The one line for a file that could not be written.
void report_write_failure(const FileError& error, Console& console);

}  // namespace scengen
