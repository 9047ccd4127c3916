#include "cli/command_files.h"

#include <ostream>

#include "compiler/output_files.h"

namespace scengen {

std::filesystem::path argument_path(const std::string& argument) {
  return utf8_path(argument);  // arguments are UTF-8, also on Windows
}

std::filesystem::path output_path(const std::optional<std::string>& out, const std::string& name) {
  if (!out) return std::filesystem::path(name);
  return join_output_path(argument_path(*out), name);
}

std::optional<std::string> read_input(FileLayer& files, const std::filesystem::path& path,
                                      Console& console) {
  FileRead file = files.read_whole(path);
  if (file.status == ReadStatus::Ok) return std::move(file.bytes);
  console.err << "scengen: cannot read " << display_path(path) << ": " << file.reason << '\n';
  return std::nullopt;
}

std::optional<AuthorTexts> read_author_texts(FileLayer& files, const std::string& line_text,
                                             const std::string& train_text, Console& console) {
  AuthorTexts texts;
  texts.line_path = argument_path(line_text);
  texts.train_path = argument_path(train_text);
  auto line = read_input(files, texts.line_path, console);
  if (!line) return std::nullopt;
  auto train = read_input(files, texts.train_path, console);
  if (!train) return std::nullopt;
  texts.line = std::move(*line);
  texts.train = std::move(*train);
  return texts;
}

std::vector<std::filesystem::path> write_compiled_files(FileLayer& files,
                                                        const std::optional<std::string>& out,
                                                        const Compilation& c) {
  std::vector<std::filesystem::path> written;
  auto write = [&](const std::string& name, std::string_view bytes) {
    written.push_back(output_path(out, name));
    files.write_replacing(written.back(), bytes);
  };
  if (c.CompileFlag != 0) {
    // The plan of a long route is some 20 MB: it is encoded into its file piece by piece.
    written.push_back(output_path(out, route_plan_file_name(c)));
    files.write_replacing_placed(
        written.back(), route_plan_file_size(c.TrackPlan),
        [&](const PlacedSink& sink) { encode_route_plan(c.TrackPlan, sink); });
  }
  const auto table = encode_scenario_table(c.ScenarioTable);
  if (!table) {
    throw FileError(output_path(out, scenario_table_file_name(c)),
                    "a scenario table text is longer than 65535 bytes");
  }
  write(scenario_table_file_name(c), *table);
  write(track_file_name(c), encode_track_cells(c.TrackCells));
  return written;
}

void report_write_failure(const FileError& error, Console& console) {
  console.err << "scengen: cannot write " << display_path(error.path()) << ": " << error.reason()
              << '\n';
}

}  // namespace scengen
