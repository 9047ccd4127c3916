// The names of a scenario's files: the built-in identity, the identity an author's texts carry in
// their names, and every file a scenario is written to or drawn in. The binary files' names stand
// beside their byte images in compiler/output_files.h.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compilation.h"
#include "texts/line_list.h"

namespace scengen {

/// The built-in scenario's identity.
inline constexpr const char* kBuiltInRouteId = "Veltrano_Quarnelo";
inline constexpr const char* kBuiltInTrainNumber = "58316";

/// ROUTE_linea.txt, the line description.
std::string line_text_file_name(std::string_view route);
/// ROUTE_TRAIN-.txt, the train description.
std::string train_text_file_name(std::string_view route, std::string_view train);

/// A crew document: its heading on the page, the end of its file name and its built-in lines.
struct CrewDocument {
  const char* heading;
  const char* suffix;
  LineList (*built_in)();
};

/// The three crew documents, in the order the page shows them.
extern const std::array<CrewDocument, 3> kCrewDocuments;

/// ROUTE_TRAIN plus the document's suffix.
std::string crew_document_file_name(std::string_view route, std::string_view train,
                                    const CrewDocument& document);

/// ROUTE_map.svg, the route map.
std::string route_map_file_name(const Compilation& c);
/// ROUTE_TRAIN_profile.svg, the route profile.
std::string route_profile_file_name(const Compilation& c);
/// ROUTE_TRAIN.html, the page with both pictures and the crew documents.
std::string html_page_file_name(const Compilation& c);

/// The route of a line description named ROUTE_linea.txt.
std::optional<std::string> route_from_line_text(const std::filesystem::path& path);

/// The train of a train description named ROUTE_TRAIN-.txt, for a known route.
std::optional<std::string> train_from_train_text(const std::filesystem::path& path,
                                                 std::string_view route);

/// Whether a route or train can name the output files: not empty, no folder separator and no
/// character that a file name cannot hold.
bool names_a_file(std::string_view id);

/// A route or train name as the compile holds it, in Windows-1252 like every text of a scenario,
/// from its UTF-8 form (a file name, an argument); or, when a character has no byte in the code
/// page, that character as "U+XXXX".
struct CompiledName {
  std::optional<std::string> bytes;
  std::string missing_character;
};

/// The Windows-1252 bytes of a UTF-8 name, or the first character that has none.
CompiledName windows_1252_name(std::string_view utf8_name);

/// Whether a name holds a control character a file name can keep (DEL) but a screen cannot show.
bool holds_control_character(std::string_view name);

/// `name` (Windows-1252, as the compile holds route and train) inside `folder`, named on the file
/// system by its UTF-8 form; with no folder the name alone, so that it stays relative to the
/// current folder (joining an empty folder would name the root).
std::filesystem::path scenario_file_path(const std::filesystem::path& folder,
                                         std::string_view name);

}  // namespace scengen
