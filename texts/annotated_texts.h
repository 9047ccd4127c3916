// The built-in description texts with a comment above each kind of record, for authors to start
// from; they compile to the same files as the plain texts.
#pragma once

#include "texts/line_list.h"

namespace scengen {

/// The built-in line description with its records explained.
LineList annotated_line_description_lines();

/// The built-in train description with its records explained.
LineList annotated_train_description_lines();

/// Writes the annotated line description under the plain text's name, RouteId + "_linea.txt".
void dati_linea_annotated(const OutputPlace& out);

/// Writes the annotated train description under the plain text's name.
void dati_treno_annotated(const OutputPlace& out);

}  // namespace scengen
