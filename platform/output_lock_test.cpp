#include "platform/output_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/file_layer.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class OutputLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("scengen-lock-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(OutputLockTest, AFreeFolderIsLockedAtOnceWithoutAMessage) {
  int waits = 0;
  {
    OutputLock lock(folder_, [&] { ++waits; });
    EXPECT_TRUE(lock.held());
    EXPECT_TRUE(fs::exists(folder_ / kOutputLockName));
  }
#ifndef _WIN32
  // The folder holds nothing of the lock once the writer is done.
  EXPECT_FALSE(fs::exists(folder_ / kOutputLockName));
#endif
  OutputLock again(folder_, [&] { ++waits; });
  EXPECT_EQ(waits, 0);
}

// Writers that come and go: each lock file removed by its holder must not let a writer that waited
// on it and one that came after hold the folder together.
TEST_F(OutputLockTest, WritersTakingTurnsNeverHoldTheFolderTogether) {
  std::atomic<int> holders{0};
  std::atomic<int> overlaps{0};
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([&] {
      for (int round = 0; round < 25; ++round) {
        OutputLock lock(folder_);
        if (++holders != 1) ++overlaps;
        std::this_thread::sleep_for(1ms);
        --holders;
      }
    });
  }
  for (auto& writer : writers) writer.join();
  EXPECT_EQ(overlaps, 0);
}

// Two openings of the lock file conflict as two processes would (flock and LockFileEx hold per
// open file, not per process).
TEST_F(OutputLockTest, ASecondWriterWaitsUntilTheFirstIsDoneAndIsToldOnce) {
  std::atomic<bool> locked{false};
  std::atomic<bool> released{false};
  std::thread first([&] {
    OutputLock lock(folder_);
    locked = true;
    std::this_thread::sleep_for(1500ms);
    released = true;
  });
  while (!locked) std::this_thread::sleep_for(1ms);
  int waits = 0;
  const auto start = std::chrono::steady_clock::now();
  {
    OutputLock second(folder_, [&] {
      ++waits;
      EXPECT_GE(std::chrono::steady_clock::now() - start, 900ms);
      EXPECT_FALSE(released);
    });
    EXPECT_TRUE(released);
    EXPECT_TRUE(second.held());
  }
  first.join();
  EXPECT_EQ(waits, 1);
}

TEST_F(OutputLockTest, AMissingFolderNamesTheLockFile) {
  try {
    OutputLock lock(folder_ / "missing");
    FAIL() << "no failure";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), folder_ / "missing" / kOutputLockName);
    EXPECT_EQ(error.reason(), "No such file or directory");
  }
}

}  // namespace
}  // namespace scengen
