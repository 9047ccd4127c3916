#include "cli/command_files.h"

#include <ostream>

#include "platform/temporary_files.h"
#include "run/file_failure.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"

namespace scengen {

std::filesystem::path argument_path(const std::string& argument) {
  return utf8_path(argument);  // arguments are UTF-8, also on Windows
}

std::optional<std::string> read_input(FileLayer& files, const std::filesystem::path& path,
                                      uint64_t cap, Console& console) {
  FileRead file = files.read_whole_capped(path, cap);
  if (file.status == ReadStatus::Ok) return std::move(file.bytes);
  console.err << "scengen: " << cannot_access(FileAccess::Read, path, file.reason) << '\n';
  return std::nullopt;
}

std::optional<AuthorTexts> read_author_texts(FileLayer& files, const std::string& line_text,
                                             const std::string& train_text, Console& console) {
  AuthorTexts texts;
  texts.line_path = argument_path(line_text);
  texts.train_path = argument_path(train_text);
  auto line = read_input(files, texts.line_path, kMaxTextBytes, console);
  if (!line) return std::nullopt;
  auto train = read_input(files, texts.train_path, kMaxTextBytes, console);
  if (!train) return std::nullopt;
  texts.line = std::move(*line);
  texts.train = std::move(*train);
  return texts;
}

bool usable_name(const char* command, const std::string& id, Console& console) {
  if (names_a_file(id)) return true;
  console.err << "scengen " << command << ": '" << printable_text(id)
              << "' cannot be part of a file name\n";
  return false;
}

std::optional<std::string> compiled_name(const char* command, const char* what,
                                         const std::string& name, const std::string& source,
                                         Console& console) {
  const CompiledName compiled = windows_1252_name(name);
  if (!compiled.bytes) {
    console.err << "scengen " << command << ": the " << what << " '" << printable_text(name)
                << "' from " << source << " holds the character " << compiled.missing_character
                << ", which has no byte in Windows-1252, the code page of the scenario\n";
    return std::nullopt;
  }
  if (holds_control_character(*compiled.bytes)) {
    console.err << "scengen " << command << ": warning: the " << what << " '"
                << printable_text(name) << "' from " << source
                << " holds a control character, which the simulator shows as it can\n";
  }
  return compiled.bytes;
}

bool fitting_names(const char* command, std::initializer_list<std::string> names,
                   Console& console) {
  for (const std::string& name : names) {
    if (fits_temporary_name(name)) continue;
    console.err << "scengen " << command << ": the file name '" << printable_text(name)
                << "' is too long (at most " << kMaxOutputNameBytes
                << " bytes, to leave room for its temporary file): use a shorter route or train\n";
    return false;
  }
  return true;
}

std::unique_ptr<OutputLock> lock_output_folder(const std::filesystem::path& folder,
                                               std::ostream& err) {
  const std::filesystem::path place = folder.empty() ? std::filesystem::path(".") : folder;
  std::error_code error;
  if (!std::filesystem::is_directory(place, error)) return nullptr;
  auto lock = std::make_unique<OutputLock>(place, [&err, &place] {
    err << "scengen: waiting for another scengen writing into " << printable_path(place)
        << std::endl;
  });
  remove_stale_temporaries(place);
  return lock;
}

bool make_output_folder(const std::filesystem::path& folder, Console& console, bool quiet) {
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error)) return true;
  // Systems word a file in the way differently; one wording for all.
  const bool file_there = std::filesystem::exists(folder, error);
  if (file_there || (!std::filesystem::create_directories(folder, error) && error)) {
    console.err << "scengen: cannot create the folder " << printable_path(folder) << ": "
                << (file_there ? "a file of that name is there" : error.message()) << '\n';
    return false;
  }
  if (!quiet) console.err << "scengen: created the folder " << printable_path(folder) << '\n';
  return true;
}

void report_files_written(const std::filesystem::path& folder, size_t count, Console& console,
                          bool quiet) {
  if (quiet) return;
  console.err << "scengen: wrote " << count << (count == 1 ? " file" : " files") << " to ";
  if (folder.empty() || folder == ".") {
    console.err << "the current folder\n";
  } else {
    console.err << printable_path(folder / "") << '\n';
  }
}

void report_write_failure(const FileError& error, Console& console) {
  console.err << write_failure_line(error) << '\n';
}

}  // namespace scengen
