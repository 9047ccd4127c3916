// Every syntax file the package installs, each with its path under share/scengen/editors.
#pragma once

#include <string>
#include <vector>

namespace scengen::editors {

/// One generated file.
struct SyntaxFile {
  std::string path;  // relative, with '/' between folders
  std::string contents;
};

/// The TextMate grammar, the Vim syntax and detection files and the Notepad++ language.
std::vector<SyntaxFile> syntax_files();

}  // namespace scengen::editors
