// The built-in line description text.
#pragma once

#include "texts/line_list.h"

namespace scengen {

/// The built-in line description, 95 lines, as a line list closed by the end marker.
LineList line_description_lines();

/// Writes RouteId + "_linea.txt" into the output folder.
void write_line_description(const OutputPlace& out);

}  // namespace scengen
