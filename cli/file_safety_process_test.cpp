// The program's files as processes meet them: runs and compiles into one folder at once, an
// author's edited texts, hostile inputs, signals in the middle of a write, names a terminal or a
// folder cannot take. POSIX only: they fork, signal and limit processes.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/scenario_generator.h"
#include "platform/input_limits.h"
#include "platform/output_lock.h"
#include "testing/scengen_process.h"
#include "testing/scratch_folder.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;
using namespace std::chrono_literals;

const std::vector<std::string> kBuiltInSix = {"Veltrano_Quarnelo_linea.dat",
                                              "Veltrano_Quarnelo_58316.sim",
                                              "Veltrano_Quarnelo_58316.dat",
                                              "Veltrano_Quarnelo_58316_note.txt",
                                              "Veltrano_Quarnelo_58316_rallentamenti.txt",
                                              "Veltrano_Quarnelo_58316_scheda_treno.txt"};
const std::vector<std::string> kCompiledSet = {"Gara_linea.dat", "Gara_7.sim", "Gara_7.dat"};

// A scengen process started in `folder`, its output in files beside the folder's.
class Started {
 public:
  Started(const fs::path& folder, const std::vector<std::string>& args,
          rlim_t memory_limit = RLIM_INFINITY)
      : out_(folder.string() + ".out" + std::to_string(counter_++)) {
    pid_ = ::fork();
    if (pid_ == 0) {
      if (::chdir(folder.c_str()) != 0) ::_exit(126);
      const int fd = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(fd, 1);
      ::dup2(fd, 2);
      if (memory_limit != RLIM_INFINITY) {
        const struct rlimit limit { memory_limit, memory_limit };
        ::setrlimit(RLIMIT_AS, &limit);
      }
      std::vector<char*> argv{const_cast<char*>(SCENGEN_BINARY)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(SCENGEN_BINARY, argv.data());
      ::_exit(127);
    }
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  pid_t pid() const { return pid_; }
  /// Whether it still runs (it is reaped once it ended).
  bool running() {
    if (ended_) return false;
    ended_ = ::waitpid(pid_, &raw_, WNOHANG) == pid_;
    return !ended_;
  }
  /// The status as a shell shows it: 128 + the signal for a process a signal ended.
  int wait() {
    struct rusage usage {};
    if (!ended_) ::wait4(pid_, &raw_, 0, &usage);
    cpu_ = std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    ended_ = true;
    const int raw = raw_;
    output_ = testing::read_file(out_);
    fs::remove(out_);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }
  const std::string& output() const { return output_; }
  /// The processor time it took (the wall clock depends on what else the machine does).
  std::chrono::microseconds cpu() const { return cpu_; }

 private:
  static inline int counter_ = 0;
  std::string out_;
  std::string output_;
  pid_t pid_ = -1;
  int raw_ = 0;
  bool ended_ = false;
  std::chrono::microseconds cpu_{0};
};

// Runs scengen to its end: status and output (standard output and error together).
std::pair<int, std::string> run(const fs::path& folder, const std::vector<std::string>& args,
                                rlim_t memory_limit = RLIM_INFINITY) {
  Started process(folder, args, memory_limit);
  const int status = process.wait();
  return {status, process.output()};
}

bool one_line(const std::string& output) {
  return !output.empty() && output.find('\n') == output.size() - 1;
}

std::vector<std::string> temporaries_in(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".scengen-") != std::string::npos && name.ends_with(".tmp"))
      found.push_back(name);
  }
  return found;
}

int rounds() {
  const char* text = std::getenv("SCENGEN_ROUNDS");
  return text != nullptr ? std::atoi(text) : 2;
}

// Four built-in runs and four compiles of different scenarios, all started at once into one
// folder, round after round: each ends with status 0, and each set of files is one process's.
TEST(ConcurrentWriters, RunsAndCompilesIntoOneFolderTakeTurns) {
  ScratchFolder texts("texts"), alone("alone"), shared("shared");
  std::vector<std::map<std::string, std::string>> versions;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    const GeneratedScenario s = generate_varied_scenario(20000, seed);
    const std::string n = std::to_string(seed);
    texts.write("line" + n + ".txt", s.line_text);
    texts.write("train" + n + ".txt", s.train_text);
  }
  auto compile_args = [&](int seed, const fs::path& out) {
    const std::string n = std::to_string(seed);
    return std::vector<std::string>{"compile",
                                    texts.at("line" + n + ".txt").string(),
                                    texts.at("train" + n + ".txt").string(),
                                    "--route",
                                    "Gara",
                                    "--train",
                                    "7",
                                    "--out",
                                    out.string()};
  };
  // Each scenario alone first: the sets a shared folder may hold.
  for (int seed = 1; seed <= 4; ++seed) {
    ASSERT_EQ(run(alone.path(), compile_args(seed, alone.path())).first, 0);
    std::map<std::string, std::string> set;
    for (const std::string& name : kCompiledSet) set[name] = alone.read(name);
    versions.push_back(set);
  }
  ASSERT_EQ(run(alone.path(), {"run", "--out", "."}).first, 0);
  std::map<std::string, std::string> built_in;
  for (const std::string& name : kBuiltInSix) built_in[name] = alone.read(name);

  for (int round = 0; round < rounds(); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    shared.empty_out();
    std::vector<std::unique_ptr<Started>> processes;
    for (int i = 1; i <= 4; ++i) {
      processes.push_back(std::make_unique<Started>(shared.path(), compile_args(i, shared.path())));
      processes.push_back(
          std::make_unique<Started>(shared.path(), std::vector<std::string>{"run", "--out", "."}));
    }
    for (auto& p : processes) {
      const int status = p->wait();
      EXPECT_EQ(status, 0) << p->output();
    }
    for (const std::string& name : kBuiltInSix)
      EXPECT_EQ(shared.read(name), built_in[name]) << name;
    std::map<std::string, std::string> set;
    for (const std::string& name : kCompiledSet) set[name] = shared.read(name);
    EXPECT_NE(std::find(versions.begin(), versions.end(), set), versions.end())
        << "the compiled files are not one compile's set";
    EXPECT_EQ(temporaries_in(shared.path()), std::vector<std::string>{});
    // The last writer removed the lock file: the folder holds the writers' files only.
    EXPECT_FALSE(shared.exists(kOutputLockName));
  }
}

// An author's edit of any text or document the run or `texts` writes stops both before they
// write anything; --force overwrites it; the program's own files (plain or annotated) do not.
TEST(OwnFiles, AnEditedFileStopsRunAndTextsUntilForced) {
  const std::vector<std::string> edited = {
      "Veltrano_Quarnelo_linea.txt", "Veltrano_Quarnelo_58316-.txt",
      "Veltrano_Quarnelo_58316_note.txt", "Veltrano_Quarnelo_58316_scheda_treno.txt"};
  for (const std::string command : {"run", "texts"}) {
    for (const std::string& name : edited) {
      SCOPED_TRACE(command + " " + name);
      ScratchFolder folder("own");
      ASSERT_EQ(run(folder.path(), {"texts"}).first, 0);
      const std::string original = folder.read(name);
      folder.write(name, original + "my own line\r\n");
      const std::vector<std::string> before = folder.names();

      const auto [status, output] = run(folder.path(), {command, "--out", "."});
      EXPECT_EQ(status, 4);
      EXPECT_TRUE(one_line(output)) << output;
      EXPECT_NE(output.find(name), std::string::npos) << output;
      EXPECT_NE(output.find("--force"), std::string::npos) << output;
      EXPECT_EQ(folder.read(name), original + "my own line\r\n");
      EXPECT_EQ(folder.names(), before) << "nothing may be written";

      EXPECT_EQ(run(folder.path(), {command, "--out", ".", "--force"}).first, 0);
      if (command == "texts")
        EXPECT_EQ(folder.read(name), original);
      else
        EXPECT_FALSE(folder.exists(name) && folder.read(name) != original);
    }
  }
  // The annotated texts are the program's own too; so are the files a run leaves.
  ScratchFolder folder("own");
  ASSERT_EQ(run(folder.path(), {"texts", "--annotated"}).first, 0);
  EXPECT_EQ(run(folder.path(), {"texts"}).first, 0);
  EXPECT_EQ(run(folder.path(), {"texts", "--annotated"}).first, 0);
  EXPECT_EQ(run(folder.path(), {"run", "--out", "."}).first, 0);
  EXPECT_EQ(run(folder.path(), {"run", "--out", "."}).first, 0);
}

// Inputs that would block or exhaust the program end at once with one line and status 4.
TEST(HostileInputs, EndPromptlyWithOneLine) {
  ScratchFolder folder("hostile");
  ASSERT_EQ(run(folder.path(), {"texts"}).first, 0);
  const std::string train = folder.at("Veltrano_Quarnelo_58316-.txt").string();
  ASSERT_EQ(::mkfifo(folder.at("fifo").c_str(), 0600), 0);
  fs::create_directory(folder.at("R_1.dat"));
  {
    // Sparse: one byte more than the cap, none of it on the disk.
    const int fd = ::open(folder.at("huge").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxTextBytes + 1)), 0);
    ::close(fd);
  }
  {
    // Within the caps, but more than the process may take: 20 MB of one long record.
    std::string big = "[linea]\r\n" + std::string(20 << 20, '7') + "\r\n";
    folder.write("big", big);
  }
  struct Case {
    const char* what;
    std::vector<std::string> args;
    rlim_t memory = RLIM_INFINITY;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"device as text", {"check", "/dev/zero", train}, RLIM_INFINITY, "not a regular file"},
      {"device as binary",
       {"dump", "--kind", "track", "/dev/urandom"},
       RLIM_INFINITY,
       "not a regular file"},
      {"FIFO without writer",
       {"compile", "fifo", train, "--route", "R", "--train", "1"},
       RLIM_INFINITY,
       "not a regular file"},
      {"directory", {"diff", "R_1.dat", "R_1.dat"}, RLIM_INFINITY, "Is a directory"},
      {"directory to decompile", {"decompile", "R_1.dat"}, RLIM_INFINITY, "Is a directory"},
      {"sparse file over the cap", {"check", "huge", train}, RLIM_INFINITY, "larger than"},
      {"out of memory", {"check", "big", train}, rlim_t{50} << 20, "out of memory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
#ifdef __SANITIZE_ADDRESS__
    // The address sanitizer reserves terabytes of address space at start: under a memory limit
    // the program dies before its first line, so the limit is tested in the plain builds only.
    if (c.memory != RLIM_INFINITY) continue;
#endif
    const auto start = std::chrono::steady_clock::now();
    Started process(folder.path(), c.args, c.memory);
    const int status = process.wait();
    const std::string& output = process.output();
    // A second of work at most; the wall clock only catches a wait (a FIFO), as the machine
    // may be busy with other things.
    EXPECT_LT(process.cpu(), 1s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(status, 4) << output;
    EXPECT_TRUE(one_line(output)) << output;
    EXPECT_NE(output.find(c.expected), std::string::npos) << output;
  }
}

// SIGINT and SIGTERM while the 1000000 m route's files are written: the usual status, and no
// temporary stays.
TEST(Signals, MidWriteLeaveNoTemporary) {
  ScratchFolder folder("signals");
  const GeneratedScenario s = generate_scenario(kLongestGeneratedRoute);
  folder.write("L_linea.txt", s.line_text);
  folder.write("L_1-.txt", s.train_text);
  for (const auto& [signal, expected] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    SCOPED_TRACE(signal);
    for (const std::string& name : folder.names())
      if (name != "L_linea.txt" && name != "L_1-.txt") fs::remove_all(folder.at(name));
    // Mid-write: once a temporary stands in the folder. A compile that ended before it was
    // seen is started again.
    std::unique_ptr<Started> compile;
    for (int attempt = 0; attempt < 50; ++attempt) {
      compile = std::make_unique<Started>(
          folder.path(), std::vector<std::string>{"compile", "L_linea.txt", "L_1-.txt"});
      while (temporaries_in(folder.path()).empty() && compile->running())
        std::this_thread::sleep_for(100us);
      if (compile->running()) break;
      compile->wait();
    }
    ASSERT_TRUE(compile->running()) << "no compile was seen writing";
    ::kill(compile->pid(), signal);
    EXPECT_EQ(compile->wait(), expected) << compile->output();
    EXPECT_EQ(temporaries_in(folder.path()), std::vector<std::string>{});
  }
}

// Names from files and arguments reach the terminal escaped; names too long for a temporary and
// an empty --out are refused before anything is done.
TEST(Names, ControlCharactersEscapedLongNamesAndEmptyOutRefused) {
  ScratchFolder folder("names");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* expected;
  };
  const std::string long_route(240, 'r');
  const std::vector<Case> cases = {
      {{"compile", "red\x1b[31m.txt", "t.txt"}, 2, "red\\x1b[31m.txt"},
      {{"check", "a\nb_linea.txt",
        "c\x9b"
        "d.txt"},
       4,
       "a\\x0ab_linea.txt"},
      {{"compile", "l.txt", "t.txt", "--route", long_route, "--train", "1"}, 2, "too long"},
      {{"compile", "l.txt", "t.txt", "--out", ""}, 2, "--out"},
      {{"run", "--out", ""}, 2, "--out"},
      {{"texts", "--out", ""}, 2, "--out"},
      {{"render", "--out", ""}, 2, "--out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const auto [status, output] = run(folder.path(), c.args);
    EXPECT_EQ(status, c.status) << output;
    EXPECT_TRUE(one_line(output)) << output;
    EXPECT_NE(output.find(c.expected), std::string::npos) << output;
    EXPECT_EQ(output.find('\x1b'), std::string::npos) << output;
    EXPECT_EQ(folder.names(), std::vector<std::string>{});
  }
}

// With --json the report is printed also when the writing then failed.
TEST(JsonReport, PrintedWhenAWriteFails) {
  ScratchFolder folder("json");
  ASSERT_EQ(run(folder.path(), {"texts"}).first, 0);
  fs::create_directory(folder.at("Veltrano_Quarnelo_58316.dat"));
  const auto [status, output] = run(folder.path(), {"compile", "Veltrano_Quarnelo_linea.txt",
                                                    "Veltrano_Quarnelo_58316-.txt", "--json"});
  EXPECT_EQ(status, 4);
  EXPECT_NE(output.find("\"files_written\": []"), std::string::npos) << output;
  EXPECT_NE(output.find("cannot write"), std::string::npos) << output;
  EXPECT_FALSE(folder.exists("Veltrano_Quarnelo_linea.dat")) << "the set is replaced together";
}

}  // namespace
}  // namespace scengen
#endif
