// scengen dump: a compiled track, scenario table or route plan file as a table or JSON.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "compiler/output_decoding.h"
#include "compiler/source_text.h"
#include "compiler/track_layout.h"
#include "run/exit_status.h"

namespace scengen {
namespace {

using Json = nlohmann::ordered_json;

enum class FileKind { Track, Table, Plan };

std::optional<FileKind> kind_from_name(const std::string& kind) {
  if (kind == "track") return FileKind::Track;
  if (kind == "table") return FileKind::Table;
  if (kind == "plan") return FileKind::Plan;
  return std::nullopt;
}

std::optional<FileKind> kind_from_file_name(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  auto ends_with = [&](std::string_view end) {
    return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
  };
  if (ends_with("_linea.dat")) return FileKind::Plan;
  if (ends_with(".sim")) return FileKind::Table;
  if (ends_with(".dat")) return FileKind::Track;
  return std::nullopt;
}

// The rows asked for with --cells: first to last, both included.
struct Rows {
  size_t first = 0;
  size_t last = SIZE_MAX;
};

std::optional<Rows> parse_rows(const std::string& text) {
  auto number = [](std::string_view digits, size_t& value) {
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
  };
  Rows rows;
  const size_t colon = text.find(':');
  if (colon == std::string::npos) {
    if (!number(text, rows.first)) return std::nullopt;
    rows.last = rows.first;
    return rows;
  }
  const std::string_view a = std::string_view(text).substr(0, colon);
  const std::string_view b = std::string_view(text).substr(colon + 1);
  if (!a.empty() && !number(a, rows.first)) return std::nullopt;
  if (!b.empty() && !number(b, rows.last)) return std::nullopt;
  if (rows.first > rows.last) return std::nullopt;
  return rows;
}

std::string format(const char* pattern, auto... values) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

// The values packed into a cell's parameters, by Kind, in words and in JSON.
struct Unpacked {
  std::string text;
  Json json = Json::object();
};

Unpacked unpack_cell(const TrackCell& cell, size_t index) {
  Unpacked u;
  if (index == kSealCell) {
    // The seal owns cell 1's first two parameters, whatever the cell holds.
    u.text = format("seal %d, plain scenario code %d", cell.Param1, cell.Param2);
    u.json = {{"seal", cell.Param1}, {"plain_scenario_code", cell.Param2}};
    return u;
  }
  switch (cell.Kind) {
    case kSignal: {
      const SignalCell signal = unpack_signal(cell);
      const int32_t s[3] = {signal.s1, signal.s2, signal.s3};
      const int32_t d[3] = {signal.d1, signal.d2, signal.d3};
      for (int rank = 0; rank < 3; ++rank) {
        u.text += format("s%d %d d%d %d, ", rank + 1, s[rank], rank + 1, d[rank]);
        u.json["s" + std::to_string(rank + 1)] = s[rank];
        u.json["d" + std::to_string(rank + 1)] = d[rank];
      }
      u.text +=
          format("sx %d dx %d, rapp %d, tempo %d", signal.sx, signal.dx, signal.rapp, signal.tempo);
      u.json["sx"] = signal.sx;
      u.json["dx"] = signal.dx;
      u.json["rapp"] = signal.rapp;
      u.json["tempo"] = signal.tempo;
      break;
    }
    case kSlowOrderEnd:
    case kSlowOrderStart: {
      const SlowOrderCell order = unpack_slow_order(cell);
      u.text = format("%d km/h, d_v %d, f_tt %d", order.v, order.d_v, order.f_tt);
      u.json = {{"speed_kmh", order.v}, {"d_v", order.d_v}, {"f_tt", order.f_tt}};
      break;
    }
    case kWarningBoard: {
      const WarningBoardCell board = unpack_warning_board(cell);
      u.text = format("%d km/h, d_v %d", board.v, board.d_v);
      u.json = {{"speed_kmh", board.v}, {"d_v", board.d_v}};
      break;
    }
    case kApproachBoard: {
      const ApproachBoardCell board = unpack_approach_board(cell);
      u.text = format("board %d", board.board);
      u.json = {{"board", board.board}};
      break;
    }
    case kSpeedBoard: {
      const SpeedBoardCell board = unpack_speed_board(cell);
      const auto& left = board.left;
      const auto& right = board.right;
      u.text =
          format("left %d/%d/%d km/h, right %d/%d/%d km/h, stripes %d and %d", left[0], left[1],
                 left[2], right[0], right[1], right[2], board.strisces, board.strisced);
      u.json = {{"left_kmh", left},
                {"right_kmh", right},
                {"stripes_left", board.strisces},
                {"stripes_right", board.strisced}};
      break;
    }
    case kStationMarker:
      u.text = format("station in slot %d", unpack_slot_cell(cell));
      u.json = {{"station_slot", unpack_slot_cell(cell)}};
      break;
    case kCodePoint:
      u.text = format("code %d", unpack_code_point(cell).code);
      u.json = {{"code", unpack_code_point(cell).code}};
      break;
    case kInformationBoard:
      u.text = format("text in slot %d", unpack_slot_cell(cell));
      u.json = {{"text_slot", unpack_slot_cell(cell)}};
      break;
    default:
      break;
  }
  return u;
}

void dump_track(const std::vector<TrackCell>& cells, Rows rows, bool json, Console& console) {
  const size_t last = std::min(rows.last, cells.size() - 1);
  if (json) {
    Json out = {{"kind", "track"}, {"cells", Json::array()}};
    for (size_t i = rows.first; i <= last; ++i) {
      const TrackCell& c = cells[i];
      out["cells"].push_back({{"cell", i},
                              {"metres", i * kCellLength},
                              {"Kind", c.Kind},
                              {"kind_name", kind_name(c.Kind)},
                              {"Param1", c.Param1},
                              {"Param2", c.Param2},
                              {"Param3", c.Param3},
                              {"Param4", c.Param4},
                              {"Param5", c.Param5},
                              {"Mark", c.Mark},
                              {"Tunnel", c.Tunnel},
                              {"SpeedLimit", c.SpeedLimit},
                              {"speed_limit_kmh", unpack_speed_limit(c.SpeedLimit)},
                              {"Gradient", c.Gradient},
                              {"gradient_per_mille", unpack_gradient(c.Gradient)},
                              {"Adhesion", c.Adhesion},
                              {"unpacked", unpack_cell(c, i).json}});
    }
    console.out << out.dump(2) << '\n';
    return;
  }
  console.out << " cell  metres  Kind                    Param1 Param2 Param3 Param4 Param5 Mark "
                 "Tunnel  km/h  grad Adhesion  unpacked\n";
  for (size_t i = rows.first; i <= last; ++i) {
    const TrackCell& c = cells[i];
    console.out << format("%5zu %7zu  %2u %-20s %6d %6d %6d %6d %6u %4u %6u %5d %5d %8u", i,
                          i * kCellLength, c.Kind, kind_name(c.Kind), c.Param1, c.Param2, c.Param3,
                          c.Param4, c.Param5, c.Mark, c.Tunnel, unpack_speed_limit(c.SpeedLimit),
                          unpack_gradient(c.Gradient), c.Adhesion);
    const std::string details = unpack_cell(c, i).text;
    if (!details.empty()) console.out << "  " << details;
    console.out << '\n';
  }
}

void dump_table(const ScenarioTable& table, Rows rows, bool json, Console& console) {
  const size_t last = std::min<size_t>(rows.last, kScenarioSlots - 1);
  if (json) {
    Json out = {{"kind", "table"}, {"slots", Json::array()}};
    for (size_t i = rows.first; i <= last; ++i) {
      const ScenarioEntry& e = table[i];
      out["slots"].push_back({{"slot", i},
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
                              {"Num4", e.Num4}});
    }
    console.out << out.dump(2) << '\n';
    return;
  }
  console.out
      << "slot Tag       Num1       Num2       Num3 Tag2 Small1 Small2 Small3 Small4 Small5 "
         "Flag1 Flag2 Flag3 Flag4       Num4  Text\n";
  for (size_t i = rows.first; i <= last; ++i) {
    const ScenarioEntry& e = table[i];
    console.out << format("%4zu %3u %10d %10d %10d %4u %6d %6d %6d %6d %6d %5u %5u %5u %5u %10d", i,
                          e.Tag, e.Num1, e.Num2, e.Num3, e.Tag2, e.Small1, e.Small2, e.Small3,
                          e.Small4, e.Small5, e.Flag1, e.Flag2, e.Flag3, e.Flag4, e.Num4)
                << "  \"" << utf8_from_windows_1252(e.Text) << "\"\n";
  }
}

// A plan element in words: "-" when empty, an integer as it is, a double in the shortest form
// that reads back to the same value, with ".0" when it would look like an integer.
std::string plan_element_text(const TrackPlan& plan, int32_t point, int coordinate) {
  switch (plan.tag(point, coordinate)) {
    case PlanTag::Empty:
      return "-";
    case PlanTag::Integer:
      return std::to_string(static_cast<int>(plan.value(point, coordinate)));
    case PlanTag::Double:
      break;
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, plan.value(point, coordinate));
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".eni") == std::string::npos) text += ".0";
  return text;
}

Json plan_element_json(const TrackPlan& plan, int32_t point, int coordinate) {
  switch (plan.tag(point, coordinate)) {
    case PlanTag::Empty:
      return nullptr;
    case PlanTag::Integer:
      return static_cast<int>(plan.value(point, coordinate));
    case PlanTag::Double:
      break;
  }
  return plan.value(point, coordinate);
}

void dump_plan(const TrackPlan& plan, Rows rows, bool json, Console& console) {
  const auto last = static_cast<int32_t>(std::min<size_t>(rows.last, plan.last_point()));
  const auto first = static_cast<int32_t>(rows.first);
  if (json) {
    Json out = {{"kind", "plan"}, {"points", Json::array()}};
    for (int32_t p = first; p <= last; ++p) {
      out["points"].push_back(
          {{"point", p},
           {"coordinates", {plan_element_json(plan, p, 0), plan_element_json(plan, p, 1)}}});
    }
    console.out << out.dump(2) << '\n';
    return;
  }
  console.out << "  point  coordinate 0              coordinate 1\n";
  for (int32_t p = first; p <= last; ++p) {
    console.out << format("%7d  %-24s  %s\n", p, plan_element_text(plan, p, 0).c_str(),
                          plan_element_text(plan, p, 1).c_str());
  }
}

template <typename Model>
bool decoded_or_report(const Decoded<Model>& decoded, const std::filesystem::path& path,
                       const char* what, Console& console) {
  if (decoded) return true;
  console.err << "scengen: " << display_path(path) << " is not " << what << ": " << decoded.error
              << '\n';
  return false;
}

}  // namespace

int dump_file(const DumpOptions& o, Console& console) {
  const std::filesystem::path path = argument_path(o.file);
  const auto kind = o.kind ? kind_from_name(*o.kind) : kind_from_file_name(path);
  if (!kind) {
    console.err << "scengen dump: cannot tell the kind of " << display_path(path)
                << " from its name: give --kind track, table or plan\n";
    return kExitUsage;
  }
  Rows rows;
  if (o.cells) {
    const auto parsed = parse_rows(*o.cells);
    if (!parsed) {
      console.err << "scengen dump: --cells takes A:B, A:, :B or A with A not above B, not '"
                  << *o.cells << "'\n";
      return kExitUsage;
    }
    rows = *parsed;
  }
  const auto bytes = read_input(system_files(), path, kMaxBinaryBytes, console);
  if (!bytes) return kExitFileFailed;

  size_t count = 0;
  switch (*kind) {
    case FileKind::Track: {
      const auto cells = decode_track_cells(*bytes);
      if (!decoded_or_report(cells, path, "a compiled track", console)) return kExitCompileError;
      count = cells.value->size();
      if (rows.first < count) dump_track(*cells.value, rows, o.json, console);
      break;
    }
    case FileKind::Table: {
      const auto table = decode_scenario_table(*bytes);
      if (!decoded_or_report(table, path, "a scenario table", console)) return kExitCompileError;
      count = kScenarioSlots;
      if (rows.first < count) dump_table(*table.value, rows, o.json, console);
      break;
    }
    case FileKind::Plan: {
      const auto plan = decode_route_plan(*bytes);
      if (!decoded_or_report(plan, path, "a route plan", console)) return kExitCompileError;
      count = static_cast<size_t>(plan.value->last_point()) + 1;
      if (rows.first < count) dump_plan(*plan.value, rows, o.json, console);
      break;
    }
  }
  if (rows.first >= count) {
    console.err << "scengen dump: --cells " << *o.cells << " starts past the last row ("
                << count - 1 << ")\n";
    return kExitUsage;
  }
  return kExitOk;
}

namespace {

constexpr const char* kDumpFooter =
    R"(The kind comes from the name: ROUTE_linea.dat is a route plan, *.sim a scenario table, any other
*.dat a compiled track. Cells show their Kind by name, km/h (SpeedLimit x 5), grad (Gradient
- 100, per mille) and, unpacked, what their parameters hold: a signal's s, d, sx, dx, rapp and
tempo, a maximum-speed board's speeds. Texts are shown as UTF-8. --cells selects cells, slots or
plan points: A:B, A: (to the end), :B (from 0) or A alone.

Examples:
  scengen dump Veltrano_Quarnelo_58316.dat --cells 1048:1084
  scengen dump Veltrano_Quarnelo_58316.sim --cells 81:86
  scengen dump Veltrano_Quarnelo_linea.dat --cells 999:1002 --json
  scengen dump scenario.bin --kind track)";

}  // namespace

void add_dump_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(app, context, {"dump", "A compiled track, scenario table or route plan, readable.", kDumpFooter}, dump_file);
  command->add_option("FILE", o->file, "The binary file")->required()->type_name("FILE");
  command->add_option("--kind", o->kind, "The file's kind, whatever its name")
      ->check(CLI::IsMember({"track", "table", "plan"}))
      ->type_name("KIND");
  command->add_option("--cells", o->cells, "Only cells (slots, points) A to B")
      ->type_name("A:B");
  command->add_flag("--json", o->json, "JSON instead of a table");
}

}  // namespace scengen
