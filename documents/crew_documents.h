// The documents handed to the driver: scenario notes, slow-order notice, train card.
#pragma once

#include "texts/line_list.h"

namespace scengen {

/// Writes RouteId + "_" + TrainNumber + "_note.txt".
void dati_note(const OutputPlace& out);
/// Writes RouteId + "_" + TrainNumber + "_rallentamenti.txt".
void dati_rallentamenti(const OutputPlace& out);
/// Writes RouteId + "_" + TrainNumber + "_scheda_treno.txt".
void dati_scheda(const OutputPlace& out);

}  // namespace scengen
