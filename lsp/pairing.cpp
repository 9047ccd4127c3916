#include "lsp/pairing.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "lsp/uri.h"

namespace scengen::lsp {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLineEnd = "_linea.txt";
constexpr std::string_view kTrainEnd = "-.txt";

std::string name_of(const fs::path& path) {
  const auto text = path.filename().u8string();
  return std::string(text.begin(), text.end());
}

bool is_train_name(std::string_view name) { return name.ends_with(kTrainEnd); }

// Whether `train_name` is a train text of the route of the line text `line_name`.
bool same_route(std::string_view line_name, std::string_view train_name) {
  if (!line_name.ends_with(kLineEnd) || !is_train_name(train_name)) return false;
  const std::string_view route = line_name.substr(0, line_name.size() - kLineEnd.size());
  return !route.empty() && train_name.size() > route.size() + 1 + kTrainEnd.size() &&
         train_name.starts_with(route) && train_name[route.size()] == '_';
}

// The files of a folder, by name; none when it cannot be listed.
std::vector<fs::path> folder_files(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    if (it->is_regular_file(kind_error)) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The partner of a file: `fits` tells a partner's name from the others. An open document wins
// over a file of the same folder; several partners: the first by name (a line text's with the
// longest route, for a train text whose name several routes begin).
std::optional<PairMember> partner(const fs::path& path, const DocumentStore& documents,
                                  bool (*fits)(std::string_view own, std::string_view other),
                                  bool longest) {
  const std::string own = name_of(path);
  std::optional<PairMember> best;
  auto consider = [&](const std::string& uri, const fs::path& other) {
    if (other.parent_path() != path.parent_path() || !fits(own, name_of(other))) return;
    if (!best || (longest && name_of(other).size() > name_of(*best->path).size()))
      best = PairMember{uri, other};
  };
  for (const std::string& uri : documents.uris()) {
    if (const auto other = path_from_uri(uri)) consider(uri, *other);
  }
  if (best) return best;
  for (const fs::path& file : folder_files(path.parent_path())) consider(uri_from_path(file), file);
  return best;
}

}  // namespace

TextKind kind_of_document(std::string_view uri) {
  return is_train_name(uri) ? TextKind::Train : TextKind::Line;
}

TextPair find_pair(std::string_view uri, const DocumentStore& documents) {
  const TextKind kind = kind_of_document(uri);
  const PairMember self{std::string(uri), path_from_uri(uri)};
  TextPair pair;
  if (kind == TextKind::Line) {
    pair.line = self;
    if (self.path) {
      pair.train = partner(*self.path, documents, [](std::string_view own, std::string_view other) {
        return same_route(own, other);
      }, /*longest=*/false);
    }
  } else {
    pair.train = self;
    if (self.path) {
      pair.line = partner(*self.path, documents, [](std::string_view own, std::string_view other) {
        return same_route(other, own);
      }, /*longest=*/true);
    }
  }
  return pair;
}

}  // namespace scengen::lsp
