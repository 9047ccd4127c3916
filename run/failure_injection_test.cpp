// Failures of every file the run writes or reads: a folder that refuses writes, a disk that fills
// up in the middle of a file, a folder in place of a file, a description text that vanishes or
// cannot be read. Each ends with its exit status and one line naming the file and the reason; no
// file is left truncated, an earlier file of the same name stays whole, no temporary file stays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "run/exit_status.h"
#include "run/builtin_run.h"
#include "testing/file_faults.h"
#include "testing/recording_platform.h"
#include "testing/scratch_folder.h"
#include "texts/line_description.h"
#include "texts/line_list.h"
#include "texts/train_description.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace scengen {
namespace {

namespace fs = std::filesystem;
using testing::RecordingPlatform;
using testing::RefusingFolder;
using testing::TroubledText;
#ifndef _WIN32
using testing::FullDiskFor;
#endif

// The files the built-in run writes, in the order it writes them: the two description texts, the
// three documents, the three binary files.
const std::string kLineText = "Veltrano_Quarnelo_linea.txt";
const std::string kTrainText = "Veltrano_Quarnelo_58316-.txt";
const std::vector<std::string> kWritten = {kLineText,
                                           kTrainText,
                                           "Veltrano_Quarnelo_58316_note.txt",
                                           "Veltrano_Quarnelo_58316_rallentamenti.txt",
                                           "Veltrano_Quarnelo_58316_scheda_treno.txt",
                                           "Veltrano_Quarnelo_linea.dat",
                                           "Veltrano_Quarnelo_58316.sim",
                                           "Veltrano_Quarnelo_58316.dat"};
constexpr size_t kFirstBinary = 5;

class FailureInjection : public ::testing::Test {
 protected:
  // What a complete run leaves in each of the eight files (the texts as written).
  static void SetUpTestSuite() {
    // ctest runs the tests of this suite in parallel processes: each makes its own reference.
    const testing::ScratchFolder folder("failures-reference");
    RecordingPlatform platform;
    ASSERT_EQ(BuiltinRun(platform, system_files(), folder.path()).run(), kExitOk);
    reference_[kLineText] = emit_line_list(line_description_lines());
    reference_[kTrainText] = emit_line_list(train_description_lines());
    for (size_t i = 2; i < kWritten.size(); ++i) reference_[kWritten[i]] = folder.read(kWritten[i]);
  }

  // Starts again in an empty folder.
  void fresh_folder() {
    scratch_.empty_out();
    platform_.clear();
  }

  void expect_no_temporary() const {
    for (const std::string& name : scratch_.names()) {
      EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
  }
  std::string quoted(const std::string& name) const {
    return "'" + scratch_.at(name).string() + "'";
  }
  static std::string earlier(const std::string& name) { return "earlier " + name; }

  // Fills the folder with an earlier version of every file the run writes.
  void put_earlier_files() const {
    for (const std::string& name : kWritten) scratch_.write(name, earlier(name));
  }
  // After a run that failed writing kWritten[failed]: the files before it are complete (the texts
  // are gone once compiled), that one and the later ones are the earlier versions.
  void expect_stopped_at(size_t failed) const {
    for (size_t i = 0; i < kWritten.size(); ++i) {
      const std::string& name = kWritten[i];
      if (i >= failed) {
        EXPECT_EQ(scratch_.read(name), earlier(name)) << name;
      } else if (i < 2 && failed >= kFirstBinary) {
        EXPECT_FALSE(fs::exists(scratch_.at(name))) << name;
      } else {
        EXPECT_EQ(scratch_.read(name), reference_.at(name)) << name;
      }
    }
    expect_no_temporary();
  }
  // Writes the two description texts as the run's writers do.
  void write_texts() const {
    const OutputPlace out{system_files(), folder_, kBuiltInRouteId, kBuiltInTrainNumber};
    write_line_description(out);
    write_train_description(out);
  }
  BuiltinRun form(FileLayer& files) {
    BuiltinRun f(platform_, files, folder_);
    f.state.RouteId = kBuiltInRouteId;
    f.state.TrainNumber = kBuiltInTrainNumber;
    return f;
  }

  static std::map<std::string, std::string> reference_;
  RecordingPlatform platform_;
  testing::ScratchFolder scratch_{"failures"};
  const fs::path& folder_ = scratch_.path();
};

std::map<std::string, std::string> FailureInjection::reference_;

#ifndef _WIN32
TEST_F(FailureInjection, AFolderWithoutWritePermission) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root writes whatever the permission bits say; "
                    "AFolderThatRefusesEveryWrite covers the same path";
  }
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(form(system_files()).run(), kExitFileFailed);
  EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: cannot write " +
                                                        quoted(kLineText) + ": Permission denied"});
  EXPECT_TRUE(scratch_.names().empty());
}
#endif

TEST_F(FailureInjection, AFolderThatRefusesEveryWrite) {
  put_earlier_files();
  RefusingFolder files;
  EXPECT_EQ(form(files).run(), kExitFileFailed);
  EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: cannot write " +
                                                        quoted(kLineText) + ": Permission denied"});
  expect_stopped_at(0);
}

#ifndef _WIN32
TEST_F(FailureInjection, ADiskThatFillsUpInTheMiddleOfEachFile) {
  for (size_t failed = 0; failed < kWritten.size(); ++failed) {
    const std::string& name = kWritten[failed];
    SCOPED_TRACE(name);
    fresh_folder();
    put_earlier_files();
    // Room for half of the file.
    FullDiskFor files(name, reference_.at(name).size() / 2);
    EXPECT_EQ(form(files).run(), kExitFileFailed);
    EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: cannot write " + quoted(name) +
                                                          ": File too large"});
    EXPECT_TRUE(platform_.boxes.empty());
    expect_stopped_at(failed);
  }
}

TEST_F(FailureInjection, AFolderInPlaceOfEachFile) {
  for (size_t failed = 0; failed < kWritten.size(); ++failed) {
    const std::string& name = kWritten[failed];
    SCOPED_TRACE(name);
    fresh_folder();
    fs::create_directory(scratch_.at(name));
    EXPECT_EQ(form(system_files()).run(), kExitFileFailed);
    EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: cannot write " + quoted(name) +
                                                          ": Is a directory"});
    EXPECT_TRUE(fs::is_directory(scratch_.at(name)));
    for (size_t i = 0; i < failed; ++i) {
      if (i < 2 && failed >= kFirstBinary) continue;  // compiled and deleted
      if (i >= kFirstBinary) {
        // The binary files are one set: none of it takes its name when one of them fails.
        EXPECT_FALSE(fs::exists(scratch_.at(kWritten[i]))) << kWritten[i];
        continue;
      }
      EXPECT_EQ(scratch_.read(kWritten[i]), reference_.at(kWritten[i])) << kWritten[i];
    }
    for (size_t i = failed + 1; i < kWritten.size(); ++i) {
      EXPECT_FALSE(fs::exists(scratch_.at(kWritten[i]))) << kWritten[i];
    }
    expect_no_temporary();
  }
}
#endif

TEST_F(FailureInjection, TheLineTextVanishesBeforeItIsRead) {
  scratch_.write("Veltrano_Quarnelo_58316.dat", "earlier track");
  TroubledText files(kLineText, TroubledText::Vanishes);
  EXPECT_EQ(form(files).run(), kExitStopped);
  EXPECT_EQ(platform_.reports,
            std::vector<std::string>{"scengen: error 101: cannot read " + quoted(kLineText) +
                                     ": No such file or directory; no binary file was written"});
  EXPECT_FALSE(fs::exists(scratch_.at("Veltrano_Quarnelo_linea.dat")));
  EXPECT_FALSE(fs::exists(scratch_.at("Veltrano_Quarnelo_58316.sim")));
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_58316.dat"), "earlier track");
  // Code 101 ends the compile before the train text is read; it is neither read nor deleted.
  EXPECT_EQ(scratch_.read(kTrainText), reference_.at(kTrainText));
  expect_no_temporary();
}

TEST_F(FailureInjection, TheTrainTextVanishesBeforeItIsRead) {
  TroubledText files(kTrainText, TroubledText::Vanishes);
  EXPECT_EQ(form(files).run(), kExitCompileError);
  EXPECT_EQ(platform_.reports,
            std::vector<std::string>{"scengen: error 25: cannot read " + quoted(kTrainText) +
                                     ": No such file or directory"});
  // The line was compiled: the binary files are written from it.
  for (size_t i = kFirstBinary; i < kWritten.size(); ++i) {
    EXPECT_TRUE(fs::exists(scratch_.at(kWritten[i]))) << kWritten[i];
  }
  EXPECT_FALSE(fs::exists(scratch_.at(kLineText)));
  expect_no_temporary();
}

TEST_F(FailureInjection, ADescriptionTextThatCannotBeRead) {
  struct Case {
    const char* what;
    std::string text;
    bool folder;  // a folder in place of the text; otherwise a device error
    int status;
    std::string tail;  // of the one line
  };
  const Case cases[] = {
      {"a folder in place of the line text", kLineText, true, kExitStopped,
       ": Is a directory; no binary file was written"},
      {"a device error on the line text", kLineText, false, kExitStopped,
       ": Input/output error; no binary file was written"},
      {"a folder in place of the train text", kTrainText, true, kExitCompileError,
       ": Is a directory"},
      {"a device error on the train text", kTrainText, false, kExitCompileError,
       ": Input/output error"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    fresh_folder();
    write_texts();
    if (test.folder) {
      fs::remove(scratch_.at(test.text));
      fs::create_directory(scratch_.at(test.text));
    }
    TroubledText troubled(test.text, TroubledText::DeviceError);
    FileLayer& files = test.folder ? system_files() : troubled;
    EXPECT_EQ(form(files).compile_texts(1), test.status);
    EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: error 25: cannot read " +
                                                          quoted(test.text) + test.tail});
    // Code 25 closes and deletes both texts: the files, never a folder.
    EXPECT_EQ(fs::is_directory(scratch_.at(test.text)), test.folder);
    EXPECT_FALSE(fs::is_regular_file(scratch_.at(kLineText)));
    EXPECT_FALSE(fs::is_regular_file(scratch_.at(kTrainText)));
    EXPECT_EQ(fs::exists(scratch_.at("Veltrano_Quarnelo_58316.dat")),
              test.status == kExitCompileError);
    expect_no_temporary();
  }
}

#ifndef _WIN32
// The built executable, copied into the folder that it writes into.
class ProcessFailures : public FailureInjection {
 protected:
  void SetUp() override {
    FailureInjection::SetUp();
    fs::copy_file(SCENGEN_BINARY, scratch_.at("scengen"));
    fs::permissions(scratch_.at("scengen"), fs::perms::owner_all);
    stderr_ = folder_.string() + ".stderr";
  }
  void TearDown() override {
    fs::remove(stderr_);
    FailureInjection::TearDown();
  }
  // Runs the program through the shell with `setup` before it; returns its exit status.
  int run(const std::string& setup) {
    const std::string command = "cd '" + folder_.string() + "' && " + setup + " ./scengen 2>'" +
                                stderr_.string() + "' </dev/null";
    const int status = std::system(("/bin/sh -c \"" + command + "\"").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string program_errors() const { return testing::read_file(stderr_); }

  fs::path stderr_;
};

TEST_F(ProcessFailures, AFolderInPlaceOfTheScenarioTable) {
  fs::create_directory(scratch_.at("Veltrano_Quarnelo_58316.sim"));
  EXPECT_EQ(run(""), kExitFileFailed);
  EXPECT_EQ(program_errors(), "scengen: cannot write " + quoted("Veltrano_Quarnelo_58316.sim") +
                                  ": Is a directory\n");
  // The three binary files are one set: the route plan before the table is not renamed either.
  EXPECT_FALSE(fs::exists(scratch_.at("Veltrano_Quarnelo_linea.dat")));
  EXPECT_FALSE(fs::exists(scratch_.at("Veltrano_Quarnelo_58316.dat")));
  expect_no_temporary();
}

TEST_F(ProcessFailures, AFileSizeLimitStopsTheRouteplan) {
  scratch_.write("Veltrano_Quarnelo_linea.dat", "earlier plan");
  // 16 blocks hold every text but not the route plan; the signal is ignored, so the write fails.
  EXPECT_EQ(run("trap '' XFSZ; ulimit -f 16;"), kExitFileFailed);
  EXPECT_EQ(program_errors(), "scengen: cannot write " + quoted("Veltrano_Quarnelo_linea.dat") +
                                  ": File too large\n");
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_linea.dat"), "earlier plan");
  EXPECT_EQ(scratch_.read("Veltrano_Quarnelo_58316_scheda_treno.txt"),
            reference_.at("Veltrano_Quarnelo_58316_scheda_treno.txt"));
  EXPECT_FALSE(fs::exists(scratch_.at("Veltrano_Quarnelo_58316.sim")));
  expect_no_temporary();
}
#endif

}  // namespace
}  // namespace scengen
