#include "render/scenario_pictures.h"

#include "render/route_map.h"
#include "render/route_profile.h"

namespace scengen {

ScenarioPictures draw_scenario(const Compilation& c, std::string_view outcome,
                               const std::vector<PageDocument>& documents,
                               std::optional<Stretch> stretch) {
  const std::string map = route_map_svg(c, stretch);
  const std::string profile = route_profile_svg(c, stretch);
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  return {declaration + map, declaration + profile, html_page(c, outcome, map, profile, documents)};
}

}  // namespace scengen
