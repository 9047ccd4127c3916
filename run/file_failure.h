// The one line that tells why a file could not be read or written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_layer.h"

namespace scengen {

enum class FileAccess { Read, Write };

/// "cannot read 'PATH': REASON" (or "cannot write"), the path quoted as the user typed it.
std::string cannot_access(FileAccess access, const std::filesystem::path& path,
                          std::string_view reason);

/// "scengen: cannot write 'PATH': REASON" for a file that failed while it was written.
std::string write_failure_line(const FileError& error);

}  // namespace scengen
