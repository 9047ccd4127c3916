// A set of scenarios in a folder tree: every line text, the train texts of its route beside it,
// and the mistakes that keep some of them from being built.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace scengen {

/// A route of the set: its name (UTF-8, from ROUTE_linea.txt) and its line text.
struct SetRoute {
  std::string route;
  std::filesystem::path line_text;
};

/// A scenario of the set: a train text beside its route's line text.
struct SetScenario {
  size_t route = 0;  // index into ScenarioSet::routes
  std::string train;
  std::filesystem::path train_text;
};

/// The set, routes sorted by name and scenarios by route then train; what cannot be built is
/// left out and told in `mistakes`, one line each.
struct ScenarioSet {
  std::vector<SetRoute> routes;
  std::vector<SetScenario> scenarios;
  std::vector<std::string> mistakes;
};

/// Finds the set in `source` and its subfolders. A train text is ROUTE_TRAIN-.txt beside
/// ROUTE_linea.txt (the longest route that fits its name); one without a line text of its route
/// beside it, a route with line texts in two folders and names whose files would differ only in
/// letter case (or not at all) are mistakes, and the scenarios they concern are left out.
ScenarioSet find_scenario_set(const std::filesystem::path& source);

/// The files a build writes for a scenario and for a route, by name (UTF-8).
std::vector<std::string> scenario_output_names(const std::string& route, const std::string& train);
std::string route_plan_output_name(const std::string& route);

/// Whether `inner` is `outer` or lies inside it (both need not exist yet).
bool folder_is_within(const std::filesystem::path& inner, const std::filesystem::path& outer);

}  // namespace scengen
