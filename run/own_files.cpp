#include "run/own_files.h"

#include <algorithm>
#include <vector>

#include "documents/crew_documents.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"
#include "texts/annotated_texts.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

// A file the program writes under a name, and every byte image it writes there.
struct OwnFile {
  std::string name;
  std::vector<std::string> images;
};

std::vector<OwnFile> built_in_files() {
  const std::string route = kBuiltInRouteId, train = kBuiltInTrainNumber;
  std::vector<OwnFile> own = {
      {line_text_file_name(route),
       {emit_line_list(line_description_lines()),
        emit_line_list(annotated_line_description_lines())}},
      {train_text_file_name(route, train),
       {emit_line_list(train_description_lines()),
        emit_line_list(annotated_train_description_lines())}},
  };
  for (const CrewDocument& d : kCrewDocuments)
    own.push_back({crew_document_file_name(route, train, d), {emit_line_list(d.built_in())}});
  return own;
}

}  // namespace

std::optional<std::filesystem::path> first_authors_file(FileLayer& files,
                                                        const std::filesystem::path& folder) {
  // No folder to write into: the first write says why, as it would without this look.
  std::error_code error;
  if (!std::filesystem::is_directory(folder.empty() ? "." : folder, error)) return std::nullopt;
  for (const OwnFile& own : built_in_files()) {
    const auto path = join_output_path(folder, own.name);
    // Read no more than the longest own image: anything longer is not the program's.
    size_t longest = 0;
    for (const std::string& image : own.images) longest = std::max(longest, image.size());
    const FileRead file = files.read_whole_capped(path, longest);
    if (file.status == ReadStatus::Missing) continue;
    bool is_own = false;
    for (const std::string& image : own.images)
      is_own = is_own || (file.status == ReadStatus::Ok && file.bytes == image);
    if (!is_own) return path;
  }
  return std::nullopt;
}

std::string authors_file_line(const std::filesystem::path& path, const std::string& force_command) {
  return "scengen: " + printable_path(path) +
         " is not the file this program wrote there (it was changed, or is another "
         "file); nothing was written: move it away, or run '" +
         printable_text(force_command) + "' to overwrite it";
}

}  // namespace scengen
