// The subcommands of the command line, each a short driver: read, compile, report, write.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scengen {

class Platform;

/// Where a command prints: results on `out`, diagnostics and failures on `err`.
struct Console {
  std::ostream& out;
  std::ostream& err;
  /// The window program's platform (its window and message boxes); none on a console.
  Platform* window = nullptr;
};

struct RunOptions {
  std::optional<std::string> out;  // default: the program's folder
  bool no_plan = false;
  bool force = false;  // overwrite texts and documents that are not the program's own
  bool quiet = false;  // no line for the folder made or the files written
};

/// The built-in run into a folder; with no_plan the compile driver runs with j = 0.
int run_built_in(const RunOptions& options, Console& console);

struct CompileOptions {
  std::string line_text;
  std::string train_text;
  std::optional<std::string> out;  // default: the current folder
  std::optional<std::string> route;
  std::optional<std::string> train;
  bool no_plan = false;
  bool json = false;
  std::string encoding = "windows-1252";  // "utf-8" or "auto": converted before the compile
  size_t max_warnings = 50;               // more are counted, not kept
  bool strict = false;  // a warning fails the compile: no file is written
  bool quiet = false;   // no line for the folder made or the files written
};

/// Compiles an author's two texts into the three binary files; the texts are never changed.
int compile_texts(const CompileOptions& options, Console& console);

struct CheckOptions {
  std::string line_text;
  std::string train_text;
  bool json = false;
  std::string encoding = "windows-1252";  // "utf-8" or "auto": converted before the compile
  size_t max_warnings = 50;               // more are counted, not kept
  bool strict = false;  // a warning fails the check
};

/// Compiles an author's two texts in memory and reports the error and the warnings.
int check_texts(const CheckOptions& options, Console& console);

struct DumpOptions {
  std::string file;
  std::optional<std::string> kind;   // "track", "table" or "plan"; default: from the name
  std::optional<std::string> cells;  // "A:B", "A:", ":B" or "A"
  std::optional<std::string> at;     // route position: "5200", "5200m" or "5.2km"
  std::optional<std::string> from;   // start of a stretch of the route, the same forms
  std::optional<std::string> to;     // its end, both included
  std::vector<std::string> only;     // features: "signals", "stations", "boards", ...
  bool nonempty = false;             // only the rows that hold something
  bool describe = false;             // station and board-text slots in words
  bool json = false;
};

/// Decodes a compiled track, scenario table or route plan file into a table or JSON.
int dump_file(const DumpOptions& options, Console& console);

struct TextsOptions {
  std::optional<std::string> out;  // default: the current folder
  bool annotated = false;          // the description texts with their records explained
  bool force = false;              // overwrite texts and documents that are not the program's own
  bool quiet = false;              // no line for the folder made or the files written
};

/// Writes the built-in description texts and crew documents for an author to start from.
int write_texts(const TextsOptions& options, Console& console);

struct ExplainOptions {
  std::string topic;
};

/// Prints the part of the authors' reference for an error code, a keyword or a section.
int explain_command(const ExplainOptions& options, Console& console);

struct RenderOptions {
  /// The author's line and train description texts; both empty: the built-in scenario.
  std::string line_text;
  std::string train_text;
  std::optional<std::string> out;  // default: the current folder
  /// The scenario identity of the author's texts; default: from ROUTE_linea.txt and
  /// ROUTE_TRAIN-.txt.
  std::optional<std::string> route;
  std::optional<std::string> train;
  /// A stretch to draw alone, its ends route positions: "30000", "30000m" or "30km".
  std::optional<std::string> from;
  std::optional<std::string> to;
  std::string encoding = "windows-1252";  // "utf-8" or "auto": converted before the compile
  size_t max_warnings = 50;               // more are counted, not kept
  bool quiet = false;                     // no line for the folder made or the files written
};

/// Compiles the scenario in memory (texts are read, never changed) and writes ROUTE_map.svg,
/// ROUTE_TRAIN_profile.svg and ROUTE_TRAIN.html, naming each on `err`. The page holds the crew
/// documents: the built-in ones, or for an author's texts those found beside the train text.
int render_scenario(const RenderOptions& options, Console& console);

}  // namespace scengen
