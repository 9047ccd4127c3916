// The threads of a build: every job once whatever the threads, a failure passed on, and a route
// plan claimed by one scenario at a time.
#include "scenario_set/set_build.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "testing/scratch_folder.h"

namespace scengen {
namespace {

TEST(RunOnThreads, EveryJobOnceWhateverTheThreads) {
  for (const unsigned threads : {1u, 2u, 7u, 64u}) {
    for (const size_t count : {size_t{0}, size_t{1}, size_t{5}, size_t{200}}) {
      std::vector<std::atomic<int>> runs(count);
      run_on_threads(count, threads, [&](size_t i) { ++runs[i]; });
      for (size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i], 1) << threads << " " << i;
    }
  }
}

TEST(RunOnThreads, AFailingJobIsThrownAgainAfterTheOthersStop) {
  std::atomic<int> ran{0};
  EXPECT_THROW(run_on_threads(50, 4,
                              [&](size_t i) {
                                ++ran;
                                if (i == 3) throw std::runtime_error("job 3");
                                // The others take long enough for the failure to stop them,
                                // however the threads are scheduled.
                                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                              }),
               std::runtime_error);
  EXPECT_LT(ran, 50);
}

TEST(BuildLedger, APlanIsClaimedOnceUntilGivenBackAndRecordedDurably) {
  const testing::ScratchFolder scratch("ledger");
  BuildLedger ledger(system_files(), scratch.path(), Manifest{"program", {}, {}}, {"Ponte"});
  EXPECT_FALSE(ledger.claim_plan("Riva"));  // not due
  EXPECT_TRUE(ledger.claim_plan("Ponte"));
  EXPECT_FALSE(ledger.claim_plan("Ponte"));  // another train holds it
  ledger.release_plan("Ponte");
  EXPECT_TRUE(ledger.claim_plan("Ponte"));

  ScenarioRecord scenario;
  scenario.route = "Ponte";
  scenario.train = "7";
  ledger.record(scenario, RouteRecord{"Ponte", 5, {"Ponte_linea.dat", 1, 2, 3}});
  EXPECT_FALSE(ledger.claim_plan("Ponte"));  // written
  const auto on_disk = parse_manifest(scratch.read(kManifestName));
  ASSERT_TRUE(on_disk.has_value());
  EXPECT_EQ(manifest_text(*on_disk), manifest_text(ledger.manifest()));
  EXPECT_EQ(on_disk->routes.size(), 1u);
  EXPECT_EQ(on_disk->scenarios.size(), 1u);
}

}  // namespace
}  // namespace scengen
