// The documents handed to the driver: scenario notes, slow-order notice, train card.
#pragma once

#include "texts/line_list.h"

namespace scengen {

/// The scenario notes, 22 lines, one paragraph per line, closed by the end marker.
LineList scenario_notes_lines();
/// The slow-order notice, 47 lines, closed by the end marker.
LineList slow_order_notice_lines();
/// The train card, 46 lines, closed by the end marker.
LineList train_card_lines();

/// Writes RouteId + "_" + TrainNumber + "_note.txt".
void write_scenario_notes(const OutputPlace& out);
/// Writes RouteId + "_" + TrainNumber + "_rallentamenti.txt".
void write_slow_order_notice(const OutputPlace& out);
/// Writes RouteId + "_" + TrainNumber + "_scheda_treno.txt".
void write_train_card(const OutputPlace& out);

}  // namespace scengen
