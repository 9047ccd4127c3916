// The built-in line description text.
#pragma once

#include "texts/line_list.h"

namespace scengen {

/// Writes RouteId + "_linea.txt" into the output folder.
void dati_linea(const OutputPlace& out);

}  // namespace scengen
