#include "render/route_view.h"

#include <algorithm>
#include <map>
#include <set>

#include "compiler/source_text.h"
#include "compiler/track_layout.h"
#include "render/svg_text.h"

namespace scengen {
namespace {

bool is_empty_slot(const ScenarioEntry& e) {
  return e.Tag == 0 && e.Num1 == 0 && e.Num2 == 0 && e.Num3 == 0 && e.Tag2 == 0 && e.Text.empty() &&
         e.Small1 == 0 && e.Small2 == 0 && e.Small3 == 0 && e.Small4 == 0 && e.Small5 == 0 &&
         e.Flag1 == 0 && e.Flag2 == 0 && e.Flag3 == 0 && e.Flag4 == 0 && e.Num4 == 0;
}

// Collapses runs of blanks into one space and drops them at both ends.
std::string tidy(const std::string& text) {
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

template <typename Value>
std::vector<StepView> steps_of(const std::vector<TrackCell>& cells, int32_t count, Value value) {
  std::vector<StepView> steps;
  for (int32_t i = 0; i < count; ++i) {
    const int v = value(cells[static_cast<size_t>(i)]);
    if (steps.empty() || steps.back().value != v) {
      steps.push_back({cell_start(i), cell_start(i + 1), v});
    } else {
      steps.back().end = cell_start(i + 1);
    }
  }
  return steps;
}

}  // namespace

std::vector<std::string> board_panels(const std::string& utf8) {
  std::vector<std::string> panels;
  std::string current;
  auto flush = [&] {
    std::string panel = tidy(current);
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

namespace {

// The features of the cells, each at the position its placement was given; returns the furthest.
int32_t read_cells(const Compilation& c, RouteView& view, std::set<int>& board_slots) {
  const auto& cells = c.TrackCells;
  const int32_t last_cell = c.last_cell();
  int32_t furthest = view.route_length;
  for (int32_t i = 0; i <= last_cell; ++i) {
    const TrackCell& cell = cells[static_cast<size_t>(i)];
    const int32_t at = feature_position(cell.Kind, i);
    switch (cell.Kind) {
      case kSignal:
        view.signals.push_back(at);
        break;
      case kSlowOrderStart: {
        SlowOrderView order{at, at, unpack_slow_order(cell).v};
        for (int32_t j = i + 1; j <= last_cell; ++j) {
          const uint8_t kind = cells[static_cast<size_t>(j)].Kind;
          if (kind == kSlowOrderStart) break;
          if (kind == kSlowOrderEnd) {
            order.end = feature_position(kind, j);
            break;
          }
        }
        view.slow_orders.push_back(order);
        break;
      }
      case kWarningBoard:
        view.warning_boards.push_back({at, unpack_warning_board(cell).v});
        break;
      case kApproachBoard:
        view.approach_boards.push_back({at, unpack_approach_board(cell).board});
        break;
      case kSpeedBoard: {
        const SpeedBoardCell packed = unpack_speed_board(cell);
        SpeedBoardView board;
        board.position = at;
        std::copy(packed.left.begin(), packed.left.end(), board.left.begin());
        std::copy(packed.right.begin(), packed.right.end(), board.right.begin());
        board.left_stripes = packed.strisces;
        board.right_stripes = packed.strisced;
        view.speed_boards.push_back(board);
        break;
      }
      case kCodePoint:
      case kCodePointWithoutCode:
        view.code_points.push_back({at, unpack_code_point(cell).code});
        break;
      case kInformationBoard: {
        InformationBoardView board{at, {}};
        const int32_t slot = unpack_slot_cell(cell);
        if (slot >= 0 && slot < kScenarioSlots) {
          board_slots.insert(slot);
          board.panels =
              board_panels(utf8_from_windows_1252(c.ScenarioTable[static_cast<size_t>(slot)].Text));
        }
        view.information_boards.push_back(std::move(board));
        break;
      }
      default:
        continue;
    }
    furthest = std::max(furthest, at);
  }
  return furthest;
}

// Stations fill the slots from 1 upward; the board texts come down from 80 to meet them.
int32_t read_stations(const ScenarioTable& table, const std::set<int>& board_slots, RouteView& view,
                      int32_t furthest) {
  for (int slot = kFirstStationSlot; slot <= kFirstBoardTextSlot; ++slot) {
    const ScenarioEntry& e = table[static_cast<size_t>(slot)];
    if (board_slots.count(slot) != 0 || is_empty_slot(e)) break;
    const StationSlot station = unpack_station(e);
    view.stations.push_back({slot, tidy(utf8_from_windows_1252(station.name)), station.position,
                             station.area_start, station.area_end, station.type,
                             station.time_seconds});
    furthest = std::max(furthest, station.position);
  }
  return furthest;
}

int32_t read_tunnels(const Compilation& c, RouteView& view, int32_t furthest) {
  const int32_t tunnels = std::clamp(c.TunnelCount, 0, kTunnelSlots - 1);
  for (int32_t n = 1; n <= tunnels; ++n) {
    TunnelView tunnel{c.TunnelStart[static_cast<size_t>(n)], c.TunnelEnd[static_cast<size_t>(n)],
                      0};
    const int64_t first = cell_of(tunnel.start, kStepOffset);
    if (first >= 0 && first <= c.last_cell())
      tunnel.kind = c.TrackCells[static_cast<size_t>(first)].Tunnel;
    view.tunnels.push_back(tunnel);
    furthest = std::max(furthest, tunnel.end);
  }
  return furthest;
}

// The profiles as steps over the drawn cells, the elevation they add up to, and the adhesion
// that covers most of the route.
void read_profiles(const std::vector<TrackCell>& cells, RouteView& view) {
  const int32_t drawn_cells = (view.drawn_length + kCellLength - 1) / kCellLength;
  view.gradients =
      steps_of(cells, drawn_cells, [](const TrackCell& t) { return unpack_gradient(t.Gradient); });
  view.speed_limits = steps_of(cells, drawn_cells,
                               [](const TrackCell& t) { return unpack_speed_limit(t.SpeedLimit); });
  view.adhesion = steps_of(cells, drawn_cells, [](const TrackCell& t) { return int{t.Adhesion}; });
  view.elevation.assign(static_cast<size_t>(drawn_cells) + 1, 0.0);
  for (int32_t i = 0; i < drawn_cells; ++i) {
    const int per_mille = unpack_gradient(cells[static_cast<size_t>(i)].Gradient);
    view.elevation[static_cast<size_t>(i) + 1] =
        view.elevation[static_cast<size_t>(i)] + per_mille * kCellLength / 1000.0;
  }

  std::map<int, int32_t> adhesion_length;
  for (const StepView& step : view.adhesion) {
    const int32_t end = std::min(step.end, view.route_length);
    if (end > step.start) adhesion_length[step.value] += end - step.start;
  }
  int32_t longest = -1;
  for (const auto& [value, length] : adhesion_length) {
    if (length > longest) {
      longest = length;
      view.usual_adhesion = value;
    }
  }
}

}  // namespace

RouteView read_route(const Compilation& c) {
  RouteView view;
  view.route_id = utf8_from_windows_1252(c.RouteId);
  view.train_number = utf8_from_windows_1252(c.TrainNumber);
  if (c.TrackCells.empty()) return view;
  const auto& table = c.ScenarioTable;
  const int32_t track_end = cell_start(c.last_cell());

  // Without a route length in its slot, the track's own length less its tail.
  const int32_t stored_length = table[kRouteLengthSlot].Num2;
  const int64_t length = stored_length > 0 ? stored_length : int64_t{c.ExtendedLength} - kTrackTail;
  view.route_length = static_cast<int32_t>(std::clamp<int64_t>(length, 0, track_end));

  std::set<int> board_slots;
  int32_t furthest = read_cells(c, view, board_slots);
  furthest = read_stations(table, board_slots, view, furthest);
  furthest = read_tunnels(c, view, furthest);
  view.drawn_length = std::clamp(furthest, 0, track_end);
  read_profiles(c.TrackCells, view);

  for (const int slot : kReferenceSlots) {
    const ScenarioEntry& e = table[static_cast<size_t>(slot)];
    if (e.Num1 != 0 || e.Num2 != 0) view.references.push_back({e.Num1, e.Num2});
  }
  const ScenarioEntry& run = table[kTrainNumberSlot];
  view.repetition_start = run.Num1;
  view.repetition_end = run.Num2;
  view.repetition_codes = run.Num3;
  return view;
}

RouteView crop_route(RouteView view, Stretch stretch) {
  const int32_t from = stretch.from, to = stretch.to;
  view.stretch = true;
  view.stretch_from = from;
  view.stretch_to = to;
  const auto inside = [&](int32_t m) { return m >= from && m <= to; };
  const auto keep = [&](auto& list, auto position) {
    std::erase_if(list, [&](const auto& item) { return !inside(position(item)); });
  };
  keep(view.stations, [](const StationView& s) { return s.position; });
  keep(view.signals, [](int32_t m) { return m; });
  keep(view.code_points, [](const CodePointView& p) { return p.position; });
  keep(view.speed_boards, [](const SpeedBoardView& b) { return b.position; });
  keep(view.information_boards, [](const InformationBoardView& b) { return b.position; });
  keep(view.warning_boards, [](const SlowOrderBoardView& b) { return b.position; });
  keep(view.approach_boards, [](const SlowOrderBoardView& b) { return b.position; });
  keep(view.references, [](const ReferenceView& r) { return r.position; });
  // What has a length is kept where it reaches into the stretch, cut at its ends.
  const auto cut = [&](auto& list) {
    std::erase_if(list, [&](const auto& item) { return item.end < from || item.start > to; });
    for (auto& item : list) {
      item.start = std::max(item.start, from);
      item.end = std::min(item.end, to);
    }
  };
  cut(view.slow_orders);
  cut(view.tunnels);
  cut(view.gradients);
  cut(view.speed_limits);
  cut(view.adhesion);
  if (view.repetition_end < from || view.repetition_start > to) {
    view.repetition_start = view.repetition_end = 0;
  } else {
    view.repetition_start = std::max(view.repetition_start, from);
    view.repetition_end = std::min(view.repetition_end, to);
  }
  return view;
}

}  // namespace scengen
