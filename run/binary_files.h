// Writing a compiled scenario: the three binary files, in their order. The built-in run and
// `scengen compile` both write through this one function.
#pragma once

#include <filesystem>
#include <vector>

#include "compiler/compilation.h"
#include "platform/file_layer.h"

namespace scengen {

/// Writes the route plan (only when CompileFlag is not 0), the scenario table and the compiled
/// track into `folder` (none: the current folder, the names left relative), each replaced whole,
/// and returns their paths in the order written. Throws FileError on the first file that fails,
/// and for a scenario table text longer than its 2-byte length can say.
std::vector<std::filesystem::path> write_binary_files(FileLayer& files,
                                                      const std::filesystem::path& folder,
                                                      const Compilation& c);

}  // namespace scengen
