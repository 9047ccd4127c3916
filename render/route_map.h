// The route map: the ground plan of the compiled route at equal scale, with its tunnels, its
// stations and a scale bar.
#pragma once

#include <optional>
#include <string>

#include "compiler/compilation.h"
#include "render/route_view.h"

namespace scengen {

/// The route map of the model as an <svg> element. The route is the path with id "map-route",
/// in plan metres (coordinate 0 across, coordinate 1 up the picture) inside a group whose
/// transform scales both coordinates equally; a model without a plan gives a picture that says so.
/// With a stretch, only that part of the route, at its own scale, with the stations in it.
std::string route_map_svg(const Compilation& c, std::optional<Stretch> stretch = std::nullopt);

}  // namespace scengen
