// The check of the line description's kilometric references, made once the train description is
// read (the references are ordered and adjusted between the line's sections).
#pragma once

#include "compiler/compilation.h"
#include "compiler/read_descriptions.h"

namespace scengen {

/// Records 2 when a reference of slots 81 to 83 has a position or progressive that is not a
/// multiple of 50, and points the error at that reference's record in the line description.
void check_references(Compilation& c, const ReadingState& state);

}  // namespace scengen
