#include "render/route_view.h"

#include <algorithm>
#include <map>
#include <set>

#include "compiler/source_text.h"

namespace scengen {
namespace {

constexpr int32_t kCell = 50;

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
      steps.push_back({i * kCell, (i + 1) * kCell, v});
    } else {
      steps.back().end = (i + 1) * kCell;
    }
  }
  return steps;
}

}  // namespace

int32_t feature_position(uint8_t kind, int32_t cell) {
  if (kind == kCodePoint || kind == kCodePointWithoutCode) return cell * kCell;
  return (cell - 1) * kCell;
}

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

RouteView read_route(const Compilation& c) {
  RouteView view;
  view.route_id = utf8_from_windows_1252(c.RouteId);
  view.train_number = utf8_from_windows_1252(c.TrainNumber);
  if (c.TrackCells.empty()) return view;
  const auto& cells = c.TrackCells;
  const auto& table = c.ScenarioTable;
  const int32_t last_cell = c.last_cell();
  const int32_t track_end = last_cell * kCell;

  const int64_t length = table[84].Num2 > 0 ? table[84].Num2 : int64_t{c.ExtendedLength} - 7000;
  view.route_length = static_cast<int32_t>(std::clamp<int64_t>(length, 0, track_end));

  std::set<int> board_slots;
  int32_t furthest = view.route_length;
  for (int32_t i = 0; i <= last_cell; ++i) {
    const TrackCell& cell = cells[static_cast<size_t>(i)];
    const int32_t at = feature_position(cell.Kind, i);
    switch (cell.Kind) {
      case kSignal:
        view.signals.push_back(at);
        break;
      case kSlowOrderStart: {
        SlowOrderView order{at, at, cell.Param1};
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
        view.warning_boards.push_back({at, cell.Param1});
        break;
      case kApproachBoard:
        view.approach_boards.push_back({at, cell.Param1});
        break;
      case kSpeedBoard: {
        SpeedBoardView board;
        board.position = at;
        const int16_t packed[3] = {cell.Param1, cell.Param2, cell.Param3};
        for (int r = 0; r < 3; ++r) {
          board.left[static_cast<size_t>(r)] = packed[r] / 100 * 5;
          board.right[static_cast<size_t>(r)] = packed[r] % 100 * 5;
        }
        board.left_stripes = cell.Param4 / 10;
        board.right_stripes = cell.Param4 % 10;
        view.speed_boards.push_back(board);
        break;
      }
      case kCodePoint:
        view.code_points.push_back({at, cell.Param1});
        break;
      case kCodePointWithoutCode:
        view.code_points.push_back({at, 0});
        break;
      case kInformationBoard: {
        InformationBoardView board{at, {}};
        if (cell.Param1 >= 0 && cell.Param1 < kScenarioSlots) {
          board_slots.insert(cell.Param1);
          board.panels =
              board_panels(utf8_from_windows_1252(table[static_cast<size_t>(cell.Param1)].Text));
        }
        view.information_boards.push_back(std::move(board));
        break;
      }
      default:
        continue;
    }
    furthest = std::max(furthest, at);
  }

  // Stations fill the slots from 1 upward; the board texts come down from 80 to meet them.
  for (int slot = 1; slot <= 80; ++slot) {
    const ScenarioEntry& e = table[static_cast<size_t>(slot)];
    if (board_slots.count(slot) != 0 || is_empty_slot(e)) break;
    view.stations.push_back(
        {slot, tidy(utf8_from_windows_1252(e.Text)), e.Num3, e.Num1, e.Num2, e.Tag, e.Num4});
    furthest = std::max(furthest, e.Num3);
  }

  const int32_t tunnels = std::clamp(c.TunnelCount, 0, kTunnelSlots - 1);
  for (int32_t n = 1; n <= tunnels; ++n) {
    TunnelView tunnel{c.TunnelStart[static_cast<size_t>(n)], c.TunnelEnd[static_cast<size_t>(n)],
                      0};
    const int64_t first = nearest(tunnel.start / 50.0);
    if (first >= 0 && first <= last_cell) tunnel.kind = cells[static_cast<size_t>(first)].Tunnel;
    view.tunnels.push_back(tunnel);
    furthest = std::max(furthest, tunnel.end);
  }

  view.drawn_length = std::clamp(furthest, 0, track_end);
  const int32_t drawn_cells = (view.drawn_length + kCell - 1) / kCell;
  view.gradients =
      steps_of(cells, drawn_cells, [](const TrackCell& t) { return t.Gradient - 100; });
  view.speed_limits =
      steps_of(cells, drawn_cells, [](const TrackCell& t) { return t.SpeedLimit * 5; });
  view.adhesion = steps_of(cells, drawn_cells, [](const TrackCell& t) { return int{t.Adhesion}; });
  view.elevation.assign(static_cast<size_t>(drawn_cells) + 1, 0.0);
  for (int32_t i = 0; i < drawn_cells; ++i) {
    const int per_mille = cells[static_cast<size_t>(i)].Gradient - 100;
    view.elevation[static_cast<size_t>(i) + 1] =
        view.elevation[static_cast<size_t>(i)] + per_mille * kCell / 1000.0;
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

  for (int slot = 81; slot <= 83; ++slot) {
    const ScenarioEntry& e = table[static_cast<size_t>(slot)];
    if (e.Num1 != 0 || e.Num2 != 0) view.references.push_back({e.Num1, e.Num2});
  }
  view.repetition_start = table[86].Num1;
  view.repetition_end = table[86].Num2;
  view.repetition_codes = table[86].Num3;
  return view;
}

}  // namespace scengen
