// The TextMate grammar of the two description texts (VS Code, Sublime Text and the other editors
// that read TextMate grammars).
#pragma once

#include <string>

namespace scengen::editors {

/// The grammar as JSON text, scope source.scengen.
std::string textmate_grammar();

}  // namespace scengen::editors
