// scengen dump: a compiled track, scenario table or route plan file as a table or JSON.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/compiled_files_reading.h"
#include "cli/positions.h"
#include "compiler/output_decoding.h"
#include "compiler/source_text.h"
#include "compiler/track_layout.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "scenario/scenario_model.h"

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

// A stretch of the route in metres, both ends included.
struct Metres {
  int64_t first = 0;
  int64_t last = INT64_MAX;
  bool contains(int64_t m) const { return m >= first && m <= last; }
  bool overlaps(int64_t a, int64_t b) const { return a <= last && b >= first; }
};

// The features --only may name, as bits.
enum Feature : unsigned {
  kSignals = 1u << 0,
  kSlowOrders = 1u << 1,
  kWarningBoards = 1u << 2,
  kApproachBoards = 1u << 3,
  kSpeedBoards = 1u << 4,
  kInformationBoards = 1u << 5,
  kStations = 1u << 6,
  kTunnels = 1u << 7,
  kCodePoints = 1u << 8,
  kSettings = 1u << 9,
  kBoards = kWarningBoards | kApproachBoards | kSpeedBoards | kInformationBoards,
  kEveryFeature = ~0u,
};

struct FeatureName {
  const char* name;
  unsigned bits;
};
constexpr FeatureName kFeatureNames[] = {
    {"signals", kSignals},
    {"slow-orders", kSlowOrders},
    {"boards", kBoards},
    {"warning-boards", kWarningBoards},
    {"approach-boards", kApproachBoards},
    {"speed-boards", kSpeedBoards},
    {"information-boards", kInformationBoards},
    {"stations", kStations},
    {"tunnels", kTunnels},
    {"code-points", kCodePoints},
    {"settings", kSettings},
};

// What the table's slots hold, as far as the table alone tells.
enum class SlotRole { Empty, Station, BoardText, Setting };

SlotRole slot_role(size_t slot, const ScenarioEntry& e) {
  if (slot > static_cast<size_t>(kFirstBoardTextSlot)) return SlotRole::Setting;
  if (slot_is_empty(e) || slot < static_cast<size_t>(kFirstStationSlot)) return SlotRole::Empty;
  // A board's text is a text alone; a station has at least its type or its area.
  ScenarioEntry numbers = e;
  numbers.Text.clear();
  return slot_is_empty(numbers) ? SlotRole::BoardText : SlotRole::Station;
}

// The features of a cell, as --only names them.
unsigned cell_features(const TrackCell& c) {
  unsigned bits = c.Tunnel != 0 ? unsigned{kTunnels} : 0u;
  switch (c.Kind) {
    case kSignal:
      return bits | kSignals;
    case kSlowOrderEnd:
    case kSlowOrderStart:
      return bits | kSlowOrders;
    case kWarningBoard:
      return bits | kWarningBoards;
    case kApproachBoard:
      return bits | kApproachBoards;
    case kSpeedBoard:
      return bits | kSpeedBoards;
    case kStationMarker:
      return bits | kStations;
    case kTunnelMarker:
      return bits | kTunnels;
    case kCodePoint:
    case kCodePointWithoutCode:
      return bits | kCodePoints;
    case kInformationBoard:
      return bits | kInformationBoards;
    default:
      return bits;
  }
}

// Which rows to show: --cells, the stretch of metres, the features and --nonempty, all at once.
struct Selection {
  Rows rows;
  std::optional<Metres> metres;
  unsigned features = kEveryFeature;
  bool nonempty = false;
  bool describe = false;

  bool filtered() const { return metres || features != kEveryFeature || nonempty; }

  // A cell stands for its 50 m and, when it holds a feature, for the position the feature was
  // given: a signal at 5200 m stands in the cell that starts at 5250 m and is found at 5200.
  bool wants(const TrackCell& c, size_t cell) const {
    if (nonempty && c.Kind == kNothing && c.Param1 == 0 && c.Param2 == 0 && c.Param3 == 0 &&
        c.Param4 == 0 && c.Param5 == 0 && c.Mark == 0 && c.Tunnel == 0) {
      return false;
    }
    if (features != kEveryFeature && (cell_features(c) & features) == 0) return false;
    if (!metres) return true;
    const int64_t start = static_cast<int64_t>(cell) * kCellLength;
    if (metres->overlaps(start, start + kCellLength - 1)) return true;
    return c.Kind != kNothing && c.Kind != kTunnelMarker &&
           metres->contains(feature_position(c.Kind, static_cast<int32_t>(cell)));
  }

  // Stations are found by their area or their reference point; the other slots have no place
  // on the route.
  bool wants(const ScenarioEntry& e, size_t slot) const {
    const SlotRole role = slot_role(slot, e);
    if (nonempty && role == SlotRole::Empty) return false;
    if (features != kEveryFeature) {
      const unsigned bits = role == SlotRole::Station     ? unsigned{kStations}
                            : role == SlotRole::BoardText ? unsigned{kInformationBoards}
                            : role == SlotRole::Setting   ? unsigned{kSettings}
                                                          : 0u;
      if ((bits & features) == 0) return false;
    }
    if (!metres) return true;
    if (role != SlotRole::Station) return false;
    const StationSlot station = unpack_station(e);
    return metres->contains(station.position) ||
           metres->overlaps(std::min(station.area_start, station.area_end),
                            std::max(station.area_start, station.area_end));
  }

  bool wants(const RoutePlanPoint& p) const {
    if (nonempty && p.tags[0] == PlanTag::Empty && p.tags[1] == PlanTag::Empty) return false;
    return !metres || metres->contains(p.point);
  }
};

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

void dump_track(const std::vector<TrackCell>& cells, const Selection& selection, bool json,
                Console& console) {
  const Rows rows = selection.rows;
  const size_t last = std::min(rows.last, cells.size() - 1);
  if (json) {
    Json out = {{"kind", "track"}, {"cells", Json::array()}};
    for (size_t i = rows.first; i <= last; ++i) {
      const TrackCell& c = cells[i];
      if (!selection.wants(c, i)) continue;
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
    if (!selection.wants(c, i)) continue;
    console.out << format("%5zu %7zu  %2u %-20s %6d %6d %6d %6d %6u %4u %6u %5d %5d %8u", i,
                          i * kCellLength, c.Kind, kind_name(c.Kind), c.Param1, c.Param2, c.Param3,
                          c.Param4, c.Param5, c.Mark, c.Tunnel, unpack_speed_limit(c.SpeedLimit),
                          unpack_gradient(c.Gradient), c.Adhesion);
    const std::string details = unpack_cell(c, i).text;
    if (!details.empty()) console.out << "  " << details;
    console.out << '\n';
  }
}

// A station slot in an author's words: name, kind, place and time.
std::string station_words(const StationSlot& s) {
  std::string words = "station \"" + printable_text(utf8_from_windows_1252(s.name)) +
                      "\", type " + std::to_string(s.type) +
                      (s.type < kFirstHaltType ? " (station)" : " (halt or cabin)") + ", at " +
                      std::to_string(s.position) + " m, area " + std::to_string(s.area_start) +
                      " to " + std::to_string(s.area_end) + " m, ";
  words += s.time_seconds == 0 ? "no time" : "time " + time_of_day(s.time_seconds);
  return words + ", stop " + std::to_string(s.dwell_seconds) + " s";
}

Json station_json(const StationSlot& s) {
  return {{"name", utf8_from_windows_1252(s.name)},
          {"type", s.type},
          {"kind", s.type < kFirstHaltType ? "station" : "halt or cabin"},
          {"position_m", s.position},
          {"area_start_m", s.area_start},
          {"area_end_m", s.area_end},
          {"time", s.time_seconds == 0 ? Json(nullptr) : Json(time_of_day(s.time_seconds))},
          {"stop_s", s.dwell_seconds}};
}

void dump_table(const ScenarioTable& table, const Selection& selection, bool json,
                Console& console) {
  const Rows rows = selection.rows;
  const size_t last = std::min<size_t>(rows.last, kScenarioSlots - 1);
  if (json) {
    Json out = {{"kind", "table"}, {"slots", Json::array()}};
    for (size_t i = rows.first; i <= last; ++i) {
      const ScenarioEntry& e = table[i];
      if (!selection.wants(e, i)) continue;
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
      if (!selection.describe) continue;
      const SlotRole role = slot_role(i, e);
      if (role == SlotRole::Station)
        out["slots"].back()["station"] = station_json(unpack_station(e));
      if (role == SlotRole::BoardText) {
        out["slots"].back()["board_text"] = utf8_from_windows_1252(e.Text);
      }
    }
    console.out << out.dump(2) << '\n';
    return;
  }
  console.out
      << "slot Tag       Num1       Num2       Num3 Tag2 Small1 Small2 Small3 Small4 Small5 "
         "Flag1 Flag2 Flag3 Flag4       Num4  Text\n";
  for (size_t i = rows.first; i <= last; ++i) {
    const ScenarioEntry& e = table[i];
    if (!selection.wants(e, i)) continue;
    console.out << format("%4zu %3u %10d %10d %10d %4u %6d %6d %6d %6d %6d %5u %5u %5u %5u %10d", i,
                          e.Tag, e.Num1, e.Num2, e.Num3, e.Tag2, e.Small1, e.Small2, e.Small3,
                          e.Small4, e.Small5, e.Flag1, e.Flag2, e.Flag3, e.Flag4, e.Num4)
                << "  \"" << printable_text(utf8_from_windows_1252(e.Text)) << '"';
    if (selection.describe) {
      const SlotRole role = slot_role(i, e);
      if (role == SlotRole::Station) console.out << "  " << station_words(unpack_station(e));
      if (role == SlotRole::BoardText) {
        console.out << "  board text \"" << printable_text(utf8_from_windows_1252(e.Text)) << '"';
      }
    }
    console.out << '\n';
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

// The selection the options ask for, or a usage error already reported.
std::optional<Selection> selection_of(const DumpOptions& o, FileKind kind, Console& console) {
  Selection selection;
  selection.nonempty = o.nonempty;
  selection.describe = o.describe;
  if (o.cells) {
    const auto parsed = parse_rows(*o.cells);
    if (!parsed) {
      console.err << "scengen dump: --cells takes A:B, A:, :B or A with A not above B, not '"
                  << printable_text(*o.cells) << "'\n";
      return std::nullopt;
    }
    selection.rows = *parsed;
  }
  std::optional<int32_t> at, from, to;
  if (!read_position_option("dump", "--at", o.at, at, console) ||
      !read_position_option("dump", "--from", o.from, from, console) ||
      !read_position_option("dump", "--to", o.to, to, console)) {
    return std::nullopt;
  }
  if (at) selection.metres = Metres{*at, *at};
  if (from || to) {
    selection.metres = Metres{from.value_or(0), to ? int64_t{*to} : INT64_MAX};
    if (selection.metres->first > selection.metres->last) {
      console.err << "scengen dump: --from " << printable_text(*o.from) << " lies beyond --to "
                  << printable_text(*o.to) << '\n';
      return std::nullopt;
    }
  }
  if (!o.only.empty()) {
    selection.features = 0;
    const unsigned fits = kind == FileKind::Track ? kEveryFeature & ~unsigned{kSettings}
                          : kind == FileKind::Table
                              ? unsigned{kStations | kInformationBoards | kSettings}
                              : 0u;
    for (const std::string& name : o.only) {
      const auto known = std::find_if(std::begin(kFeatureNames), std::end(kFeatureNames),
                                      [&](const FeatureName& f) { return name == f.name; });
      if (known == std::end(kFeatureNames)) {
        std::string names;
        for (const FeatureName& f : kFeatureNames)
          names += std::string(names.empty() ? "" : ", ") + f.name;
        console.err << "scengen dump: --only knows " << names << "; not '" << printable_text(name)
                    << "'\n";
        return std::nullopt;
      }
      // "boards" in a table means the information boards' texts, the only boards it holds.
      const unsigned bits = kind == FileKind::Table && known->bits == kBoards
                                ? unsigned{kInformationBoards}
                                : known->bits;
      if ((bits & fits) == 0) {
        console.err << "scengen dump: "
                    << (kind == FileKind::Plan    ? "a route plan"
                        : kind == FileKind::Table ? "a scenario table"
                                                  : "a compiled track")
                    << " holds no " << name
                    << (kind == FileKind::Table
                            ? " (a table holds stations, boards' texts and settings)"
                        : kind == FileKind::Plan ? " (a plan holds only points)"
                                                 : "")
                    << '\n';
        return std::nullopt;
      }
      selection.features |= bits;
    }
  }
  if (o.describe && kind != FileKind::Table) {
    console.err << "scengen dump: --describe tells a scenario table's slots; give it a .sim file\n";
    return std::nullopt;
  }
  return selection;
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
  const std::optional<Selection> selection = selection_of(o, *kind, console);
  if (!selection) return kExitUsage;
  const Rows rows = selection->rows;

  // The last metre a row can stand for, to refuse a stretch past it.
  int64_t last_metre = 0;
  size_t count = 0;
  switch (*kind) {
    case FileKind::Track: {
      const auto cells = read_track_file(path, console);
      if (!cells.value) return cells.status;
      count = cells.value->size();
      last_metre = static_cast<int64_t>(count) * kCellLength - 1;
      if (rows.first < count && (!selection->metres || selection->metres->first <= last_metre)) {
        dump_track(*cells.value, *selection, o.json, console);
      }
      break;
    }
    case FileKind::Table: {
      const auto table = read_table_file(path, console);
      if (!table.value) return table.status;
      count = kScenarioSlots;
      last_metre = INT64_MAX;  // stations anywhere; a stretch without any shows none
      if (rows.first < count) dump_table(*table.value, *selection, o.json, console);
      break;
    }
    case FileKind::Plan: {
      const auto plan = read_plan_file(path, console);
      if (!plan.value) return plan.status;
      const RoutePlanLayout& layout = plan.value->layout;
      count = static_cast<size_t>(layout.last_point) + 1;
      last_metre = layout.last_point;
      if (rows.first < count && (!selection->metres || selection->metres->first <= last_metre)) {
        dump_plan(plan.value->bytes, layout, *selection, o.json, console);
      }
      break;
    }
  }
  if (rows.first >= count) {
    console.err << "scengen dump: --cells " << printable_text(*o.cells)
                << " starts past the last row (" << count - 1 << ")\n";
    return kExitUsage;
  }
  if (selection->metres && selection->metres->first > last_metre) {
    console.err << "scengen dump: " << printable_text(o.at ? "--at " + *o.at : "--from " + *o.from)
                << " lies beyond the end of " << printable_path(path) << " (its last metre is "
                << last_metre << ")\n";
    return kExitUsage;
  }
  return kExitOk;
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
station in words (name, kind, place, time as h:mm, stop) and to the board slots their texts.
--cells, the position, --only and --nonempty are combined: a row must pass them all.

Examples:
  scengen dump Veltrano_Quarnelo_58316.dat --cells 1048:1084
  scengen dump Veltrano_Quarnelo_58316.dat --from 12km --to 14km --nonempty
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
                    "A table's station and board slots in words (name, kind, h:mm)");
  command->add_flag("--json", o->json, "JSON instead of a table");
}

}  // namespace scengen
