// The built-in train description text.
#pragma once

#include "texts/line_list.h"

namespace scengen {

/// Writes RouteId + "_" + TrainNumber + "-.txt" into the output folder.
void dati_treno(const OutputPlace& out);

}  // namespace scengen
