#include "platform/file_layer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "testing/file_faults.h"
#include "testing/scratch_folder.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

class FileLayerTest : public ::testing::Test {
 protected:
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
