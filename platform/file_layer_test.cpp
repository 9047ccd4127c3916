#include "platform/file_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/temporary_files.h"
#include "testing/file_faults.h"
#include "testing/scratch_folder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace scengen {
namespace {

namespace fs = std::filesystem;

class FileLayerTest : public ::testing::Test {
 protected:
  static std::string slurp(const fs::path& path) { return testing::read_file(path); }
  static void put(const fs::path& path, const std::string& bytes) {
    testing::write_file(path, bytes);
  }
  std::vector<std::string> names() const { return scratch_.names(); }

  testing::ScratchFolder scratch_{"files"};
  const fs::path& folder_ = scratch_.path();
};

TEST_F(FileLayerTest, ReplacingALongerFileLeavesExactlyTheNewBytes) {
  const fs::path path = folder_ / "a.dat";
  testing::write_file(path, std::string(5000, 'x'));
  system_files().write_replacing(path, std::string("ab\0c", 4));
  EXPECT_EQ(testing::read_file(path), std::string("ab\0c", 4));
  EXPECT_EQ(scratch_.names(), std::vector<std::string>{"a.dat"});
}

TEST_F(FileLayerTest, AFolderThatDoesNotExistNamesTheFileAndTheReason) {
  const fs::path path = folder_ / "missing" / "a.dat";
  try {
    system_files().write_replacing(path, "abc");
    FAIL() << "no failure";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), path);
    EXPECT_EQ(error.reason(), "No such file or directory");
  }
  EXPECT_TRUE(scratch_.names().empty());
}

#ifndef _WIN32
// A file size limit makes the real file system fail in the middle of a write, like a full disk.
TEST_F(FileLayerTest, AFailureInTheMiddleKeepsTheEarlierFileAndLeavesNoTemporary) {
  const fs::path path = folder_ / "a.dat";
  testing::write_file(path, "earlier");
  bool failed = false;
  try {
    const testing::FileSizeLimit limit(1000);
    system_files().write_replacing(path, std::string(100000, 'y'));
  } catch (const FileError& error) {
    failed = true;
    EXPECT_EQ(error.path(), path);
    EXPECT_EQ(error.reason(), "File too large");
  }
  EXPECT_TRUE(failed);
  EXPECT_EQ(testing::read_file(path), "earlier");
  EXPECT_EQ(scratch_.names(), std::vector<std::string>{"a.dat"});
}
#endif

TEST_F(FileLayerTest, ANameTooLongForItsTemporaryIsRefusedBeforeAnythingIsWritten) {
  const std::string longest(kMaxOutputNameBytes, 'n');
#ifndef _WIN32
  // (Windows' 260-character limit of a whole path would refuse it in a temporary folder.)
  system_files().write_replacing(folder_ / longest, "fits");
  EXPECT_EQ(slurp(folder_ / longest), "fits");
#endif
  const std::string longer = longest + "n";
  EXPECT_TRUE(fits_temporary_name(longest));
  EXPECT_FALSE(fits_temporary_name(longer));
  try {
    system_files().write_replacing(folder_ / longer, "too long");
    FAIL() << "no failure";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), folder_ / longer);
    EXPECT_EQ(error.reason(), "the file name is longer than 222 bytes, too long for its temporary file");
  }
#ifndef _WIN32
  EXPECT_EQ(names(), std::vector<std::string>{longest});
#else
  EXPECT_TRUE(names().empty());
#endif
}

// Three files replaced as one set; `failing` names the file whose writing fails (0: none).
struct SetCase {
  const char* name;
  int failing;
  bool by_producer;  // the producer throws; otherwise the target is a folder
};

TEST_F(FileLayerTest, ASetIsReplacedWholeOrNotAtAll) {
  const SetCase cases[] = {
      {"all written", 0, true},       {"second producer throws", 2, true},
      {"third producer throws", 3, true}, {"third is a folder", 3, false},
      {"second is a folder", 2, false},
  };
  for (const SetCase& test : cases) {
    SCOPED_TRACE(test.name);
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const fs::path paths[] = {folder_ / "p.dat", folder_ / "t.sim", folder_ / "c.dat"};
    for (const auto& path : paths) put(path, "earlier " + path.filename().string());
    if (test.failing != 0 && !test.by_producer) {
      fs::remove(paths[test.failing - 1]);
      fs::create_directory(paths[test.failing - 1]);
    }
    auto piece = [&](int index, std::string bytes) {
      return [=, &test](const PlacedSink& sink) {
        sink(0, bytes);
        if (test.by_producer && test.failing == index) throw std::runtime_error("gone");
      };
    };
    std::vector<Replacement> set = {{paths[0], {}, 3, piece(1, "one")},
                                    {paths[1], {}, 3, piece(2, "two")},
                                    {paths[2], {}, 5, piece(3, "three")}};
    std::vector<fs::path> replaced;
    auto write = [&] {
      system_files().write_replacing_set(set, [&](const fs::path& p) { replaced.push_back(p); });
    };
    if (test.failing == 0) {
      write();
      EXPECT_EQ(slurp(paths[0]), "one");
      EXPECT_EQ(slurp(paths[1]), "two");
      EXPECT_EQ(slurp(paths[2]), "three");
      EXPECT_EQ(replaced, std::vector<fs::path>(std::begin(paths), std::end(paths)));
    } else {
      if (test.by_producer) {
        EXPECT_THROW(write(), std::runtime_error);
      } else {
        EXPECT_THROW(write(), FileError);
      }
      EXPECT_TRUE(replaced.empty());
      for (int i = 0; i < 3; ++i) {
        if (!test.by_producer && i == test.failing - 1) continue;
        EXPECT_EQ(slurp(paths[i]), "earlier " + paths[i].filename().string());
      }
    }
    EXPECT_EQ(names(), (std::vector<std::string>{"c.dat", "p.dat", "t.sim"}));
  }
}

// A file layer that knows no sets writes them one after another.
TEST(FileLayer, WithoutSetsTheFilesAreWrittenInTurn) {
  class Single : public FileLayer {
   public:
    void write_replacing(const fs::path& path, std::string_view bytes) override {
      writes.push_back(path.string() + "=" + std::string(bytes));
    }
    FileRead read_whole(const fs::path&) override { return {ReadStatus::Ok, "0123456789", {}}; }
    void remove(const fs::path&) override {}
    std::vector<std::string> writes;
  } files;
  std::vector<std::string> heard;
  files.write_replacing_set(
      {{"a", "A", 0, {}}, {"b", {}, 2, [](const PlacedSink& sink) { sink(0, "BB"); }}},
      [&](const fs::path& path) { heard.push_back(path.string()); });
  EXPECT_EQ(files.writes, (std::vector<std::string>{"a=A", "b=BB"}));
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(files.read_whole_capped("x", 10).status, ReadStatus::Ok);
  const FileRead over = files.read_whole_capped("x", 9);
  EXPECT_EQ(over.status, ReadStatus::Unreadable);
  EXPECT_EQ(over.reason, too_large_reason(9));
}

#ifndef _WIN32
// A file size limit in the middle of the third file: the first two keep their earlier bytes.
TEST_F(FileLayerTest, AFullDiskInTheLastFileOfASetKeepsTheEarlierSet) {
  const fs::path paths[] = {folder_ / "p.dat", folder_ / "t.sim", folder_ / "c.dat"};
  for (const auto& path : paths) put(path, "earlier");
  const std::string small(500, 's');
  const std::string big(100000, 'b');
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &limited);
  std::string reason;
  try {
    system_files().write_replacing_set(
        {{paths[0], small, 0, {}}, {paths[1], small, 0, {}}, {paths[2], big, 0, {}}}, {});
  } catch (const FileError& error) {
    reason = error.reason();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(reason, "File too large");
  for (const auto& path : paths) EXPECT_EQ(slurp(path), "earlier");
  EXPECT_EQ(names(), (std::vector<std::string>{"c.dat", "p.dat", "t.sim"}));
}

// What stands at the output's name before it is replaced, and what is there afterwards.
struct ExistingCase {
  const char* name;
  void (*make)(const fs::path& path);
  const char* refusal;    // empty: replaced
  mode_t mode;            // of the file at the name afterwards (through a link)
  bool link_afterwards;   // the name is still a symbolic link
};

void make_file(const fs::path& path, mode_t mode) {
  std::ofstream(path, std::ios::binary) << "earlier";
  chmod(path.c_str(), mode);
}

TEST_F(FileLayerTest, WhatStandsAtTheNameDecidesWhetherAndHowItIsReplaced) {
  const ExistingCase cases[] = {
      {"a 0640 file keeps its mode", [](const fs::path& p) { make_file(p, 0640); }, "", 0640,
       false},
      {"a 0755 file keeps its mode", [](const fs::path& p) { make_file(p, 0755); }, "", 0755,
       false},
      {"a 0444 file is refused", [](const fs::path& p) { make_file(p, 0444); },
       "the file is read-only", 0444, false},
      {"a link: its file is replaced, the link stays",
       [](const fs::path& p) {
         make_file(p.parent_path() / "real.dat", 0600);
         fs::create_symlink("real.dat", p);
       },
       "", 0600, true},
      {"a link to no file is refused",
       [](const fs::path& p) { fs::create_symlink("nowhere.dat", p); },
       "it is a symbolic link to a file that does not exist", 0, true},
      {"a link to a read-only file is refused",
       [](const fs::path& p) {
         make_file(p.parent_path() / "real.dat", 0400);
         fs::create_symlink(p.parent_path() / "real.dat", p);
       },
       "the file is read-only", 0400, true},
      {"a folder is refused", [](const fs::path& p) { fs::create_directory(p); },
       "Is a directory", 0, false},
      {"a FIFO is refused", [](const fs::path& p) { mkfifo(p.c_str(), 0644); },
       "it exists and is not a regular file", 0, false},
  };
  for (const ExistingCase& test : cases) {
    SCOPED_TRACE(test.name);
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const fs::path path = folder_ / "a.dat";
    test.make(path);
    const auto before = names();
    std::string refusal;
    try {
      system_files().write_replacing(path, "new");
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), path);
      refusal = error.reason();
    }
    EXPECT_EQ(refusal, test.refusal);
    EXPECT_EQ(names(), before);  // no temporary, no file added or lost
    EXPECT_EQ(fs::is_symlink(path), test.link_afterwards);
    if (test.mode != 0) {
      struct stat status {};
      ASSERT_EQ(stat(path.c_str(), &status), 0);
      EXPECT_EQ(status.st_mode & 07777, test.mode);
      EXPECT_EQ(slurp(path), refusal.empty() ? "new" : "earlier");
    }
  }
}

// Each refused at once, with its reason, without being opened for a blocking read.
TEST_F(FileLayerTest, WhatIsNotAnOrdinaryFileOfAFewMegabytesIsNotRead) {
  const fs::path fifo = folder_ / "fifo.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const fs::path sparse = folder_ / "sparse.txt";
  {
    const int fd = open(sparse.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kMaxInputBytes + 1)), 0);
    close(fd);
  }
  put(folder_ / "small.txt", "0123456789");
  fs::create_symlink("small.txt", folder_ / "link.txt");
  struct Case {
    fs::path path;
    uint64_t cap;
    ReadStatus status;
    std::string reason;
  };
  const Case cases[] = {
      {"/dev/zero", kMaxTextBytes, ReadStatus::Unreadable, "it is not a regular file"},
      {"/dev/null", kMaxTextBytes, ReadStatus::Unreadable, "it is not a regular file"},
      {fifo, kMaxTextBytes, ReadStatus::Unreadable, "it is not a regular file"},
      {folder_, kMaxTextBytes, ReadStatus::Unreadable, "Is a directory"},
      {sparse, kMaxInputBytes, ReadStatus::Unreadable, too_large_reason(kMaxInputBytes)},
      {folder_ / "small.txt", 9, ReadStatus::Unreadable, too_large_reason(9)},
      {folder_ / "small.txt", 10, ReadStatus::Ok, ""},
      {folder_ / "link.txt", 10, ReadStatus::Ok, ""},
      {folder_ / "none.txt", 10, ReadStatus::Missing, "No such file or directory"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.path.string());
    const auto start = std::chrono::steady_clock::now();
    const FileRead read = system_files().read_whole_capped(test.path, test.cap);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(read.status, test.status);
    EXPECT_EQ(read.reason, test.reason);
    EXPECT_EQ(read.bytes, test.status == ReadStatus::Ok ? "0123456789" : "");
  }
  EXPECT_EQ(system_files().read_whole(sparse).status, ReadStatus::Unreadable);
}
#endif

// The pieces come in any order, each at its place.
TEST_F(FileLayerTest, APlacedFileIsItsPiecesAtTheirPlacesAndReplacesAnEarlierOne) {
  const fs::path path = folder_ / "a.dat";
  testing::write_file(path, std::string(300000, 'x'));
  const std::string big(200000, 'b');
  system_files().write_replacing_placed(path, 5 + big.size(), [&](const PlacedSink& sink) {
    sink(5, big);
    sink(2, std::string_view("c\0d", 3));
    sink(0, "ab");
    sink(5, "");
  });
  EXPECT_EQ(testing::read_file(path), std::string("abc\0d", 5) + big);
  EXPECT_EQ(scratch_.names(), std::vector<std::string>{"a.dat"});
}

TEST_F(FileLayerTest, AFailureWhilePlacingKeepsTheEarlierFileAndLeavesNoTemporary) {
  const fs::path path = folder_ / "a.dat";
  testing::write_file(path, "earlier");
  EXPECT_THROW(system_files().write_replacing_placed(path, 100,
                                                     [](const PlacedSink& sink) {
                                                       sink(0, "half of it");
                                                       throw std::runtime_error("gone");
                                                     }),
               std::runtime_error);
  EXPECT_EQ(testing::read_file(path), "earlier");
  EXPECT_EQ(scratch_.names(), std::vector<std::string>{"a.dat"});
  EXPECT_THROW(system_files().write_replacing_placed(folder_ / "missing" / "b.dat", 1,
                                                     [](const PlacedSink& sink) { sink(0, "x"); }),
               FileError);
  EXPECT_EQ(scratch_.names(), std::vector<std::string>{"a.dat"});
}

// A file layer that can only write whole files still takes placed ones.
TEST(FileLayer, WithoutPlacingThePiecesAreWrittenWhole) {
  class Whole : public FileLayer {
   public:
    void write_replacing(const fs::path& path, std::string_view bytes) override {
      writes.emplace_back(path.string(), std::string(bytes));
    }
    FileRead read_whole(const fs::path&) override { return {}; }
    void remove(const fs::path&) override {}
    std::vector<std::pair<std::string, std::string>> writes;
  } files;
  files.write_replacing_placed("p.dat", 7, [](const PlacedSink& sink) {
    sink(4, "two");
    sink(0, "one ");
  });
  ASSERT_EQ(files.writes.size(), 1u);
  EXPECT_EQ(files.writes[0].first, "p.dat");
  EXPECT_EQ(files.writes[0].second, "one two");
  EXPECT_THROW(
      files.write_replacing_placed("q.dat", 3, [](const PlacedSink& sink) { sink(2, "too long"); }),
      std::logic_error);
  EXPECT_EQ(files.writes.size(), 1u);
}

TEST_F(FileLayerTest, ReadingTellsMissingFromUnreadable) {
  testing::write_file(folder_ / "t.txt", "abc\r\n");
  const FileRead present = system_files().read_whole(folder_ / "t.txt");
  EXPECT_EQ(present.status, ReadStatus::Ok);
  EXPECT_EQ(present.bytes, "abc\r\n");
  EXPECT_EQ(system_files().read_whole(folder_ / "none.txt").status, ReadStatus::Missing);
  fs::create_directory(folder_ / "dir.txt");
  EXPECT_EQ(system_files().read_whole(folder_ / "dir.txt").status, ReadStatus::Unreadable);
}

TEST_F(FileLayerTest, RemovingAMissingFileIsNoFailure) {
  testing::write_file(folder_ / "t.txt", "abc");
  system_files().remove(folder_ / "t.txt");
  system_files().remove(folder_ / "t.txt");
  EXPECT_TRUE(scratch_.names().empty());
}

TEST_F(FileLayerTest, RemovingLeavesAFolderOfThatName) {
  fs::create_directory(folder_ / "t.txt");
  system_files().remove(folder_ / "t.txt");
  EXPECT_TRUE(fs::is_directory(folder_ / "t.txt"));
}

TEST(OutputPath, TheSeparatorIsAlwaysInserted) {
  const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
  EXPECT_EQ(join_output_path("out", "a.txt").string(), "out" + sep + "a.txt");
  EXPECT_EQ(join_output_path("out" + sep, "a.txt").string(), "out" + sep + sep + "a.txt");
}

}  // namespace
}  // namespace scengen
