// scengen fmt: description texts laid out as the built-in texts are, never changing a compiled
// byte.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "format/text_format.h"
#include "platform/file_layer.h"

namespace scengen {

struct FmtOptions {
  std::vector<std::string> files;   // "-": standard input to standard output
  std::optional<std::string> kind;  // "line" or "train"; default: from each file's name
  bool check = false;               // name the texts that would change; write nothing
  bool diff = false;                // print what would change; write nothing
};

/// What fmt works with: the file system, standard input and the layout (tests put a faulty one
/// in its place, to see the guard refuse it).
struct FmtWorld {
  FileLayer& files;
  std::istream& in;
  std::string (*layout)(std::string_view text, format::TextKind kind);
};

/// Lays out each text in place, or names or shows what would change; returns the exit status.
int format_texts(const FmtOptions& options, Console& console, const FmtWorld& world);

}  // namespace scengen
