#include "compare/scenario_diff.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include "compare/scenario_features.h"

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

  // How many changes there are so far.
  size_t count() const { return out_.size(); }

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

// ---- Features -----------------------------------------------------------------------------------

// A feature that disappears and a like one (same values, same length) that appears within this
// distance read as one feature moved.
constexpr int64_t kMoveWindow = 2000;

// Two lists of features (each sorted by `at`) being paired, and which of each side are paired.
struct Pairing {
  const Wording& w;
  const std::vector<Feature>& olds;
  const std::vector<Feature>& news;
  Collector& out;
  std::vector<bool> old_used = std::vector<bool>(olds.size());
  std::vector<bool> new_used = std::vector<bool>(news.size());
};

// The features of one place: olds [i, i_end) and news [j, j_end).
struct Place {
  size_t i, i_end, j, j_end;
};

bool same_place(const Feature& a, const Feature& b) {
  return a.at == b.at && a.end == b.end;
}

// The same values at the same place: unchanged.
void pair_unchanged(Pairing& p, const Place& at) {
  for (size_t a = at.i; a < at.i_end; ++a) {
    for (size_t b = at.j; b < at.j_end; ++b) {
      if (!p.new_used[b] && same_place(p.olds[a], p.news[b]) &&
          p.olds[a].value == p.news[b].value) {
        p.old_used[a] = p.new_used[b] = true;
        break;
      }
    }
  }
}

// The same place with other values: a change.
void pair_changed(Pairing& p, const Place& at) {
  for (size_t a = at.i; a < at.i_end; ++a) {
    if (p.old_used[a]) continue;
    const Feature& was = p.olds[a];
    for (size_t b = at.j; b < at.j_end; ++b) {
      if (p.new_used[b] || !same_place(was, p.news[b])) continue;
      const Feature& now = p.news[b];
      p.old_used[a] = p.new_used[b] = true;
      p.out.add(p.w.group, ChangeKind::Changed, was.at, was.end, was.value, now.value,
                std::string(p.w.noun) + " " + place(p.w, was.at, was.end) + ": " + now.value +
                    " (was " + was.value + ")");
      break;
    }
  }
}

// A stretch that keeps its start but not its end was lengthened or shortened: one change, not one
// removed and one added. Its values carry the places, its end is the new one.
void pair_resized(Pairing& p, const Place& at) {
  for (size_t a = at.i; a < at.i_end; ++a) {
    if (p.old_used[a]) continue;
    const Feature& was = p.olds[a];
    for (size_t b = at.j; b < at.j_end; ++b) {
      if (p.new_used[b]) continue;
      const Feature& now = p.news[b];
      p.old_used[a] = p.new_used[b] = true;
      std::string text = std::string(p.w.noun) + " " + place(p.w, was.at, was.end) +
                         ": now to " + format("%lld m", static_cast<long long>(now.end));
      if (now.value != was.value) text += ", " + now.value + " (was " + was.value + ")";
      p.out.add(p.w.group, ChangeKind::Changed, was.at, now.end,
                bare_place(p.w, was.at, was.end) + ", " + was.value,
                bare_place(p.w, now.at, now.end) + ", " + now.value, text);
      break;
    }
  }
}

// Both lists are sorted by `at`: walk them together, pairing the features of each place. A place
// holds one feature in a list of cells; stretches may share a start.
void pair_same_places(Pairing& p) {
  for (size_t i = 0, j = 0; i < p.olds.size() && j < p.news.size();) {
    if (p.olds[i].at < p.news[j].at) {
      ++i;
      continue;
    }
    if (p.news[j].at < p.olds[i].at) {
      ++j;
      continue;
    }
    Place at{i, i, j, j};
    while (at.i_end < p.olds.size() && p.olds[at.i_end].at == p.olds[i].at) ++at.i_end;
    while (at.j_end < p.news.size() && p.news[at.j_end].at == p.news[j].at) ++at.j_end;
    pair_unchanged(p, at);
    pair_changed(p, at);
    if (p.w.stretch) pair_resized(p, at);
    i = at.i_end;
    j = at.j_end;
  }
}

// Moves: for each unpaired old feature, the nearest unpaired new one of the same values and
// length within kMoveWindow.
void pair_moves(Pairing& p) {
  std::map<std::pair<std::string, int64_t>, std::set<std::pair<int64_t, size_t>>> waiting;
  for (size_t b = 0; b < p.news.size(); ++b) {
    const Feature& now = p.news[b];
    if (!p.new_used[b]) waiting[{now.value, now.end - now.at}].insert({now.at, b});
  }
  for (size_t a = 0; a < p.olds.size(); ++a) {
    if (p.old_used[a]) continue;
    const Feature& was = p.olds[a];
    auto found = waiting.find({was.value, was.end - was.at});
    if (found == waiting.end() || found->second.empty()) continue;
    auto& places = found->second;
    auto next = places.lower_bound({was.at, 0});
    auto best = places.end();
    if (next != places.end()) best = next;
    if (next != places.begin()) {
      auto before = std::prev(next);
      if (best == places.end() || was.at - before->first <= best->first - was.at) best = before;
    }
    if (best == places.end() || std::llabs(best->first - was.at) > kMoveWindow) continue;
    const Feature& moved = p.news[best->second];
    p.old_used[a] = p.new_used[best->second] = true;
    places.erase(best);
    p.out.add(p.w.group, ChangeKind::Moved, was.at, moved.at, was.value, moved.value,
              std::string(p.w.noun) + " " + place(p.w, was.at, was.end) + " moved to " +
                  bare_place(p.w, moved.at, moved.end));
  }
}

// What is left unpaired was removed or added.
void report_unpaired(const Pairing& p) {
  for (size_t a = 0; a < p.olds.size(); ++a) {
    if (p.old_used[a]) continue;
    const Feature& was = p.olds[a];
    p.out.add(p.w.group, ChangeKind::Removed, was.at, was.end, was.value, "",
              std::string(p.w.noun) + " " + place(p.w, was.at, was.end) + " removed (" +
                  was.value + ")");
  }
  for (size_t b = 0; b < p.news.size(); ++b) {
    if (p.new_used[b]) continue;
    const Feature& now = p.news[b];
    p.out.add(p.w.group, ChangeKind::Added, now.at, now.end, "", now.value,
              std::string(p.w.noun) + " added " + place(p.w, now.at, now.end) + ": " + now.value);
  }
}

// Pairs the features of two lists and reports what is not the same: the same values at the same
// place are unchanged; a place whose values differ is a change; a like feature nearby is a move;
// the rest were added or removed.
void compare_features(const Wording& w, const std::vector<Feature>& olds,
                      const std::vector<Feature>& news, Collector& out) {
  Pairing p{w, olds, news, out};
  pair_same_places(p);
  pair_moves(p);
  report_unpaired(p);
}

// ---- Profiles and curves ----------------------------------------------------------------------

// A stretch over which two run lists each hold one value, and the two differ.
struct DifferingStretch {
  int64_t first = 0;
  int64_t end = 0;
  int64_t was = 0;
  int64_t now = 0;
};

// Walks one run list along increasing places: the value at a place (0 between runs) and the
// place where it next changes.
class RunCursor {
 public:
  explicit RunCursor(const std::vector<ValueRun>& runs) : runs_(runs) {}
  int64_t value_at(int64_t x) {
    while (k_ < runs_.size() && runs_[k_].end <= x) ++k_;
    return k_ < runs_.size() && runs_[k_].first <= x ? runs_[k_].value : 0;
  }
  // After value_at(x).
  int64_t next_change(int64_t x) const {
    if (k_ == runs_.size()) return std::numeric_limits<int64_t>::max();
    return runs_[k_].first > x ? runs_[k_].first : runs_[k_].end;
  }

 private:
  const std::vector<ValueRun>& runs_;
  size_t k_ = 0;
};

// The stretches below `limit` where the two values differ, each as long as both stay the same.
std::vector<DifferingStretch> differing_stretches(const std::vector<ValueRun>& olds,
                                                  const std::vector<ValueRun>& news,
                                                  int64_t limit) {
  std::vector<DifferingStretch> stretches;
  RunCursor a(olds), b(news);
  bool open = false;
  for (int64_t x = 0; x < limit;) {
    const int64_t was = a.value_at(x), now = b.value_at(x);
    const int64_t y = std::min({limit, a.next_change(x), b.next_change(x)});
    if (open && (was != stretches.back().was || now != stretches.back().now)) open = false;
    if (was != now) {
      if (!open) stretches.push_back({x, y, was, now});
      stretches.back().end = y;
      open = true;
    }
    x = y;
  }
  return stretches;
}

// A profile (gradient, speed limit, adhesion) compared cell by cell: each run of cells with one
// old and one new value is one change over that stretch.
void compare_profile(ChangeGroup group, const char* noun, const char* unit,
                     const std::vector<Step>& olds, const std::vector<Step>& news,
                     int64_t common_cells, Collector& out) {
  for (const DifferingStretch& s :
       differing_stretches(step_runs(olds), step_runs(news), common_cells)) {
    const int64_t from = cell_start(static_cast<int32_t>(s.first));
    const int64_t to = cell_start(static_cast<int32_t>(s.end));
    const std::string old_value = std::to_string(s.was) + unit;
    const std::string new_value = std::to_string(s.now) + unit;
    out.add(group, ChangeKind::Changed, from, to, old_value, new_value,
            format("%s from %lld to %lld m: %lld -> %s", noun, static_cast<long long>(from),
                   static_cast<long long>(to), static_cast<long long>(s.was),
                   new_value.c_str()));
  }
}

// The cells whose profiles are compared. The profiles' tails reach the end of each track; when
// the route length changed, the cells past the shorter route differ because of it alone.
int64_t common_profile_cells(const ScenarioModel& olds, const ScenarioModel& news) {
  int64_t cells = static_cast<int64_t>(std::min(olds.cells.size(), news.cells.size()));
  const int32_t old_length = olds.general.route_length;
  const int32_t new_length = news.general.route_length;
  if (old_length != new_length) {
    cells = std::min(cells, cell_of(std::max(0, std::min(old_length, new_length)), kStepOffset));
  }
  return cells;
}

std::string curve_words(int64_t units) {
  if (units == 0) return "straight";
  const char* side = units > 0 ? "right" : "left";
  const int curve_class = curve_class_of_units(units);
  if (curve_class != 0) return format("%s, class %d", side, curve_class);
  const int64_t magnitude = units > 0 ? units : -units;
  return format("%s, curvature %.5f per metre", side,
                static_cast<double>(magnitude) * kCurvatureUnit);
}

// The curvature compared point by point, as a profile: a curve starting at s with length n
// curves the points s + 1 to s + n, so a run of points p to q - 1 is the stretch p - 1 to q - 1.
// Adjacent curves stay apart this way, and a changed class reads as one stretch.
void compare_curves(const RoutePlan& olds, const RoutePlan& news, Collector& out) {
  const int64_t common = int64_t{std::min(olds.last_point, news.last_point)} + 1;
  for (const DifferingStretch& s :
       differing_stretches(curvature_runs(olds), curvature_runs(news), common)) {
    const int64_t from = s.first - 1, to = s.end - 1;
    const ChangeKind kind = s.was == 0   ? ChangeKind::Added
                            : s.now == 0 ? ChangeKind::Removed
                                         : ChangeKind::Changed;
    const std::string was = curve_words(s.was), now = curve_words(s.now);
    out.add(ChangeGroup::Curves, kind, from, to, was, now,
            format("curve from %lld to %lld m: %s -> %s", static_cast<long long>(from),
                   static_cast<long long>(to), was.c_str(), now.c_str()));
  }
}

// The curves, and the stretch whose positions differ when no curve says why (the plans' own
// points, not their walk, differ).
void compare_plans(const RoutePlan& olds, const RoutePlan& news,
                   const std::optional<PlanStretch>& points, Collector& out) {
  if (!olds.present || !news.present) return;
  const size_t before = out.count();
  compare_curves(olds, news, out);
  if (out.count() != before || !points) return;
  out.add(ChangeGroup::RoutePlan, ChangeKind::Changed, points->first, points->last, "", "",
          format("route plan differs from %lld to %lld m", static_cast<long long>(points->first),
                 static_cast<long long>(points->last)));
}

// ---- Stations -----------------------------------------------------------------------------------

std::string time_words(int64_t seconds) {
  return seconds == 0 ? "no time" : time_of_day(seconds);
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
  return format("type %d, %s", s.type, time_words(s.time_seconds).c_str());
}

// Stations are paired by name, the k-th of a name with the k-th.
void pair_stations_by_name(const std::vector<Station>& olds, const std::vector<Station>& news,
                           std::vector<bool>& old_used, std::vector<bool>& new_used,
                           Collector& out) {
  std::map<std::string, std::vector<size_t>> by_name;
  for (size_t b = 0; b < news.size(); ++b) by_name[news[b].values.name].push_back(b);
  std::map<std::string, size_t> taken;
  for (size_t a = 0; a < olds.size(); ++a) {
    const std::string& name = olds[a].values.name;
    auto found = by_name.find(name);
    if (found == by_name.end()) continue;
    size_t& k = taken[name];
    if (k >= found->second.size()) continue;
    const size_t b = found->second[k++];
    old_used[a] = new_used[b] = true;
    compare_station(olds[a].values, news[b].values, news[b].terminus, out);
  }
}

// A station left over on both sides at one position was renamed.
void pair_renamed_stations(const std::vector<Station>& olds, const std::vector<Station>& news,
                           std::vector<bool>& old_used, std::vector<bool>& new_used,
                           Collector& out) {
  std::map<int32_t, size_t> unpaired_new;
  for (size_t b = 0; b < news.size(); ++b) {
    if (!new_used[b]) unpaired_new.emplace(news[b].values.position, b);
  }
  for (size_t a = 0; a < olds.size(); ++a) {
    if (old_used[a]) continue;
    const StationSlot& was = olds[a].values;
    auto found = unpaired_new.find(was.position);
    if (found == unpaired_new.end()) continue;
    const size_t b = found->second;
    const StationSlot& now = news[b].values;
    unpaired_new.erase(found);
    old_used[a] = new_used[b] = true;
    out.add(ChangeGroup::Stations, ChangeKind::Changed, was.position, was.position, was.name,
            now.name,
            format("station %s at %d m renamed %s", was.name.c_str(), was.position,
                   now.name.c_str()));
    StationSlot renamed = was;
    renamed.name = now.name;
    compare_station(renamed, now, news[b].terminus, out);
  }
}

void compare_stations(const std::vector<Station>& olds, const std::vector<Station>& news,
                      Collector& out) {
  std::vector<bool> old_used(olds.size()), new_used(news.size());
  pair_stations_by_name(olds, news, old_used, new_used, out);
  pair_renamed_stations(olds, news, old_used, new_used, out);
  for (size_t a = 0; a < olds.size(); ++a) {
    if (old_used[a]) continue;
    const StationSlot& was = olds[a].values;
    out.add(ChangeGroup::Stations, ChangeKind::Removed, was.position, was.position,
            station_words(was), "",
            format("station %s at %d m removed", was.name.c_str(), was.position));
  }
  for (size_t b = 0; b < news.size(); ++b) {
    if (new_used[b]) continue;
    const StationSlot& now = news[b].values;
    out.add(ChangeGroup::Stations, ChangeKind::Added, now.position, now.position, "",
            station_words(now),
            format("station %s added at %d m: %s", now.name.c_str(), now.position,
                   station_words(now).c_str()));
  }
}

// ---- General records ----------------------------------------------------------------------------

std::string reference_words(const ReferencePoint& r) {
  if (r.empty) return "none";
  const int64_t progressive = r.progressive;
  const int64_t magnitude = progressive < 0 ? -progressive : progressive;
  return format("at %d m, km %s%lld.%03lld, direction %d", r.position, progressive < 0 ? "-" : "",
                static_cast<long long>(magnitude / 1000), static_cast<long long>(magnitude % 1000),
                r.direction);
}

std::string repetition_words(const CabSignalRepetition& r) {
  if (!r.present()) return "none";
  return format("from %d to %d m, %d codes", r.start, r.end, r.codes);
}

void compare_general(const GeneralValues& olds, const GeneralValues& news,
                     const std::array<ReferencePoint, 3>& old_references,
                     const std::array<ReferencePoint, 3>& new_references, Collector& out) {
  auto number = [](int64_t value) { return std::to_string(value); };
  if (olds.route_length != news.route_length) {
    out.add(ChangeGroup::Route, ChangeKind::Changed, olds.route_length, news.route_length,
            format("%d m", olds.route_length), format("%d m", news.route_length),
            format("route length %d m (was %d m)", news.route_length, olds.route_length));
  }
  const ChangeGroup g = ChangeGroup::General;
  for (size_t rank = 0; rank < 3; ++rank) {
    out.setting(g, format("kilometric reference %d", static_cast<int>(rank) + 1),
                reference_words(old_references[rank]), reference_words(new_references[rank]));
  }
  out.setting(g, "route", quoted(olds.route_id), quoted(news.route_id));
  out.setting(g, "background uno", number(olds.background_uno), number(news.background_uno));
  out.setting(g, "background tre", number(olds.background_tre), number(news.background_tre));
  out.setting(g, "background due", number(olds.background_due), number(news.background_due));
  out.setting(g, "train", quoted(olds.train_number), quoted(news.train_number));
  out.setting(g, "cab-signal repetition", repetition_words(olds.repetition),
              repetition_words(news.repetition));
  out.setting(g, "braked mass", number(olds.braked_mass) + " %", number(news.braked_mass) + " %");
  out.setting(g, "coaches", number(olds.coaches), number(news.coaches));
  out.setting(g, "sand", number(olds.sand), number(news.sand));
  auto clock = [](const StartingClock& c) {
    return format("%d:%02d:%02d", c.hours, c.minutes, c.seconds);
  };
  out.setting(g, "starting clock", clock(olds.clock), clock(news.clock));
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

std::vector<ScenarioChange> diff_scenarios(const ScenarioModel& old_model,
                                           const ScenarioModel& new_model,
                                           const std::optional<PlanStretch>& plan_points) {
  std::vector<ScenarioChange> changes;
  Collector out(changes);
  compare_general(old_model.general, new_model.general, old_model.references,
                  new_model.references, out);
  const int64_t profile_cells = common_profile_cells(old_model, new_model);
  compare_profile(ChangeGroup::Gradients, "gradient", " per mille", old_model.gradients,
                  new_model.gradients, profile_cells, out);
  compare_plans(old_model.plan, new_model.plan, plan_points, out);
  const ScenarioFeatures olds = scenario_features(old_model);
  const ScenarioFeatures news = scenario_features(new_model);
  compare_features({ChangeGroup::Tunnels, "tunnel", true}, olds.tunnels, news.tunnels, out);
  compare_features({ChangeGroup::SpeedBoards, "maximum-speed board", false}, olds.speed_boards,
                   news.speed_boards, out);
  compare_features({ChangeGroup::InformationBoards, "information board", false},
                   olds.information_boards, news.information_boards, out);
  compare_profile(ChangeGroup::SpeedLimits, "speed limit", " km/h", old_model.speed_limits,
                  new_model.speed_limits, profile_cells, out);
  compare_profile(ChangeGroup::Adhesion, "adhesion", "", old_model.adhesion, new_model.adhesion,
                  profile_cells, out);
  compare_stations(old_model.stations, new_model.stations, out);
  compare_features({ChangeGroup::Signals, "signal", false}, olds.signals, news.signals, out);
  compare_features({ChangeGroup::SlowOrders, "slow order", true}, olds.slow_orders,
                   news.slow_orders, out);
  compare_features({ChangeGroup::CodePoints, "code point", false}, olds.code_points,
                   news.code_points, out);

  // Within a group, by place; the groups keep their order.
  std::stable_sort(changes.begin(), changes.end(),
                   [](const ScenarioChange& a, const ScenarioChange& b) {
                     if (a.group != b.group) return a.group < b.group;
                     return a.from_m < b.from_m;
                   });
  return changes;
}

}  // namespace scengen
