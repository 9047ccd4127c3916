#include "cli/command_files.h"

#include <ostream>

#include "run/file_failure.h"
#include "run/scenario_files.h"

namespace scengen {

std::filesystem::path argument_path(const std::string& argument) {
  return utf8_path(argument);  // arguments are UTF-8, also on Windows
}

std::optional<std::string> read_input(FileLayer& files, const std::filesystem::path& path,
                                      Console& console) {
  FileRead file = files.read_whole(path);
  if (file.status == ReadStatus::Ok) return std::move(file.bytes);
  console.err << "scengen: " << cannot_access(FileAccess::Read, path, file.reason) << '\n';
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

bool usable_name(const char* command, const std::string& id, Console& console) {
  if (names_a_file(id)) return true;
  console.err << "scengen " << command << ": '" << id << "' cannot be part of a file name\n";
  return false;
}

void report_write_failure(const FileError& error, Console& console) {
  console.err << write_failure_line(error) << '\n';
}

}  // namespace scengen
