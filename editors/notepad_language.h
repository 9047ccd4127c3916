// The Notepad++ user-defined language of the two description texts.
#pragma once

#include <string>

namespace scengen::editors {

/// The language as Notepad++'s XML (Language > User Defined Language > Import).
std::string notepad_language();

}  // namespace scengen::editors
