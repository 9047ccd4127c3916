// `scengen render`: compiles a scenario in memory and draws its route map, its route profile and
// its page.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "platform/file_layer.h"

namespace scengen {

struct RenderOptions {
  /// The author's line and train description texts; both absent: the built-in scenario.
  std::optional<std::filesystem::path> line_text;
  std::optional<std::filesystem::path> train_text;
  /// Where the three files go; empty: the current folder.
  std::filesystem::path out;
  /// The scenario identity of the author's texts; empty: taken from their names
  /// (ROUTE_linea.txt and ROUTE_TRAIN-.txt).
  std::string route;
  std::string train;
};

/// Compiles the scenario (texts are read, never changed) and writes ROUTE_map.svg,
/// ROUTE_TRAIN_profile.svg and ROUTE_TRAIN.html into `out`, naming each on `err`. The page holds
/// the crew documents: the built-in ones, or for an author's texts those found beside the train
/// text. Returns the exit status: 0 drawn, 1 drawn with a compile error reported on `err`, 2 no
/// usable identity for the texts, 3 no track compiled (nothing written), 4 a file could not be
/// read or written.
int render_command(const RenderOptions& options, FileLayer& files, std::ostream& err);

/// The route and train of an author's texts from their names, ROUTE_linea.txt and
/// ROUTE_TRAIN-.txt; empty strings when the names do not follow that form.
std::pair<std::string, std::string> identity_from_names(const std::filesystem::path& line_text,
                                                        const std::filesystem::path& train_text);

}  // namespace scengen
