// The scenario's page: both pictures and the crew documents in one self-contained HTML file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "render/route_view.h"

namespace scengen {

/// A crew document as its writer made it: Windows-1252 lines ended by CR LF.
struct PageDocument {
  std::string heading;    // UTF-8
  std::string file_name;  // the document's own file name
  std::string bytes;
};

/// The page: a heading naming the view's route and train, the compile's outcome in words, the
/// route map and the profile (the <svg> elements inline), then each document decoded to UTF-8 in
/// a <pre>, or a note that there are none. Needs nothing beyond itself: no script, no font, no
/// file.
std::string html_page(const RouteView& view, std::string_view outcome, std::string_view map_svg,
                      std::string_view profile_svg, const std::vector<PageDocument>& documents);

}  // namespace scengen
