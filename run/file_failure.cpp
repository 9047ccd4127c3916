#include "run/file_failure.h"

#include "run/printable_text.h"

namespace scengen {

std::string cannot_access(FileAccess access, const std::filesystem::path& path,
                          std::string_view reason) {
  std::string line = access == FileAccess::Read ? "cannot read " : "cannot write ";
  line += printable_path(path);
  line += ": ";
  line += printable_text(reason);
  return line;
}

std::string write_failure_line(const FileError& error) {
  return "scengen: " + cannot_access(FileAccess::Write, error.path(), error.reason());
}

}  // namespace scengen
