#include "decompiler/recovered_records.h"

#include <algorithm>

#include "decompiler/mark_order.h"
#include "decompiler/recovery.h"
#include "decompiler/text_parts.h"
#include "scenario/model_parts.h"

namespace scengen {

bool stopped_part_way(const StationSlot& s) {
  // A whole record with no area has neither a position nor a flag left, and is of no type that
  // puts its area after its position.
  return s.area_start == 0 && s.area_end == 0 &&
         (s.position != 0 || s.lengthens_end != 0 || s.second_flag != 0 ||
          station_area(s.type) == StationArea::BeforePoint);
}

bool Recovery::open_marker(int64_t cell) const {
  return in_track(cell) && at(cell).Kind == kStationMarker &&
         !explained[static_cast<size_t>(cell)];
}

Residue Recovery::residue(int64_t cell) const {
  const TrackCell& c = at(cell);
  return {c.Param2, c.Param3, c.Param4, c.Param5};
}

bool Recovery::take_marker(int64_t cell, const Residue& left) {
  if (!open_marker(cell) || residue(cell) != left) return false;
  explained[static_cast<size_t>(cell)] = true;
  return true;
}

namespace {

// The values a text writes for a signal whose cell packs `values` with the sum `sets`.
SignalCell signal_text_values(SignalCell s, int32_t sets, int32_t rapp) {
  s.rapp = rapp;
  s.sx = sets / 3;
  s.dx = sets % 3;
  // A time is kept only by sx 2: keep the sum and make sx 2.
  if (s.tempo != 0 && s.sx != 2) {
    s.sx = 2;
    s.dx = sets - 6;
  }
  // Times 1 to 100 would be raised to 101: the same low 8 bits from above 255.
  if (s.tempo >= 1 && s.tempo <= 100) s.tempo += 256;
  return s;
}

}  // namespace

void set_indication_sum(RecoveredSignal& s, int32_t sum) {
  s.indication_sum = sum;
  s.values = signal_text_values(s.cell_values, sum, rapp_with(s.param4, sum));
}

std::vector<int32_t> other_indication_sums(const std::vector<TrackCell>& cells,
                                           const RecoveredSignal& s) {
  std::vector<std::pair<int, int32_t>> shown;  // (marks showing it, sum)
  const int32_t plain = s.param4 % 10;
  for (int32_t sets = plain - 64; sets < plain + 64; ++sets) {
    if ((s.param4 - sets) % 2 != 0 || sets == s.indication_sum) continue;
    int count = 0;
    for (int k = 1; k <= kApproachMarks; ++k) {
      const int64_t j = int64_t{s.cell} - 2 * k;
      if (j >= 0 && cells[static_cast<size_t>(j)].Mark == signal_mark(0, sets, k)) ++count;
    }
    if (count > 0 || sets == plain) shown.push_back({count, sets});
  }
  std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) {
    return a.first > b.first;
  });
  std::vector<int32_t> sums;
  for (const auto& [count, sets] : shown) sums.push_back(sets);
  return sums;
}

namespace {

// The cells whose marks a station of `slot` writes, with the mark each gets.
std::vector<std::pair<int32_t, uint8_t>> station_marks(const StationSlot& s) {
  std::vector<std::pair<int32_t, uint8_t>> marks;
  if (is_halt(s.type) || station_area(s.type) == StationArea::BeforePoint) return marks;
  const int64_t marker = cell_of(s.area_end, kEndOffset);
  for (int k = 1; k <= kApproachMarks; ++k) {
    if (marker - k > 1) marks.push_back({static_cast<int32_t>(marker - k), station_mark(k)});
  }
  return marks;
}

std::vector<std::pair<int32_t, uint8_t>> signal_marks(const RecoveredSignal& s) {
  std::vector<std::pair<int32_t, uint8_t>> marks;
  for (int k = 1; k <= kApproachMarks; ++k)
    marks.push_back({s.cell - 2 * k, signal_mark(0, s.indication_sum, k)});
  return marks;
}

// The marks the stations and the signals on the track can write: each cell and mark as one key,
// sorted.
class KnownMarks {
 public:
  explicit KnownMarks(const Recovery& r) {
    auto add = [&](const std::vector<std::pair<int32_t, uint8_t>>& marks) {
      for (const auto& [cell, mark] : marks)
        if (r.in_track(cell)) keys_.push_back(key(cell, mark));
    };
    for (int slot = kFirstStationSlot; slot <= r.records.last_station_slot; ++slot)
      add(station_marks(r.model.slots[static_cast<size_t>(slot)].station));
    for (const RecoveredSignal& s : r.records.signals) add(signal_marks(s));
    std::sort(keys_.begin(), keys_.end());
  }
  bool contains(int32_t cell, uint8_t mark) const {
    return std::binary_search(keys_.begin(), keys_.end(), key(cell, mark));
  }

 private:
  static uint64_t key(int32_t cell, uint8_t mark) {
    return static_cast<uint64_t>(static_cast<uint32_t>(cell)) << 8 | mark;
  }
  std::vector<uint64_t> keys_;
};

// A signal under the station marker in `cell`: it left a time, or marks no other record writes.
bool signal_was_here(const Recovery& r, const KnownMarks& known,
                     const RecoveredSignal& candidate) {
  if (r.residue(candidate.cell).p5 != 0) return true;
  for (const auto& [cell, mark] : signal_marks(candidate)) {
    if (!r.in_track(cell) || mark == 0) continue;
    const auto c = static_cast<size_t>(cell);
    if (r.cells[c].Mark == mark && !known.contains(cell, mark)) return true;
  }
  return false;
}

}  // namespace

void recover_signals(Recovery& r) {
  for (const size_t index : r.model.signal_write_order) {
    const Signal& signal = r.model.signals[index];
    RecoveredSignal s;
    s.cell = signal.cell;
    s.position = signal.position;
    s.cell_values = signal.values;
    s.param4 = r.at(signal.cell).Param4;
    set_indication_sum(s, signal.indication_sum);
    r.records.signals.push_back(s);
  }
  const KnownMarks known(r);
  for (int32_t c = 0; c < std::ssize(r.cells); ++c) {
    if (!r.open_marker(c)) continue;
    RecoveredSignal s;
    s.cell = c;
    s.position = feature_position(kSignal, c);
    s.under_marker = true;
    s.cell_values = unpack_signal(r.at(c));
    s.cell_values.s1 = s.cell_values.d1 = 0;  // the marker's slot took Param1
    s.param4 = r.at(c).Param4;
    set_indication_sum(s, indication_sum(r.cells, c));
    // Of the sums the marks show, the one that shows marks no other record writes.
    bool here = signal_was_here(r, known, s);
    for (const int32_t sum : here ? std::vector<int32_t>{} : other_indication_sums(r.cells, s)) {
      set_indication_sum(s, sum);
      if ((here = signal_was_here(r, known, s))) break;
    }
    if (here && r.take_marker(c, r.residue(c))) r.records.signals.push_back(s);
  }
}

void recover_boards(Recovery& r) {
  for (const SpeedBoard& board : r.model.speed_boards) {
    const SpeedBoardCell& b = board.values;
    r.records.speed_boards.push_back({board.position,
                                      {b.left[0], b.left[1], b.left[2], b.strisces, b.right[0],
                                       b.right[1], b.right[2], b.strisced}});
  }
  // What a marker left that no train record explains was a speed board: its right-hand speeds
  // give Param2 and Param3, its stripes Param4.
  for (int32_t c = 0; c < std::ssize(r.cells); ++c) {
    if (!r.open_marker(c)) continue;
    const Residue left = r.residue(c);
    if (left == Residue{} || left.p5 != 0) continue;
    r.take_marker(c, left);
    r.records.speed_boards.push_back(
        {feature_position(kSpeedBoard, c), {0, 0, 0, 0, 0, left.p2 * 5, left.p3 * 5, left.p4}});
  }
  std::stable_sort(r.records.speed_boards.begin(), r.records.speed_boards.end(),
                   [](const RecoveredSpeedBoard& a, const RecoveredSpeedBoard& b) {
                     return a.position < b.position;
                   });
}

}  // namespace scengen

namespace scengen {
namespace {

// The first slot above the stations: they fill the slots from 1 upward, each with its type or
// its area, up to the first slot that is not a station's or that a board names.
int first_slot_after_stations(const ScenarioModel& model) {
  int slot = kFirstStationSlot;
  while (slot <= kFirstBoardTextSlot) {
    const TableSlot& s = model.slots[static_cast<size_t>(slot)];
    if (s.role != SlotRole::Station || s.named_by_board) break;
    ++slot;
  }
  return slot;
}

// A board whose cell a station marker took: under a marker that left nothing.
std::optional<int32_t> hidden_board_cell(Recovery& r) {
  for (int32_t c = 0; c < std::ssize(r.cells); ++c) {
    if (r.open_marker(c) && r.residue(c) == Residue{} && r.take_marker(c, Residue{})) return c;
  }
  return std::nullopt;
}

// How many boards station markers could hide: markers that left nothing of an earlier record.
int64_t markers_left_bare(const std::vector<TrackCell>& cells) {
  return std::count_if(cells.begin(), cells.end(), [](const TrackCell& c) {
    return c.Kind == kStationMarker && c.Param2 == 0 && c.Param3 == 0 && c.Param4 == 0 &&
           c.Param5 == 0;
  });
}

// The lowest board-text slot: board texts fill the slots from 80 downward, one per board in text
// order, every slot down to the lowest a board names and, below it, the texts alone above the
// stations. A text just above the stations is a station's name instead (a record that stopped
// after its name) when there are not boards enough to fill the slots down to it.
int lowest_board_text_slot(const ScenarioModel& model, const std::vector<TrackCell>& cells) {
  const int named =
      model.board_texts.empty() ? kFirstBoardTextSlot + 1 : model.board_texts.back().slot;
  const int after_stations = first_slot_after_stations(model);
  for (int slot = after_stations; slot < named; ++slot) {
    if (model.slots[static_cast<size_t>(slot)].role != SlotRole::BoardText) continue;
    if (slot == after_stations && named - slot > markers_left_bare(cells)) continue;
    return slot;
  }
  return named;
}

// Each board-text slot takes a record: the board on the track that names it, or one whose cell a
// station marker took.
void recover_information_boards(Recovery& r) {
  const ScenarioModel& model = r.model;
  for (const InformationBoard& board : model.information_boards) {
    if (!board.owns_text_slot)
      r.notes.push_back(where(board.cell) + " is an information board of slot " +
                        std::to_string(board.slot) + ", which no board of a text takes");
  }
  const int lowest = lowest_board_text_slot(model, r.cells);
  bool in_gap = false;
  for (int slot = kFirstBoardTextSlot; slot >= lowest; --slot) {
    const std::string& text = model.slots[static_cast<size_t>(slot)].station.name;
    std::optional<size_t> board;
    if (static_cast<size_t>(kFirstBoardTextSlot - slot) < model.board_texts.size())
      board = model.board_texts[static_cast<size_t>(kFirstBoardTextSlot - slot)].board;
    if (board) {
      in_gap = false;
      r.records.information_boards.push_back({model.information_boards[*board].position, text});
      continue;
    }
    if (const std::optional<int32_t> cell = hidden_board_cell(r)) {
      r.records.information_boards.push_back({feature_position(kInformationBoard, *cell), text});
      continue;
    }
    // A run of slots without a board is named by its first slot.
    if (!in_gap)
      r.notes.push_back("board-text slot " + std::to_string(slot) +
                        " has no information board on the track");
    in_gap = true;
  }
}

// The last slot below the board texts that holds anything: the train text writes a station
// record for each slot up to it.
int last_station_slot(const ScenarioModel& model, const std::vector<TrackCell>& cells) {
  int last = 0;
  const int lowest = std::min(lowest_board_text_slot(model, cells), kFirstBoardTextSlot + 1);
  for (int slot = kFirstStationSlot; slot < lowest; ++slot) {
    if (!model.slots[static_cast<size_t>(slot)].empty) last = slot;
  }
  return last;
}

// The lowest station slot whose marker stands in each cell.
std::vector<int> first_marker_slots(const Recovery& r) {
  std::vector<int> slot_of(r.cells.size(), 0);
  for (int slot = r.records.last_station_slot; slot >= kFirstStationSlot; --slot) {
    const StationSlot& s = r.model.slots[static_cast<size_t>(slot)].station;
    if (is_halt(s.type)) continue;
    const int64_t marker = cell_of(s.area_end, kEndOffset);
    if (r.in_track(marker)) slot_of[static_cast<size_t>(marker)] = slot;
  }
  return slot_of;
}

}  // namespace

namespace {

// An order of the writers that leaves the marks; where none does, a signal whose marks show
// more than one sum may have been given the wrong one: each other sum is tried in turn.
std::optional<std::vector<size_t>> marks_in_order(Recovery& r,
                                                  const std::vector<TrainEntry>& entries,
                                                  std::vector<MarkWriter>& writers,
                                                  const std::vector<uint8_t>& marks) {
  if (auto found = mark_order(marks, writers)) return found;
  for (size_t w = 0; w < entries.size(); ++w) {
    if (entries[w].section != TrainEntry::Section::Signals) continue;
    RecoveredSignal& s = r.records.signals[entries[w].index];
    const int32_t kept = s.indication_sum;
    for (const int32_t sum : other_indication_sums(r.cells, s)) {
      set_indication_sum(s, sum);
      writers[w].marks = signal_marks(s);
      if (auto found = mark_order(marks, writers)) return found;
    }
    set_indication_sum(s, kept);
    writers[w].marks = signal_marks(s);
  }
  return std::nullopt;
}

}  // namespace

// Whether the last station's record ended the reading: what it wrote breaks a rule the reader
// checks after writing it (spacing, a marker too near the start, the slots of the board texts),
// or it stopped part way (its position not on the track or off the 50 m, a length off the
// 100 m, a value that does not fit).
void find_stopping_station(Recovery& r) {
  RecoveredRecords& records = r.records;
  const int n = records.last_station_slot;
  if (n < kFirstStationSlot) return;
  const StationSlot& s = r.model.slots[static_cast<size_t>(n)].station;
  const auto last = static_cast<int64_t>(r.cells.size()) - 1;
  const bool off_track = (s.position + 800.0) / kCellLength > static_cast<double>(last);
  const bool part_way = stopped_part_way(s);
  const bool marker_too_near = !is_halt(s.type) && cell_of(s.area_end, kEndOffset) <= 1;
  const bool too_close =
      n > kFirstStationSlot &&
      int64_t{s.area_start} - kStationSpacing <
          r.model.slots[static_cast<size_t>(n - 1)].station.area_end;
  const int next_board_slot =
      kFirstBoardTextSlot - static_cast<int>(records.information_boards.size());
  const bool slots_full = n + 1 >= next_board_slot;
  records.last_station_stops = off_track || part_way || marker_too_near || too_close || slots_full;
  // Only a station beyond the track ends the reading as its end does, with the tails.
  records.profile_tails_skipped = records.last_station_stops && !off_track;
}

namespace {

// The records that write marks, in the usual order: signals under a station marker (written
// before their station), the stations, the other signals; a station that stopped the reading
// comes after all of them.
void mark_writers(const Recovery& r, std::vector<TrainEntry>& entries,
                  std::vector<MarkWriter>& writers) {
  using Section = TrainEntry::Section;
  const RecoveredRecords& records = r.records;
  for (size_t s = 0; s < records.signals.size(); ++s) {
    if (records.signals[s].under_marker) entries.push_back({Section::Signals, s});
  }
  const size_t first_station = entries.size();
  const int last_ordered = records.last_station_slot - (records.last_station_stops ? 1 : 0);
  for (int slot = kFirstStationSlot; slot <= last_ordered; ++slot)
    entries.push_back({Section::Stations, static_cast<size_t>(slot)});
  for (size_t s = 0; s < records.signals.size(); ++s) {
    if (!records.signals[s].under_marker) entries.push_back({Section::Signals, s});
  }
  const std::vector<int> marker_slot = first_marker_slots(r);
  for (const TrainEntry& e : entries) {
    MarkWriter w;
    if (e.section == Section::Stations) {
      const TableSlot& slot = r.model.slots[e.index];
      if (slot.role == SlotRole::Station) w.marks = station_marks(slot.station);
      if (static_cast<int>(e.index) < last_ordered)
        w.comes_before.push_back(first_station + e.index);  // the next slot's station
    } else {
      const RecoveredSignal& s = records.signals[e.index];
      w.marks = signal_marks(s);
      const int slot = marker_slot[static_cast<size_t>(s.cell)];
      if (s.under_marker && slot != 0 && slot <= last_ordered)
        w.comes_before.push_back(first_station + static_cast<size_t>(slot) - 1);
    }
    writers.push_back(std::move(w));
  }
  if (!records.last_station_stops) return;
  for (MarkWriter& w : writers) w.comes_before.push_back(writers.size());
  entries.push_back({Section::Stations, static_cast<size_t>(records.last_station_slot)});
  writers.push_back(
      {station_marks(r.model.slots[static_cast<size_t>(records.last_station_slot)].station), {}});
}

}  // namespace

// Stations keep their slots' order; a signal under a station marker comes before that station;
// where records write one cell's mark, the one the cell holds comes last. The usual order
// (stations, slow orders, signals) wherever the marks allow it.
void order_train_records(Recovery& r) {
  RecoveredRecords& records = r.records;
  using Section = TrainEntry::Section;
  std::vector<TrainEntry> entries;
  std::vector<MarkWriter> writers;
  mark_writers(r, entries, writers);
  std::vector<uint8_t> marks(r.cells.size());
  for (size_t c = 0; c < r.cells.size(); ++c) marks[c] = r.cells[c].Mark;
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (const auto found = marks_in_order(r, entries, writers, marks)) order = *found;
  // The station that stopped the reading is written after everything else.
  if (records.last_station_stops) order.pop_back();
  // Orders a marker covers come first; the others after the last station.
  for (size_t o = 0; o < records.slow_orders.size(); ++o)
    if (records.slow_orders[o].under_marker) records.train_order.push_back({Section::SlowOrders, o});
  size_t after_stations = records.train_order.size();
  for (const size_t i : order) {
    records.train_order.push_back(entries[i]);
    if (entries[i].section == Section::Stations) after_stations = records.train_order.size();
  }
  std::vector<TrainEntry> rest;
  for (size_t o = 0; o < records.slow_orders.size(); ++o)
    if (!records.slow_orders[o].under_marker) rest.push_back({Section::SlowOrders, o});
  records.train_order.insert(records.train_order.begin() + static_cast<std::ptrdiff_t>(after_stations),
                             rest.begin(), rest.end());
}

RecoveredRecords recover_records(const ScenarioModel& model, const std::vector<TrackCell>& cells,
                                 std::vector<std::string>& notes) {
  Recovery r(model, cells, notes);
  r.records.last_station_slot = last_station_slot(model, cells);
  // Markers are explained by the records with the most telling leftovers first.
  recover_slow_orders(r);
  recover_signals(r);
  recover_information_boards(r);
  recover_boards(r);
  recover_tunnels(r);
  find_stopping_station(r);
  order_train_records(r);
  return std::move(r.records);
}

}  // namespace scengen
