// The watch as a person runs it: the program in the background, its texts edited as editors save
// them, its files and its page looked at, and its end by a signal.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <regex>
#include <thread>

#include "testing/check_fixture.h"
#include "testing/scengen_process.h"
#include "watch/page_server.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::crlf_text;

constexpr char kLineText[] = "Ponte_Alto_linea.txt";
constexpr char kTrainText[] = "Ponte_Alto_2101-.txt";
const std::vector<std::string> kCompiledFiles = {"Ponte_Alto_2101.dat", "Ponte_Alto_2101.sim",
                                                 "Ponte_Alto_linea.dat"};

// `scengen watch` running in a folder, its standard error in a file there.
class WatchProcess {
 public:
  WatchProcess(const fs::path& folder, const std::vector<std::string>& args)
      : err_path_(folder / ".watch-err") {
    // An earlier run's lines must not pass for this one's.
    fs::remove(err_path_);
    pid_ = fork();
    if (pid_ == 0) {
      // As at a terminal, whatever the test runner ignores.
      for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) signal(signal_number, SIG_DFL);
      if (chdir(folder.c_str()) != 0) _exit(120);
      const int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err, STDERR_FILENO);
      std::vector<std::string> all = {SCENGEN_BINARY, "watch"};
      all.insert(all.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (auto& arg : all) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(SCENGEN_BINARY, argv.data());
      _exit(121);
    }
  }
  ~WatchProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  std::string err() const { return testing::read_file(err_path_); }

  /// Waits until standard error has said `text` `times` times; false after 20 s.
  bool wait_for(const std::string& text, size_t times = 1) const {
    for (int i = 0; i < 2000; ++i) {
      const std::string all = err();
      size_t count = 0;
      for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) {
        ++count;
      }
      if (count >= times) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  /// The page's port from its first line.
  int port() const {
    std::smatch match;
    const std::string all = err();
    if (!std::regex_search(all, match, std::regex("http://127\\.0\\.0\\.1:([0-9]+)/"))) return 0;
    return std::stoi(match[1]);
  }

  /// Sends `signal_number`, then the status a shell would show for its end.
  int end_with(int signal_number) {
    kill(pid_, signal_number);
    return wait_status();
  }

  /// The status a shell would show; -1 when it has not ended within 20 s (the destructor then
  /// kills it).
  int wait_status() {
    int raw = 0;
    pid_t ended = 0;
    for (int i = 0; i < 2000 && ended == 0; ++i) {
      ended = waitpid(pid_, &raw, WNOHANG);
      if (ended == 0) std::this_thread::sleep_for(10ms);
    }
    if (ended != pid_) return -1;
    pid_ = -1;
    return WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : WEXITSTATUS(raw);
  }

 private:
  fs::path err_path_;
  pid_t pid_ = -1;
};

enum class Save { InPlace, RenamedOver, DeletedAndWritten };

void save(const fs::path& path, const std::string& bytes, Save how) {
  if (how == Save::RenamedOver) {
    const fs::path temporary = path.parent_path() / (path.filename().string() + "~");
    testing::write_file(temporary, bytes);
    fs::rename(temporary, path);
    return;
  }
  if (how == Save::DeletedAndWritten) {
    fs::remove(path);
    std::this_thread::sleep_for(100ms);
  }
  testing::write_file(path, bytes);
}

nlohmann::json page_state(int port) {
  httplib::Client client("127.0.0.1", port);
  const auto result = client.Get("/state");
  return result ? nlohmann::json::parse(result->body) : nlohmann::json();
}

// Waits until the page has shown `generation` compiles.
nlohmann::json page_after(int port, int generation) {
  nlohmann::json state;
  for (int i = 0; i < 2000; ++i) {
    state = page_state(port);
    if (!state.is_null() && state["generation"].get<int>() >= generation) break;
    std::this_thread::sleep_for(10ms);
  }
  return state;
}

class WatchCommand : public testing::ScengenFolder {
 protected:
  void SetUp() override {
    write(kLineText, crlf_text(testing::kCheckLine));
    write(kTrainText, crlf_text(testing::kCheckTrain));
  }

  // What compile writes for the texts now in the folder.
  std::vector<std::string> compiled_now() {
    EXPECT_EQ(scengen({"compile", kLineText, kTrainText, "--out", "expected", "--quiet"}).status,
              0);
    std::vector<std::string> files;
    for (const auto& name : kCompiledFiles) files.push_back(read("expected/" + name));
    return files;
  }

  std::vector<std::string> watched_files() {
    std::vector<std::string> files;
    for (const auto& name : kCompiledFiles) files.push_back(read("out/" + name));
    return files;
  }

  // Waits up to 20 s for the watch's files to be `expected` (a save may take two compiles when
  // its writes come apart).
  bool files_become(const std::vector<std::string>& expected) {
    for (int i = 0; i < 2000; ++i) {
      if (watched_files() == expected) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }
};

class WatchSaves : public WatchCommand, public ::testing::WithParamInterface<Save> {};

TEST_P(WatchSaves, EachSaveWritesTheFilesAgainAndThePageFollows) {
  WatchProcess watch(folder(), {kLineText, kTrainText, "--out", "out"});
  ASSERT_TRUE(watch.wait_for("waiting for a save")) << watch.err();
  const int port = watch.port();
  ASSERT_NE(port, 0) << watch.err();
  EXPECT_EQ(watched_files(), compiled_now());
  EXPECT_EQ(page_after(port, 1)["outcome"], "Compiled without errors.");

  // A board's text changed: new bytes in the compiled track.
  auto line = testing::kCheckLine;
  line[8] = "cartello_indicatore, 2500, (P.B.X.)";
  save(at(kLineText), crlf_text(line), GetParam());
  EXPECT_TRUE(files_become(compiled_now())) << watch.err();

  // The train text too; then a mistake, which the page shows over the last good pictures.
  auto train = testing::kCheckTrain;
  train[4] = "segnale, 2200, 2, 2,3,1, 1, 2, 2,1,1, 0";
  save(at(kTrainText), crlf_text(train), GetParam());
  EXPECT_TRUE(files_become(compiled_now())) << watch.err();
  // The page hears of a compile once its pictures are drawn, after the files.
  page_after(port, 3);
  const std::string good_map = httplib::Client("127.0.0.1", port).Get("/map.svg")->body;
  EXPECT_NE(good_map.find("<svg"), std::string::npos);

  line[6] = "pendenza, 99000, 3";
  save(at(kLineText), crlf_text(line), GetParam());
  const nlohmann::json failed = page_after(port, 4);
  EXPECT_EQ(failed["outcome"],
            "Compiled with error 15: a position lies beyond the track (at 99000 m).");
  EXPECT_TRUE(failed["stale"].get<bool>());
  EXPECT_EQ(failed["diagnostics"],
            "Ponte_Alto_linea.txt:7:1: error 15: a position lies beyond the track (at 99000 m) "
            "(scengen explain 15)\n"
            "  pendenza, 99000, 3\n"
            "  ^\n"
            "  note: the compile stops reading the line text here; the lines below are not "
            "compiled\n"
            "scengen: wrote 3 files to 'out/'\n");
  EXPECT_EQ(httplib::Client("127.0.0.1", port).Get("/map.svg")->body, good_map);
  EXPECT_EQ(watch.end_with(SIGINT), 130);
}

INSTANTIATE_TEST_SUITE_P(EditorSaves, WatchSaves,
                         ::testing::Values(Save::InPlace, Save::RenamedOver,
                                           Save::DeletedAndWritten));

TEST_F(WatchCommand, ASignalEndsItWithItsStatusAndNothingLeftBehind) {
  struct Case {
    int signal_number;
    int status;
    std::vector<std::string> options;
  };
  const Case cases[] = {{SIGINT, 130, {}}, {SIGTERM, 143, {}}, {SIGHUP, 129, {"--no-serve"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signal_number);
    fs::remove_all(at("out"));
    std::vector<std::string> args = {kLineText, kTrainText, "--out", "out"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    WatchProcess watch(folder(), args);
    ASSERT_TRUE(watch.wait_for("waiting for a save")) << watch.err();
    // The signal comes while a compile caused by a save may be writing.
    save(at(kLineText), crlf_text(testing::kCheckLine) + "\r\n", Save::InPlace);
    std::this_thread::sleep_for(35ms);
    EXPECT_EQ(watch.end_with(c.signal_number), c.status) << watch.err();
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(at("out"))) {
      left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, kCompiledFiles);
  }
}

TEST_F(WatchCommand, APortInUseEndsItAtTheStart) {
  PageServer holder("holder");
  std::string error;
  const auto port = holder.start(0, error);
  ASSERT_TRUE(port) << error;
  const auto result = scengen({"watch", kLineText, kTrainText, "--port", std::to_string(*port)});
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.err_lines(),
            std::vector<std::string>{"scengen watch: cannot serve the page on 127.0.0.1:" +
                                     std::to_string(*port) + ": Address already in use"});
  EXPECT_FALSE(exists("Ponte_Alto_2101.dat"));
}

// Headless Chromium driven through its debugging pipe (descriptors 3 and 4, messages ended by a
// NUL): it opens the page as a person's browser would, and the test reads what it shows.
class Browser {
 public:
  explicit Browser(const fs::path& profile) {
    int to_browser[2], from_browser[2];
    if (pipe(to_browser) != 0 || pipe(from_browser) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(to_browser[0], 3);
      dup2(from_browser[1], 4);
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, STDOUT_FILENO);
      dup2(quiet, STDERR_FILENO);
      const std::string data = "--user-data-dir=" + profile.string();
      execlp("chromium", "chromium", "--headless", "--no-sandbox", "--disable-gpu",
             "--disable-quic", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--remote-debugging-pipe",
             data.c_str(), "about:blank", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(to_browser[0]);
    close(from_browser[1]);
    write_fd_ = to_browser[1];
    read_fd_ = from_browser[0];
  }
  ~Browser() {
    close(write_fd_);
    close(read_fd_);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  /// Opens `url` in a new tab and keeps to it.
  void open_page(const std::string& url) {
    const auto target = call("Target.createTarget", {{"url", url}});
    const auto attached =
        call("Target.attachToTarget", {{"targetId", target["targetId"]}, {"flatten", true}});
    session_ = attached.value("sessionId", "");
  }

  /// The value of a JavaScript expression in the page.
  nlohmann::json evaluate(const std::string& expression) {
    const auto result =
        call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, session_);
    return result.contains("result") ? result["result"].value("value", nlohmann::json())
                                     : nlohmann::json();
  }

  /// Waits up to 30 s for `expression` to be true in the page.
  bool wait_until(const std::string& expression) {
    for (int i = 0; i < 300; ++i) {
      if (evaluate(expression) == true) return true;
      std::this_thread::sleep_for(100ms);
    }
    return false;
  }

 private:
  nlohmann::json call(const std::string& method, const nlohmann::json& params,
                      const std::string& session = "") {
    nlohmann::json message = {{"id", ++id_}, {"method", method}, {"params", params}};
    if (!session.empty()) message["sessionId"] = session;
    const std::string bytes = message.dump() + '\0';
    if (write(write_fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      return {};
    }
    // Events come between the answers: skipped.
    for (;;) {
      const size_t end = pending_.find('\0');
      if (end == std::string::npos) {
        char chunk[65536];
        const ssize_t length = read(read_fd_, chunk, sizeof chunk);
        if (length <= 0) return {};
        pending_.append(chunk, static_cast<size_t>(length));
        continue;
      }
      const auto answer = nlohmann::json::parse(pending_.substr(0, end), nullptr, false);
      pending_.erase(0, end + 1);
      if (answer.is_object() && answer.value("id", 0) == id_)
        return answer.value("result", nlohmann::json());
    }
  }

  pid_t pid_ = -1;
  int write_fd_ = -1;
  int read_fd_ = -1;
  int id_ = 0;
  std::string pending_;
  std::string session_;
};

TEST_F(WatchCommand, APageInABrowserFollowsEachSaveWithoutAReload) {
  WatchProcess watch(folder(), {kLineText, kTrainText, "--out", "out"});
  ASSERT_TRUE(watch.wait_for("waiting for a save")) << watch.err();
  Browser browser(at("browser-profile"));
  browser.open_page("http://127.0.0.1:" + std::to_string(watch.port()) + "/");
  ASSERT_TRUE(
      browser.wait_until("document.body.dataset.generation === '1' && "
                         "document.querySelector('#profile svg') !== null"));
  // A mark that a reload would lose, the zoom changed, the profile scrolled along.
  browser.evaluate(
      "window.notReloaded = true;"
      "document.getElementById('zoom-in').click(); document.getElementById('zoom-in').click();"
      "document.getElementById('profile').scrollLeft = 150;");
  const auto place =
      "document.getElementById('zoom').textContent + ' ' + "
      "document.getElementById('profile').scrollLeft";
  const nlohmann::json kept = browser.evaluate(place);
  EXPECT_EQ(kept, "156% 150");

  auto line = testing::kCheckLine;
  line[6] = "pendenza, 99000, 3";
  save(at(kLineText), crlf_text(line), Save::RenamedOver);
  ASSERT_TRUE(browser.wait_until("document.body.dataset.generation === '2'"));
  EXPECT_EQ(browser.evaluate("document.getElementById('outcome').textContent"),
            "Compiled with error 15: a position lies beyond the track (at 99000 m).");
  EXPECT_EQ(browser.evaluate("document.body.classList.contains('stale')"), true);
  EXPECT_EQ(browser.evaluate("document.getElementById('diagnostics').textContent.split('\\n')[0]"),
            "Ponte_Alto_linea.txt:7:1: error 15: a position lies beyond the track (at 99000 m) "
            "(scengen explain 15)");
  EXPECT_EQ(browser.evaluate("document.querySelector('#profile svg').outerHTML.includes('P.B.A.')"),
            true);

  line = testing::kCheckLine;
  line[8] = "cartello_indicatore, 2500, (P.B.X.)";
  save(at(kLineText), crlf_text(line), Save::InPlace);
  ASSERT_TRUE(browser.wait_until("document.body.dataset.generation === '3'"));
  EXPECT_EQ(browser.evaluate("document.querySelector('#profile svg').outerHTML.includes('P.B.X.')"),
            true);
  EXPECT_EQ(browser.evaluate("document.body.classList.contains('stale')"), false);
  EXPECT_EQ(browser.evaluate("window.notReloaded === true"), true);
  EXPECT_EQ(browser.evaluate(place), kept);
  EXPECT_EQ(watch.end_with(SIGTERM), 143);
}

}  // namespace
}  // namespace scengen
#endif
