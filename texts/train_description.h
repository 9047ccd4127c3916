// The built-in train description text.
#pragma once

#include "texts/line_list.h"

namespace scengen {

/// The built-in train description, 173 lines, as a line list closed by the end marker.
LineList train_description_lines();

/// Writes RouteId + "_" + TrainNumber + "-.txt" into the output folder.
void write_train_description(const OutputPlace& out);

}  // namespace scengen
