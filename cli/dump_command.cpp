// scengen dump: a compiled track, scenario table or route plan file as a table or JSON.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <system_error>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/compiled_files_reading.h"
#include "cli/dump_describe.h"
#include "cli/dump_selection.h"
#include "compiler/output_decoding.h"
#include "compiler/source_text.h"
#include "compiler/track_layout.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "scenario/scenario_model.h"

namespace scengen {
namespace {

using dump::FileKind;
using dump::format;
using dump::Json;
using dump::Rows;
using dump::Selection;

std::optional<FileKind> kind_from_name(const std::string& kind) {
  if (kind == "track") return FileKind::Track;
  if (kind == "table") return FileKind::Table;
  if (kind == "plan") return FileKind::Plan;
  return std::nullopt;
}

std::optional<FileKind> kind_from_file_name(const std::filesystem::path& path) {
  // Names copied from a Windows folder often come in capitals: ROUTE_LINEA.DAT, T.SIM.
  std::string name = path.filename().string();
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto ends_with = [&](std::string_view end) {
    return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
  };
  if (ends_with("_linea.dat")) return FileKind::Plan;
  if (ends_with(".sim")) return FileKind::Table;
  if (ends_with(".dat")) return FileKind::Track;
  return std::nullopt;
}

// A cell as JSON: the file's own fields, then what they mean.
Json cell_json(const TrackCell& c, const ScenarioModel& model, size_t i,
               dump::CellWording wording) {
  const CellUse& use = model.cells[i];
  return {{"cell", i},
          {"metres", i * kCellLength},
          {"Kind", c.Kind},
          {"kind_name", kind_name(use.kind)},
          {"Param1", c.Param1},
          {"Param2", c.Param2},
          {"Param3", c.Param3},
          {"Param4", c.Param4},
          {"Param5", c.Param5},
          {"Mark", c.Mark},
          {"Tunnel", c.Tunnel},
          {"SpeedLimit", c.SpeedLimit},
          {"speed_limit_kmh", use.speed_limit_kmh},
          {"Gradient", c.Gradient},
          {"gradient_per_mille", use.gradient_per_mille},
          {"Adhesion", c.Adhesion},
          {"unpacked", dump::cell_meaning(model, i, wording).json}};
}

// A cell as a row of the table: the file's own fields, then what they mean.
std::string cell_row(const TrackCell& c, const ScenarioModel& model, size_t i,
                     dump::CellWording wording) {
  const CellUse& use = model.cells[i];
  std::string row =
      format("%5zu %7zu  %2u %-20s %6d %6d %6d %6d %6u %4u %6u %5d %5d %8u", i, i * kCellLength,
             c.Kind, kind_name(use.kind), c.Param1, c.Param2, c.Param3, c.Param4, c.Param5, c.Mark,
             c.Tunnel, use.speed_limit_kmh, use.gradient_per_mille, c.Adhesion);
  const std::string details = dump::cell_meaning(model, i, wording).text;
  if (!details.empty()) row += "  " + details;
  return row + '\n';
}

// The cells as the file holds them, beside the model read from them.
void dump_track(const std::vector<TrackCell>& cells, const ScenarioModel& model,
                const Selection& selection, dump::CellWording wording, bool json,
                Console& console) {
  const Rows rows = selection.rows;
  const size_t last = std::min(rows.last, cells.size() - 1);
  if (json) {
    Json out = {{"kind", "track"}, {"cells", Json::array()}};
    for (size_t i = rows.first; i <= last; ++i) {
      if (selection.wants(model.cells[i], i))
        out["cells"].push_back(cell_json(cells[i], model, i, wording));
    }
    console.out << out.dump(2) << '\n';
    return;
  }
  console.out << " cell  metres  Kind                    Param1 Param2 Param3 Param4 Param5 Mark "
                 "Tunnel  km/h  grad Adhesion  unpacked\n";
  for (size_t i = rows.first; i <= last; ++i) {
    if (selection.wants(model.cells[i], i)) console.out << cell_row(cells[i], model, i, wording);
  }
}

// A slot as JSON: the file's own fields, and with --describe what a station or board slot holds.
Json slot_json(const ScenarioEntry& e, const TableSlot& slot, size_t i, bool describe) {
  Json out = {{"slot", i},
              {"Tag", e.Tag},
              {"Num1", e.Num1},
              {"Num2", e.Num2},
              {"Num3", e.Num3},
              {"Tag2", e.Tag2},
              {"Text", utf8_from_windows_1252(e.Text)},
              {"Small1", e.Small1},
              {"Small2", e.Small2},
              {"Small3", e.Small3},
              {"Small4", e.Small4},
              {"Small5", e.Small5},
              {"Flag1", e.Flag1},
              {"Flag2", e.Flag2},
              {"Flag3", e.Flag3},
              {"Flag4", e.Flag4},
              {"Num4", e.Num4}};
  if (!describe) return out;
  if (slot.role == SlotRole::Station) out["station"] = dump::station_json(slot.station);
  // A board-text slot holds its text alone, which the slot read as a station calls its name.
  if (slot.role == SlotRole::BoardText)
    out["board_text"] = utf8_from_windows_1252(slot.station.name);
  return out;
}

// A slot as a row of the table: the file's own fields, and with --describe their meaning.
std::string slot_row(const ScenarioEntry& e, const TableSlot& slot, size_t i, bool describe) {
  std::string row = format("%4zu %3u %10d %10d %10d %4u %6d %6d %6d %6d %6d %5u %5u %5u %5u %10d",
                           i, e.Tag, e.Num1, e.Num2, e.Num3, e.Tag2, e.Small1, e.Small2, e.Small3,
                           e.Small4, e.Small5, e.Flag1, e.Flag2, e.Flag3, e.Flag4, e.Num4) +
                    "  \"" + printable_text(utf8_from_windows_1252(e.Text)) + '"';
  if (describe && slot.role == SlotRole::Station) row += "  " + dump::station_words(slot.station);
  if (describe && slot.role == SlotRole::BoardText) {
    row += "  board text \"" + printable_text(utf8_from_windows_1252(slot.station.name)) + '"';
  }
  return row + '\n';
}

// The slots as the file holds them, beside the model read from them.
void dump_table(const ScenarioTable& table, const ScenarioModel& model, const Selection& selection,
                bool json, Console& console) {
  const Rows rows = selection.rows;
  const size_t last = std::min<size_t>(rows.last, kScenarioSlots - 1);
  if (json) {
    Json out = {{"kind", "table"}, {"slots", Json::array()}};
    for (size_t i = rows.first; i <= last; ++i) {
      const TableSlot& slot = model.slots[i];
      if (selection.wants(slot))
        out["slots"].push_back(slot_json(table[i], slot, i, selection.describe));
    }
    console.out << out.dump(2) << '\n';
    return;
  }
  console.out
      << "slot Tag       Num1       Num2       Num3 Tag2 Small1 Small2 Small3 Small4 Small5 "
         "Flag1 Flag2 Flag3 Flag4       Num4  Text\n";
  for (size_t i = rows.first; i <= last; ++i) {
    const TableSlot& slot = model.slots[i];
    if (selection.wants(slot)) console.out << slot_row(table[i], slot, i, selection.describe);
  }
}

// A plan element in words: "-" when empty, an integer as it is, a double in the shortest form
// that reads back to the same value, with ".0" when it would look like an integer.
std::string plan_element_text(PlanTag tag, double value) {
  switch (tag) {
    case PlanTag::Empty:
      return "-";
    case PlanTag::Integer:
      return std::to_string(static_cast<int>(value));
    case PlanTag::Double:
      break;
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".eni") == std::string::npos) text += ".0";
  return text;
}

std::string plan_element_json(PlanTag tag, double value) {
  switch (tag) {
    case PlanTag::Empty:
      return "null";
    case PlanTag::Integer:
      return std::to_string(static_cast<int>(value));
    case PlanTag::Double:
      break;
  }
  return Json(value).dump();
}

// A route plan is a million points for a 1000 km route: each is written as it is read from the
// file, so that nothing but the file itself is held. The JSON is laid out as dump(2) lays it.
void dump_plan(std::string_view bytes, const RoutePlanLayout& layout, const Selection& selection,
               bool json, Console& console) {
  const Rows rows = selection.rows;
  bool any = false;
  if (json) {
    console.out << "{\n  \"kind\": \"plan\",\n  \"points\": [";
  } else {
    console.out << "  point  coordinate 0              coordinate 1\n";
  }
  PlanElementReader first(bytes, 0);
  PlanElementReader second(bytes, layout.second_coordinate);
  RoutePlanPoint p;
  for (p.point = 0; p.point <= layout.last_point; ++p.point) {
    p.tags[0] = first.next(p.values[0]);
    p.tags[1] = second.next(p.values[1]);
    const auto point = static_cast<size_t>(p.point);
    if (point < rows.first || point > rows.last || !selection.wants(p)) continue;
    if (json) {
      console.out << (any ? ",\n" : "\n") << "    {\n      \"point\": " << p.point
                  << ",\n      \"coordinates\": [\n        "
                  << plan_element_json(p.tags[0], p.values[0]) << ",\n        "
                  << plan_element_json(p.tags[1], p.values[1]) << "\n      ]\n    }";
    } else {
      console.out << format("%7d  %-24s  %s\n", p.point,
                            plan_element_text(p.tags[0], p.values[0]).c_str(),
                            plan_element_text(p.tags[1], p.values[1]).c_str());
    }
    any = true;
  }
  if (json) console.out << (any ? "\n  ]\n}\n" : "]\n}\n");
}

// How many rows a file has and the last metre a row can stand for, to refuse a selection past
// them; or the status to end with once a failure to read it was said.
struct FileRows {
  int status = kExitOk;
  size_t count = 0;
  int64_t last_metre = 0;
};

// The scenario table beside a described track, which names its stations and board texts; when
// it is not there or cannot be read, one line says so and the track is told by slots.
std::optional<ScenarioTable> table_for_names(const std::filesystem::path& track, Console& console) {
  const std::filesystem::path table = table_beside(track);
  std::error_code error;
  if (!std::filesystem::exists(table, error)) {
    console.err << "scengen dump: no scenario table " << printable_path(table)
                << " beside the track: stations and board texts are shown by slot (the .sim "
                   "that the compile wrote with the track names them)\n";
    return std::nullopt;
  }
  auto read = read_table_file(table, console);
  if (!read.value) {
    console.err << "scengen dump: stations and board texts are shown by slot\n";
    return std::nullopt;
  }
  return std::move(read.value);
}

FileRows dump_track_file(const std::filesystem::path& path, const Selection& selection, bool json,
                         Console& console) {
  auto cells = read_track_file(path, console);
  if (!cells.value) return {cells.status};
  const size_t count = cells.value->size();
  const int64_t last_metre = static_cast<int64_t>(count) * kCellLength - 1;
  if (selection.rows.first < count &&
      (!selection.metres || selection.metres->first <= last_metre)) {
    // A stretch or --describe tells the cells in words, with the names the table beside holds;
    // otherwise the track is read beside an empty table.
    CompiledFiles files;
    files.cells = std::move(*cells.value);
    dump::CellWording wording;
    wording.described = selection.describe || selection.metres.has_value();
    if (wording.described) {
      if (auto table = table_for_names(path, console)) {
        files.table = *table;
        wording.table = true;
      }
    }
    const ScenarioModel model = read_scenario(files);
    dump_track(files.cells, model, selection, wording, json, console);
  }
  return {kExitOk, count, last_metre};
}

FileRows dump_table_file(const std::filesystem::path& path, const Selection& selection, bool json,
                         Console& console) {
  auto table = read_table_file(path, console);
  if (!table.value) return {table.status};
  if (selection.rows.first < kScenarioSlots) {
    CompiledFiles files;
    files.table = std::move(*table.value);
    const ScenarioModel model = read_scenario(files);
    dump_table(files.table, model, selection, json, console);
  }
  // Stations stand anywhere; a stretch without any shows none.
  return {kExitOk, kScenarioSlots, INT64_MAX};
}

// The route plan stays its file's bytes, walked point by point.
FileRows dump_plan_file(const std::filesystem::path& path, const Selection& selection, bool json,
                        Console& console) {
  const auto plan = read_plan_file(path, console);
  if (!plan.value) return {plan.status};
  const RoutePlanLayout& layout = plan.value->layout;
  const size_t count = static_cast<size_t>(layout.last_point) + 1;
  const int64_t last_metre = layout.last_point;
  if (selection.rows.first < count && (!selection.metres || selection.metres->first <= last_metre))
    dump_plan(plan.value->bytes, layout, selection, json, console);
  return {kExitOk, count, last_metre};
}

// Refuses --cells or a stretch that starts past the file's rows: the usage status, else Ok.
int check_rows(const DumpOptions& o, const std::filesystem::path& path, const Selection& selection,
               const FileRows& file, Console& console) {
  if (selection.rows.first >= file.count) {
    console.err << "scengen dump: --cells " << printable_text(*o.cells)
                << " starts past the last row (" << file.count - 1 << ")\n";
    return kExitUsage;
  }
  if (selection.metres && selection.metres->first > file.last_metre) {
    console.err << "scengen dump: " << printable_text(o.at ? "--at " + *o.at : "--from " + *o.from)
                << " lies beyond the end of " << printable_path(path) << " (its last metre is "
                << file.last_metre << ")\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace

int dump_file(const DumpOptions& o, Console& console) {
  const std::filesystem::path path = argument_path(o.file);
  const auto kind = o.kind ? kind_from_name(*o.kind) : kind_from_file_name(path);
  if (!kind) {
    console.err << "scengen dump: cannot tell the kind of " << printable_path(path)
                << " from its name: give --kind track, table or plan\n";
    return kExitUsage;
  }
  const std::optional<Selection> selection = dump::selection_of(o, *kind, console);
  if (!selection) return kExitUsage;
  FileRows file;
  switch (*kind) {
    case FileKind::Track:
      file = dump_track_file(path, *selection, o.json, console);
      break;
    case FileKind::Table:
      file = dump_table_file(path, *selection, o.json, console);
      break;
    case FileKind::Plan:
      file = dump_plan_file(path, *selection, o.json, console);
      break;
  }
  if (file.status != kExitOk) return file.status;
  return check_rows(o, path, *selection, file, console);
}

namespace {

constexpr const char* kDumpFooter =
    R"(The kind comes from the name, in any case: ROUTE_linea.dat is a route plan, *.sim a scenario
table, any other *.dat a compiled track. Cells show their Kind by name, km/h (SpeedLimit x 5),
grad (Gradient - 100, per mille) and, unpacked, what their parameters hold: a signal's s, d, sx,
dx, rapp and tempo, a maximum-speed board's speeds. Texts are shown as UTF-8. --cells selects
cells, slots or plan points: A:B, A: (to the end), :B (from 0) or A alone.

By route position: --at, --from and --to take a route position as every command does: a plain
number or one with m is metres (5200, 5200m), one with km kilometres (30km, 5.2km). A cell is
shown for its 50 m and for the position its feature was given (a signal at 5200 m stands in the
cell from 5250 m, and --at 5200 shows both cells); a table shows the stations whose area or
reference point lies there; a plan has one point per metre.
--only keeps the rows of the features named, separated by commas: signals, slow-orders, boards
(warning-boards, approach-boards, speed-boards, information-boards), stations, tunnels,
code-points, and in a table settings (slots 81 to 86). --nonempty leaves out the rows that hold
nothing (cells: no Kind, parameter, mark or tunnel). --describe adds to a table's station slots the
station in words (name, kind, place, time as h:mm, stop) and to the board slots their texts. On a
track, --describe and a stretch (--at, --from, --to) name the stations and board texts from the
scenario table beside it (ROUTE_TRAIN.sim; without it they are shown by slot) and tell what each
Mark announces: marks k = 1 to 4 in the cells 2k before a signal hold (sx * 3 + dx) * 10 + k, those
in the k-th cell before a station marker 80 + k; a tunnel marker is named with its tunnel.
--cells, the position, --only and --nonempty are combined: a row must pass them all.

Examples:
  scengen dump Veltrano_Quarnelo_58316.dat --cells 1048:1084
  scengen dump Veltrano_Quarnelo_58316.dat --from 12km --to 14km --nonempty
  scengen dump Veltrano_Quarnelo_58316.dat --only stations,information-boards --describe
  scengen dump Veltrano_Quarnelo_58316.dat --only signals,code-points --from 30km
  scengen dump Veltrano_Quarnelo_58316.sim --only stations --describe
  scengen dump Veltrano_Quarnelo_58316.sim --cells 81:86
  scengen dump Veltrano_Quarnelo_linea.dat --at 1000 --json
  scengen dump scenario.bin --kind track)";

}  // namespace

void add_dump_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context,
      {"dump", "A compiled track, scenario table or route plan, readable.", kDumpFooter},
      dump_file);
  command->add_option("FILE", o->file, "The binary file")->required()->type_name("FILE");
  command->add_option("--kind", o->kind, "The file's kind, whatever its name")
      ->check(CLI::IsMember({"track", "table", "plan"}))
      ->type_name("KIND");
  command->add_option("--cells", o->cells, "Only cells (slots, points) A to B")->type_name("A:B");
  CLI::Option* at =
      command->add_option("--at", o->at, "Only what stands at this route position (m or km)")
          ->type_name("METRES");
  command->add_option("--from", o->from, "Only from this route position on (m or km)")
      ->type_name("METRES")
      ->excludes(at);
  command->add_option("--to", o->to, "Only up to this route position (m or km)")
      ->type_name("METRES")
      ->excludes(at);
  command->add_option("--only", o->only, "Only these features (signals,boards,stations,...)")
      ->delimiter(',')
      ->type_name("FEATURES");
  command->add_flag("--nonempty", o->nonempty, "Leave out the rows that hold nothing");
  command->add_flag("--describe", o->describe,
                    "Slots and cells in words: names from the table, what a Mark announces");
  command->add_flag("--json", o->json, "JSON instead of a table");
}

}  // namespace scengen
