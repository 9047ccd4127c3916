// scengen watch: compiles as compile does, then again on every save of either text, and shows
// the pictures and diagnostics on a page that follows the saves.
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/compile_command.h"
#include "cli/diagnostics.h"
#include "cli/report_options.h"
#include "compiler/compile.h"
#include "compiler/error_codes.h"
#include "render/scenario_pictures.h"
#include "run/binary_files.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "watch/page_server.h"
#include "watch/stop_signals.h"
#include "watch/watch_loop.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace scengen {
namespace {

constexpr const char* kWatchFooter =
    R"(Compiles the two texts as 'compile' does (the same files, names, diagnostics and folder
lock), then waits: every time either text is saved it compiles again, writes the three binary
files again and prints the diagnostics afresh. On a terminal the screen is redrawn; elsewhere the
lines follow one another. A save is seen at once, however the editor saves: in place, as a new
file renamed over the old one, or by deleting the text and writing it again (the watch follows the
name). Where the file system reports nothing, the texts are looked at twice a second.

Unless --no-serve is given, a page on this computer only (127.0.0.1) shows the route map, the
route profile and the diagnostics, and follows each save without a reload, keeping its scroll and
zoom; after a failed compile it keeps the last good pictures, marked stale. --port chooses its
port (0, the default: any free one); the page's address is printed at the start.

Ctrl-C, SIGTERM or closing the terminal ends the watch once the files being written are complete:
no temporary file and no lock file stays.

Exit status: 2 the command line or a route or train name is wrong; 4 the folder of --out cannot
be made or the port cannot be listened on (in use); 130, 143, 129 ended by Ctrl-C, SIGTERM or the
terminal's end. A failed compile does not end the watch.

Examples:
  scengen watch Veltrano_Quarnelo_linea.txt Veltrano_Quarnelo_58316-.txt
  scengen watch line.txt train.txt --route Ponte_Alto --train 2101 --out build
  scengen watch Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --port 8080
  scengen watch Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --no-serve --encoding utf-8)";

struct WatchOptions {
  std::string line_text;
  std::string train_text;
  std::optional<std::string> out;  // default: the current folder
  std::optional<std::string> route;
  std::optional<std::string> train;
  int port = 0;           // 0: any free port
  bool no_serve = false;  // no page: the files and the diagnostics only
  std::string encoding = "windows-1252";
  size_t max_warnings = 50;
};

// What every compile of one watch needs.
struct WatchSession {
  const WatchOptions& options;
  Identity id;
  std::filesystem::path folder;  // empty: the current one
  Console& console;
  PageServer* server = nullptr;
  std::string heading;  // the page's address, shown again atop a redrawn screen
  bool terminal = false;
};

// Reads and compiles the texts as compile does and writes the three files under the folder's
// lock, printing what compile prints on `console.err`; true when the compile recorded no error.
bool compile_and_write(const WatchSession& s, Compilation& c, Console& console) {
  auto texts =
      read_author_texts(system_files(), s.options.line_text, s.options.train_text, console);
  if (!texts) return false;
  if (const auto failure = decode_author_texts(*texts, s.options.encoding)) {
    report_encoding_failure(*failure, *texts, /*json=*/false, "no binary file was written",
                            console);
    return false;
  }
  print_encodings(*texts, console.err);
  c.RouteId = s.id.route;
  c.TrainNumber = s.id.train;
  c.CollectWarnings = true;
  c.MaxWarnings = s.options.max_warnings;
  CompileReport report = make_report(c, compile_author_texts(c, *texts, 1));
  if (!report.stopped) {
    try {
      const auto lock = lock_output_folder(s.folder, console.err);
      write_binary_files(system_files(), s.folder, c, report.files_written);
    } catch (const FileError& error) {
      print_diagnostics(report, *texts, console.err);
      report_write_failure(error, console);
      return false;
    }
  }
  print_diagnostics(report, *texts, console.err);
  if (report.stopped) {
    console.err << "scengen: no binary file was written\n";
  } else {
    report_files_written(s.folder, report.files_written.size(), console, /*quiet=*/false);
  }
  return !report.failed();
}

// The page's one line on the compile.
std::string outcome_line(const Compilation& c, bool good, const std::string& diagnostics) {
  if (good) return "Compiled without errors.";
  if (c.StatusCode == 0 || diagnostics.empty()) return "Not compiled: see below.";
  return "Compiled with " + describe_error(c.StatusCode, c.StatusPosition) + ".";
}

// One compile after a save: the files, the diagnostics on the console and the page's update.
void rebuild(const WatchSession& s) {
  std::ostringstream shown;
  Console capture{s.console.out, shown};
  Compilation c;
  const bool good = compile_and_write(s, c, capture);
  PageState page;
  page.diagnostics = shown.str();
  page.outcome = outcome_line(c, good, page.diagnostics);
  page.stale = !good;
  if (good && s.server != nullptr) {
    ScenarioPictures pictures = draw_scenario(c, page.outcome, {});
    page.map = std::move(pictures.map);
    page.profile = std::move(pictures.profile);
  }
  // The cursor home and the screen cleared, so each compile is read from the top.
  if (s.terminal) s.console.err << "\x1b[H\x1b[2J" << s.heading;
  s.console.err << page.diagnostics << "scengen watch: waiting for a save (Ctrl-C ends)"
                << std::endl;
  if (s.server != nullptr) s.server->publish(std::move(page));
}

bool on_terminal() {
#ifdef _WIN32
  return false;  // plain lines: a console shows no escapes unless asked to
#else
  return ::isatty(STDERR_FILENO) == 1;
#endif
}

int watch_texts(const WatchOptions& o, Console& console) {
  CompileOptions as_compile;
  as_compile.line_text = o.line_text;
  as_compile.train_text = o.train_text;
  as_compile.out = o.out;
  as_compile.route = o.route;
  as_compile.train = o.train;
  const auto id = scenario_identity(as_compile, "watch", console);
  if (!id) return kExitUsage;
  WatchSession s{.options = o,
                 .id = *id,
                 .folder = o.out ? argument_path(*o.out) : std::filesystem::path(),
                 .console = console,
                 .server = nullptr,
                 .heading = {},
                 .terminal = on_terminal()};
  if (!make_output_folder(s.folder, console, /*quiet=*/false)) return kExitFileFailed;
  WakeUp wake;
  StopSignals signals(wake);
  std::unique_ptr<PageServer> server;
  if (!o.no_serve) {
    server = std::make_unique<PageServer>(printable_text(id->route + "_" + id->train));
    std::string error;
    const std::optional<int> port = server->start(o.port, error);
    if (!port) {
      console.err << "scengen watch: cannot serve the page on 127.0.0.1:" << o.port << ": " << error
                  << '\n';
      return kExitFileFailed;
    }
    s.server = server.get();
    s.heading = "scengen watch: the page is at http://127.0.0.1:" + std::to_string(*port) + "/\n";
    console.err << s.heading << std::flush;
  }
  watch_files(
      {argument_path(o.line_text), argument_path(o.train_text)}, wake,
      [] { return StopSignals::received() != 0; }, [&s] { rebuild(s); });
  if (server) server->stop();
  end_as_signalled(StopSignals::received());
}

}  // namespace

void add_watch_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] =
      add_command(app, context,
                  {"watch", "Compile again on every save, with a page that follows.", kWatchFooter},
                  watch_texts);
  add_text_arguments(*command, o->line_text, o->train_text, /*required=*/true);
  add_out_option(*command, o->out, "the current one");
  add_identity_options(*command, o->route, o->train);
  command->add_option("--port", o->port, "The page's port on 127.0.0.1 (0: any free port)")
      ->check(CLI::Range(0, 65535))
      ->type_name("N");
  command->add_flag("--no-serve", o->no_serve, "Serve no page: the files and diagnostics only");
  add_encoding_option(*command, o->encoding);
  add_warning_options(*command, o->max_warnings, /*strict=*/nullptr);
}

}  // namespace scengen
