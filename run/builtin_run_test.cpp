#include "run/builtin_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "compiler/output_files.h"
#include "run/exit_status.h"
#include "testing/bytes.h"
#include "testing/file_faults.h"
#include "testing/recording_platform.h"
#include "testing/scratch_folder.h"
#include "texts/line_description.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;
using testing::DiskFullFor;
using testing::RecordingPlatform;

const char* const kBinaryFiles[] = {"Veltrano_Quarnelo_linea.dat", "Veltrano_Quarnelo_58316.sim",
                                    "Veltrano_Quarnelo_58316.dat"};
const char* const kDocuments[] = {"Veltrano_Quarnelo_58316_note.txt",
                                  "Veltrano_Quarnelo_58316_rallentamenti.txt",
                                  "Veltrano_Quarnelo_58316_scheda_treno.txt"};
const char* const kLineText = "Veltrano_Quarnelo_linea.txt";
const char* const kTrainText = "Veltrano_Quarnelo_58316-.txt";

class RunTest : public ::testing::Test {
 protected:
  // Writes the built-in line text and the given train text, as the run's writers would.
  void write_texts(const std::string& train_text) const {
    write_line_description(
        OutputPlace{system_files(), folder_, kBuiltInRouteId, kBuiltInTrainNumber});
    scratch_.write(kTrainText, train_text);
  }
  BuiltinRun form(FileLayer& files = system_files()) {
    return BuiltinRun(platform_, files, folder_);
  }

  RecordingPlatform platform_;
  testing::ScratchFolder scratch_{"run"};
  const fs::path& folder_ = scratch_.path();
};

TEST_F(RunTest, TheBuiltInRunLeavesItsSixFilesAndDeletesItsTexts) {
  BuiltinRun f = form();
  EXPECT_EQ(f.run(), kExitOk);
  std::vector<std::string> expected(std::begin(kBinaryFiles), std::end(kBinaryFiles));
  expected.insert(expected.end(), std::begin(kDocuments), std::end(kDocuments));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(scratch_.names(), expected);
  EXPECT_EQ(platform_.windows_shown, 1);
  EXPECT_TRUE(platform_.boxes.empty());
  EXPECT_TRUE(platform_.reports.empty());
  EXPECT_EQ(f.state.StatusCode, 0);

  const std::string track = scratch_.read("Veltrano_Quarnelo_58316.dat");
  ASSERT_EQ(track.size(), 23715u);  // 1581 cells of 15 bytes
  EXPECT_EQ(testing::read_little_endian(track, 15 + 1, 2), 5121u);
  const std::string table = scratch_.read("Veltrano_Quarnelo_58316.sim");
  size_t texts = 0;
  for (const ScenarioEntry& e : f.state.ScenarioTable) texts += e.Text.size();
  EXPECT_EQ(table.size(), 2958 + texts);
  // 79001 points per coordinate; points 0 and 1 integers, 2 to 78998 doubles, the last two empty.
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_linea.dat").size(), 2 * (2 * 4 + 78997 * 10 + 2 * 2));
}

TEST_F(RunTest, EarlierLongerFilesOfTheSameNamesLeaveNoTrace) {
  ASSERT_EQ(form().run(), kExitOk);
  std::vector<std::string> fresh;
  for (const char* name : kBinaryFiles) fresh.push_back(scratch_.read(name));
  for (const char* name : kDocuments) fresh.push_back(scratch_.read(name));
  for (const char* name : kBinaryFiles)
    scratch_.write(name, std::string(30000, 'z') + scratch_.read(name));
  for (const char* name : kDocuments)
    scratch_.write(name, scratch_.read(name) + std::string(5000, 'z'));

  ASSERT_EQ(form().run(), kExitOk);
  size_t i = 0;
  for (const char* name : kBinaryFiles) EXPECT_EQ(scratch_.read(name), fresh[i++]) << name;
  for (const char* name : kDocuments) EXPECT_EQ(scratch_.read(name), fresh[i++]) << name;
}

TEST_F(RunTest, WithoutThePlanTheEarlierPlanFileIsUntouched) {
  scratch_.write("Veltrano_Quarnelo_linea.dat", "earlier plan");
  BuiltinRun f = form();
  f.state.RouteId = kBuiltInRouteId;
  f.state.TrainNumber = kBuiltInTrainNumber;
  write_line_description(
      OutputPlace{system_files(), folder_, kBuiltInRouteId, kBuiltInTrainNumber});
  scratch_.write(kTrainText, "[generale]\r\n[fine]\r\n");
  EXPECT_EQ(f.compile_texts(0), kExitOk);
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_linea.dat"), "earlier plan");
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_58316.dat").size(), 23715u);
  EXPECT_FALSE(fs::exists(scratch_.at(kLineText)));
  EXPECT_FALSE(fs::exists(scratch_.at(kTrainText)));
}

TEST_F(RunTest, AFolderThatCannotBeWrittenEndsTheRunWithOneLine) {
  fs::remove_all(folder_);
  EXPECT_EQ(form().run(), kExitFileFailed);
  ASSERT_EQ(platform_.reports.size(), 1u);
  EXPECT_EQ(platform_.reports[0], "scengen: cannot write '" + (folder_ / kLineText).string() +
                                      "': No such file or directory");
}

TEST_F(RunTest, AFailedBinaryFileKeepsItsEarlierFileAndStopsTheLaterOnes) {
  scratch_.write("Veltrano_Quarnelo_58316.sim", "earlier table");
  scratch_.write("Veltrano_Quarnelo_58316.dat", "earlier track");
  DiskFullFor files("Veltrano_Quarnelo_58316.sim");
  EXPECT_EQ(form(files).run(), kExitFileFailed);
  ASSERT_EQ(platform_.reports.size(), 1u);
  EXPECT_EQ(platform_.reports[0], "scengen: cannot write '" +
                                      (folder_ / "Veltrano_Quarnelo_58316.sim").string() +
                                      "': No space left on device");
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_58316.sim"), "earlier table");
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_58316.dat"), "earlier track");
  EXPECT_GT(scratch_.read("Veltrano_Quarnelo_linea.dat").size(), 1000000u);  // written before it
}

TEST_F(RunTest, AReservedSealFieldAlreadySetShowsItsErrorAndWritesNoBinaryFile) {
  struct Case {
    const char* signal;  // a signal at position 0 fills cell 1
    const char* message;
  };
  const Case cases[] = {
      {"segnale, 0, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0", " Errore n. 1250"},  // Param1 = 40
      {"segnale, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0", " Errore n. 1251"},  // Param2 = 10
  };
  for (const Case& c : cases) {
    platform_.boxes.clear();
    write_texts(std::string("[generale]\r\n") + c.signal + "\r\n[fine]\r\n");
    BuiltinRun f = form();
    f.state.RouteId = kBuiltInRouteId;
    f.state.TrainNumber = kBuiltInTrainNumber;
    EXPECT_EQ(f.compile_texts(1), kExitStopped) << c.signal;
    EXPECT_EQ(platform_.boxes, std::vector<std::string>{c.message});
    for (const char* name : kBinaryFiles) EXPECT_FALSE(fs::exists(scratch_.at(name))) << name;
    EXPECT_FALSE(fs::exists(scratch_.at(kLineText)));
    EXPECT_FALSE(fs::exists(scratch_.at(kTrainText)));
  }
}

TEST_F(RunTest, ARecordedErrorIsReportedOnOneLineAndShowsNoMessageBox) {
  write_texts("[generale]\r\nvelocita, 90000, 30\r\n[fine]\r\n");
  BuiltinRun f = form();
  f.state.RouteId = kBuiltInRouteId;
  f.state.TrainNumber = kBuiltInTrainNumber;
  EXPECT_EQ(f.compile_texts(1), kExitCompileError);
  EXPECT_TRUE(platform_.boxes.empty());
  EXPECT_EQ(
      platform_.reports,
      std::vector<std::string>{"scengen: error 15: a position lies beyond the track (at 90000 m)"});
  for (const char* name : kBinaryFiles) EXPECT_TRUE(fs::exists(scratch_.at(name))) << name;
}

TEST_F(RunTest, NoLineDescriptionMeansNoTrackAndNoBinaryFile) {
  BuiltinRun f = form();
  f.state.RouteId = kBuiltInRouteId;
  f.state.TrainNumber = kBuiltInTrainNumber;
  EXPECT_EQ(f.compile_texts(1), kExitStopped);
  EXPECT_EQ(f.state.StatusCode, 101);
  EXPECT_EQ(platform_.reports,
            std::vector<std::string>{"scengen: error 101: cannot read '" +
                                     (folder_ / kLineText).string() +
                                     "': No such file or directory; no binary file was written"});
  EXPECT_TRUE(scratch_.names().empty());
}

}  // namespace
}  // namespace scengen
