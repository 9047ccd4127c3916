#include "run/form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "compiler/output_files.h"
#include "run/exit_status.h"
#include "texts/line_description.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

// Records what the run shows instead of showing it.
class RecordingPlatform : public Platform {
 public:
  fs::path program_folder() override { return "unused"; }
  void show_status_window() override { ++windows_shown; }
  void message_box(const std::string& text) override { boxes.push_back(text); }
  void report(std::string_view line) override { reports.emplace_back(line); }
  int windows_shown = 0;
  std::vector<std::string> boxes;
  std::vector<std::string> reports;
};

// The real file system, except that writing one chosen file fails as a full disk would.
class DiskFullFor : public FileLayer {
 public:
  explicit DiskFullFor(std::string name) : name_(std::move(name)) {}
  void write_replacing(const fs::path& path, std::string_view bytes) override {
    if (path.filename() == name_) throw FileError(path, "No space left on device");
    system_files().write_replacing(path, bytes);
  }
  FileRead read_whole(const fs::path& path) override { return system_files().read_whole(path); }
  void remove(const fs::path& path) override { system_files().remove(path); }

 private:
  std::string name_;
};

const char* const kBinaryFiles[] = {"Veltrano_Quarnelo_linea.dat", "Veltrano_Quarnelo_58316.sim",
                                    "Veltrano_Quarnelo_58316.dat"};
const char* const kDocuments[] = {"Veltrano_Quarnelo_58316_note.txt",
                                  "Veltrano_Quarnelo_58316_rallentamenti.txt",
                                  "Veltrano_Quarnelo_58316_scheda_treno.txt"};
const char* const kLineText = "Veltrano_Quarnelo_linea.txt";
const char* const kTrainText = "Veltrano_Quarnelo_58316-.txt";

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("scengen-run-" + std::string(::testing::UnitTest::GetInstance()
                                                ->current_test_info()
                                                ->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path at(const std::string& name) const { return folder_ / name; }
  std::string slurp(const std::string& name) const {
    std::ifstream in(at(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(at(name), std::ios::binary) << bytes;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }
  // Writes the built-in line text and the given train text, as the run's writers would.
  void write_texts(const std::string& train_text) const {
    dati_linea(OutputPlace{system_files(), folder_, kBuiltInRouteId, kBuiltInTrainNumber});
    put(kTrainText, train_text);
  }
  Form1 form(FileLayer& files = system_files()) { return Form1(platform_, files, folder_); }

  RecordingPlatform platform_;
  fs::path folder_;
};

TEST_F(RunTest, TheBuiltInRunLeavesItsSixFilesAndDeletesItsTexts) {
  Form1 f = form();
  EXPECT_EQ(f.Form_Load(), kExitOk);
  std::vector<std::string> expected(std::begin(kBinaryFiles), std::end(kBinaryFiles));
  expected.insert(expected.end(), std::begin(kDocuments), std::end(kDocuments));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names(), expected);
  EXPECT_EQ(platform_.windows_shown, 1);
  EXPECT_TRUE(platform_.boxes.empty());
  EXPECT_TRUE(platform_.reports.empty());
  EXPECT_EQ(f.state.StatusCode, 0);

  const std::string track = slurp("Veltrano_Quarnelo_58316.dat");
  ASSERT_EQ(track.size(), 23715u);  // 1581 cells of 15 bytes
  EXPECT_EQ(static_cast<uint8_t>(track[15 + 1]) | static_cast<uint8_t>(track[15 + 2]) << 8, 5121);
  const std::string table = slurp("Veltrano_Quarnelo_58316.sim");
  size_t texts = 0;
  for (const ScenarioEntry& e : f.state.ScenarioTable) texts += e.Text.size();
  EXPECT_EQ(table.size(), 2958 + texts);
  // 79001 points per coordinate; points 0 and 1 integers, 2 to 78998 doubles, the last two empty.
  EXPECT_EQ(slurp("Veltrano_Quarnelo_linea.dat").size(), 2 * (2 * 4 + 78997 * 10 + 2 * 2));
}

TEST_F(RunTest, EarlierLongerFilesOfTheSameNamesLeaveNoTrace) {
  ASSERT_EQ(form().Form_Load(), kExitOk);
  std::vector<std::string> fresh;
  for (const char* name : kBinaryFiles) fresh.push_back(slurp(name));
  for (const char* name : kDocuments) fresh.push_back(slurp(name));
  for (const char* name : kBinaryFiles) put(name, std::string(30000, 'z') + slurp(name));
  for (const char* name : kDocuments) put(name, slurp(name) + std::string(5000, 'z'));

  ASSERT_EQ(form().Form_Load(), kExitOk);
  size_t i = 0;
  for (const char* name : kBinaryFiles) EXPECT_EQ(slurp(name), fresh[i++]) << name;
  for (const char* name : kDocuments) EXPECT_EQ(slurp(name), fresh[i++]) << name;
}

TEST_F(RunTest, WithoutThePlanTheEarlierPlanFileIsUntouched) {
  put("Veltrano_Quarnelo_linea.dat", "earlier plan");
  Form1 f = form();
  f.state.RouteId = kBuiltInRouteId;
  f.state.TrainNumber = kBuiltInTrainNumber;
  dati_linea(OutputPlace{system_files(), folder_, kBuiltInRouteId, kBuiltInTrainNumber});
  put(kTrainText, "[generale]\r\n[fine]\r\n");
  EXPECT_EQ(f.memorizza_percorso(0), kExitOk);
  EXPECT_EQ(slurp("Veltrano_Quarnelo_linea.dat"), "earlier plan");
  EXPECT_EQ(slurp("Veltrano_Quarnelo_58316.dat").size(), 23715u);
  EXPECT_FALSE(fs::exists(at(kLineText)));
  EXPECT_FALSE(fs::exists(at(kTrainText)));
}

TEST_F(RunTest, AFolderThatCannotBeWrittenEndsTheRunWithOneLine) {
  fs::remove_all(folder_);
  EXPECT_EQ(form().Form_Load(), kExitFileFailed);
  ASSERT_EQ(platform_.reports.size(), 1u);
  EXPECT_EQ(platform_.reports[0], "scengen: cannot write '" + (folder_ / kLineText).string() +
                                      "': No such file or directory");
}

TEST_F(RunTest, AFailedBinaryFileKeepsItsEarlierFileAndStopsTheLaterOnes) {
  put("Veltrano_Quarnelo_58316.sim", "earlier table");
  put("Veltrano_Quarnelo_58316.dat", "earlier track");
  DiskFullFor files("Veltrano_Quarnelo_58316.sim");
  EXPECT_EQ(form(files).Form_Load(), kExitFileFailed);
  ASSERT_EQ(platform_.reports.size(), 1u);
  EXPECT_EQ(platform_.reports[0], "scengen: cannot write '" +
                                      (folder_ / "Veltrano_Quarnelo_58316.sim").string() +
                                      "': No space left on device");
  EXPECT_EQ(slurp("Veltrano_Quarnelo_58316.sim"), "earlier table");
  EXPECT_EQ(slurp("Veltrano_Quarnelo_58316.dat"), "earlier track");
  EXPECT_GT(slurp("Veltrano_Quarnelo_linea.dat").size(), 1000000u);  // written before it
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
    Form1 f = form();
    f.state.RouteId = kBuiltInRouteId;
    f.state.TrainNumber = kBuiltInTrainNumber;
    EXPECT_EQ(f.memorizza_percorso(1), kExitStopped) << c.signal;
    EXPECT_EQ(platform_.boxes, std::vector<std::string>{c.message});
    for (const char* name : kBinaryFiles) EXPECT_FALSE(fs::exists(at(name))) << name;
    EXPECT_FALSE(fs::exists(at(kLineText)));
    EXPECT_FALSE(fs::exists(at(kTrainText)));
  }
}

TEST_F(RunTest, ARecordedErrorIsReportedOnOneLineAndShowsNoMessageBox) {
  write_texts("[generale]\r\nvelocita, 90000, 30\r\n[fine]\r\n");
  Form1 f = form();
  f.state.RouteId = kBuiltInRouteId;
  f.state.TrainNumber = kBuiltInTrainNumber;
  EXPECT_EQ(f.memorizza_percorso(1), kExitCompileError);
  EXPECT_TRUE(platform_.boxes.empty());
  EXPECT_EQ(platform_.reports,
            std::vector<std::string>{
                "scengen: error 15: a position lies beyond the track (at 90000 m)"});
  for (const char* name : kBinaryFiles) EXPECT_TRUE(fs::exists(at(name))) << name;
}

TEST_F(RunTest, NoLineDescriptionMeansNoTrackAndNoBinaryFile) {
  Form1 f = form();
  f.state.RouteId = kBuiltInRouteId;
  f.state.TrainNumber = kBuiltInTrainNumber;
  EXPECT_EQ(f.memorizza_percorso(1), kExitStopped);
  EXPECT_EQ(f.state.StatusCode, 101);
  EXPECT_EQ(platform_.reports,
            std::vector<std::string>{"scengen: error 101: cannot read '" +
                                     (folder_ / kLineText).string() +
                                     "': No such file or directory; no binary file was written"});
  EXPECT_TRUE(names().empty());
}

}  // namespace
}  // namespace scengen
