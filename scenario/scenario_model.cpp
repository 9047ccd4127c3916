#include "scenario/scenario_model.h"

#include <algorithm>
#include <cstdio>

#include "compiler/line_placement.h"
#include "compiler/source_text.h"
#include "scenario/model_parts.h"

namespace scengen {
namespace {

// Orders that start within the first 1500 m have no warning board and no approach boards.
constexpr int32_t kWarningCells = kWarningDistance / kCellLength;

ReferencePoint reference_in(const ScenarioTable& table, int slot) {
  const ScenarioEntry& e = table[static_cast<size_t>(slot)];
  return {slot, e.Num1, e.Num2, e.Num3, unpack_reference(e).progressive,
          e.Num1 == 0 && e.Num2 == 0 && e.Num3 == 0};
}

// The order of "uno", "due", "tre" whose ordering gives the table's slots 81 to 83 back.
std::optional<std::array<ReferencePoint, 3>> references_as_written(
    const ScenarioTable& table, const std::array<ReferencePoint, 3>& slots) {
  std::array<int, 3> order = {0, 1, 2};
  do {
    Compilation c;
    // Slots 83, 82, 81 are read as "uno", "due", "tre".
    for (int k = 0; k < 3; ++k) {
      const ReferencePoint& r = slots[static_cast<size_t>(order[static_cast<size_t>(k)])];
      ScenarioEntry& e = c.ScenarioTable[static_cast<size_t>(kReferenceSlots[2 - k])];
      e.Num1 = r.position;
      e.Num2 = r.written_progressive;
      e.Num3 = r.direction;
    }
    order_references(c);
    bool same = true;
    for (const int slot : kReferenceSlots) {
      const ScenarioEntry& a = c.ScenarioTable[static_cast<size_t>(slot)];
      const ScenarioEntry& b = table[static_cast<size_t>(slot)];
      same = same && a.Num1 == b.Num1 && a.Num2 == b.Num2 && a.Num3 == b.Num3;
    }
    if (same) {
      std::array<ReferencePoint, 3> written;
      for (size_t k = 0; k < 3; ++k) written[k] = slots[static_cast<size_t>(order[k])];
      return written;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  return std::nullopt;
}

void read_general(const CompiledFiles& files, ScenarioModel& model) {
  const ScenarioTable& table = files.table;
  const ScenarioEntry& length = table[kRouteLengthSlot];
  const ScenarioEntry& route = table[kRouteIdSlot];
  const ScenarioEntry& train = table[kTrainNumberSlot];
  GeneralValues& g = model.general;
  g.route_id = route.Text;
  g.train_number = train.Text;
  g.route_length = length.Num2;
  g.braked_mass = length.Num1;
  g.coaches = length.Num3;
  g.background_uno = route.Num1;
  g.background_tre = route.Num2;
  g.background_due = route.Num3;
  g.sand = train.Small1;
  g.clock = {train.Small3, train.Small4, train.Small5};
  g.repetition = {train.Num1, train.Num2, train.Num3};
  model.seal.table_seal = route.Small1;
  model.seal.weighted_code = route.Num4;
  if (files.cells.size() > kSealCell) {
    model.seal.cell_seal = files.cells[kSealCell].Param1;
    model.seal.plain_code = files.cells[kSealCell].Param2;
  }
  for (size_t i = 0; i < 3; ++i) model.references[i] = reference_in(table, kReferenceSlots[i]);
  model.references_as_written = references_as_written(table, model.references);
}

// The features of one cell into their lists; returns the index it took in its list, or -1.
int32_t read_feature(const TrackCell& cell, int32_t i, const ScenarioTable& table,
                     ScenarioModel& m) {
  const int32_t at = feature_position(cell.Kind, i);
  auto added = [](const auto& list) { return static_cast<int32_t>(list.size()) - 1; };
  switch (cell.Kind) {
    case kSignal:
      m.signals.push_back({i, at, unpack_signal(cell), 0, 0});
      return added(m.signals);
    case kSlowOrderEnd:
      m.slow_order_ends.push_back({i, at, unpack_slow_order(cell), std::nullopt});
      return added(m.slow_order_ends);
    case kSlowOrderStart: {
      SlowOrder order;
      order.start_cell = order.end_cell = order.matching_end_cell = i;
      order.start = order.end = order.matching_end = at;
      order.values = unpack_slow_order(cell);
      m.slow_orders.push_back(order);
      return added(m.slow_orders);
    }
    case kWarningBoard:
      m.warning_boards.push_back({i, at, unpack_warning_board(cell), {}});
      return added(m.warning_boards);
    case kApproachBoard:
      m.approach_boards.push_back({i, at, {}, unpack_approach_board(cell)});
      return added(m.approach_boards);
    case kSpeedBoard:
      m.speed_boards.push_back({i, at, unpack_speed_board(cell)});
      return added(m.speed_boards);
    case kStationMarker:
      m.station_markers.push_back({i, unpack_slot_cell(cell)});
      return added(m.station_markers);
    case kCodePoint:
    case kCodePointWithoutCode:
      m.code_points.push_back(
          {i, at, cell.Kind == kCodePoint, unpack_code_point(cell).code, false});
      return added(m.code_points);
    case kInformationBoard: {
      InformationBoard board{i, at, unpack_slot_cell(cell), false, {}, false, {}};
      board.slot_exists = board.slot >= 0 && board.slot < kScenarioSlots;
      if (board.slot_exists) {
        board.text = table[static_cast<size_t>(board.slot)].Text;
        board.panels = text_panels(utf8_from_windows_1252(board.text));
      }
      m.information_boards.push_back(std::move(board));
      return added(m.information_boards);
    }
    default:
      return -1;
  }
}

CellUse cell_use(const TrackCell& raw, int32_t i) {
  CellUse use;
  use.kind = raw.Kind;
  use.position = raw.Kind == kNothing || raw.Kind == kTunnelMarker
                     ? cell_start(i)
                     : feature_position(raw.Kind, i);
  use.mark = raw.Mark;
  use.tunnel = raw.Tunnel;
  use.speed_limit_kmh = unpack_speed_limit(raw.SpeedLimit);
  use.gradient_per_mille = unpack_gradient(raw.Gradient);
  use.adhesion = raw.Adhesion;
  use.holds_nothing = raw.Kind == kNothing && raw.Param1 == 0 && raw.Param2 == 0 &&
                      raw.Param3 == 0 && raw.Param4 == 0 && raw.Param5 == 0 && raw.Mark == 0 &&
                      raw.Tunnel == 0;
  use.unknown_kind = raw.Kind > kInformationBoard ||
                     (raw.Kind > kSpeedBoard && raw.Kind < kStationMarker);
  return use;
}

void read_cells(const std::vector<TrackCell>& raw, const std::vector<TrackCell>& cells,
                const ScenarioTable& table, ScenarioModel& model) {
  model.cells.reserve(cells.size());
  std::vector<bool> named(kScenarioSlots, false);
  for (size_t i = 0; i < cells.size(); ++i) {
    const auto cell = static_cast<int32_t>(i);
    CellUse use = cell_use(raw[i], cell);
    use.feature = read_feature(cells[i], cell, table, model);
    model.cells.push_back(use);
    if (cells[i].Kind != kInformationBoard) continue;
    InformationBoard& board = model.information_boards.back();
    if (board.slot >= 0 && board.slot <= kFirstBoardTextSlot) {
      board.owns_text_slot = !named[static_cast<size_t>(board.slot)];
      named[static_cast<size_t>(board.slot)] = true;
    }
  }
}

}  // namespace

// ---- Slow orders ----------------------------------------------------------------------------

namespace {

// The end a reader sees: the first end cell after the start, before any other start.
int32_t nearest_end(const std::vector<TrackCell>& cells, int32_t start) {
  for (size_t j = static_cast<size_t>(start) + 1; j < cells.size(); ++j) {
    if (cells[j].Kind == kSlowOrderEnd) return static_cast<int32_t>(j);
    if (cells[j].Kind == kSlowOrderStart) break;
  }
  return start;
}

// An order's warning and approach boards, claiming them in `claimed` as a text writes them.
void read_order_boards(const std::vector<TrackCell>& cells, SlowOrder& order,
                       std::vector<bool>& claimed) {
  auto cell = [&](int32_t i) -> const TrackCell& { return cells[static_cast<size_t>(i)]; };
  const int32_t warning = order.start_cell - kWarningCells;
  const bool warned = order.start > kLastUnwarnedStart;
  if (warning >= 0 && cell(warning).Kind == kWarningBoard &&
      unpack_warning_board(cell(warning)).v == order.values.v) {
    order.warning_cell = warning;
    if (warned) claimed[static_cast<size_t>(warning)] = true;
  }
  order.missing_warning_board = warned && !order.warning_cell;
  const int32_t nearest_board = warning - 1;
  order.approach_board_before_warning =
      nearest_board >= 0 && cell(nearest_board).Kind == kApproachBoard;
  order.approach_boards = warned && nearest_board - 3 >= 0 &&
                          cell(nearest_board).Kind == kApproachBoard &&
                          unpack_approach_board(cell(nearest_board)).board == 1;
  if (!order.approach_boards) return;
  for (int32_t m = 0; m < 4; ++m) claimed[static_cast<size_t>(nearest_board - m)] = true;
}

void read_slow_orders(const std::vector<TrackCell>& cells, ScenarioModel& model) {
  std::vector<bool> claimed(cells.size(), false);
  for (size_t n = 0; n < model.slow_orders.size(); ++n) {
    SlowOrder& order = model.slow_orders[n];
    order.end_cell = nearest_end(cells, order.start_cell);
    order.end = feature_position(kSlowOrderEnd, order.end_cell);
    // The first end after the start that no earlier order took and that holds its values.
    for (SlowOrderEnd& end : model.slow_order_ends) {
      if (end.cell <= order.start_cell || end.order || !(end.values == order.values)) continue;
      end.order = n;
      order.matching_end_cell = end.cell;
      order.matching_end = end.position;
      break;
    }
    claimed[static_cast<size_t>(order.matching_end_cell)] = true;
    read_order_boards(cells, order, claimed);
  }
  for (size_t i = 0; i < cells.size(); ++i) {
    const uint8_t kind = cells[i].Kind;
    if ((kind == kSlowOrderEnd || kind == kWarningBoard || kind == kApproachBoard) && !claimed[i])
      model.unclaimed_slow_order_cells.push_back({static_cast<int32_t>(i), kind});
  }
}

}  // namespace

// ---- Tunnels and profiles -------------------------------------------------------------------

namespace {

Tunnel tunnel_of(const std::vector<TrackCell>& cells, int32_t first, int32_t last) {
  auto kind_of = [&](int32_t c) { return cells[static_cast<size_t>(c)].Kind; };
  Tunnel t;
  t.first_cell = first;
  t.last_cell = last;
  t.start = cell_start(first);
  t.end = cell_start(last + 1);
  t.kind = cells[static_cast<size_t>(first)].Tunnel;
  for (int32_t c = first; c <= last; ++c) {
    if (kind_of(c) == kTunnelMarker) t.marker_cells.push_back(c);
  }
  t.has_marker = !t.marker_cells.empty();
  // A marked tunnel has its marker in every kTunnelMarkerSpacing-th cell of its run.
  const int32_t phase = kTunnelMarkerSpacing - 1;
  for (int32_t c = first + phase; c <= last; c += kTunnelMarkerSpacing)
    t.marked = t.marked || kind_of(c) == kTunnelMarker;
  for (const int32_t c : t.marker_cells) {
    if (!t.marked || (c - first) % kTunnelMarkerSpacing != phase) {
      t.stray_marker_cell = c;
      break;
    }
  }
  t.written_kind = text_kind_of_tunnel({t.kind, t.marked});
  return t;
}

void read_tunnels(const std::vector<TrackCell>& cells, ScenarioModel& model) {
  const auto n = static_cast<int32_t>(cells.size());
  for (int32_t i = 0; i < n;) {
    const uint8_t kind = cells[static_cast<size_t>(i)].Tunnel;
    if (kind == 0) {
      ++i;
      continue;
    }
    int32_t j = i;
    while (j + 1 < n && cells[static_cast<size_t>(j + 1)].Tunnel == kind) ++j;
    model.tunnels.push_back(tunnel_of(cells, i, j));
    i = j + 1;
  }
}

template <typename Value>
std::vector<Step> steps_of(const std::vector<TrackCell>& cells, Value value) {
  std::vector<Step> steps;
  for (size_t i = 0; i < cells.size(); ++i) {
    const auto cell = static_cast<int32_t>(i);
    const int v = value(cells[i]);
    if (steps.empty() || steps.back().value != v) {
      steps.push_back({cell, cell + 1, cell_start(cell), cell_start(cell + 1), v});
    } else {
      steps.back().end_cell = cell + 1;
      steps.back().end = cell_start(cell + 1);
    }
  }
  return steps;
}

void read_profiles(const std::vector<TrackCell>& cells, ScenarioModel& model) {
  model.gradients = steps_of(cells, [](const TrackCell& c) { return unpack_gradient(c.Gradient); });
  model.speed_limits =
      steps_of(cells, [](const TrackCell& c) { return unpack_speed_limit(c.SpeedLimit); });
  model.adhesion = steps_of(cells, [](const TrackCell& c) { return int{c.Adhesion}; });
}

}  // namespace

// ---- The table ------------------------------------------------------------------------------

namespace {

SlotRole role_of(int slot, const ScenarioEntry& e) {
  if (slot > kFirstBoardTextSlot) return SlotRole::Setting;
  if (slot < kFirstStationSlot || slot_is_empty(e)) return SlotRole::Empty;
  // A board's text is a text alone; a station has at least its type or its area.
  ScenarioEntry numbers = e;
  numbers.Text.clear();
  return slot_is_empty(numbers) ? SlotRole::BoardText : SlotRole::Station;
}

void read_slots(const ScenarioTable& table, ScenarioModel& model) {
  for (const InformationBoard& board : model.information_boards) {
    if (board.slot_exists) model.slots[static_cast<size_t>(board.slot)].named_by_board = true;
    // Cell 1's board lost its slot to the seal.
    if (board.cell != kSealCell && board.slot >= 0 && board.slot <= kFirstBoardTextSlot)
      model.lowest_board_slot = std::min(model.lowest_board_slot, static_cast<int>(board.slot));
  }
  for (int slot = 0; slot < kScenarioSlots; ++slot) {
    const ScenarioEntry& e = table[static_cast<size_t>(slot)];
    TableSlot& s = model.slots[static_cast<size_t>(slot)];
    s.role = role_of(slot, e);
    s.empty = slot_is_empty(e);
    s.station = unpack_station(e);
    if (slot >= kFirstStationSlot && slot < model.lowest_board_slot && !s.empty)
      model.last_filled_station_slot = slot;
  }
}

// Stations fill the slots from 1 upward; the board texts come down from 80 to meet them.
void read_stations(ScenarioModel& model) {
  for (int slot = kFirstStationSlot; slot <= kFirstBoardTextSlot; ++slot) {
    const TableSlot& s = model.slots[static_cast<size_t>(slot)];
    if (s.named_by_board || s.empty) break;
    Station station;
    station.slot = slot;
    station.kind =
        s.station.type < kFirstHaltType ? StationKind::Station : StationKind::HaltOrCabin;
    station.values = s.station;
    station.name_utf8 = collapse_blanks(utf8_from_windows_1252(s.station.name));
    for (const StationMarker& marker : model.station_markers) {
      if (marker.slot == slot) {
        station.marker_cell = marker.cell;
        break;
      }
    }
    model.stations.push_back(std::move(station));
  }
  if (!model.stations.empty()) model.stations.back().terminus = true;
}

void read_board_texts(const ScenarioTable& table, ScenarioModel& model) {
  std::array<std::optional<size_t>, kFirstBoardTextSlot + 1> board_of{};
  int lowest = kFirstBoardTextSlot + 1;
  for (size_t b = 0; b < model.information_boards.size(); ++b) {
    const InformationBoard& board = model.information_boards[b];
    if (!board.owns_text_slot) continue;
    board_of[static_cast<size_t>(board.slot)] = b;
    lowest = std::min(lowest, static_cast<int>(board.slot));
  }
  for (int slot = kFirstBoardTextSlot; slot >= lowest; --slot) {
    model.board_texts.push_back(
        {slot, table[static_cast<size_t>(slot)].Text, board_of[static_cast<size_t>(slot)]});
  }
}

ScenarioModel read_cells_and_table(const std::vector<TrackCell>& raw, const ScenarioTable& table) {
  ScenarioModel model;
  const std::vector<TrackCell> cells = author_cells(raw, table);
  read_cells(raw, cells, table, model);
  read_slow_orders(cells, model);
  recover_signal_indications(cells, model);
  tell_derived_code_points(cells, model);
  read_tunnels(cells, model);
  read_profiles(cells, model);
  read_slots(table, model);
  read_stations(model);
  read_board_texts(table, model);
  return model;
}

}  // namespace

// ---- The whole model ------------------------------------------------------------------------

ScenarioModel read_scenario(const CompiledFiles& files) {
  ScenarioModel model = read_cells_and_table(files.cells, files.table);
  read_general(files, model);
  model.plan = read_route_plan(files.plan);
  return model;
}

ScenarioModel read_scenario(const Compilation& c) {
  const CompiledFiles tables{c.TrackCells, c.ScenarioTable, std::nullopt};
  ScenarioModel model = read_scenario(tables);
  model.plan = read_track_plan(c.TrackPlan);
  model.extended_length = c.ExtendedLength;
  model.compile_identity = CompileIdentity{c.RouteId, c.TrainNumber};
  const int32_t listed = std::clamp(c.TunnelCount, 0, kTunnelSlots - 1);
  for (int32_t n = 1; n <= listed; ++n) {
    ListedTunnel tunnel{c.TunnelStart[static_cast<size_t>(n)],
                        c.TunnelEnd[static_cast<size_t>(n)], 0};
    const int64_t first = cell_of(tunnel.start, kStepOffset);
    if (first >= 0 && first <= c.last_cell())
      tunnel.kind = c.TrackCells[static_cast<size_t>(first)].Tunnel;
    model.listed_tunnels.push_back(tunnel);
  }
  return model;
}

// ---- Small helpers ----------------------------------------------------------------------------

// The seal wrote cell 1's first two values over the zeros a feature there left. A seal that
// stopped (its first value, or the table's weighted code, not written) left the cell as the
// compile made it.
std::vector<TrackCell> author_cells(const std::vector<TrackCell>& cells,
                                    const ScenarioTable& table) {
  std::vector<TrackCell> author = cells;
  if (author.size() > kSealCell && author[kSealCell].Param1 == kCellSeal &&
      table[kRouteIdSlot].Num4 != 0) {
    author[kSealCell].Param1 = 0;
    author[kSealCell].Param2 = 0;
  }
  return author;
}

bool slot_is_empty(const ScenarioEntry& e) {
  return e.Tag == 0 && e.Num1 == 0 && e.Num2 == 0 && e.Num3 == 0 && e.Tag2 == 0 && e.Text.empty() &&
         e.Small1 == 0 && e.Small2 == 0 && e.Small3 == 0 && e.Small4 == 0 && e.Small5 == 0 &&
         e.Flag1 == 0 && e.Flag2 == 0 && e.Flag3 == 0 && e.Flag4 == 0 && e.Num4 == 0;
}

const Step* step_at(const std::vector<Step>& steps, int32_t cell) {
  const auto after = std::upper_bound(steps.begin(), steps.end(), cell,
                                      [](int32_t c, const Step& s) { return c < s.first_cell; });
  if (after == steps.begin()) return nullptr;
  const Step& step = *std::prev(after);
  return cell < step.end_cell ? &step : nullptr;
}

std::string time_of_day(int64_t seconds) {
  const int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  char text[64];
  if (s != 0) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(h),
                  static_cast<long long>(m), static_cast<long long>(s));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(h),
                  static_cast<long long>(m));
  }
  return text;
}

std::string time_of_day_in_minutes(int32_t seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", seconds / 3600, seconds / 60 % 60);
  return text;
}

std::string collapse_blanks(const std::string& text) {
  std::string out;
  bool blank = false;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      blank = !out.empty();
    } else {
      if (blank) out += ' ';
      blank = false;
      out += c;
    }
  }
  return out;
}

std::vector<std::string> text_panels(const std::string& utf8) {
  std::vector<std::string> panels;
  std::string current;
  auto flush = [&] {
    std::string panel = collapse_blanks(current);
    if (!panel.empty()) panels.push_back(std::move(panel));
    current.clear();
  };
  for (const char c : utf8) {
    if (c == '(' || c == ')') {
      flush();
    } else {
      current += c;
    }
  }
  flush();
  return panels;
}

}  // namespace scengen
