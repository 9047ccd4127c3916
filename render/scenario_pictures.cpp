#include "render/scenario_pictures.h"

#include <cstdio>
#include <optional>
#include <string>

#include "render/route_map.h"
#include "render/route_profile.h"
#include "render/svg_builder.h"
#include "render/svg_text.h"

namespace scengen {

namespace {

constexpr double kBannerHeight = 24;

// Where the value of `name="..."` in the <svg> start tag lies; nullopt when the tag has none.
struct AttributeValue {
  size_t at = 0;
  size_t length = 0;
};
std::optional<AttributeValue> svg_attribute(const std::string& svg, std::string_view name) {
  const size_t tag_end = svg.find('>');
  const std::string start = " " + std::string(name) + "=\"";
  const size_t at = svg.find(start);
  if (at == std::string::npos || at > tag_end) return std::nullopt;
  const size_t value = at + start.size();
  const size_t close = svg.find('"', value);
  if (close == std::string::npos) return std::nullopt;
  return AttributeValue{value, close - value};
}

}  // namespace

std::string with_failure_banner(std::string svg, std::string_view failure) {
  const size_t end = svg.rfind("</svg>");
  const auto height = svg_attribute(svg, "height");
  const auto view_box = svg_attribute(svg, "viewBox");
  if (end == std::string::npos || !height || !view_box) return svg;
  // The banner gets a strip of its own above the picture, so that it covers no title: the
  // picture grows by the strip and its coordinates start that much above 0.
  double x = 0, y = 0, w = 0, h = 0;
  const std::string box = svg.substr(view_box->at, view_box->length);
  if (std::sscanf(box.c_str(), "%lf %lf %lf %lf", &x, &y, &w, &h) != 4) return svg;
  const double top = y - kBannerHeight;
  // Drawn last: nothing drawn before can hide it.
  const std::string banner =
      "<g class=\"compile-failure\"><rect x=\"" + px(x) + "\" y=\"" + px(top) +
      "\" width=\"100%\" height=\"" + px(kBannerHeight) + "\" fill=\"#c0141c\"/><text x=\"" +
      px(x + 8) + "\" y=\"" + px(top + 17) +
      "\" fill=\"#ffffff\" font-family=\"sans-serif\" font-size=\"14\" font-weight=\"bold\">" +
      xml_escaped(failure) + "</text></g>";
  svg.insert(end, banner);
  // The viewBox comes after the height in the tag: replaced first, it leaves the height's place.
  svg.replace(view_box->at, view_box->length,
              px(x) + " " + px(top) + " " + px(w) + " " + px(h + kBannerHeight));
  const double old_height = std::stod(svg.substr(height->at, height->length));
  svg.replace(height->at, height->length, px(old_height + kBannerHeight));
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
