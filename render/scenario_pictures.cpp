#include "render/scenario_pictures.h"

#include "render/route_map.h"
#include "render/route_profile.h"
#include "render/svg_text.h"

namespace scengen {

std::string with_failure_banner(std::string svg, std::string_view failure) {
  const size_t end = svg.rfind("</svg>");
  if (end == std::string::npos) return svg;
  // Drawn last, over the picture: nothing drawn before can hide it.
  const std::string banner =
      "<g class=\"compile-failure\"><rect x=\"0\" y=\"0\" width=\"100%\" height=\"24\" "
      "fill=\"#c0141c\"/><text x=\"8\" y=\"17\" fill=\"#ffffff\" font-family=\"sans-serif\" "
      "font-size=\"14\" font-weight=\"bold\">" +
      xml_escaped(failure) + "</text></g>";
  svg.insert(end, banner);
  return svg;
}

ScenarioPictures draw_scenario(const Compilation& c, std::string_view outcome,
                               const std::vector<PageDocument>& documents,
                               std::optional<Stretch> stretch, std::string_view failure) {
  const RouteView whole = view_route(read_scenario(c));
  const RouteView view = stretch ? crop_route(whole, *stretch) : whole;
  std::string map = route_map_svg(c.TrackPlan, view);
  std::string profile = route_profile_svg(view);
  if (!failure.empty()) {
    map = with_failure_banner(std::move(map), failure);
    profile = with_failure_banner(std::move(profile), failure);
  }
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  return {declaration + map, declaration + profile,
          html_page(whole, outcome, map, profile, documents)};
}

}  // namespace scengen
