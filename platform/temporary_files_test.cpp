#include "platform/temporary_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/file_layer.h"
#include "platform/signals.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace scengen {
namespace {

namespace fs = std::filesystem;

class TemporaryFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("scengen-temps-" + std::to_string(current_process_id()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }
  void put(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }

  fs::path folder_;
};

TEST(TemporaryName, CarriesTheProcessAndIsRecognisedOnlyInItsOwnPattern) {
  EXPECT_EQ(temporary_name("a.dat", 4242, "k3j9x0qz"), ".a.dat.scengen-4242-k3j9x0qz.tmp");
  // The longest name with the longest pid fills the 255 bytes exactly.
  EXPECT_EQ(temporary_name(std::string(kMaxOutputNameBytes, 'n'), 4294967295u, "abcdefgh").size(),
            255u);
  struct Case {
    std::string name;
    uint64_t pid;
  };
  const Case cases[] = {
      {".a.dat.scengen-4242-k3j9x0qz.tmp", 4242},
      {".x.scengen-1.scengen-77-aaaaaaaa.tmp", 77},  // the marker inside the name itself
      {"a.dat.scengen-4242-k3j9x0qz.tmp", 0},        // no leading dot
      {"..scengen-4242-k3j9x0qz.tmp", 0},            // no name
      {".a.dat.scengen--k3j9x0qz.tmp", 0},           // no pid
      {".a.dat.scengen-4242-K3J9X0QZ.tmp", 0},       // not our letters
      {".a.dat.scengen-4242-k3j9x0q.tmp", 0},        // seven letters
      {".a.dat.scengen-42424242424-k3j9x0qz.tmp", 0},  // eleven digits
      {".a.dat.scengen-4242-k3j9x0qz.tmp~", 0},
      {".a.dat.tmp-4242-k3j9x0qz.tmp", 0},
      {"a.dat", 0},
  };
  for (const Case& test : cases) EXPECT_EQ(temporary_owner(test.name), test.pid) << test.name;
}

TEST_F(TemporaryFilesTest, RemovesTheTemporariesOfDeadProcessesOnly) {
#ifdef _WIN32
  // Process ids are multiples of 4 on Windows: 4294967293 names no process.
  const uint64_t dead = 4294967293u;
#else
  // A child that has ended and been reaped: its id names no process (until it is reused).
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  waitpid(child, nullptr, 0);
  const auto dead = static_cast<uint64_t>(child);
#endif
  ASSERT_FALSE(process_is_alive(dead));
  ASSERT_TRUE(process_is_alive(current_process_id()));
  const std::string dead_one = temporary_name("a.dat", dead, "aaaaaaaa");
  const std::string live_one = temporary_name("b.dat", current_process_id(), "bbbbbbbb");
  const std::string other = ".c.dat.tmp-XXXXXX";
  for (const auto& name : {dead_one, live_one, other, std::string("a.dat")}) put(name, "x");
  fs::create_directory(folder_ / temporary_name("d.dat", dead, "dddddddd"));
  EXPECT_EQ(remove_stale_temporaries(folder_), 1u);
  // Kept: a folder of our pattern, another program's temporary, a live process's, the output.
  std::vector<std::string> kept = {temporary_name("d.dat", dead, "dddddddd"), other, live_one,
                                   "a.dat"};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(names(), kept);
  EXPECT_EQ(remove_stale_temporaries(folder_ / "missing"), 0u);
}

TEST(TemporaryRegistry, AFullTableRefusesAndFreedSlotsAreReused) {
  std::vector<size_t> slots;
  for (size_t i = 0; i < temporary_registry::kSlots; ++i) {
    slots.push_back(temporary_registry::add("t" + std::to_string(i)));
    EXPECT_LT(slots.back(), temporary_registry::kSlots);
  }
  EXPECT_EQ(temporary_registry::add("one too many"), temporary_registry::kSlots);
  temporary_registry::remove(slots[3]);
  EXPECT_EQ(temporary_registry::add("again"), slots[3]);
  for (size_t slot : slots) temporary_registry::remove(slot);
}

#ifndef _WIN32
// A child replaces a.dat with the handlers installed and stops in the middle of writing; the
// parent then signals it.
struct Interrupted {
  int status = 0;
};

Interrupted interrupt_mid_write(const fs::path& path, int signal_number) {
  int ready[2];
  if (pipe(ready) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    install_cleanup_handlers();
    system_files().write_replacing_placed(path, 1 << 20, [&](const PlacedSink& sink) {
      sink(0, "the first piece");
      (void)!write(ready[1], "r", 1);
      for (;;) pause();
    });
    _exit(99);
  }
  close(ready[1]);
  char byte = 0;
  (void)!read(ready[0], &byte, 1);
  close(ready[0]);
  kill(child, signal_number);
  Interrupted result;
  waitpid(child, &result.status, 0);
  return result;
}

TEST_F(TemporaryFilesTest, ASignalMidWriteRemovesTheTemporaryAndEndsWithTheSignal) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    put("a.dat", "earlier");
    const Interrupted run = interrupt_mid_write(folder_ / "a.dat", signal_number);
    ASSERT_TRUE(WIFSIGNALED(run.status)) << run.status;
    EXPECT_EQ(WTERMSIG(run.status), signal_number);  // a shell shows 128 + n: 130, 143, 129
    EXPECT_EQ(names(), std::vector<std::string>{"a.dat"});
    std::ifstream in(folder_ / "a.dat");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier");
  }
}

TEST_F(TemporaryFilesTest, AFileSizeLimitFailsTheWriteInsteadOfKillingTheProcess) {
  put("a.dat", "earlier");
  const pid_t child = fork();
  if (child == 0) {
    install_cleanup_handlers();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      system_files().write_replacing(folder_ / "a.dat", std::string(100000, 'x'));
    } catch (const FileError& error) {
      _exit(error.reason() == "File too large" ? 0 : 2);
    }
    _exit(3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(names(), std::vector<std::string>{"a.dat"});
}

TEST(CleanupHandlers, ASignalTheParentIgnoredStaysIgnored) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGHUP, SIG_IGN);
    install_cleanup_handlers();
    raise(SIGHUP);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
#endif

}  // namespace
}  // namespace scengen
