// The scenario identity an author's texts carry in their file names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scengen {

/// The route of a line description named ROUTE_linea.txt.
std::optional<std::string> route_from_line_text(std::string_view path);

/// The train of a train description named ROUTE_TRAIN-.txt, for a known route.
std::optional<std::string> train_from_train_text(std::string_view path, std::string_view route);

/// Whether a route or train can name the output files: not empty, no folder separator and no
/// character that a file name cannot hold.
bool names_a_file(std::string_view id);

}  // namespace scengen
