// Writing a compiled scenario: the three binary files, in their order.
#pragma once

#include <filesystem>

#include "compiler/compilation.h"
#include "platform/file_layer.h"

namespace scengen {

/// Writes the route plan (only when CompileFlag is not 0), the scenario table and the compiled
/// track into `folder`, each replaced whole. Throws FileError on the first file that fails, and
/// for a scenario table text longer than its 2-byte length can say.
void write_binary_files(FileLayer& files, const std::filesystem::path& folder,
                        const Compilation& c);

}  // namespace scengen
