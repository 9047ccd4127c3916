#include "compare/scenario_diff.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

namespace scengen {
namespace {

std::string format(const char* pattern, auto... values) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// A feature rebuilt from the cells or the table: where it stands (a point, or a stretch from
// `at` to `end`) and its values in words, which are what "the same feature" means.
struct Feature {
  int64_t at = 0;
  int64_t end = 0;
  std::string value;
};

// How a group words its features.
struct Wording {
  ChangeGroup group;
  const char* noun;  // "signal", "tunnel", ...
  bool stretch;      // features span from `at` to `end`
};

std::string place(const Wording& w, int64_t at, int64_t end) {
  if (!w.stretch) return format("at %lld m", static_cast<long long>(at));
  return format("from %lld to %lld m", static_cast<long long>(at), static_cast<long long>(end));
}

std::string bare_place(const Wording& w, int64_t at, int64_t end) {
  if (!w.stretch) return format("%lld m", static_cast<long long>(at));
  return format("%lld to %lld m", static_cast<long long>(at), static_cast<long long>(end));
}

class Collector {
 public:
  explicit Collector(std::vector<ScenarioChange>& out) : out_(out) {}

  void add(ChangeGroup group, ChangeKind kind, int64_t from, int64_t to, std::string old_value,
           std::string new_value, std::string text) {
    out_.push_back({group, kind, from, to, std::move(old_value), std::move(new_value),
                    std::move(text)});
  }

  // One value of the scenario's general records, when it differs.
  void setting(ChangeGroup group, const std::string& what, const std::string& old_value,
               const std::string& new_value) {
    if (old_value == new_value) return;
    add(group, ChangeKind::Changed, 0, 0, old_value, new_value,
        what + " " + new_value + " (was " + old_value + ")");
  }

 private:
  std::vector<ScenarioChange>& out_;
};

// A feature that disappears and a like one (same values, same length) that appears within this
// distance read as one feature moved.
constexpr int64_t kMoveWindow = 2000;

// Pairs the features of two lists (each sorted by `at`) and reports what is not the same: the
// same values at the same place are unchanged; a place whose values differ is a change; a like
// feature nearby is a move; the rest were added or removed.
void compare_features(const Wording& w, const std::vector<Feature>& olds,
                      const std::vector<Feature>& news, Collector& out) {
  std::vector<bool> old_used(olds.size()), new_used(news.size());
  auto same_place = [](const Feature& a, const Feature& b) { return a.at == b.at && a.end == b.end; };
  // Both lists are sorted by `at`: walk them together, pairing features of one place.
  for (size_t i = 0, j = 0; i < olds.size() && j < news.size();) {
    if (olds[i].at < news[j].at) {
      ++i;
    } else if (news[j].at < olds[i].at) {
      ++j;
    } else {
      // A place holds one feature in a list of cells; stretches may share a start.
      size_t i_end = i, j_end = j;
      while (i_end < olds.size() && olds[i_end].at == olds[i].at) ++i_end;
      while (j_end < news.size() && news[j_end].at == news[j].at) ++j_end;
      for (size_t a = i; a < i_end; ++a) {
        for (size_t b = j; b < j_end; ++b) {
          if (!new_used[b] && same_place(olds[a], news[b]) && olds[a].value == news[b].value) {
            old_used[a] = new_used[b] = true;
            break;
          }
        }
      }
      for (size_t a = i; a < i_end; ++a) {
        if (old_used[a]) continue;
        for (size_t b = j; b < j_end; ++b) {
          if (new_used[b] || !same_place(olds[a], news[b])) continue;
          old_used[a] = new_used[b] = true;
          out.add(w.group, ChangeKind::Changed, olds[a].at, olds[a].end, olds[a].value,
                  news[b].value,
                  std::string(w.noun) + " " + place(w, olds[a].at, olds[a].end) + ": " +
                      news[b].value + " (was " + olds[a].value + ")");
          break;
        }
      }
      // A stretch that keeps its start but not its end was lengthened or shortened: one change,
      // not one removed and one added. Its values carry the places, its end is the new one.
      for (size_t a = i; a < i_end && w.stretch; ++a) {
        if (old_used[a]) continue;
        for (size_t b = j; b < j_end; ++b) {
          if (new_used[b]) continue;
          old_used[a] = new_used[b] = true;
          std::string text = std::string(w.noun) + " " + place(w, olds[a].at, olds[a].end) +
                             ": now to " + format("%lld m", static_cast<long long>(news[b].end));
          if (news[b].value != olds[a].value) {
            text += ", " + news[b].value + " (was " + olds[a].value + ")";
          }
          out.add(w.group, ChangeKind::Changed, olds[a].at, news[b].end,
                  bare_place(w, olds[a].at, olds[a].end) + ", " + olds[a].value,
                  bare_place(w, news[b].at, news[b].end) + ", " + news[b].value, text);
          break;
        }
      }
      i = i_end;
      j = j_end;
    }
  }

  // Moves: the nearest unpaired new feature of the same values and length.
  std::map<std::pair<std::string, int64_t>, std::set<std::pair<int64_t, size_t>>> waiting;
  for (size_t b = 0; b < news.size(); ++b) {
    if (!new_used[b]) waiting[{news[b].value, news[b].end - news[b].at}].insert({news[b].at, b});
  }
  for (size_t a = 0; a < olds.size(); ++a) {
    if (old_used[a]) continue;
    auto found = waiting.find({olds[a].value, olds[a].end - olds[a].at});
    if (found == waiting.end() || found->second.empty()) continue;
    auto& places = found->second;
    auto next = places.lower_bound({olds[a].at, 0});
    auto best = places.end();
    if (next != places.end()) best = next;
    if (next != places.begin()) {
      auto before = std::prev(next);
      if (best == places.end() || olds[a].at - before->first <= best->first - olds[a].at) {
        best = before;
      }
    }
    if (best == places.end() || std::llabs(best->first - olds[a].at) > kMoveWindow) continue;
    const Feature& moved = news[best->second];
    old_used[a] = new_used[best->second] = true;
    places.erase(best);
    out.add(w.group, ChangeKind::Moved, olds[a].at, moved.at, olds[a].value, moved.value,
            std::string(w.noun) + " " + place(w, olds[a].at, olds[a].end) + " moved to " +
                bare_place(w, moved.at, moved.end));
  }

  for (size_t a = 0; a < olds.size(); ++a) {
    if (old_used[a]) continue;
    out.add(w.group, ChangeKind::Removed, olds[a].at, olds[a].end, olds[a].value, "",
            std::string(w.noun) + " " + place(w, olds[a].at, olds[a].end) + " removed (" +
                olds[a].value + ")");
  }
  for (size_t b = 0; b < news.size(); ++b) {
    if (new_used[b]) continue;
    out.add(w.group, ChangeKind::Added, news[b].at, news[b].end, "", news[b].value,
            std::string(w.noun) + " added " + place(w, news[b].at, news[b].end) + ": " +
                news[b].value);
  }
}

// ---- Features from the cells --------------------------------------------------------------------

std::string signal_words(const TrackCell& cell) {
  const SignalCell s = unpack_signal(cell);
  return format("s1 %d d1 %d, s2 %d d2 %d, s3 %d d3 %d, sx %d dx %d, rapp %d, tempo %d", s.s1,
                s.d1, s.s2, s.d2, s.s3, s.d3, s.sx, s.dx, s.rapp, s.tempo);
}

std::string speed_board_words(const TrackCell& cell) {
  const SpeedBoardCell b = unpack_speed_board(cell);
  return format("left %d/%d/%d km/h, right %d/%d/%d km/h, stripes %d and %d", b.left[0], b.left[1],
                b.left[2], b.right[0], b.right[1], b.right[2], b.strisces, b.strisced);
}

std::string code_point_words(const TrackCell& cell) {
  if (cell.Kind == kCodePointWithoutCode) return "no code";
  return format("code %d", unpack_code_point(cell).code);
}

// The text of the table slot a cell names, when the slot exists.
std::string slot_text(const ScenarioTable& table, int32_t slot) {
  if (slot < 0 || slot >= kScenarioSlots) return format("slot %d", slot);
  return quoted(table[static_cast<size_t>(slot)].Text);
}

// The point features of one kind group, in cell order. Cell 1's first two values belong to the
// seal, whatever the cell holds, so a feature there is told by its Kind and its other values.
template <typename Words>
std::vector<Feature> point_features(const std::vector<TrackCell>& cells,
                                    std::initializer_list<uint8_t> kinds, Words words) {
  std::vector<Feature> features;
  for (size_t i = 0; i < cells.size(); ++i) {
    const uint8_t kind = cells[i].Kind;
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) continue;
    const int64_t at = feature_position(kind, static_cast<int32_t>(i));
    features.push_back({at, at, words(cells[i])});
  }
  return features;
}

// A slow order is its start cell and the first end cell after it (none: a length of 0, whose
// single cell ends as a start); its warning and approach boards follow from the start.
std::vector<Feature> slow_orders(const std::vector<TrackCell>& cells) {
  std::vector<Feature> orders;
  const int64_t warning_cells = kWarningDistance / kCellLength;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].Kind != kSlowOrderStart) continue;
    size_t end = i;
    for (size_t j = i + 1; j < cells.size(); ++j) {
      if (cells[j].Kind == kSlowOrderEnd) {
        end = j;
        break;
      }
      if (cells[j].Kind == kSlowOrderStart) break;
    }
    const SlowOrderCell order = unpack_slow_order(cells[i]);
    std::string words = format("%d km/h, d_v %d, f_tt %d", order.v, order.d_v, order.f_tt);
    const int64_t board = static_cast<int64_t>(i) - warning_cells - 1;
    if (board >= 0 && cells[static_cast<size_t>(board)].Kind == kApproachBoard) {
      words += ", approach boards";
    }
    orders.push_back({feature_position(kSlowOrderStart, static_cast<int32_t>(i)),
                      feature_position(kSlowOrderEnd, static_cast<int32_t>(end)), words});
  }
  return orders;
}

// Tunnels are the runs of cells of one tunnel kind; a marker inside one says it is marked.
std::vector<Feature> tunnels(const std::vector<TrackCell>& cells) {
  std::vector<Feature> found;
  for (size_t i = 0; i < cells.size();) {
    const uint8_t kind = cells[i].Tunnel;
    if (kind == 0) {
      ++i;
      continue;
    }
    size_t j = i;
    bool marked = false;
    while (j < cells.size() && cells[j].Tunnel == kind) marked |= cells[j++].Kind == kTunnelMarker;
    found.push_back({cell_start(static_cast<int32_t>(i)), cell_start(static_cast<int32_t>(j)),
                     format("kind %d%s", kind, marked ? ", marked" : "")});
    i = j;
  }
  return found;
}

// A profile (gradient, speed limit, adhesion) compared cell by cell: each run of cells with one
// old and one new value is one change over that stretch.
template <typename Get, typename Number>
void compare_profile(ChangeGroup group, const char* noun, const char* unit,
                     const std::vector<TrackCell>& olds, const std::vector<TrackCell>& news,
                     size_t common, Get get, Number number, Collector& out) {
  for (size_t i = 0; i < common;) {
    const auto was = get(olds[i]);
    const auto now = get(news[i]);
    if (was == now) {
      ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < common && get(olds[j]) == was && get(news[j]) == now) ++j;
    const int64_t from = cell_start(static_cast<int32_t>(i));
    const int64_t to = cell_start(static_cast<int32_t>(j));
    const std::string old_value = std::to_string(number(was)) + unit;
    const std::string new_value = std::to_string(number(now)) + unit;
    out.add(group, ChangeKind::Changed, from, to, old_value, new_value,
            format("%s from %lld to %lld m: %lld -> %s", noun, static_cast<long long>(from),
                   static_cast<long long>(to), static_cast<long long>(number(was)),
                   new_value.c_str()));
    i = j;
  }
}

// ---- Stations ------------------------------------------------------------------------------------

bool slot_is_empty(const ScenarioEntry& e) {
  return e.Tag == 0 && e.Num1 == 0 && e.Num2 == 0 && e.Num3 == 0 && e.Tag2 == 0 && e.Text.empty() &&
         e.Small1 == 0 && e.Small2 == 0 && e.Small3 == 0 && e.Small4 == 0 && e.Small5 == 0 &&
         e.Flag1 == 0 && e.Flag2 == 0 && e.Flag3 == 0 && e.Flag4 == 0 && e.Num4 == 0;
}

// The stations fill the slots from 1 upward, up to the first empty slot or the first that holds
// an information board's text.
std::vector<StationSlot> stations(const std::vector<TrackCell>& cells, const ScenarioTable& table) {
  std::vector<bool> board_text(kScenarioSlots);
  for (const TrackCell& cell : cells) {
    if (cell.Kind != kInformationBoard) continue;
    const int32_t slot = unpack_slot_cell(cell);
    if (slot >= 0 && slot < kScenarioSlots) board_text[static_cast<size_t>(slot)] = true;
  }
  std::vector<StationSlot> found;
  for (int slot = kFirstStationSlot; slot <= kFirstBoardTextSlot; ++slot) {
    const ScenarioEntry& entry = table[static_cast<size_t>(slot)];
    if (board_text[static_cast<size_t>(slot)] || slot_is_empty(entry)) break;
    found.push_back(unpack_station(entry));
  }
  return found;
}

std::string time_words(int64_t seconds) {
  return seconds == 0 ? "no time" : clock_time(seconds);
}

std::string other_values(const StationSlot& s) {
  return format("flags %d %d %d %d, values %d %d, %d %d %d", s.first_flag, s.second_flag,
                s.lengthens_end, s.first_group_last, s.first_group[0], s.first_group[1],
                s.second_group[0], s.second_group[1], s.second_group[2]);
}

void compare_station(const StationSlot& was, const StationSlot& now, bool terminus,
                     Collector& out) {
  const std::string name = "station " + now.name;
  const int64_t at = now.position;
  auto change = [&](std::string old_value, std::string new_value, std::string text) {
    out.add(ChangeGroup::Stations, ChangeKind::Changed, was.position, at, std::move(old_value),
            std::move(new_value), std::move(text));
  };
  if (was.position != now.position) {
    out.add(ChangeGroup::Stations, ChangeKind::Moved, was.position, at,
            format("%d m", was.position), format("%d m", now.position),
            format("%s moved from %d to %d m", name.c_str(), was.position, now.position));
  }
  if (was.time_seconds != now.time_seconds) {
    // The scheduled time is the departure at a stop and the arrival at the terminus.
    const char* verb = terminus ? "arrives" : "departs";
    const std::string old_time = time_words(was.time_seconds);
    const std::string new_time = time_words(now.time_seconds);
    change(old_time, new_time,
           now.time_seconds == 0 ? name + " has no time (was " + old_time + ")"
                                 : name + " " + verb + " " + new_time + " (was " + old_time + ")");
  }
  if (was.type != now.type) {
    change(format("type %d", was.type), format("type %d", now.type),
           format("%s type %d (was %d)", name.c_str(), now.type, was.type));
  }
  if (was.dwell_seconds != now.dwell_seconds) {
    change(format("%d s", was.dwell_seconds), format("%d s", now.dwell_seconds),
           format("%s dwell %d s (was %d s)", name.c_str(), now.dwell_seconds, was.dwell_seconds));
  }
  // The area follows the position; only a change of its extent is news.
  if (was.area_start - was.position != now.area_start - now.position ||
      was.area_end - was.position != now.area_end - now.position) {
    const std::string old_area = format("%d to %d m", was.area_start, was.area_end);
    const std::string new_area = format("%d to %d m", now.area_start, now.area_end);
    change(old_area, new_area, name + " area " + new_area + " (was " + old_area + ")");
  }
  if (other_values(was) != other_values(now)) {
    change(other_values(was), other_values(now),
           name + " " + other_values(now) + " (was " + other_values(was) + ")");
  }
}

std::string station_words(const StationSlot& s) {
  std::string words = format("type %d, %s", s.type, time_words(s.time_seconds).c_str());
  return words;
}

// Stations are paired by name, the k-th of a name with the k-th; a station left over on both
// sides at one position was renamed.
void compare_stations(const std::vector<StationSlot>& olds, const std::vector<StationSlot>& news,
                      Collector& out) {
  std::map<std::string, std::vector<size_t>> by_name;
  for (size_t b = 0; b < news.size(); ++b) by_name[news[b].name].push_back(b);
  std::map<std::string, size_t> taken;
  std::vector<bool> old_used(olds.size()), new_used(news.size());
  for (size_t a = 0; a < olds.size(); ++a) {
    auto found = by_name.find(olds[a].name);
    if (found == by_name.end()) continue;
    size_t& k = taken[olds[a].name];
    if (k >= found->second.size()) continue;
    const size_t b = found->second[k++];
    old_used[a] = new_used[b] = true;
    compare_station(olds[a], news[b], b + 1 == news.size(), out);
  }
  std::map<int32_t, size_t> unpaired_new;
  for (size_t b = 0; b < news.size(); ++b) {
    if (!new_used[b]) unpaired_new.emplace(news[b].position, b);
  }
  for (size_t a = 0; a < olds.size(); ++a) {
    if (old_used[a]) continue;
    auto found = unpaired_new.find(olds[a].position);
    if (found == unpaired_new.end()) continue;
    const size_t b = found->second;
    unpaired_new.erase(found);
    old_used[a] = new_used[b] = true;
    out.add(ChangeGroup::Stations, ChangeKind::Changed, olds[a].position, olds[a].position,
            olds[a].name, news[b].name,
            format("station %s at %d m renamed %s", olds[a].name.c_str(), olds[a].position,
                   news[b].name.c_str()));
    StationSlot renamed = olds[a];
    renamed.name = news[b].name;
    compare_station(renamed, news[b], b + 1 == news.size(), out);
  }
  for (size_t a = 0; a < olds.size(); ++a) {
    if (old_used[a]) continue;
    out.add(ChangeGroup::Stations, ChangeKind::Removed, olds[a].position, olds[a].position,
            station_words(olds[a]), "",
            format("station %s at %d m removed", olds[a].name.c_str(), olds[a].position));
  }
  for (size_t b = 0; b < news.size(); ++b) {
    if (new_used[b]) continue;
    out.add(ChangeGroup::Stations, ChangeKind::Added, news[b].position, news[b].position, "",
            station_words(news[b]),
            format("station %s added at %d m: %s", news[b].name.c_str(), news[b].position,
                   station_words(news[b]).c_str()));
  }
}

// ---- General records -----------------------------------------------------------------------------

std::string reference_words(const ScenarioEntry& e) {
  if (e.Num1 == 0 && e.Num2 == 0 && e.Num3 == 0) return "none";
  const int64_t progressive = e.Num2;
  const int64_t magnitude = progressive < 0 ? -progressive : progressive;
  return format("at %d m, km %s%lld.%03lld, direction %d", e.Num1, progressive < 0 ? "-" : "",
                static_cast<long long>(magnitude / 1000), static_cast<long long>(magnitude % 1000),
                e.Num3);
}

std::string repetition_words(const ScenarioEntry& e) {
  if (e.Num1 == 0 && e.Num2 == 0 && e.Num3 == 0) return "none";
  return format("from %d to %d m, %d codes", e.Num1, e.Num2, e.Num3);
}

void compare_general(const ScenarioTable& olds, const ScenarioTable& news, Collector& out) {
  auto number = [](int64_t value) { return std::to_string(value); };
  const ScenarioEntry& old_length = olds[kRouteLengthSlot];
  const ScenarioEntry& new_length = news[kRouteLengthSlot];
  if (old_length.Num2 != new_length.Num2) {
    out.add(ChangeGroup::Route, ChangeKind::Changed, old_length.Num2, new_length.Num2,
            format("%d m", old_length.Num2), format("%d m", new_length.Num2),
            format("route length %d m (was %d m)", new_length.Num2, old_length.Num2));
  }
  const ChangeGroup g = ChangeGroup::General;
  for (int rank = 0; rank < 3; ++rank) {
    const size_t slot = static_cast<size_t>(kReferenceSlots[rank]);
    out.setting(g, format("kilometric reference %d", rank + 1), reference_words(olds[slot]),
                reference_words(news[slot]));
  }
  const ScenarioEntry& old_id = olds[kRouteIdSlot];
  const ScenarioEntry& new_id = news[kRouteIdSlot];
  out.setting(g, "route", quoted(old_id.Text), quoted(new_id.Text));
  const char* backgrounds[] = {"uno", "tre", "due"};
  const int32_t old_backgrounds[] = {old_id.Num1, old_id.Num2, old_id.Num3};
  const int32_t new_backgrounds[] = {new_id.Num1, new_id.Num2, new_id.Num3};
  for (int i = 0; i < 3; ++i) {
    out.setting(g, std::string("background ") + backgrounds[i], number(old_backgrounds[i]),
                number(new_backgrounds[i]));
  }
  const ScenarioEntry& old_train = olds[kTrainNumberSlot];
  const ScenarioEntry& new_train = news[kTrainNumberSlot];
  out.setting(g, "train", quoted(old_train.Text), quoted(new_train.Text));
  out.setting(g, "cab-signal repetition", repetition_words(old_train),
              repetition_words(new_train));
  out.setting(g, "braked mass", number(old_length.Num1) + " %", number(new_length.Num1) + " %");
  out.setting(g, "coaches", number(old_length.Num3), number(new_length.Num3));
  out.setting(g, "sand", number(old_train.Small1), number(new_train.Small1));
  auto clock = [](const ScenarioEntry& e) {
    return format("%d:%02d:%02d", e.Small3, e.Small4, e.Small5);
  };
  out.setting(g, "starting clock", clock(old_train), clock(new_train));
}

// ---- The plan -------------------------------------------------------------------------------------

// The plan walk turns each step by the curvature k to first order, so the turn between two steps
// gives k back: cross(step before, step) = -k * |step before|^2. Rounded to 1e-5 per metre, which
// the classes are multiples of and far above the rounding of positions up to 1e6 m.
constexpr double kCurvatureUnit = 1e-5;

// The curvature at every point (units of kCurvatureUnit); a point without two computed points
// before it has none.
std::vector<int64_t> curvatures(const TrackPlan& plan) {
  const int32_t last = plan.last_point();
  std::vector<int64_t> k(static_cast<size_t>(last + 1), 0);
  auto computed = [&](int32_t p) {
    return plan.tag(p, 0) != PlanTag::Empty && plan.tag(p, 1) != PlanTag::Empty;
  };
  for (int32_t p = 2; p <= last; ++p) {
    if (!computed(p) || !computed(p - 1) || !computed(p - 2)) continue;
    const double dx = plan.value(p - 1, 0) - plan.value(p - 2, 0);
    const double dy = plan.value(p - 1, 1) - plan.value(p - 2, 1);
    const double nx = plan.value(p, 0) - plan.value(p - 1, 0);
    const double ny = plan.value(p, 1) - plan.value(p - 1, 1);
    const double length = dx * dx + dy * dy;
    if (length == 0) continue;
    k[static_cast<size_t>(p)] = std::llround(-(dx * ny - dy * nx) / length / kCurvatureUnit);
  }
  return k;
}

std::string curve_words(int64_t units) {
  static const std::pair<int64_t, int> classes[] = {{10, 1},  {20, 2},  {40, 3},
                                                    {100, 4}, {200, 5}, {300, 6}};
  const char* side = units > 0 ? "right" : "left";
  const int64_t magnitude = units > 0 ? units : -units;
  for (const auto& [value, curve_class] : classes) {
    if (value == magnitude) return format("%s, class %d", side, curve_class);
  }
  return format("%s, curvature %.5f per metre", side, static_cast<double>(magnitude) * kCurvatureUnit);
}

// The curvature compared point by point, as a profile: a curve starting at s with length n
// curves the points s + 1 to s + n, so a run of points p to q - 1 is the stretch p - 1 to q - 1.
// Adjacent curves stay apart this way, and a changed class reads as one stretch.
void compare_curves(const std::vector<int64_t>& olds, const std::vector<int64_t>& news,
                    Collector& out) {
  auto words = [](int64_t k) { return k == 0 ? std::string("straight") : curve_words(k); };
  const size_t common = std::min(olds.size(), news.size());
  for (size_t p = 0; p < common;) {
    if (olds[p] == news[p]) {
      ++p;
      continue;
    }
    size_t q = p + 1;
    while (q < common && olds[q] == olds[p] && news[q] == news[p]) ++q;
    const int64_t from = static_cast<int64_t>(p) - 1, to = static_cast<int64_t>(q) - 1;
    const ChangeKind kind = olds[p] == 0   ? ChangeKind::Added
                            : news[p] == 0 ? ChangeKind::Removed
                                           : ChangeKind::Changed;
    out.add(ChangeGroup::Curves, kind, from, to, words(olds[p]), words(news[p]),
            format("curve from %lld to %lld m: %s -> %s", static_cast<long long>(from),
                   static_cast<long long>(to), words(olds[p]).c_str(), words(news[p]).c_str()));
    p = q;
  }
}

// The curves, and the stretch whose positions differ when no curve says why (the plans' own
// points, not their walk, differ).
void compare_plans(const TrackPlan& olds, const TrackPlan& news, Collector& out,
                   std::vector<ScenarioChange>& changes) {
  const size_t before = changes.size();
  compare_curves(curvatures(olds), curvatures(news), out);
  if (changes.size() != before) return;
  const int32_t common = std::min(olds.last_point(), news.last_point());
  int64_t first = -1, last = -1;
  for (int32_t p = 0; p <= common; ++p) {
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      if (olds.tag(p, coordinate) == PlanTag::Empty || news.tag(p, coordinate) == PlanTag::Empty) {
        continue;
      }
      if (olds.value(p, coordinate) != news.value(p, coordinate)) {
        if (first < 0) first = p;
        last = p;
      }
    }
  }
  if (first >= 0) {
    out.add(ChangeGroup::RoutePlan, ChangeKind::Changed, first, last, "", "",
            format("route plan differs from %lld to %lld m", static_cast<long long>(first),
                   static_cast<long long>(last)));
  }
}

}  // namespace

const char* group_name(ChangeGroup group) {
  switch (group) {
    case ChangeGroup::Route: return "route";
    case ChangeGroup::General: return "general settings";
    case ChangeGroup::Gradients: return "gradients";
    case ChangeGroup::Curves: return "curves";
    case ChangeGroup::RoutePlan: return "route plan";
    case ChangeGroup::Tunnels: return "tunnels";
    case ChangeGroup::SpeedBoards: return "maximum-speed boards";
    case ChangeGroup::InformationBoards: return "information boards";
    case ChangeGroup::SpeedLimits: return "speed limits";
    case ChangeGroup::Adhesion: return "adhesion";
    case ChangeGroup::Stations: return "stations";
    case ChangeGroup::Signals: return "signals";
    case ChangeGroup::SlowOrders: return "slow orders";
    case ChangeGroup::CodePoints: return "code points";
  }
  return "other";
}

const char* group_key(ChangeGroup group) {
  switch (group) {
    case ChangeGroup::Route: return "route";
    case ChangeGroup::General: return "general";
    case ChangeGroup::Gradients: return "gradients";
    case ChangeGroup::Curves: return "curves";
    case ChangeGroup::RoutePlan: return "route_plan";
    case ChangeGroup::Tunnels: return "tunnels";
    case ChangeGroup::SpeedBoards: return "speed_boards";
    case ChangeGroup::InformationBoards: return "information_boards";
    case ChangeGroup::SpeedLimits: return "speed_limits";
    case ChangeGroup::Adhesion: return "adhesion";
    case ChangeGroup::Stations: return "stations";
    case ChangeGroup::Signals: return "signals";
    case ChangeGroup::SlowOrders: return "slow_orders";
    case ChangeGroup::CodePoints: return "code_points";
  }
  return "other";
}

const char* change_kind_name(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::Added: return "added";
    case ChangeKind::Removed: return "removed";
    case ChangeKind::Changed: return "changed";
    case ChangeKind::Moved: return "moved";
  }
  return "changed";
}

std::string clock_time(int64_t seconds) {
  const int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (s != 0) {
    return format("%lld:%02lld:%02lld", static_cast<long long>(h), static_cast<long long>(m),
                  static_cast<long long>(s));
  }
  return format("%lld:%02lld", static_cast<long long>(h), static_cast<long long>(m));
}

std::vector<ScenarioChange> diff_scenarios(const ScenarioView& old_view,
                                           const ScenarioView& new_view) {
  std::vector<ScenarioChange> changes;
  Collector out(changes);
  const std::vector<TrackCell>& olds = *old_view.cells;
  const std::vector<TrackCell>& news = *new_view.cells;
  const ScenarioTable& old_table = *old_view.table;
  const ScenarioTable& new_table = *new_view.table;

  compare_general(old_table, new_table, out);
  // The profiles' tails reach the end of each track; when the route length changed, the cells
  // past the shorter route differ because of it alone.
  size_t profile_cells = std::min(olds.size(), news.size());
  const int32_t old_length = old_table[kRouteLengthSlot].Num2;
  const int32_t new_length = new_table[kRouteLengthSlot].Num2;
  if (old_length != new_length) {
    const int64_t route_cells = cell_of(std::max(0, std::min(old_length, new_length)), kStepOffset);
    profile_cells = std::min(profile_cells, static_cast<size_t>(route_cells));
  }
  compare_profile(
      ChangeGroup::Gradients, "gradient", " per mille", olds, news, profile_cells,
      [](const TrackCell& c) { return c.Gradient; }, unpack_gradient, out);
  if (old_view.plan && new_view.plan) {
    compare_plans(*old_view.plan, *new_view.plan, out, changes);
  }
  compare_features({ChangeGroup::Tunnels, "tunnel", true}, tunnels(olds), tunnels(news), out);
  compare_features({ChangeGroup::SpeedBoards, "maximum-speed board", false},
                   point_features(olds, {kSpeedBoard}, speed_board_words),
                   point_features(news, {kSpeedBoard}, speed_board_words), out);
  auto old_board = [&](const TrackCell& c) { return slot_text(old_table, unpack_slot_cell(c)); };
  auto new_board = [&](const TrackCell& c) { return slot_text(new_table, unpack_slot_cell(c)); };
  compare_features({ChangeGroup::InformationBoards, "information board", false},
                   point_features(olds, {kInformationBoard}, old_board),
                   point_features(news, {kInformationBoard}, new_board), out);
  compare_profile(
      ChangeGroup::SpeedLimits, "speed limit", " km/h", olds, news, profile_cells,
      [](const TrackCell& c) { return c.SpeedLimit; }, unpack_speed_limit, out);
  compare_profile(
      ChangeGroup::Adhesion, "adhesion", "", olds, news, profile_cells,
      [](const TrackCell& c) { return c.Adhesion; }, [](uint8_t a) { return int{a}; }, out);
  compare_stations(stations(olds, old_table), stations(news, new_table), out);
  compare_features({ChangeGroup::Signals, "signal", false},
                   point_features(olds, {kSignal}, signal_words),
                   point_features(news, {kSignal}, signal_words), out);
  compare_features({ChangeGroup::SlowOrders, "slow order", true}, slow_orders(olds),
                   slow_orders(news), out);
  compare_features({ChangeGroup::CodePoints, "code point", false},
                   point_features(olds, {kCodePoint, kCodePointWithoutCode}, code_point_words),
                   point_features(news, {kCodePoint, kCodePointWithoutCode}, code_point_words),
                   out);

  // Within a group, by place; the groups keep their order.
  std::stable_sort(changes.begin(), changes.end(),
                   [](const ScenarioChange& a, const ScenarioChange& b) {
                     if (a.group != b.group) return a.group < b.group;
                     return a.from_m < b.from_m;
                   });
  return changes;
}

}  // namespace scengen
