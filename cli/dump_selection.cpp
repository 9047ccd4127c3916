#include "cli/dump_selection.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/positions.h"
#include "run/printable_text.h"

namespace scengen::dump {
namespace {

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

// The features of a cell, as --only names them.
unsigned cell_features(const CellUse& use) {
  const unsigned bits = use.tunnel != 0 ? unsigned{kTunnels} : 0u;
  switch (use.kind) {
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

// The features of a slot, as --only names them.
unsigned slot_features(SlotRole role) {
  switch (role) {
    case SlotRole::Station:
      return kStations;
    case SlotRole::BoardText:
      return kInformationBoards;
    case SlotRole::Setting:
      return kSettings;
    case SlotRole::Empty:
      break;
  }
  return 0;
}

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

// The stretch --at, or --from and --to, name; false once a usage error was reported.
bool read_metres(const DumpOptions& o, std::optional<Metres>& metres, Console& console) {
  std::optional<int32_t> at, from, to;
  if (!read_position_option("dump", "--at", o.at, at, console) ||
      !read_position_option("dump", "--from", o.from, from, console) ||
      !read_position_option("dump", "--to", o.to, to, console)) {
    return false;
  }
  if (at) metres = Metres{*at, *at};
  if (from || to) {
    metres = Metres{from.value_or(0), to ? int64_t{*to} : INT64_MAX};
    if (metres->first > metres->last) {
      console.err << "scengen dump: --from " << printable_text(*o.from) << " lies beyond --to "
                  << printable_text(*o.to) << '\n';
      return false;
    }
  }
  return true;
}

void report_unknown_feature(const std::string& name, Console& console) {
  std::string names;
  for (const FeatureName& f : kFeatureNames)
    names += std::string(names.empty() ? "" : ", ") + f.name;
  console.err << "scengen dump: --only knows " << names << "; not '" << printable_text(name)
              << "'\n";
}

void report_feature_not_held(const std::string& name, FileKind kind, Console& console) {
  console.err << "scengen dump: "
              << (kind == FileKind::Plan    ? "a route plan"
                  : kind == FileKind::Table ? "a scenario table"
                                            : "a compiled track")
              << " holds no " << name
              << (kind == FileKind::Table  ? " (a table holds stations, boards' texts and settings)"
                  : kind == FileKind::Plan ? " (a plan holds only points)"
                                           : "")
              << '\n';
}

// The features --only names, as bits; nothing once a usage error was reported.
std::optional<unsigned> features_of(const std::vector<std::string>& only, FileKind kind,
                                    Console& console) {
  const unsigned fits = kind == FileKind::Track ? kEveryFeature & ~unsigned{kSettings}
                        : kind == FileKind::Table
                            ? unsigned{kStations | kInformationBoards | kSettings}
                            : 0u;
  unsigned features = 0;
  for (const std::string& name : only) {
    const auto known = std::find_if(std::begin(kFeatureNames), std::end(kFeatureNames),
                                    [&](const FeatureName& f) { return name == f.name; });
    if (known == std::end(kFeatureNames)) {
      report_unknown_feature(name, console);
      return std::nullopt;
    }
    // "boards" in a table means the information boards' texts, the only boards it holds.
    const unsigned bits = kind == FileKind::Table && known->bits == kBoards
                              ? unsigned{kInformationBoards}
                              : known->bits;
    if ((bits & fits) == 0) {
      report_feature_not_held(name, kind, console);
      return std::nullopt;
    }
    features |= bits;
  }
  return features;
}

}  // namespace

// A cell stands for its 50 m and, when it holds a feature, for the position the feature was
// given: a signal at 5200 m stands in the cell that starts at 5250 m and is found at 5200.
bool Selection::wants(const CellUse& use, size_t cell) const {
  if (nonempty && use.holds_nothing) return false;
  if (features != kEveryFeature && (cell_features(use) & features) == 0) return false;
  if (!metres) return true;
  const int64_t start = static_cast<int64_t>(cell) * kCellLength;
  if (metres->overlaps(start, start + kCellLength - 1)) return true;
  return use.kind != kNothing && use.kind != kTunnelMarker && metres->contains(use.position);
}

// Stations are found by their area or their reference point; the other slots have no place on
// the route.
bool Selection::wants(const TableSlot& slot) const {
  if (nonempty && slot.role == SlotRole::Empty) return false;
  if (features != kEveryFeature && (slot_features(slot.role) & features) == 0) return false;
  if (!metres) return true;
  if (slot.role != SlotRole::Station) return false;
  const StationSlot& station = slot.station;
  return metres->contains(station.position) ||
         metres->overlaps(std::min(station.area_start, station.area_end),
                          std::max(station.area_start, station.area_end));
}

bool Selection::wants(const RoutePlanPoint& p) const {
  if (nonempty && p.tags[0] == PlanTag::Empty && p.tags[1] == PlanTag::Empty) return false;
  return !metres || metres->contains(p.point);
}

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
  if (!read_metres(o, selection.metres, console)) return std::nullopt;
  if (!o.only.empty()) {
    const std::optional<unsigned> features = features_of(o.only, kind, console);
    if (!features) return std::nullopt;
    selection.features = *features;
  }
  if (o.describe && kind == FileKind::Plan) {
    console.err << "scengen dump: --describe tells a scenario table's slots or a track's cells; a "
                   "route plan holds only points\n";
    return std::nullopt;
  }
  return selection;
}

}  // namespace scengen::dump
