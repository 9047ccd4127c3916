// The route profile: everything the compiled scenario puts along the line, against the route
// position, in one picture.
#pragma once

#include <string>
#include <vector>

#include "render/label_placement.h"
#include "render/route_view.h"

namespace scengen {

/// The profile of the view as an <svg> element: station names (text elements of class
/// "profile-station", in route order), the elevation integrated from the gradients, the gradient
/// values, the train's speed limit with the maximum-speed boards and the slow order, the adhesion
/// where it is below its usual value, signals, information boards, cab-signal code points and
/// tunnels, over an axis in kilometres with the kilometric progressive of the references.
/// A view of a stretch draws only that stretch, at its own scale, with the features in it.
std::string route_profile_svg(const RouteView& view);

/// A label of the boards' rows and the box its text takes in the picture: a board's own label
/// (stands_for 1) or the count of those that found no room ("+3 more", stands_for 3).
struct BoardLabel {
  bool speed_board = false;  // else an information board's
  std::string text;
  Box box;
  int stands_for = 1;
};

/// The profile with the labels of its maximum-speed and information boards as drawn.
struct ProfileDrawing {
  std::string svg;
  std::vector<BoardLabel> board_labels;
};

/// The profile as route_profile_svg draws it, with the boxes of its board labels.
ProfileDrawing draw_route_profile(const RouteView& view);

}  // namespace scengen
