// Failures of every file the run writes or reads: a folder that refuses writes, a disk that fills
// up in the middle of a file, a folder in place of a file, a description text that vanishes or
// cannot be read. Each ends with its exit status and one line naming the file and the reason; no
// file is left truncated, an earlier file of the same name stays whole, no temporary file stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>

#include "run/exit_status.h"
#include "run/form1.h"
#include "texts/line_description.h"
#include "texts/line_list.h"
#include "texts/train_description.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace scengen {
namespace {

namespace fs = std::filesystem;

class RecordingPlatform : public Platform {
 public:
  fs::path program_folder() override { return "unused"; }
  void show_status_window() override {}
  void message_box(const std::string& text) override { boxes.push_back(text); }
  void report(std::string_view line) override { reports.emplace_back(line); }
  std::vector<std::string> boxes;
  std::vector<std::string> reports;
};

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

// Every write into the folder is refused, as a folder without write permission refuses it.
class RefusingFolder : public FileLayer {
 public:
  void write_replacing(const fs::path& path, std::string_view) override {
    throw FileError(path, "Permission denied");
  }
  FileRead read_whole(const fs::path& path) override { return system_files().read_whole(path); }
  void remove(const fs::path& path) override { system_files().remove(path); }
};

#ifndef _WIN32
// The real file system, with a file size limit while one chosen file is written: the write fails
// in its middle as on a disk that fills up.
class FullDiskFor : public FileLayer {
 public:
  FullDiskFor(std::string name, rlim_t room) : name_(std::move(name)), room_(room) {}
  void write_replacing(const fs::path& path, std::string_view bytes) override {
    if (path.filename() != name_) return system_files().write_replacing(path, bytes);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = room_;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto restore = [&] {
      setrlimit(RLIMIT_FSIZE, &saved);
      std::signal(SIGXFSZ, previous);
    };
    try {
      system_files().write_replacing(path, bytes);
    } catch (...) {
      restore();
      throw;
    }
    restore();
  }
  FileRead read_whole(const fs::path& path) override { return system_files().read_whole(path); }
  void remove(const fs::path& path) override { system_files().remove(path); }

 private:
  std::string name_;
  rlim_t room_;
};
#endif

// The real file system, except that one text is deleted (by someone else) just before the run
// reads it, or cannot be read for a fault of the device.
class TroubledText : public FileLayer {
 public:
  enum Trouble { Vanishes, DeviceError };
  TroubledText(std::string name, Trouble trouble) : name_(std::move(name)), trouble_(trouble) {}
  void write_replacing(const fs::path& path, std::string_view bytes) override {
    system_files().write_replacing(path, bytes);
  }
  FileRead read_whole(const fs::path& path) override {
    if (path.filename() == name_) {
      if (trouble_ == DeviceError) return {ReadStatus::Unreadable, {}, "Input/output error"};
      system_files().remove(path);
    }
    return system_files().read_whole(path);
  }
  void remove(const fs::path& path) override { system_files().remove(path); }

 private:
  std::string name_;
  Trouble trouble_;
};

class FailureInjection : public ::testing::Test {
 protected:
  // What a complete run leaves in each of the eight files (the texts as written).
  static void SetUpTestSuite() {
    // ctest runs the tests of this suite in parallel processes: each makes its own reference.
    const fs::path folder = fs::temp_directory_path() / ("scengen-failures-reference-" +
                                                         std::to_string(std::random_device()()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    RecordingPlatform platform;
    ASSERT_EQ(Form1(platform, system_files(), folder).Form_Load(), kExitOk);
    reference_[kLineText] = emit_line_list(line_description_lines());
    reference_[kTrainText] = emit_line_list(train_description_lines());
    for (size_t i = 2; i < kWritten.size(); ++i)
      reference_[kWritten[i]] = read(folder / kWritten[i]);
    fs::remove_all(folder);
  }

  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("scengen-failures-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fresh_folder();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_);
  }
  void fresh_folder() {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    platform_.reports.clear();
    platform_.boxes.clear();
  }

  static std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path at(const std::string& name) const { return folder_ / name; }
  std::string slurp(const std::string& name) const { return read(at(name)); }
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
  void expect_no_temporary() const {
    for (const std::string& name : names()) {
      EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
  }
  std::string quoted(const std::string& name) const { return "'" + at(name).string() + "'"; }
  static std::string earlier(const std::string& name) { return "earlier " + name; }

  // Fills the folder with an earlier version of every file the run writes.
  void put_earlier_files() const {
    for (const std::string& name : kWritten) put(name, earlier(name));
  }
  // After a run that failed writing kWritten[failed]: the files before it are complete (the texts
  // are gone once compiled), that one and the later ones are the earlier versions.
  void expect_stopped_at(size_t failed) const {
    for (size_t i = 0; i < kWritten.size(); ++i) {
      const std::string& name = kWritten[i];
      if (i >= failed) {
        EXPECT_EQ(slurp(name), earlier(name)) << name;
      } else if (i < 2 && failed >= kFirstBinary) {
        EXPECT_FALSE(fs::exists(at(name))) << name;
      } else {
        EXPECT_EQ(slurp(name), reference_.at(name)) << name;
      }
    }
    expect_no_temporary();
  }
  // Writes the two description texts as the run's writers do.
  void write_texts() const {
    const OutputPlace out{system_files(), folder_, kBuiltInRouteId, kBuiltInTrainNumber};
    dati_linea(out);
    dati_treno(out);
  }
  Form1 form(FileLayer& files) {
    Form1 f(platform_, files, folder_);
    f.state.RouteId = kBuiltInRouteId;
    f.state.TrainNumber = kBuiltInTrainNumber;
    return f;
  }

  static std::map<std::string, std::string> reference_;
  RecordingPlatform platform_;
  fs::path folder_;
};

std::map<std::string, std::string> FailureInjection::reference_;

#ifndef _WIN32
TEST_F(FailureInjection, AFolderWithoutWritePermission) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root writes whatever the permission bits say; "
                    "AFolderThatRefusesEveryWrite covers the same path";
  }
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(form(system_files()).Form_Load(), kExitFileFailed);
  EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: cannot write " +
                                                        quoted(kLineText) + ": Permission denied"});
  EXPECT_TRUE(names().empty());
}
#endif

TEST_F(FailureInjection, AFolderThatRefusesEveryWrite) {
  put_earlier_files();
  RefusingFolder files;
  EXPECT_EQ(form(files).Form_Load(), kExitFileFailed);
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
    EXPECT_EQ(form(files).Form_Load(), kExitFileFailed);
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
    fs::create_directory(at(name));
    EXPECT_EQ(form(system_files()).Form_Load(), kExitFileFailed);
    EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: cannot write " + quoted(name) +
                                                          ": Is a directory"});
    EXPECT_TRUE(fs::is_directory(at(name)));
    for (size_t i = 0; i < failed; ++i) {
      if (i < 2 && failed >= kFirstBinary) continue;  // compiled and deleted
      EXPECT_EQ(slurp(kWritten[i]), reference_.at(kWritten[i])) << kWritten[i];
    }
    for (size_t i = failed + 1; i < kWritten.size(); ++i) {
      EXPECT_FALSE(fs::exists(at(kWritten[i]))) << kWritten[i];
    }
    expect_no_temporary();
  }
}
#endif

TEST_F(FailureInjection, TheLineTextVanishesBeforeItIsRead) {
  put("Veltrano_Quarnelo_58316.dat", "earlier track");
  TroubledText files(kLineText, TroubledText::Vanishes);
  EXPECT_EQ(form(files).Form_Load(), kExitStopped);
  EXPECT_EQ(platform_.reports,
            std::vector<std::string>{"scengen: error 101: cannot read " + quoted(kLineText) +
                                     ": No such file or directory; no binary file was written"});
  EXPECT_FALSE(fs::exists(at("Veltrano_Quarnelo_linea.dat")));
  EXPECT_FALSE(fs::exists(at("Veltrano_Quarnelo_58316.sim")));
  EXPECT_EQ(slurp("Veltrano_Quarnelo_58316.dat"), "earlier track");
  // Code 101 ends the compile before the train text is read; it is neither read nor deleted.
  EXPECT_EQ(slurp(kTrainText), reference_.at(kTrainText));
  expect_no_temporary();
}

TEST_F(FailureInjection, TheTrainTextVanishesBeforeItIsRead) {
  TroubledText files(kTrainText, TroubledText::Vanishes);
  EXPECT_EQ(form(files).Form_Load(), kExitCompileError);
  EXPECT_EQ(platform_.reports,
            std::vector<std::string>{"scengen: error 25: cannot read " + quoted(kTrainText) +
                                     ": No such file or directory"});
  // The line was compiled: the binary files are written from it.
  for (size_t i = kFirstBinary; i < kWritten.size(); ++i) {
    EXPECT_TRUE(fs::exists(at(kWritten[i]))) << kWritten[i];
  }
  EXPECT_FALSE(fs::exists(at(kLineText)));
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
      fs::remove(at(test.text));
      fs::create_directory(at(test.text));
    }
    TroubledText troubled(test.text, TroubledText::DeviceError);
    FileLayer& files = test.folder ? system_files() : troubled;
    EXPECT_EQ(form(files).memorizza_percorso(1), test.status);
    EXPECT_EQ(platform_.reports, std::vector<std::string>{"scengen: error 25: cannot read " +
                                                          quoted(test.text) + test.tail});
    // Code 25 closes and deletes both texts: the files, never a folder.
    EXPECT_EQ(fs::is_directory(at(test.text)), test.folder);
    EXPECT_FALSE(fs::is_regular_file(at(kLineText)));
    EXPECT_FALSE(fs::is_regular_file(at(kTrainText)));
    EXPECT_EQ(fs::exists(at("Veltrano_Quarnelo_58316.dat")), test.status == kExitCompileError);
    expect_no_temporary();
  }
}

#ifndef _WIN32
// The built executable, copied into the folder that it writes into.
class ProcessFailures : public FailureInjection {
 protected:
  void SetUp() override {
    FailureInjection::SetUp();
    fs::copy_file(SCENGEN_BINARY, at("scengen"));
    fs::permissions(at("scengen"), fs::perms::owner_all);
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
  std::string program_errors() const { return read(stderr_); }

  fs::path stderr_;
};

TEST_F(ProcessFailures, AFolderInPlaceOfTheScenarioTable) {
  fs::create_directory(at("Veltrano_Quarnelo_58316.sim"));
  EXPECT_EQ(run(""), kExitFileFailed);
  EXPECT_EQ(program_errors(), "scengen: cannot write " + quoted("Veltrano_Quarnelo_58316.sim") +
                                  ": Is a directory\n");
  EXPECT_EQ(slurp("Veltrano_Quarnelo_linea.dat"), reference_.at("Veltrano_Quarnelo_linea.dat"));
  EXPECT_FALSE(fs::exists(at("Veltrano_Quarnelo_58316.dat")));
  expect_no_temporary();
}

TEST_F(ProcessFailures, AFileSizeLimitStopsTheRouteplan) {
  put("Veltrano_Quarnelo_linea.dat", "earlier plan");
  // 16 blocks hold every text but not the route plan; the signal is ignored, so the write fails.
  EXPECT_EQ(run("trap '' XFSZ; ulimit -f 16;"), kExitFileFailed);
  EXPECT_EQ(program_errors(), "scengen: cannot write " + quoted("Veltrano_Quarnelo_linea.dat") +
                                  ": File too large\n");
  EXPECT_EQ(slurp("Veltrano_Quarnelo_linea.dat"), "earlier plan");
  EXPECT_EQ(slurp("Veltrano_Quarnelo_58316_scheda_treno.txt"),
            reference_.at("Veltrano_Quarnelo_58316_scheda_treno.txt"));
  EXPECT_FALSE(fs::exists(at("Veltrano_Quarnelo_58316.sim")));
  expect_no_temporary();
}
#endif

}  // namespace
}  // namespace scengen
