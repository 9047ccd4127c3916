// scengen dump: a compiled track, scenario table or route plan file as a table or JSON.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/command_files.h"
#include "cli/commands.h"
#include "compiler/output_decoding.h"
#include "compiler/source_text.h"
#include "run/exit_status.h"

namespace scengen {
namespace {

using Json = nlohmann::ordered_json;

enum class FileKind { Track, Table, Plan };

constexpr const char* kKindNames[] = {
    "nothing",
    "signal",
    "slow-order end",
    "slow-order start",
    "warning board",
    "approach board",
    "max-speed board",
    "unused",
    "unused",
    "unused",
    "station marker",
    "tunnel marker",
    "code point",
    "code point, no code",
    "information board",
};

const char* kind_name(uint8_t kind) {
  return kind < std::size(kKindNames) ? kKindNames[kind] : "unknown";
}

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
  if (index == 1) {
    // The seal owns cell 1's first two parameters, whatever the cell holds.
    u.text = format("seal %d, plain scenario code %d", cell.Param1, cell.Param2);
    u.json = {{"seal", cell.Param1}, {"plain_scenario_code", cell.Param2}};
    return u;
  }
  switch (cell.Kind) {
    case 1: {
      const int rapp = cell.Param4 / 10, sets = cell.Param4 % 10;
      const int16_t packed[3] = {cell.Param1, cell.Param2, cell.Param3};
      for (int rank = 0; rank < 3; ++rank) {
        u.text +=
            format("s%d %d d%d %d, ", rank + 1, packed[rank] / 10, rank + 1, packed[rank] % 10);
        u.json["s" + std::to_string(rank + 1)] = packed[rank] / 10;
        u.json["d" + std::to_string(rank + 1)] = packed[rank] % 10;
      }
      u.text += format("sx %d dx %d, rapp %d, tempo %d", sets / 3, sets % 3, rapp, cell.Param5);
      u.json["sx"] = sets / 3;
      u.json["dx"] = sets % 3;
      u.json["rapp"] = rapp;
      u.json["tempo"] = cell.Param5;
      break;
    }
    case 2:
    case 3:
      u.text = format("%d km/h, d_v %d, f_tt %d", cell.Param1, cell.Param2, cell.Param3);
      u.json = {{"speed_kmh", cell.Param1}, {"d_v", cell.Param2}, {"f_tt", cell.Param3}};
      break;
    case 4:
      u.text = format("%d km/h, d_v %d", cell.Param1, cell.Param2);
      u.json = {{"speed_kmh", cell.Param1}, {"d_v", cell.Param2}};
      break;
    case 5:
      u.text = format("board %d", cell.Param1);
      u.json = {{"board", cell.Param1}};
      break;
    case 6: {
      // Each rank packs the left-hand speed / 5 in the hundreds and the right-hand one below.
      const int16_t packed[3] = {cell.Param1, cell.Param2, cell.Param3};
      Json left = Json::array(), right = Json::array();
      for (const int16_t p : packed) {
        left.push_back(p / 100 * 5);
        right.push_back(p % 100 * 5);
      }
      u.text =
          format("left %d/%d/%d km/h, right %d/%d/%d km/h, stripes %d and %d", left[0].get<int>(),
                 left[1].get<int>(), left[2].get<int>(), right[0].get<int>(), right[1].get<int>(),
                 right[2].get<int>(), cell.Param4 / 10, cell.Param4 % 10);
      u.json = {{"left_kmh", left},
                {"right_kmh", right},
                {"stripes_left", cell.Param4 / 10},
                {"stripes_right", cell.Param4 % 10}};
      break;
    }
    case 10:
      u.text = format("station in slot %d", cell.Param1);
      u.json = {{"station_slot", cell.Param1}};
      break;
    case 12:
      u.text = format("code %d", cell.Param1);
      u.json = {{"code", cell.Param1}};
      break;
    case 14:
      u.text = format("text in slot %d", cell.Param1);
      u.json = {{"text_slot", cell.Param1}};
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
                              {"metres", i * 50},
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
                              {"speed_limit_kmh", c.SpeedLimit * 5},
                              {"Gradient", c.Gradient},
                              {"gradient_per_mille", c.Gradient - 100},
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
    console.out << format("%5zu %7zu  %2u %-20s %6d %6d %6d %6d %6u %4u %6u %5d %5d %8u", i, i * 50,
                          c.Kind, kind_name(c.Kind), c.Param1, c.Param2, c.Param3, c.Param4,
                          c.Param5, c.Mark, c.Tunnel, c.SpeedLimit * 5, c.Gradient - 100,
                          c.Adhesion);
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
  const auto bytes = read_input(system_files(), path, console);
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

}  // namespace scengen
