// What the pictures show, taken from the model of a compiled scenario: every feature at its route
// position in metres, the profiles as steps over what is drawn, the stations and the elevation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenario/scenario_model.h"

namespace scengen {

/// Metres between two values of the elevation: one a cell.
inline constexpr int32_t kElevationStep = kCellLength;

struct SlowOrderView {
  int32_t start = 0;
  int32_t end = 0;  // equals start when the order's end cell was not found after it
  int speed = 0;
};

/// A run of cells with one value, from `start` to `end` metres.
struct StepView {
  int32_t start = 0;
  int32_t end = 0;
  int value = 0;
};

struct RouteView {
  std::string route_id;      // UTF-8
  std::string train_number;  // UTF-8
  int32_t route_length = 0;
  int32_t drawn_length = 0;  // the route, and beyond it as far as a feature stands
  std::vector<Station> stations;
  std::vector<int32_t> signals;  // positions
  std::vector<CodePoint> code_points;
  std::vector<SpeedBoard> speed_boards;
  std::vector<InformationBoard> information_boards;
  std::vector<SlowOrderView> slow_orders;
  std::vector<SlowOrderBoard> warning_boards;
  std::vector<SlowOrderBoard> approach_boards;
  std::vector<ListedTunnel> tunnels;
  std::vector<StepView> gradients;     // per mille
  std::vector<StepView> speed_limits;  // km/h
  std::vector<StepView> adhesion;
  int usual_adhesion = 0;  // the value that covers most of the route
  std::vector<ReferencePoint> references;  // those with a position or a progressive
  CabSignalRepetition repetition;
  /// Elevation in metres relative to the start at every kElevationStep metres, from 0 to
  /// drawn_length.
  std::vector<double> elevation;
  /// The stretch the pictures show, in route metres; the whole route when `stretch` is false.
  bool stretch = false;
  int32_t stretch_from = 0;
  int32_t stretch_to = 0;
};

/// A stretch of a route to draw on its own, both ends in route metres.
struct Stretch {
  int32_t from = 0;
  int32_t to = 0;
};

/// Everything the pictures show of the model. A model without cells gives an empty view. A
/// compile's model draws its tunnels as the compile listed them, a model of files as the cells
/// hold them.
RouteView view_route(const ScenarioModel& model);

/// The view of a stretch: only the features in it, the steps, tunnels, slow orders and the
/// repetition cut to it; the elevation stays whole, as measured from the route's start.
RouteView crop_route(RouteView view, Stretch stretch);

}  // namespace scengen
