// Every picture of a compiled scenario at once: the two drawings as files of their own and the
// page that holds them both.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compilation.h"
#include "render/html_page.h"
#include "render/route_view.h"

namespace scengen {

struct ScenarioPictures {
  std::string map;      // the route map as a file: the XML declaration, then the <svg>
  std::string profile;  // the route profile as a file, likewise
  std::string page;     // the page, with both pictures inline (no declaration there)
};

/// Draws the model once and builds all three from the drawings; `outcome` is the compile's result
/// in words, shown at the top of the page. With a stretch, the two drawings show only it. A
/// `failure` ("compile error 15 at 78950 m") is drawn as a red banner across the top of both
/// pictures, so that no picture of a failed compile can pass for a good one.
ScenarioPictures draw_scenario(const Compilation& c, std::string_view outcome,
                               const std::vector<PageDocument>& documents,
                               std::optional<Stretch> stretch = std::nullopt,
                               std::string_view failure = {});

/// The picture (an <svg> element) with a red banner saying `failure` in a strip added across its
/// top, so that it covers nothing of the picture and nothing drawn can hide it.
std::string with_failure_banner(std::string svg, std::string_view failure);

}  // namespace scengen
