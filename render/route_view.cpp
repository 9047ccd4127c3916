#include "render/route_view.h"

#include <algorithm>
#include <map>

#include "compiler/source_text.h"

namespace scengen {
namespace {

// The features of the cells, each at the position its placement was given; returns the furthest.
int32_t view_features(const ScenarioModel& model, RouteView& view) {
  int32_t furthest = view.route_length;
  const auto reach = [&](int32_t at) { furthest = std::max(furthest, at); };
  for (const Signal& signal : model.signals) {
    view.signals.push_back(signal.position);
    reach(signal.position);
  }
  for (const SlowOrder& order : model.slow_orders) {
    view.slow_orders.push_back({order.start, order.end, order.values.v});
    reach(order.start);
  }
  for (const SlowOrderBoard& board : model.warning_boards) reach(board.position);
  for (const SlowOrderBoard& board : model.approach_boards) reach(board.position);
  for (const SpeedBoard& board : model.speed_boards) reach(board.position);
  for (const CodePoint& point : model.code_points) reach(point.position);
  for (const InformationBoard& board : model.information_boards) reach(board.position);
  view.warning_boards = model.warning_boards;
  view.approach_boards = model.approach_boards;
  view.speed_boards = model.speed_boards;
  view.code_points = model.code_points;
  view.information_boards = model.information_boards;
  for (const Station& station : model.stations) reach(station.values.position);
  view.stations = model.stations;
  return furthest;
}

int32_t view_tunnels(const ScenarioModel& model, RouteView& view, int32_t furthest) {
  if (model.compile_identity) {
    view.tunnels = model.listed_tunnels;
  } else {
    for (const Tunnel& t : model.tunnels) view.tunnels.push_back({t.start, t.end, t.kind});
  }
  for (const ListedTunnel& tunnel : view.tunnels) furthest = std::max(furthest, tunnel.end);
  return furthest;
}

// The steps that cover the first `cells` cells, the last one ending with them.
std::vector<StepView> steps_within(const std::vector<Step>& steps, int32_t cells) {
  std::vector<StepView> within;
  for (const Step& step : steps) {
    if (step.first_cell >= cells) break;
    within.push_back({step.start, cell_start(std::min(step.end_cell, cells)), step.value});
  }
  return within;
}

// The profiles as steps over the drawn cells, the elevation they add up to, and the adhesion
// that covers most of the route.
void view_profiles(const ScenarioModel& model, RouteView& view) {
  const int32_t drawn_cells = (view.drawn_length + kCellLength - 1) / kCellLength;
  view.gradients = steps_within(model.gradients, drawn_cells);
  view.speed_limits = steps_within(model.speed_limits, drawn_cells);
  view.adhesion = steps_within(model.adhesion, drawn_cells);
  view.elevation.assign(static_cast<size_t>(drawn_cells) + 1, 0.0);
  for (size_t i = 0; i < static_cast<size_t>(drawn_cells); ++i) {
    const int per_mille = model.cells[i].gradient_per_mille;
    view.elevation[i + 1] = view.elevation[i] + per_mille * kCellLength / 1000.0;
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

RouteView view_route(const ScenarioModel& model) {
  RouteView view;
  // A compile that stopped early may not have copied its identity into the table yet.
  const bool compiled = model.compile_identity.has_value();
  view.route_id =
      utf8_from_windows_1252(compiled ? model.compile_identity->route_id : model.general.route_id);
  view.train_number = utf8_from_windows_1252(compiled ? model.compile_identity->train_number
                                                      : model.general.train_number);
  if (model.cells.empty()) return view;
  const int32_t track_end = cell_start(static_cast<int32_t>(model.cells.size()) - 1);

  // Without a route length in its slot, the track's own length less its tail.
  const int32_t stored_length = model.general.route_length;
  const int64_t length =
      stored_length > 0 ? stored_length : int64_t{model.extended_length} - kTrackTail;
  view.route_length = static_cast<int32_t>(std::clamp<int64_t>(length, 0, track_end));

  int32_t furthest = view_features(model, view);
  furthest = view_tunnels(model, view, furthest);
  view.drawn_length = std::clamp(furthest, 0, track_end);
  view_profiles(model, view);

  for (const ReferencePoint& r : model.references) {
    if (r.position != 0 || r.progressive != 0) view.references.push_back(r);
  }
  view.repetition = model.general.repetition;
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
  const auto at = [](const auto& item) { return item.position; };
  keep(view.stations, [](const Station& s) { return s.values.position; });
  keep(view.signals, [](int32_t m) { return m; });
  keep(view.code_points, at);
  keep(view.speed_boards, at);
  keep(view.information_boards, at);
  keep(view.warning_boards, at);
  keep(view.approach_boards, at);
  keep(view.references, at);
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
  CabSignalRepetition& repetition = view.repetition;
  if (repetition.end < from || repetition.start > to) {
    repetition.start = repetition.end = 0;
  } else {
    repetition.start = std::max(repetition.start, from);
    repetition.end = std::min(repetition.end, to);
  }
  return view;
}

}  // namespace scengen
