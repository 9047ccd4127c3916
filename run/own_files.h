// Which files in an output folder are the program's own to replace: the built-in run and `texts`
// write the built-in description texts and crew documents, and must not write over an author's
// edits of them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_layer.h"

namespace scengen {

/// The first file among the built-in description texts and crew documents of `folder` that
/// exists and is not the program's own, if any. A file is the program's own when its bytes equal
/// those the program writes under that name: the plain or the annotated built-in text, or the
/// built-in document. Anything else (an edited file, a folder, a file that cannot be read) is the
/// author's, and is kept.
std::optional<std::filesystem::path> first_authors_file(FileLayer& files,
                                                        const std::filesystem::path& folder);

/// The one line refusing to write over an author's file; `force_command` is the command line
/// that would overwrite it.
std::string authors_file_line(const std::filesystem::path& path, const std::string& force_command);

}  // namespace scengen
