// scengen fmt: description texts laid out as the built-in texts are, in place, never changing a
// compiled byte.
#include "cli/fmt_command.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <ostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "format/compiled_image.h"
#include "format/text_diff.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"
#include "texts/line_list.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

constexpr const char* kFmtFooter =
    R"(Lays each text out as the built-in texts are: the fields of each section spaced as there, the
train text's numbers right-aligned in their columns. Comments, blank lines, the line ends (CR LF
stays CR LF), the encoding and every line that is not one whole record (a record over two lines,
two records on one line, a quoted field, a number such as 12.5) stay byte for byte. A text named
ROUTE_linea.txt is a line description, one named ROUTE_TRAIN-.txt a train description; --kind
says which for other names and for - (standard input, laid out to standard output).

Nothing is written unless the new layout compiles to the same bytes: the text is compiled in
memory before and after, with its partner, and the status and all three files compared; when
they differ the text is left as it is (with -, written back unchanged), one line says so and the
status is 1. The partner of ROUTE_linea.txt is the first ROUTE_*-.txt beside it (by name), that
of ROUTE_TRAIN-.txt is ROUTE_linea.txt beside it. Without one, a line description is compiled
with the built-in train description, and a train description with a line description of the
longest route (1000000 m, no features), so that all of it is read.
A text is replaced whole (a temporary file renamed over it) while its folder is locked against
other scengen writers. Laying out a text a second time changes nothing.

Exit status: 0 done (with --check: nothing would change); 1 with --check a text would change,
or a layout was refused because it would change the compiled bytes; 2 the command line is wrong
or a text's kind cannot be told from its name; 4 a text cannot be read or written.

Examples:
  scengen fmt Ponte_Alto_linea.txt Ponte_Alto_2101-.txt
  scengen fmt --check work/Ponte_Alto_linea.txt work/Ponte_Alto_2101-.txt
  scengen fmt --diff Ponte_Alto_2101-.txt
  scengen fmt --kind train - < train.txt > laid_out.txt)";

// A line description of the longest route and nothing else: every record of a train text
// compiled with it lies on the track.
constexpr std::string_view kLongestRoute =
    "[generale]\r\nlunghezza percorso,    1000000\r\n[fine]\r\n";

// A text to lay out: the argument as given, its path and its kind.
struct Target {
  std::string argument;
  std::filesystem::path path;
  format::TextKind kind;
};

bool is_standard_input(const Target& target) {
  return target.argument == "-";
}

std::string utf8_file_name(const std::filesystem::path& path) {
  const auto name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

std::optional<format::TextKind> kind_of(const std::filesystem::path& path,
                                        const std::optional<std::string>& option) {
  if (option) return *option == "line" ? format::TextKind::line : format::TextKind::train;
  if (route_from_line_text(path)) return format::TextKind::line;
  if (utf8_file_name(path).ends_with("-.txt")) return format::TextKind::train;
  return std::nullopt;
}

std::optional<std::string> read_if_there(FileLayer& files, const std::filesystem::path& path) {
  FileRead file = files.read_whole_capped(path, kMaxTextBytes);
  if (file.status != ReadStatus::Ok) return std::nullopt;
  return std::move(file.bytes);
}

// The first ROUTE_*-.txt beside ROUTE_linea.txt, by name; the built-in train text without one.
std::string train_partner(FileLayer& files, const std::filesystem::path& line_path) {
  if (const auto route = route_from_line_text(line_path)) {
    std::vector<std::filesystem::path> trains;
    const std::filesystem::path folder = line_path.parent_path();
    std::error_code error;
    std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
      if (train_from_train_text(entry->path(), *route)) trains.push_back(entry->path());
    }
    std::sort(trains.begin(), trains.end());
    for (const auto& train : trains) {
      if (auto text = read_if_there(files, train)) return std::move(*text);
    }
  }
  return emit_line_list(train_description_lines());
}

// ROUTE_linea.txt beside ROUTE_TRAIN-.txt (the route being any start of the name that ends
// before an underscore, the longest first); a line text of the longest route without one.
std::string line_partner(FileLayer& files, const std::filesystem::path& train_path) {
  const std::string name = utf8_file_name(train_path);
  if (name.ends_with("-.txt")) {
    const std::string stem = name.substr(0, name.size() - 5);
    for (size_t cut = stem.rfind('_'); cut != std::string::npos && cut > 0;
         cut = stem.rfind('_', cut - 1)) {
      const auto line =
          train_path.parent_path() / utf8_path(line_text_file_name(stem.substr(0, cut)));
      if (auto text = read_if_there(files, line)) return std::move(*text);
    }
  }
  return std::string(kLongestRoute);
}

// What differs between two compiles, in words; empty when nothing does.
std::string compiled_difference(const format::CompiledImage& a, const format::CompiledImage& b) {
  if (a.end != b.end || a.seal_code != b.seal_code || a.status_code != b.status_code ||
      a.status_position != b.status_position)
    return "the compile's status";
  if (a.track != b.track) return "the compiled track";
  if (a.table != b.table) return "the scenario table";
  if (a.plan != b.plan) return "the route plan";
  return {};
}

// A text and its new layout; `refused` says what the new layout would change when compiled.
struct LaidOut {
  std::string text;
  std::string refused;
};

LaidOut lay_out(const std::string& original, const Target& target, const FmtWorld& world) {
  LaidOut laid{world.layout(original, target.kind), {}};
  if (laid.text == original) return laid;
  const bool line = target.kind == format::TextKind::line;
  const std::filesystem::path place = is_standard_input(target) ? "" : target.path;
  const std::string partner =
      line ? train_partner(world.files, place) : line_partner(world.files, place);
  const auto image = [&](const std::string& text) {
    return line ? format::compile_image(text, partner, 1) : format::compile_image(partner, text, 1);
  };
  laid.refused = compiled_difference(image(original), image(laid.text));
  return laid;
}

std::string refusal_line(const std::string& shown, const std::string& difference) {
  return "scengen fmt: " + shown + " is left as it is: laid out, it would change " + difference;
}

std::optional<std::string> read_standard_input(std::istream& in, Console& console) {
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
    if (bytes.size() > kMaxTextBytes) {
      console.err << "scengen: cannot read standard input: " << too_large_reason(kMaxTextBytes)
                  << '\n';
      return std::nullopt;
    }
  }
  if (in.bad()) {
    console.err << "scengen: cannot read standard input\n";
    return std::nullopt;
  }
  return bytes;
}

// Standard input to standard output: the new layout, or with --check and --diff what would change.
int format_standard_input(const Target& target, const FmtOptions& o, Console& console,
                          const FmtWorld& world) {
  const auto original = read_standard_input(world.in, console);
  if (!original) return kExitFileFailed;
  const LaidOut laid = lay_out(*original, target, world);
  if (!laid.refused.empty()) {
    console.err << refusal_line("standard input", laid.refused) << '\n';
    if (!o.check && !o.diff) console.out << *original;
    return kExitCompileError;
  }
  if (o.diff) console.out << format::unified_diff(*original, laid.text, "-");
  if (o.check) {
    if (laid.text == *original) return kExitOk;
    if (!o.diff) console.out << "-\n";
    return kExitCompileError;
  }
  if (!o.diff) console.out << laid.text;
  return kExitOk;
}

int format_file(const Target& target, const FmtOptions& o, Console& console,
                const FmtWorld& world) {
  const bool in_place = !o.check && !o.diff;
  try {
    // Read, compared and replaced while no other scengen writes into the folder.
    std::unique_ptr<OutputLock> lock;
    if (in_place) lock = lock_output_folder(target.path.parent_path(), console.err);
    const auto original = read_input(world.files, target.path, kMaxTextBytes, console);
    if (!original) return kExitFileFailed;
    const LaidOut laid = lay_out(*original, target, world);
    if (!laid.refused.empty()) {
      console.err << refusal_line(printable_path(target.path), laid.refused) << '\n';
      return kExitCompileError;
    }
    if (laid.text == *original) return kExitOk;
    if (o.diff) {
      console.out << format::unified_diff(*original, laid.text, printable_text(target.argument));
    }
    if (o.check && !o.diff) console.out << printable_text(target.argument) << '\n';
    if (o.check) return kExitCompileError;
    if (in_place) world.files.write_replacing(target.path, laid.text);
    return kExitOk;
  } catch (const FileError& error) {
    report_write_failure(error, console);
    return kExitFileFailed;
  }
}

// Every argument with its kind; nothing, once one line said why, when one cannot be told.
std::optional<std::vector<Target>> targets_of(const FmtOptions& o, Console& console) {
  std::vector<Target> targets;
  for (const std::string& argument : o.files) {
    if (argument == "-" && o.files.size() > 1) {
      console.err << "scengen fmt: - (standard input) must be the only FILE\n";
      return std::nullopt;
    }
    const std::filesystem::path path = argument_path(argument);
    const auto kind = kind_of(argument == "-" ? std::filesystem::path() : path, o.kind);
    if (!kind) {
      console.err << "scengen fmt: cannot tell the kind of "
                  << (argument == "-" ? std::string("standard input: give --kind\n")
                                      : printable_path(path) +
                                            " from its name (not ROUTE_linea.txt or "
                                            "ROUTE_TRAIN-.txt): give --kind\n");
      return std::nullopt;
    }
    targets.push_back({argument, path, *kind});
  }
  return targets;
}

int fmt_command(const FmtOptions& o, Console& console) {
#ifdef _WIN32
  // The text's bytes as they are: text mode would turn CR LF into LF.
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  return format_texts(o, console, {system_files(), std::cin, format::format_text});
}

}  // namespace

int format_texts(const FmtOptions& o, Console& console, const FmtWorld& world) {
  const auto targets = targets_of(o, console);
  if (!targets) return kExitUsage;
  int status = kExitOk;
  for (const Target& target : *targets) {
    const int one = is_standard_input(target) ? format_standard_input(target, o, console, world)
                                              : format_file(target, o, console, world);
    status = std::max(status, one);
  }
  return status;
}

void add_fmt_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context, {"fmt", "Lays out description texts as the built-in texts are.", kFmtFooter},
      fmt_command);
  command->add_option("FILE", o->files, "The texts; - reads standard input, writes standard output")
      ->required()
      ->type_name("FILE");
  command->add_option("--kind", o->kind, "The texts' kind, whatever their names")
      ->check(CLI::IsMember({"line", "train"}))
      ->type_name("KIND");
  command->add_flag("--check", o->check,
                    "Name the texts that would change (status 1); write nothing");
  command->add_flag("--diff", o->diff, "Print what would change as a unified diff; write nothing");
}

}  // namespace scengen
