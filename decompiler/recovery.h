// The shared state of recovering the records from the cells: the track, and which cells under a
// station marker an overwritten record already explains. Each kind of record has its own file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decompiler/recovered_records.h"

namespace scengen {

/// What a record left in the cell that a station marker took later: the marker writes Kind and
/// Param1 and leaves the rest.
struct Residue {
  int32_t p2 = 0, p3 = 0, p4 = 0, p5 = 0;
  bool operator==(const Residue&) const = default;
};

class Recovery {
 public:
  Recovery(const ScenarioModel& model, const std::vector<TrackCell>& cells,
           std::vector<std::string>& notes)
      : model(model), cells(cells), notes(notes), explained(cells.size(), false) {}

  const ScenarioModel& model;
  const std::vector<TrackCell>& cells;
  std::vector<std::string>& notes;
  RecoveredRecords records;

  /// The cell holds a station marker whose cell no recovered record takes yet.
  bool open_marker(int64_t cell) const;
  /// What the marker in `cell` left of the cell's earlier record.
  Residue residue(int64_t cell) const;
  /// Takes the marker's cell for a record written before the station, when `left` is what that
  /// record leaves there; false, taking nothing, otherwise.
  bool take_marker(int64_t cell, const Residue& left);
  bool in_track(int64_t cell) const { return cell >= 0 && cell < std::ssize(cells); }
  const TrackCell& at(int64_t cell) const { return cells[static_cast<size_t>(cell)]; }

 private:
  std::vector<bool> explained;
};

/// Sets the signal's sum sx * 3 + dx, and the values its text writes with it.
void set_indication_sum(RecoveredSignal& s, int32_t sum);
/// The other sums that, with a rapp, pack into the signal's Param4, those its marks show most
/// first.
std::vector<int32_t> other_indication_sums(const std::vector<TrackCell>& cells,
                                           const RecoveredSignal& s);

/// The slow orders, those a station marker partly covers among them.
void recover_slow_orders(Recovery& r);
/// The signals, those under a station marker among them.
void recover_signals(Recovery& r);
/// The speed and information boards, those under a station marker among them.
void recover_boards(Recovery& r);
/// The tunnels.
void recover_tunnels(Recovery& r);
/// The train text's order of stations, slow orders and signals.
void order_train_records(Recovery& r);

}  // namespace scengen
