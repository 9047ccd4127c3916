#include "watch/watch_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "testing/scratch_folder.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Each way an editor saves a text.
enum class Save { InPlace, RenamedOver, DeletedAndWritten };

void save(const fs::path& path, const std::string& bytes, Save how) {
  switch (how) {
    case Save::InPlace:
      testing::write_file(path, bytes);
      break;
    case Save::RenamedOver: {
      const fs::path temporary = path.parent_path() / ("." + path.filename().string() + ".swp");
      testing::write_file(temporary, bytes);
      fs::rename(temporary, path);
      break;
    }
    case Save::DeletedAndWritten:
      fs::remove(path);
      // Longer than one burst: the watch must wait for the text to come back.
      std::this_thread::sleep_for(120ms);
      testing::write_file(path, bytes);
      break;
  }
}

// The loop on two texts of a scratch folder, in a thread; each rebuild records what it read.
class WatchedTexts {
 public:
  WatchedTexts(const testing::ScratchFolder& folder, bool system_notifications)
      : line_(folder.at("A_linea.txt")), train_(folder.at("A_1-.txt")) {
    testing::write_file(line_, "line 0");
    testing::write_file(train_, "train 0");
    WatchTiming timing;
    timing.system_notifications = system_notifications;
    timing.poll = 100ms;
    thread_ = std::thread([this, timing] {
      watch_files(
          {line_, train_}, wake_, [this] { return stop_.load(); }, [this] { record(); }, timing);
    });
  }
  ~WatchedTexts() {
    stop_ = true;
    wake_.signal();
    thread_.join();
  }

  const fs::path& line() const { return line_; }
  const fs::path& train() const { return train_; }

  /// Waits up to `limit` for a rebuild that read `line` and `train`; the reads so far.
  std::vector<std::string> wait_for(const std::string& expected, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    rebuilt_.wait_for(lock, limit, [&] { return !reads_.empty() && reads_.back() == expected; });
    return reads_;
  }

 private:
  void record() {
    const std::string read = testing::read_file(line_) + "|" + testing::read_file(train_);
    {
      std::lock_guard lock(mutex_);
      reads_.push_back(read);
    }
    rebuilt_.notify_all();
  }

  fs::path line_, train_;
  WakeUp wake_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable rebuilt_;
  std::vector<std::string> reads_;
  std::thread thread_;
};

struct SaveCase {
  const char* name;
  Save how;
  bool system_notifications;
};

class WatchLoop : public ::testing::TestWithParam<SaveCase> {};

TEST_P(WatchLoop, EverySaveOfEitherTextRebuildsWithItsNewBytes) {
  const testing::ScratchFolder folder("watch");
  WatchedTexts watched(folder, GetParam().system_notifications);
  EXPECT_EQ(watched.wait_for("line 0|train 0", 2s).size(), 1u);
  save(watched.line(), "line 1", GetParam().how);
  EXPECT_EQ(watched.wait_for("line 1|train 0", 3s).back(), "line 1|train 0");
  save(watched.train(), "train 1", GetParam().how);
  EXPECT_EQ(watched.wait_for("line 1|train 1", 3s).back(), "line 1|train 1");
  // A deleted text is awaited, not compiled missing.
  for (const std::string& read : watched.wait_for("", 0ms)) {
    EXPECT_EQ(read.find("||"), std::string::npos) << read;
    EXPECT_NE(read.front(), '|') << read;
    EXPECT_NE(read.back(), '|') << read;
  }
}

INSTANTIATE_TEST_SUITE_P(
    EditorSaves, WatchLoop,
    ::testing::Values(SaveCase{"InPlace", Save::InPlace, true},
                      SaveCase{"RenamedOver", Save::RenamedOver, true},
                      SaveCase{"DeletedAndWritten", Save::DeletedAndWritten, true},
                      SaveCase{"InPlacePolled", Save::InPlace, false},
                      SaveCase{"RenamedOverPolled", Save::RenamedOver, false},
                      SaveCase{"DeletedAndWrittenPolled", Save::DeletedAndWritten, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WatchLoopQuiet, OtherFilesOfTheFolderStartNoRebuild) {
  const testing::ScratchFolder folder("watch");
  WatchedTexts watched(folder, true);
  watched.wait_for("line 0|train 0", 2s);
  // The compile's own outputs land beside the texts: they must not start another compile.
  folder.write("A_1.dat", "cells");
  folder.write("A_1.sim", "table");
  folder.write(".A_linea.txt.swp", "an editor's own file");
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(watched.wait_for("", 0ms).size(), 1u);
}

}  // namespace
}  // namespace scengen
