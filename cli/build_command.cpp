// scengen build: every scenario of a folder tree compiled into one output folder, each file
// exactly as 'compile' writes it, and only what changed since the last build there.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>
#include <sstream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/diagnostics.h"
#include "cli/report_options.h"
#include "compiler/error_codes.h"
#include "compiler/output_files.h"
#include "platform/temporary_files.h"
#include "render/route_view.h"
#include "render/scenario_pictures.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"
#include "scenario/scenario_model.h"
#include "scenario_set/build_progress.h"
#include "scenario_set/index_page.h"
#include "scenario_set/program_identity.h"
#include "scenario_set/scenario_set.h"
#include "scenario_set/set_build.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace scengen {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBuildFooter =
    R"(Finds in SRC and its subfolders every line text ROUTE_linea.txt and, beside it, the train
texts of its route ROUTE_TRAIN-.txt, and compiles every pair into OUT under the names 'compile'
gives them: ROUTE_TRAIN.sim and ROUTE_TRAIN.dat for each train, and the route plan
ROUTE_linea.dat once for its route (the plan comes from the line text alone). Each file is byte
for byte what 'compile' writes for that pair. The texts are only read.

OUT keeps a manifest (.scengen-build) of what each scenario was compiled from: the hashes of its
texts and crew documents and the program's version and build. A scenario whose inputs and
program are unchanged and whose files are still those written is skipped; a file removed or
edited in OUT is noticed and written again. --force compiles every scenario. The manifest is
brought up to date after each scenario, so a build stopped at any moment leaves OUT consistent
with it: the next build does again what was not finished.

-j N compiles N scenarios at once (default: one per core); the files do not depend on N. A
failing scenario does not stop the build. On a terminal a progress bar shows the scenarios done,
the one at hand and the time left; elsewhere one line is printed per scenario compiled. The
errors of each compile are shown as by 'check' (run 'check' on a pair to see its warnings); the
last lines count the scenarios built, skipped, with warnings and with errors, and name each
scenario whose error stands (also one skipped, whose error the last build found). --json prints
one object instead: a 'scenarios' array (route, train, status, code, warnings, files) with the
counts and the mistakes of the set.

Mistakes of the set are told before the build and their scenarios left out: a train text with no
line text of its route beside it, a route with line texts in two folders, names whose files would
differ only in letter case (one file on Windows), a route or train that cannot name a file. OUT
may not lie inside SRC.

--pictures also draws each scenario as 'render' does, ROUTE_TRAIN_map.svg (named for the train:
the map shows its stations), ROUTE_TRAIN_profile.svg and the page ROUTE_TRAIN.html, with the
crew documents found beside the train text, and writes index.html: a table of every route and
train with its length, stations, status and links.

Exit status: 0 every scenario compiled without error; 1 a scenario recorded an error (or stopped
before its files), or the set has a mistake; 2 the command line is wrong, or OUT lies inside SRC;
4 a file could not be read or written (the other scenarios are built all the same).

Examples:
  scengen build scenarios --out compiled
  scengen build scenarios --out compiled -j 2 --pictures
  scengen build scenarios --out compiled --json > report.json
  scengen build scenarios --out compiled --force)";

struct BuildOptions {
  std::string source;
  std::string out;
  unsigned jobs = 0;  // 0: one per core
  bool json = false;
  bool pictures = false;
  bool force = false;
};

std::string utf8_of(const fs::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

// One scenario of the set as this build meets it.
struct Scenario {
  const SetRoute* route = nullptr;
  const SetScenario* set = nullptr;
  std::string route_bytes;  // Windows-1252, as the compile holds them
  std::string train_bytes;
  std::optional<ScenarioRecord> last;  // the last build's record, when still good
  bool build = false;
};

// What became of a scenario in this build.
struct ScenarioResult {
  std::string status = "skipped";  // "built", "stopped" (no binary file), "file error"
  int32_t code = 0;
  int32_t position = 0;
  uint64_t warnings = 0;
  std::vector<std::string> files;
  std::string failure;  // the one line for a file that could not be read or written
};

std::string scenario_name(const Scenario& s) {
  return s.route->route + " " + s.set->train;
}

// The route and the train in Windows-1252, checked as 'compile' checks them; a mistake if not.
bool scenario_identity(Scenario& s, std::vector<std::string>& mistakes) {
  const std::string shown =
      "route '" + printable_text(s.route->route) + "' train '" + printable_text(s.set->train) + "'";
  for (const std::string* name : {&s.route->route, &s.set->train}) {
    if (!names_a_file(*name)) {
      mistakes.push_back(shown + ": '" + printable_text(*name) + "' cannot be part of a file name");
      return false;
    }
  }
  for (const std::string& name : scenario_output_names(s.route->route, s.set->train)) {
    if (fits_temporary_name(name)) continue;
    mistakes.push_back(shown + ": the file name '" + printable_text(name) + "' is too long");
    return false;
  }
  const CompiledName route = windows_1252_name(s.route->route);
  const CompiledName train = windows_1252_name(s.set->train);
  if (!route.bytes || !train.bytes) {
    mistakes.push_back(shown + ": the character " +
                       (route.bytes ? train.missing_character : route.missing_character) +
                       " has no byte in Windows-1252, the code page of the scenario");
    return false;
  }
  s.route_bytes = *route.bytes;
  s.train_bytes = *train.bytes;
  return true;
}

// The bytes of a file read now, or nothing when it cannot be read.
std::optional<std::string> read_text(const fs::path& path) {
  FileRead read = system_files().read_whole_capped(path, kMaxTextBytes);
  if (read.status != ReadStatus::Ok) return std::nullopt;
  return std::move(read.bytes);
}

// The crew documents beside the train text, as the page shows them.
std::vector<PageDocument> crew_documents(const Scenario& s) {
  std::vector<PageDocument> documents;
  for (const CrewDocument& d : kCrewDocuments) {
    const std::string name = crew_document_file_name(s.route->route, s.set->train, d);
    if (auto bytes = read_text(s.set->train_text.parent_path() / utf8_path(name)))
      documents.push_back({d.heading, name, std::move(*bytes)});
  }
  return documents;
}

uint64_t documents_hash(const std::vector<PageDocument>& documents) {
  std::string all;
  for (const PageDocument& d : documents)
    all += d.file_name + '\n' + std::to_string(content_hash(d.bytes)) + '\n';
  return content_hash(all);
}

// The last build's record, when it still holds for the scenario: the same inputs (nothing that
// cannot be read), pictures when they are asked for, and every file as it was left.
std::optional<ScenarioRecord> holding_record(const Scenario& s, const ScenarioRecord& last,
                                             std::optional<uint64_t> line_hash,
                                             const BuildOptions& o, const fs::path& out) {
  if (!line_hash || *line_hash != last.line_hash || (o.pictures && !last.pictures)) return {};
  const auto train = read_text(s.set->train_text);
  if (!train || content_hash(*train) != last.train_hash) return {};
  if (documents_hash(crew_documents(s)) != last.documents_hash) return {};
  ScenarioRecord record = last;
  for (FileStamp& file : record.files) {
    if (!file_is_as_stamped(out, file)) return {};
  }
  return record;
}

// The last build's manifest, when it is there, readable and of this very program.
Manifest last_manifest(const fs::path& out, const std::string& program) {
  const FileRead read = system_files().read_whole(join_output_path(out, kManifestName));
  std::optional<Manifest> last;
  if (read.status == ReadStatus::Ok) last = parse_manifest(read.bytes);
  if (!last || last->program != program) return Manifest{program, {}, {}};
  return *last;
}

// Decides for each scenario whether it is built; returns the routes whose plan is due.
std::set<std::string> plan_the_build(std::vector<Scenario>& scenarios, const Manifest& last,
                                     const BuildOptions& o, const fs::path& out) {
  std::map<const SetRoute*, std::optional<uint64_t>> line_hashes;
  std::map<std::pair<std::string, std::string>, const ScenarioRecord*> records;
  for (const ScenarioRecord& r : last.scenarios) records[{r.route, r.train}] = &r;
  for (Scenario& s : scenarios) {
    auto [at, fresh] = line_hashes.try_emplace(s.route);
    if (fresh) {
      if (auto line = read_text(s.route->line_text)) at->second = content_hash(*line);
    }
    const auto record = records.find({s.route->route, s.set->train});
    if (!o.force && record != records.end())
      s.last = holding_record(s, *record->second, at->second, o, out);
    s.build = !s.last;
  }
  std::set<std::string> due;
  for (const auto& [route, line_hash] : line_hashes) {
    const std::string& name = route->route;  // a lambda may not capture a structured binding
    const auto r = std::find_if(last.routes.begin(), last.routes.end(),
                                [&](const RouteRecord& x) { return x.route == name; });
    FileStamp plan = r != last.routes.end() ? r->plan : FileStamp{};
    if (r == last.routes.end() || !line_hash || r->line_hash != *line_hash ||
        !file_is_as_stamped(out, plan))
      due.insert(route->route);
  }
  // A plan due beside scenarios that are all done: the first with files writes it again.
  for (const std::string& route : due) {
    bool building = false;
    Scenario* first_with_files = nullptr;
    for (Scenario& s : scenarios) {
      if (s.route->route != route) continue;
      building = building || s.build;
      if (!first_with_files && s.last && !s.last->stopped) first_with_files = &s;
    }
    if (!building && first_with_files) first_with_files->build = true;
  }
  return due;
}

// What the threads of one build share.
struct BuildContext {
  const BuildOptions& options;
  fs::path out;
  BuildLedger& ledger;
  BuildProgress& progress;
  std::atomic<size_t> written{0};
  size_t stop_after = 0;  // tests: end the process dead after this many scenarios wrote files
};

// A file of the scenario's set: its name on the file system and its bytes.
struct OutputFile {
  fs::path path;
  std::string bytes;
};

// The compile in words for the page, and the banner of the pictures of a failed compile, as
// 'render' draws them.
ScenarioPictures pictures_of(const Compilation& c, const CompileReport& report,
                             const std::vector<PageDocument>& documents) {
  const int32_t code = report.status_code;
  std::string banner;
  if (code != 0) {
    banner = "compile error " + std::to_string(code);
    const ErrorCodeInfo* info = find_error_code(code);
    if (info != nullptr && info->has_position) {
      banner += " at " + std::to_string(report.status_position) + " m";
    }
  }
  const std::string words = code == 0 ? "Compiled without errors."
                                      : "Compiled with " + describe_error(code, c.StatusPosition) +
                                            "; the pictures show the model as far as it was built.";
  return draw_scenario(c, words, documents, std::nullopt, banner);
}

// The files of one scenario, in the order 'compile' writes them, then its pictures. Throws
// FileError for a scenario table that cannot be encoded, as 'compile' refuses it.
std::vector<OutputFile> scenario_files(const Compilation& c, const CompileReport& report,
                                       bool with_plan, const std::vector<PageDocument>* documents,
                                       const fs::path& out) {
  std::vector<OutputFile> files;
  if (!report.stopped) {
    if (with_plan)
      files.push_back(
          {scenario_file_path(out, route_plan_file_name(c)), encode_route_plan(c.TrackPlan)});
    const auto table_path = scenario_file_path(out, scenario_table_file_name(c));
    auto table = encode_scenario_table(c.ScenarioTable);
    if (!table) throw FileError(table_path, "a scenario table text is longer than 65535 bytes");
    files.push_back({table_path, std::move(*table)});
    files.push_back(
        {scenario_file_path(out, track_file_name(c)), encode_track_cells(c.TrackCells)});
  }
  if (documents != nullptr && c.has_track()) {
    ScenarioPictures drawn = pictures_of(c, report, *documents);
    const std::string stem = c.RouteId + "_" + c.TrainNumber;
    files.push_back({scenario_file_path(out, stem + "_map.svg"), std::move(drawn.map)});
    files.push_back(
        {scenario_file_path(out, route_profile_file_name(c)), std::move(drawn.profile)});
    files.push_back({scenario_file_path(out, html_page_file_name(c)), std::move(drawn.page)});
  }
  return files;
}

// Writes the files as one set and stamps them; the plan's stamp goes to `plan`.
std::vector<FileStamp> write_scenario_files(const std::vector<OutputFile>& files, bool with_plan,
                                            BuildContext& b, std::optional<FileStamp>& plan) {
  std::vector<Replacement> set;
  for (const OutputFile& f : files) set.push_back({f.path, f.bytes, 0, {}});
  if (!set.empty()) system_files().write_replacing_set(set, {});
  std::vector<FileStamp> stamps;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string name = utf8_of(files[i].path.filename());
    auto stamp = stamp_file(b.out, name, content_hash(files[i].bytes));
    if (!stamp) throw FileError(files[i].path, "the file written cannot be found again");
    if (with_plan && i == 0) {
      plan = std::move(stamp);
    } else {
      stamps.push_back(std::move(*stamp));
    }
  }
  if (b.stop_after != 0 && ++b.written == b.stop_after) std::_Exit(137);
  return stamps;
}

// The errors of a compile as 'check' shows them; its warnings are only counted.
std::string error_lines(const CompileReport& report, const AuthorTexts& texts) {
  CompileReport errors = report;
  errors.warnings.clear();
  errors.warnings_left_out = 0;
  std::ostringstream lines;
  print_diagnostics(errors, texts, lines);
  return lines.str();
}

std::string outcome_words(const ScenarioResult& r) {
  if (r.status == "file error") return "not written";
  std::string words = r.code != 0             ? describe_error(r.code, r.position)
                      : r.status == "stopped" ? "no track compiled"
                                              : "built";
  if (r.status == "stopped") words += "; no binary file";
  if (r.warnings > 0) words += ", " + std::to_string(r.warnings) + " warnings";
  return words;
}

// The record of a compile, before its files are stamped.
ScenarioRecord record_of(const Scenario& s, const AuthorTexts& texts, uint64_t documents,
                         const Compilation& c, const ScenarioResult& result, bool pictures) {
  ScenarioRecord record;
  record.route = s.route->route;
  record.train = s.set->train;
  record.line_hash = content_hash(texts.line);
  record.train_hash = content_hash(texts.train);
  record.documents_hash = documents;
  record.code = result.code;
  record.position = result.position;
  record.stopped = result.status == "stopped";
  record.warnings = result.warnings;
  record.pictures = pictures;
  if (pictures && c.has_track()) {
    const RouteView view = view_route(read_scenario(c));
    record.length = view.route_length;
    record.stations = static_cast<int32_t>(view.stations.size());
  }
  return record;
}

// Writes the compiled scenario's files and records them; says why on `result` when it cannot.
void write_and_record(const Scenario& s, const Compilation& c, const CompileReport& report,
                      const std::vector<PageDocument>& documents, ScenarioRecord& record,
                      ScenarioResult& result, BuildContext& b) {
  const bool with_plan = !report.stopped && b.ledger.claim_plan(s.route->route);
  try {
    const auto files =
        scenario_files(c, report, with_plan, b.options.pictures ? &documents : nullptr, b.out);
    std::optional<FileStamp> plan;
    record.files = write_scenario_files(files, with_plan, b, plan);
    for (const OutputFile& f : files) result.files.push_back(utf8_of(f.path.filename()));
    std::optional<RouteRecord> route;
    if (plan) route = RouteRecord{s.route->route, record.line_hash, *plan};
    b.ledger.record(record, route);
  } catch (const FileError& error) {
    if (with_plan) b.ledger.release_plan(s.route->route);
    std::ostringstream failure;
    Console failure_console{failure, failure};
    report_write_failure(error, failure_console);
    result.status = "file error";
    result.failure = failure.str();
  }
}

// Compiles one scenario as 'compile' does, writes its files and records it.
ScenarioResult build_scenario(const Scenario& s, BuildContext& b) {
  b.progress.started(scenario_name(s));
  std::ostringstream lines;
  Console console{lines, lines};
  ScenarioResult result;
  auto texts = read_author_texts(system_files(), utf8_of(s.route->line_text),
                                 utf8_of(s.set->train_text), console);
  if (!texts) {
    result.status = "file error";
    result.failure = lines.str();
    b.progress.ended(scenario_name(s), outcome_words(result), result.failure);
    return result;
  }
  const std::vector<PageDocument> documents = crew_documents(s);
  Compilation c;
  c.RouteId = s.route_bytes;
  c.TrainNumber = s.train_bytes;
  c.CollectWarnings = true;
  c.MaxWarnings = 50;
  const CompileOutcome outcome = compile_author_texts(c, *texts, 1);
  const CompileReport report = make_report(c, outcome);
  result.status = report.stopped ? "stopped" : "built";
  result.code = report.status_code;
  result.position = report.status_position;
  result.warnings = warning_count(report);
  ScenarioRecord record =
      record_of(s, *texts, documents_hash(documents), c, result, b.options.pictures);
  write_and_record(s, c, report, documents, record, result, b);
  b.progress.ended(scenario_name(s), outcome_words(result),
                   error_lines(report, *texts) + result.failure);
  return result;
}

// What a skipped scenario's record says of it.
ScenarioResult skipped_result(const ScenarioRecord& r) {
  ScenarioResult result;
  result.code = r.code;
  result.position = r.position;
  result.warnings = r.warnings;
  for (const FileStamp& f : r.files) result.files.push_back(f.name);
  return result;
}

bool has_error(const ScenarioResult& r, const std::optional<ScenarioRecord>& last) {
  return r.code != 0 || r.status == "stopped" || (r.status == "skipped" && last && last->stopped);
}

// The counts of the summary.
struct Counts {
  size_t built = 0, skipped = 0, with_warnings = 0, with_errors = 0, file_errors = 0;
};

Counts count_results(const std::vector<Scenario>& scenarios,
                     const std::vector<ScenarioResult>& results) {
  Counts n;
  for (size_t i = 0; i < results.size(); ++i) {
    const ScenarioResult& r = results[i];
    if (r.status == "file error") {
      ++n.file_errors;
      continue;
    }
    (r.status == "skipped" ? n.skipped : n.built) += 1;
    n.with_warnings += r.warnings > 0 ? 1 : 0;
    n.with_errors += has_error(r, scenarios[i].last) ? 1 : 0;
  }
  return n;
}

void print_summary(const std::vector<Scenario>& scenarios,
                   const std::vector<ScenarioResult>& results, const Counts& n, Console& console) {
  for (size_t i = 0; i < results.size(); ++i) {
    const ScenarioResult& r = results[i];
    if (!has_error(r, scenarios[i].last) && r.status != "file error") continue;
    console.err << "scengen build: " << printable_text(scenario_name(scenarios[i])) << ": "
                << (r.status == "file error" ? "a file could not be read or written"
                                             : outcome_words(r))
                << (r.status == "skipped" ? " (unchanged since the last build)" : "") << '\n';
  }
  console.err << "scengen build: " << results.size()
              << (results.size() == 1 ? " scenario" : " scenarios") << ": " << n.built << " built, "
              << n.skipped << " skipped, " << n.with_warnings << " with warnings, " << n.with_errors
              << " with errors";
  if (n.file_errors > 0) console.err << ", " << n.file_errors << " not written";
  console.err << '\n';
}

std::string json_report(const std::vector<Scenario>& scenarios,
                        const std::vector<ScenarioResult>& results, const Counts& n,
                        const std::vector<std::string>& mistakes) {
  nlohmann::json list = nlohmann::json::array();
  for (size_t i = 0; i < results.size(); ++i) {
    const ScenarioResult& r = results[i];
    nlohmann::json item = {{"route", scenarios[i].route->route},
                           {"train", scenarios[i].set->train},
                           {"status", r.status},
                           {"code", r.code},
                           {"warnings", r.warnings},
                           {"files", r.files}};
    if (!r.failure.empty()) item["failure"] = r.failure.substr(0, r.failure.find('\n'));
    list.push_back(std::move(item));
  }
  const nlohmann::json report = {{"scenarios", std::move(list)}, {"built", n.built},
                                 {"skipped", n.skipped},         {"with_warnings", n.with_warnings},
                                 {"with_errors", n.with_errors}, {"not_written", n.file_errors},
                                 {"mistakes", mistakes}};
  return report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// The index of the set, from the manifest's records of its scenarios.
void write_index(const std::vector<Scenario>& scenarios, const Manifest& manifest,
                 const fs::path& out) {
  std::map<std::pair<std::string, std::string>, const ScenarioRecord*> records;
  for (const ScenarioRecord& r : manifest.scenarios) records[{r.route, r.train}] = &r;
  std::vector<IndexRow> rows;
  for (const Scenario& s : scenarios) {
    IndexRow row;
    row.route = s.route->route;
    row.train = s.set->train;
    const auto found = records.find({row.route, row.train});
    if (found == records.end()) {
      row.status = "not written";
      row.failed = true;
    } else {
      const ScenarioRecord& r = *found->second;
      ScenarioResult result = skipped_result(r);
      result.status = r.stopped ? "stopped" : "built";
      row.status = outcome_words(result);
      row.failed = has_error(result, std::nullopt);
      row.length = r.length;
      row.stations = r.stations;
      for (const FileStamp& f : r.files) {
        if (f.name.ends_with("_map.svg")) row.map = f.name;
        if (f.name.ends_with("_profile.svg")) row.profile = f.name;
        if (f.name.ends_with(".html")) row.page = f.name;
      }
    }
    rows.push_back(std::move(row));
  }
  system_files().write_replacing(join_output_path(out, kIndexPageName), index_page(rows));
}

// The scenarios of the set that can be named, each decided: built or skipped.
std::vector<Scenario> scenarios_of(const ScenarioSet& set, std::vector<std::string>& mistakes) {
  std::vector<Scenario> scenarios;
  for (const SetScenario& entry : set.scenarios) {
    Scenario s;
    s.route = &set.routes[entry.route];
    s.set = &entry;
    if (scenario_identity(s, mistakes)) scenarios.push_back(std::move(s));
  }
  return scenarios;
}

size_t stop_after_from_environment() {
  const char* value = std::getenv("SCENGEN_BUILD_STOP_AFTER");
  return value == nullptr ? 0 : static_cast<size_t>(std::strtoull(value, nullptr, 10));
}

// The build itself, with the output folder locked.
int build_locked(const BuildOptions& o, const ScenarioSet& set, const fs::path& out,
                 Console& console) {
  std::vector<std::string> mistakes = set.mistakes;
  std::vector<Scenario> scenarios = scenarios_of(set, mistakes);
  if (!o.json) {
    for (const std::string& m : mistakes) console.err << "scengen build: " << m << '\n';
  }
  const Manifest last = last_manifest(out, program_identity(SCENGEN_VERSION_TEXT));
  const std::set<std::string> plans_due = plan_the_build(scenarios, last, o, out);
  std::vector<size_t> to_build;
  for (size_t i = 0; i < scenarios.size(); ++i) {
    if (scenarios[i].build) to_build.push_back(i);
  }
  BuildLedger ledger(system_files(), out, last, plans_due);
  // With --json the progress goes nowhere: standard error stays for failures alone.
  std::ostringstream unseen;
  BuildProgress progress(o.json ? static_cast<std::ostream&>(unseen) : console.err,
                         !o.json && isatty(2) != 0, to_build.size());
  BuildContext context{o, out, ledger, progress, {}, stop_after_from_environment()};
  std::vector<ScenarioResult> results(scenarios.size());
  for (size_t i = 0; i < scenarios.size(); ++i) {
    if (scenarios[i].last) results[i] = skipped_result(*scenarios[i].last);
  }
  run_on_threads(to_build.size(), o.jobs == 0 ? default_threads() : o.jobs, [&](size_t n) {
    results[to_build[n]] = build_scenario(scenarios[to_build[n]], context);
  });
  progress.finish();
  if (o.pictures) write_index(scenarios, ledger.manifest(), out);
  const Counts counts = count_results(scenarios, results);
  if (o.json) {
    console.out << json_report(scenarios, results, counts, mistakes);
  } else {
    print_summary(scenarios, results, counts, console);
  }
  if (counts.file_errors > 0) return kExitFileFailed;
  return counts.with_errors > 0 || !mistakes.empty() ? kExitCompileError : kExitOk;
}

// Finds the set, refuses an output folder inside it, and builds with the folder locked.
int build_set(const BuildOptions& o, Console& console) {
  const fs::path source = argument_path(o.source);
  const fs::path out = argument_path(o.out);
  std::error_code error;
  if (!fs::is_directory(source, error)) {
    console.err << "scengen build: cannot read the folder " << printable_path(source) << ": "
                << (fs::exists(source, error) ? "it is not a folder" : "No such file or directory")
                << '\n';
    return kExitFileFailed;
  }
  if (folder_is_within(out, source)) {
    console.err << "scengen build: the output folder " << printable_path(out)
                << " lies inside the source folder " << printable_path(source)
                << ": give one outside it\n";
    return kExitUsage;
  }
  const ScenarioSet set = find_scenario_set(source);
  if (!make_output_folder(out, console, o.json)) return kExitFileFailed;
  try {
    const auto lock = lock_output_folder(out, console.err);
    return build_locked(o, set, out, console);
  } catch (const FileError& failure) {
    report_write_failure(failure, console);
    return kExitFileFailed;
  }
}

}  // namespace

void add_build_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context, {"build", "Every scenario of a folder tree, only what changed.", kBuildFooter},
      build_set);
  command->add_option("SRC", o->source, "The folder of the texts (its subfolders too)")
      ->required()
      ->type_name("DIR");
  command->add_option("--out", o->out, "Folder for the files (made when it is missing)")
      ->required()
      ->type_name("DIR");
  command->add_option("-j,--jobs", o->jobs, "Scenarios compiled at once (default: the cores)")
      ->type_name("N")
      ->check(CLI::Range(1u, 256u));
  command->add_flag("--json", o->json, "Report as JSON on standard output");
  command->add_flag("--pictures", o->pictures,
                    "Also draw each scenario (map, profile, page) and an index page");
  command->add_flag("--force", o->force, "Compile every scenario, changed or not");
}

}  // namespace scengen
