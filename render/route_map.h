// The route map: the ground plan of the compiled route at equal scale, with its tunnels, its
// stations and a scale bar.
#pragma once

#include <string>

#include "compiler/compilation.h"

namespace scengen {

/// The route map of the model as an <svg> element. The route is the path with id "map-route",
/// in plan metres (coordinate 0 across, coordinate 1 up the picture) inside a group whose
/// transform scales both coordinates equally; a model without a plan gives a picture that says so.
std::string route_map_svg(const Compilation& c);

}  // namespace scengen
