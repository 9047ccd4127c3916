// The route profile: everything the compiled scenario puts along the line, against the route
// position, in one picture.
#pragma once

#include <string>

#include "render/route_view.h"

namespace scengen {

/// The profile of the view as an <svg> element: station names (text elements of class
/// "profile-station", in route order), the elevation integrated from the gradients, the gradient
/// values, the train's speed limit with the maximum-speed boards and the slow order, the adhesion
/// where it is below its usual value, signals, information boards, cab-signal code points and
/// tunnels, over an axis in kilometres with the kilometric progressive of the references.
/// A view of a stretch draws only that stretch, at its own scale, with the features in it.
std::string route_profile_svg(const RouteView& view);

}  // namespace scengen
