// The Vim (and Neovim) syntax file of the two description texts, and the file-type detection
// that gives them the type `scengen` by their names.
#pragma once

#include <string>

namespace scengen::editors {

/// syntax/scengen.vim.
std::string vim_syntax();

/// ftdetect/scengen.vim: ROUTE_linea.txt and ROUTE_TRAIN-.txt are of type scengen.
std::string vim_file_detection();

}  // namespace scengen::editors
