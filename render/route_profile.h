// The route profile: everything the compiled scenario puts along the line, against the route
// position, in one picture.
#pragma once

#include <optional>
#include <string>

#include "compiler/compilation.h"
#include "render/route_view.h"

namespace scengen {

/// The profile of the model as an <svg> element: station names (text elements of class
/// "profile-station", in route order), the elevation integrated from the gradients, the gradient
/// values, the train's speed limit with the maximum-speed boards and the slow order, the adhesion
/// where it is below its usual value, signals, information boards, cab-signal code points and
/// tunnels, over an axis in kilometres with the kilometric progressive of the references.
/// With a stretch, only that stretch, at its own scale, with the features in it.
std::string route_profile_svg(const Compilation& c, std::optional<Stretch> stretch = std::nullopt);

}  // namespace scengen
