// What the pictures show, read from a compiled model: every feature at its route position in
// metres, the profiles as steps, the stations from the scenario table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/compilation.h"

namespace scengen {

/// Metres between two values of the elevation: one a cell.
inline constexpr int32_t kElevationStep = kCellLength;

struct StationView {
  int slot = 0;
  std::string name;          // UTF-8
  int32_t position = 0;      // Num3
  int32_t area_start = 0;    // Num1
  int32_t area_end = 0;      // Num2
  int type = 0;              // Tag; below 25 a station with a marker, else a halt or a cabin
  int32_t time_seconds = 0;  // Num4; 0 when the timetable gives no time
};

struct SpeedBoardView {
  int32_t position = 0;
  std::array<int, 3> left{};   // km/h of ranks A, B, C on the left; 0 when the side is empty
  std::array<int, 3> right{};  // the same on the right
  int left_stripes = 0;
  int right_stripes = 0;
};

struct InformationBoardView {
  int32_t position = 0;
  std::vector<std::string> panels;  // UTF-8, one per parenthesised group, blanks trimmed
};

struct CodePointView {
  int32_t position = 0;
  int code = 0;  // 0: a code point without a code
};

struct SlowOrderView {
  int32_t start = 0;
  int32_t end = 0;  // equals start when the order's end cell was not found after it
  int speed = 0;
};

struct SlowOrderBoardView {
  int32_t position = 0;
  int value = 0;  // the warning board's speed, or the approach board's number 1 to 4
};

struct TunnelView {
  int32_t start = 0;
  int32_t end = 0;
  int kind = 0;
};

/// A run of cells with one value, from `start` to `end` metres.
struct StepView {
  int32_t start = 0;
  int32_t end = 0;
  int value = 0;
};

struct ReferenceView {
  int32_t position = 0;     // route position (m)
  int32_t progressive = 0;  // kilometric progressive (m) as the model holds it
};

struct RouteView {
  std::string route_id;
  std::string train_number;
  int32_t route_length = 0;
  int32_t drawn_length = 0;  // the route, and beyond it as far as a feature stands
  std::vector<StationView> stations;
  std::vector<int32_t> signals;
  std::vector<CodePointView> code_points;
  std::vector<SpeedBoardView> speed_boards;
  std::vector<InformationBoardView> information_boards;
  std::vector<SlowOrderView> slow_orders;
  std::vector<SlowOrderBoardView> warning_boards;
  std::vector<SlowOrderBoardView> approach_boards;
  std::vector<TunnelView> tunnels;
  std::vector<StepView> gradients;     // per mille
  std::vector<StepView> speed_limits;  // km/h
  std::vector<StepView> adhesion;
  int usual_adhesion = 0;  // the value that covers most of the route
  std::vector<ReferenceView> references;
  int32_t repetition_start = 0;
  int32_t repetition_end = 0;
  int repetition_codes = 0;
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

/// Reads everything the pictures show from the model. A model without cells gives an empty view.
RouteView read_route(const Compilation& c);

/// The view of a stretch: only the features in it, the steps, tunnels, slow orders and the
/// repetition cut to it; the elevation stays whole, as measured from the route's start.
RouteView crop_route(RouteView view, Stretch stretch);

/// "(P.B.A.)(P. 253)" as {"P.B.A.", "P. 253"}; a text without parentheses is one panel.
std::vector<std::string> board_panels(const std::string& utf8);

}  // namespace scengen
