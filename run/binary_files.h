// Writing a compiled scenario: the three binary files, in their order. The built-in run and
// `scengen compile` both write through this one function.
#pragma once

#include <filesystem>
#include <vector>

#include "compiler/compilation.h"
#include "platform/file_layer.h"

namespace scengen {

/// Writes the route plan (only when CompileFlag is not 0), the scenario table and the compiled
/// track into `folder` (none: the current folder, the names left relative) as one set: all are
/// written and flushed before the first takes its name, so that a failure while writing leaves
/// the earlier set whole. Returns their paths in the order written. Throws FileError on a file
/// that fails, and for a scenario table text longer than its 2-byte length can say.
std::vector<std::filesystem::path> write_binary_files(FileLayer& files,
                                                      const std::filesystem::path& folder,
                                                      const Compilation& c);

/// As above; `written` receives each file as it gets its name, so that it lists the files
/// completed also when a later one fails.
void write_binary_files(FileLayer& files, const std::filesystem::path& folder,
                        const Compilation& c, std::vector<std::filesystem::path>& written);

}  // namespace scengen
