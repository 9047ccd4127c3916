#include "scenario_set/scenario_set.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "run/printable_text.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

std::string utf8_of(const fs::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The regular files of the tree, grouped by folder, each folder's names sorted.
std::map<fs::path, std::vector<fs::path>> files_by_folder(const fs::path& source) {
  std::map<fs::path, std::vector<fs::path>> folders;
  std::error_code error;
  fs::recursive_directory_iterator walk(source, fs::directory_options::skip_permission_denied,
                                        error);
  for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
    std::error_code ignored;
    if (walk->is_regular_file(ignored)) folders[walk->path().parent_path()].push_back(walk->path());
  }
  for (auto& [folder, files] : folders) std::sort(files.begin(), files.end());
  return folders;
}

// Windows compares names without letter case: ASCII letters and the Latin-1 capitals folded.
std::string folded(std::string_view utf8) {
  std::string out(utf8);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto byte = static_cast<unsigned char>(out[i]);
    if (byte >= 'A' && byte <= 'Z') out[i] = static_cast<char>(byte + 32);
    if (byte == 0xC3 && i + 1 < out.size()) {
      const auto next = static_cast<unsigned char>(out[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97) out[i + 1] = static_cast<char>(next + 32);
      ++i;
    }
  }
  return out;
}

std::string plural(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

struct Candidates {
  std::map<std::string, std::vector<fs::path>> line_texts;  // route -> its line texts
  struct Train {
    std::string route, train;
    fs::path text;
  };
  std::vector<Train> trains;
};

// The route a train text beside these line texts belongs to: the longest that fits its name.
std::optional<std::string> route_beside(const fs::path& text,
                                        const std::vector<std::string>& routes) {
  std::optional<std::string> best;
  for (const std::string& route : routes) {
    if (train_from_train_text(text, route) && (!best || route.size() > best->size())) best = route;
  }
  return best;
}

bool is_train_text_name(const fs::path& path) {
  const std::string name = utf8_of(path.filename());
  return name.size() > 5 && name.ends_with("-.txt");
}

Candidates find_candidates(const fs::path& source, std::vector<std::string>& mistakes) {
  Candidates found;
  std::vector<fs::path> orphans;
  for (const auto& [folder, files] : files_by_folder(source)) {
    std::vector<std::string> routes;
    for (const fs::path& file : files) {
      if (auto route = route_from_line_text(file)) {
        found.line_texts[*route].push_back(file);
        routes.push_back(*route);
      }
    }
    for (const fs::path& file : files) {
      if (!is_train_text_name(file) || route_from_line_text(file)) continue;
      if (auto route = route_beside(file, routes)) {
        found.trains.push_back({*route, *train_from_train_text(file, *route), file});
      } else {
        orphans.push_back(file);
      }
    }
  }
  for (const fs::path& file : orphans) {
    std::vector<std::string> routes;
    for (const auto& [route, texts] : found.line_texts) routes.push_back(route);
    if (auto elsewhere = route_beside(file, routes)) {
      mistakes.push_back(
          "the train text " + printable_path(file) + " is not beside the line text of its route, " +
          printable_path(found.line_texts[*elsewhere].front()) + ": it is not built");
    } else {
      mistakes.push_back("the train text " + printable_path(file) +
                         " has no line text of its route (ROUTE_linea.txt) beside it: it is not "
                         "built");
    }
  }
  return found;
}

// Every file each route and scenario writes, folded: two owners of one name are both refused.
std::set<std::string> colliding_owners(const Candidates& found,
                                       std::vector<std::string>& mistakes) {
  struct Owner {
    std::string id, shown, name;
  };
  std::map<std::string, Owner> by_name;
  std::set<std::string> refused;
  const auto claim = [&](const std::string& id, const std::string& shown, const std::string& name) {
    const auto [at, fresh] = by_name.emplace(folded(name), Owner{id, shown, name});
    if (fresh || at->second.id == id) return;
    const Owner& first = at->second;
    // Both are refused, whichever was refused before.
    const bool first_refused_now = refused.insert(first.id).second;
    const bool this_refused_now = refused.insert(id).second;
    if (first_refused_now || this_refused_now) {
      mistakes.push_back(first.shown + " and " + shown +
                         (first.name == name ? " would both write '" + printable_text(name) + "'"
                                             : " would write '" + printable_text(first.name) +
                                                   "' and '" + printable_text(name) +
                                                   "', one file on Windows (letter case only)") +
                         ": neither is built");
    }
  };
  for (const auto& [route, texts] : found.line_texts) {
    claim(std::string("R") + '\0' + route, "route '" + printable_text(route) + "'",
          route_plan_output_name(route));
  }
  for (const Candidates::Train& t : found.trains) {
    const std::string shown =
        "route '" + printable_text(t.route) + "' train '" + printable_text(t.train) + "'";
    for (const std::string& name : scenario_output_names(t.route, t.train))
      claim(std::string("S") + '\0' + t.route + '\0' + t.train, shown, name);
  }
  return refused;
}

}  // namespace

std::vector<std::string> scenario_output_names(const std::string& route, const std::string& train) {
  const std::string stem = route + "_" + train;
  return {stem + ".sim", stem + ".dat", stem + "_map.svg", stem + "_profile.svg", stem + ".html"};
}

std::string route_plan_output_name(const std::string& route) {
  return route + "_linea.dat";
}

bool folder_is_within(const fs::path& inner, const fs::path& outer) {
  std::error_code error;
  const fs::path a = fs::weakly_canonical(fs::absolute(inner, error), error).lexically_normal();
  const fs::path b = fs::weakly_canonical(fs::absolute(outer, error), error).lexically_normal();
  auto i = a.begin();
  for (auto o = b.begin(); o != b.end(); ++o, ++i) {
    if (o->empty()) continue;  // the trailing separator of a folder
    if (i == a.end() || *i != *o) return false;
  }
  return true;
}

ScenarioSet find_scenario_set(const fs::path& source) {
  ScenarioSet set;
  Candidates found = find_candidates(source, set.mistakes);
  std::set<std::string> refused = colliding_owners(found, set.mistakes);
  std::map<std::string, size_t> route_index;
  for (const auto& [route, texts] : found.line_texts) {
    if (texts.size() > 1) {
      size_t trains = 0;
      for (const auto& t : found.trains) trains += t.route == route ? 1 : 0;
      std::string places;
      for (const fs::path& text : texts)
        places += (places.empty() ? "" : ", ") + printable_path(text);
      set.mistakes.push_back("route '" + printable_text(route) + "' has line texts in " +
                             plural(texts.size(), "folder", "folders") + ": " + places + "; its " +
                             plural(trains, "train is", "trains are") + " not built");
      refused.insert(std::string("R") + '\0' + route);
      continue;
    }
    if (refused.count(std::string("R") + '\0' + route) != 0) continue;
    route_index[route] = set.routes.size();
    set.routes.push_back({route, texts.front()});
  }
  std::sort(found.trains.begin(), found.trains.end(), [](const auto& a, const auto& b) {
    return std::tie(a.route, a.train) < std::tie(b.route, b.train);
  });
  for (const Candidates::Train& t : found.trains) {
    const auto route = route_index.find(t.route);
    if (route == route_index.end() ||
        refused.count(std::string("S") + '\0' + t.route + '\0' + t.train) != 0)
      continue;
    set.scenarios.push_back({route->second, t.train, t.text});
  }
  return set;
}

}  // namespace scengen
