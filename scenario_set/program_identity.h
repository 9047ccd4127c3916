// Which program made a build's files: its version and the identity of the very build of it.
#pragma once

#include <string>
#include <string_view>

namespace scengen {

/// `version` followed by the running program's build identity (the linker's build id where the
/// system has one), so that any change to the program builds a set again.
std::string program_identity(std::string_view version);

}  // namespace scengen
