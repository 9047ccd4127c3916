// The route map: the ground plan of the compiled route at equal scale, with its tunnels, its
// stations and a scale bar.
#pragma once

#include <string>

#include "compiler/track_model.h"
#include "render/route_view.h"

namespace scengen {

/// The route map of the view over the compile's route plan, as an <svg> element. The route is
/// the path with id "map-route", in plan metres (coordinate 0 across, coordinate 1 up the picture)
/// inside a group whose transform scales both coordinates equally; a model without a plan gives a
/// picture that says so. A view of a stretch draws only that part of the route, at its own scale,
/// with the stations in it.
std::string route_map_svg(const TrackPlan& plan, const RouteView& view);

}  // namespace scengen
