#include "scenario_set/set_build.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace scengen {

void run_on_threads(size_t count, unsigned threads, const std::function<void(size_t)>& job) {
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr first_failure;
  std::mutex failure_mutex;
  const auto work = [&] {
    for (size_t i = next++; i < count && !failed; i = next++) {
      try {
        job(i);
      } catch (...) {
        const std::lock_guard lock(failure_mutex);
        if (!first_failure) first_failure = std::current_exception();
        failed = true;
      }
    }
  };
  const size_t extra = std::min<size_t>(std::max(threads, 1u), count) - (count > 0 ? 1 : 0);
  std::vector<std::thread> helpers;
  for (size_t t = 0; t < extra; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  if (first_failure) std::rethrow_exception(first_failure);
}

unsigned default_threads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

BuildLedger::BuildLedger(FileLayer& files, std::filesystem::path folder, const Manifest& start,
                         std::set<std::string> plans_due)
    : files_(files),
      folder_(std::move(folder)),
      program_(start.program),
      plans_due_(std::move(plans_due)) {
  for (const RouteRecord& r : start.routes) routes_[r.route] = r;
  for (const ScenarioRecord& r : start.scenarios) scenarios_[{r.route, r.train}] = r;
}

bool BuildLedger::claim_plan(const std::string& route) {
  const std::lock_guard lock(mutex_);
  if (plans_due_.count(route) == 0) return false;
  return plans_claimed_.insert(route).second;
}

void BuildLedger::release_plan(const std::string& route) {
  const std::lock_guard lock(mutex_);
  plans_claimed_.erase(route);
}

void BuildLedger::record(const ScenarioRecord& scenario, const std::optional<RouteRecord>& plan) {
  const std::lock_guard lock(mutex_);
  scenarios_[{scenario.route, scenario.train}] = scenario;
  if (plan) {
    routes_[plan->route] = *plan;
    plans_due_.erase(plan->route);
    plans_claimed_.erase(plan->route);
  }
  write_locked();
}

Manifest BuildLedger::manifest() const {
  const std::lock_guard lock(mutex_);
  return manifest_locked();
}

Manifest BuildLedger::manifest_locked() const {
  Manifest m;
  m.program = program_;
  for (const auto& [route, r] : routes_) m.routes.push_back(r);
  for (const auto& [key, r] : scenarios_) m.scenarios.push_back(r);
  return m;
}

void BuildLedger::write_locked() const {
  files_.write_replacing(join_output_path(folder_, kManifestName),
                         manifest_text(manifest_locked()));
}

}  // namespace scengen
