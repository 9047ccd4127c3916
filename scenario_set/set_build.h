// Building a set on several threads: the jobs handed out, and the manifest kept true as each
// scenario ends, so that a build stopped at any moment leaves it describing the files there.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "platform/file_layer.h"
#include "scenario_set/manifest.h"

namespace scengen {

/// Runs job(0) to job(count - 1), each once, on `threads` threads (at least one, at most one per
/// job), the next index to the first free thread; returns when all have ended. The first
/// exception a job throws is thrown again once every thread has stopped taking jobs.
void run_on_threads(size_t count, unsigned threads, const std::function<void(size_t)>& job);

/// The threads a build uses without -j: the machine's cores.
unsigned default_threads();

/// The manifest of a build in progress, shared by its threads.
class BuildLedger {
 public:
  /// Starts from the records of the last build that still belong to the set; `plans_due`: the
  /// routes whose plan is missing, changed or from another line text.
  BuildLedger(FileLayer& files, std::filesystem::path folder, const Manifest& start,
              std::set<std::string> plans_due);

  /// Whether the caller is to write the route's plan with its scenario: true for one caller at a
  /// time, while the plan is due.
  bool claim_plan(const std::string& route);
  /// Gives a claim back when its scenario wrote nothing.
  void release_plan(const std::string& route);

  /// Puts a scenario's record, and the plan's when the scenario wrote it, in place of the last
  /// build's, then replaces the manifest durably. Throws FileError when it cannot be written.
  void record(const ScenarioRecord& scenario, const std::optional<RouteRecord>& plan);

  /// The manifest as it stands, records in the order of route and train.
  Manifest manifest() const;

 private:
  Manifest manifest_locked() const;
  void write_locked() const;

  FileLayer& files_;
  std::filesystem::path folder_;
  std::string program_;
  mutable std::mutex mutex_;
  std::map<std::string, RouteRecord> routes_;
  std::map<std::pair<std::string, std::string>, ScenarioRecord> scenarios_;
  std::set<std::string> plans_due_;
  std::set<std::string> plans_claimed_;
};

}  // namespace scengen
