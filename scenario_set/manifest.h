// What a build leaves in its output folder to know, the next time, what is already done: the
// hashes of each scenario's inputs, what its compile found and a stamp of every file it wrote.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scengen {

/// The manifest's name in the output folder.
inline constexpr char kManifestName[] = ".scengen-build";

/// FNV-1a, 64 bits: a plain hash of a file's bytes, enough to tell an edit from none.
uint64_t content_hash(std::string_view bytes);

/// A file the build wrote, as it left it: the name in the output folder (UTF-8), its size, its
/// modification time (the file clock's count) and the hash of its bytes.
struct FileStamp {
  std::string name;
  uint64_t size = 0;
  int64_t modified = 0;
  uint64_t hash = 0;
};

/// The route plan written for a route, from the line text of that hash.
struct RouteRecord {
  std::string route;  // UTF-8, as the line text's name gives it
  uint64_t line_hash = 0;
  FileStamp plan;
};

/// One scenario of the last build: the inputs it was compiled from and what came of it.
struct ScenarioRecord {
  std::string route;  // UTF-8, as the texts' names give them
  std::string train;
  uint64_t line_hash = 0;
  uint64_t train_hash = 0;
  uint64_t documents_hash = 0;  // the crew documents beside the train text, as the page shows them
  int32_t code = 0;             // the compile's recorded error; 0: none
  int32_t position = 0;
  bool stopped = false;  // no binary file: no track, or error 1250 or 1251
  uint64_t warnings = 0;
  bool pictures = false;  // the map, the profile and the page were drawn
  int32_t length = -1;    // the route's length (m) and stations, known when pictures were drawn
  int32_t stations = -1;
  std::vector<FileStamp> files;  // the scenario table, the compiled track, then the pictures
};

/// The whole manifest: the program that built, then the routes and scenarios in the set's order.
struct Manifest {
  std::string program;
  std::vector<RouteRecord> routes;
  std::vector<ScenarioRecord> scenarios;
};

/// The manifest as text: one record a line, fields escaped so that any name fits.
std::string manifest_text(const Manifest& manifest);

/// Reads a manifest's text; nothing when it is not one (then every scenario is built again).
std::optional<Manifest> parse_manifest(std::string_view text);

/// The stamp of a file just written with bytes of hash `hash`; nothing when it cannot be seen.
std::optional<FileStamp> stamp_file(const std::filesystem::path& folder, const std::string& name,
                                    uint64_t hash);

/// Whether the file is still as the stamp recorded it: the same size and time, or, when only the
/// time moved, the same bytes (the stamp then takes the new time).
bool file_is_as_stamped(const std::filesystem::path& folder, FileStamp& stamp);

}  // namespace scengen
