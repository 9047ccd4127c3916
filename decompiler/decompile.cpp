#include "decompiler/decompile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "compiler/compilation.h"
#include "compiler/compile.h"
#include "compiler/description_texts.h"
#include "compiler/line_placement.h"
#include "compiler/output_decoding.h"

namespace scengen {
namespace {

// How often the texts are compiled to tell an author's code points of 180 from the pass's.
constexpr int kCodePointRounds = 4;

std::string metres(int64_t cell) {
  return std::to_string(cell * kCellLength) + " m";
}

std::string where(int64_t cell) {
  return "cell " + std::to_string(cell) + " (" + metres(cell) + ")";
}

// One text, a line at a time, CR LF ended.
class Text {
 public:
  void line(const std::string& s) {
    bytes_ += s;
    bytes_ += "\r\n";
  }
  template <typename... Args>
  void format(const char* pattern, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    bytes_ += buffer;
  }
  void end_line() { bytes_ += "\r\n"; }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

// A text field as the readers take it back: bare when it reads back as itself, in quotes when it
// holds a separator or blanks at its ends; nullopt when neither way keeps it.
std::optional<std::string> text_field(const std::string& text) {
  const bool separators = text.find_first_of(",\r\n") != std::string::npos;
  const bool edge_blanks =
      !text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                        text.back() == '\t');
  if (!separators && !edge_blanks && (text.empty() || text.front() != '"')) return text;
  if (text.find('"') != std::string::npos) return std::nullopt;
  return "\"" + text + "\"";
}

// ---- Profiles -------------------------------------------------------------------------------

// The steps of a per-cell profile as records: one at 0 and one at each change. The readers
// write cells up to three before the last; a value in the third-last cell takes a record there.
struct Step {
  int32_t position;
  int value;
};

template <typename Value>
std::vector<Step> profile_steps(const std::vector<TrackCell>& cells, Value value) {
  std::vector<Step> steps;
  const int32_t last = static_cast<int32_t>(cells.size()) - 1;
  for (int32_t i = 0; i <= last - 3; ++i) {
    const int v = value(cells[static_cast<size_t>(i)]);
    if (i == 0 || v != steps.back().value) steps.push_back({cell_start(i), v});
  }
  return steps;
}

// ---- The line description ---------------------------------------------------------------------

struct Reference {
  int32_t position, progressive, flag;
};

// Which keyword ("uno", "due", "tre") takes which of slots 81 to 83, so that the ordering of the
// references gives back the slots; the built-in order first.
std::array<Reference, 3> references(const ScenarioTable& table, std::vector<std::string>& notes) {
  std::array<Reference, 3> slots;
  for (int i = 0; i < 3; ++i) {
    const KilometricReference r = unpack_reference(table[static_cast<size_t>(kReferenceSlots[i])]);
    slots[static_cast<size_t>(i)] = {r.position, r.progressive, r.direction};
  }
  std::array<int, 3> order = {0, 1, 2};
  do {
    Compilation c;
    // Slots 83, 82, 81 are read as "uno", "due", "tre".
    for (int k = 0; k < 3; ++k) {
      const Reference& r = slots[static_cast<size_t>(order[static_cast<size_t>(k)])];
      ScenarioEntry& e = c.ScenarioTable[static_cast<size_t>(kReferenceSlots[2 - k])];
      e.Num1 = r.position;
      e.Num2 = r.progressive;
      e.Num3 = r.flag;
    }
    order_references(c);
    bool same = true;
    for (int i = 0; i < 3; ++i) {
      const ScenarioEntry& a = c.ScenarioTable[static_cast<size_t>(kReferenceSlots[i])];
      const ScenarioEntry& b = table[static_cast<size_t>(kReferenceSlots[i])];
      same = same && a.Num1 == b.Num1 && a.Num2 == b.Num2 && a.Num3 == b.Num3;
    }
    if (same) {
      std::array<Reference, 3> uno_due_tre;
      for (int k = 0; k < 3; ++k)
        uno_due_tre[static_cast<size_t>(k)] = slots[static_cast<size_t>(order[static_cast<size_t>(k)])];
      return uno_due_tre;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  notes.push_back("the kilometric references of slots 81 to 83 are in no order that "
                  "references read from a text would take");
  return {slots[2], slots[1], slots[0]};
}

// The curvature of each computed plan point, as a curve class (negative: left), and the curves
// as runs of points of one class.
struct Curve {
  int32_t start, length;
  int curve_class;  // negative: a left curve
};

// A route plan file, checked: its bytes and where its parts lie.
struct PlanFile {
  std::string_view bytes;
  RoutePlanLayout layout;
};

// The plan of `files`, when it has one that is a plan file (the caller checked it; bytes that are
// not one count as no plan). Checking walks the whole file: it is done once a decompile.
std::optional<PlanFile> plan_file(const CompiledScenario& files) {
  if (!files.plan) return std::nullopt;
  const Decoded<RoutePlanLayout> layout = check_route_plan(*files.plan);
  if (!layout) return std::nullopt;
  return PlanFile{*files.plan, *layout.value};
}

std::vector<Curve> curves(const PlanFile& plan, std::vector<std::string>& notes) {
  std::vector<Curve> out;
  const int32_t last = plan.layout.last_point - 2;  // the last two points are never computed
  if (last < 2) return out;
  // The points p - 2, p - 1 and p, read in order straight from the file.
  PlanElementReader xs(plan.bytes, 0);
  PlanElementReader ys(plan.bytes, plan.layout.second_coordinate);
  double x[3] = {}, y[3] = {};
  for (int i = 1; i < 3; ++i) {
    xs.next(x[i]);
    ys.next(y[i]);
  }
  int current = 0;
  int32_t run_start = 0;
  bool noted = false;
  for (int32_t p = 2; p <= last + 1; ++p) {
    int cls = 0;
    if (p <= last) {
      x[0] = x[1], x[1] = x[2], y[0] = y[1], y[1] = y[2];
      xs.next(x[2]);
      ys.next(y[2]);
      const double dx = x[1] - x[0];
      const double dy = y[1] - y[0];
      const double sx = x[2] - x[1];
      const double sy = y[2] - y[1];
      // x' = dx + k dy, y' = dy - k dx: take k from the larger component of the step.
      const double k = std::fabs(dy) >= std::fabs(dx) ? (sx - dx) / dy : (dy - sy) / dx;
      double best = std::fabs(k);
      for (int c = 1; c <= 6; ++c) {
        for (const int side : {1, -1}) {
          const double miss = std::fabs(k - side * curvature_of_class(c));
          if (miss < best) {
            best = miss;
            cls = side * c;
          }
        }
      }
      if (!noted && (!std::isfinite(k) || best > 0.00001)) {
        notes.push_back("plan point " + std::to_string(p) +
                        " is not a step of the plan walk: the plan was not made by this compiler");
        noted = true;
      }
    }
    if (cls != current) {
      if (current != 0) out.push_back({run_start - 1, p - run_start, current});
      current = cls;
      run_start = p;
    }
  }
  return out;
}

struct Tunnel {
  int32_t first_cell, last_cell;
  int kind;  // the value written as the record's kind
};

std::vector<Tunnel> tunnels(const std::vector<TrackCell>& cells, std::vector<std::string>& notes) {
  std::vector<Tunnel> out;
  const int32_t n = static_cast<int32_t>(cells.size());
  for (int32_t i = 0; i < n;) {
    const uint8_t t = cells[static_cast<size_t>(i)].Tunnel;
    if (t == 0) {
      ++i;
      continue;
    }
    int32_t j = i;
    while (j + 1 < n && cells[static_cast<size_t>(j + 1)].Tunnel == t) ++j;
    // Marked when a fourth cell of the count holds a marker; markers that features replaced
    // leave the same cells as an unmarked tunnel.
    bool marked = false;
    for (int32_t c = i + 3; c <= j; c += 4)
      marked = marked || cells[static_cast<size_t>(c)].Kind == kTunnelMarker;
    for (int32_t c = i; c <= j; ++c) {
      if (cells[static_cast<size_t>(c)].Kind == kTunnelMarker && (!marked || (c - i) % 4 != 3)) {
        notes.push_back(where(c) + " holds a tunnel marker out of its tunnel's count");
        break;
      }
    }
    const int kind = text_kind_of_tunnel({t, marked});
    out.push_back({i, j, kind});
    i = j + 1;
  }
  if (out.size() > kTunnelSlots - 1)
    notes.push_back("the track has " + std::to_string(out.size()) + " tunnels; a text holds at most " +
                    std::to_string(kTunnelSlots - 1));
  return out;
}

// The lowest slot of the board texts: the lowest one a board's cell names (81 when none).
int32_t lowest_board_slot(const std::vector<TrackCell>& cells) {
  int32_t lowest = kFirstBoardTextSlot + 1;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].Kind == kInformationBoard && i != kSealCell) {
      const int32_t slot = unpack_slot_cell(cells[i]);
      if (slot >= 0 && slot <= kFirstBoardTextSlot) lowest = std::min(lowest, slot);
    }
  }
  return lowest;
}

std::string line_text(const CompiledScenario& files, const std::optional<PlanFile>& plan,
                      const std::vector<TrackCell>& cells, std::vector<std::string>& notes) {
  const ScenarioTable& table = files.table;
  Text text;
  text.line("- line description recovered by scengen decompile from the compiled files");
  text.line("[generale]");
  const ScenarioEntry& length = table[kRouteLengthSlot];
  text.format("lunghezza percorso,    %d", length.Num2);
  text.end_line();
  const std::array<Reference, 3> refs = references(table, notes);
  const char* const names[3] = {"uno", "due", "tre"};
  for (int k = 0; k < 3; ++k) {
    const Reference& r = refs[static_cast<size_t>(k)];
    text.format("progressiva chilometrica %s,    %d,    %d,    %d", names[k], r.position,
                r.progressive, r.flag);
    text.end_line();
  }
  const ScenarioEntry& route = table[kRouteIdSlot];
  text.format("sfondo uno,    %d", route.Num1);
  text.end_line();
  text.format("sfondo due,    %d", route.Num3);
  text.end_line();
  text.format("sfondo tre,    %d", route.Num2);
  text.end_line();
  const ScenarioEntry& repetition = table[kTrainNumberSlot];
  if (repetition.Num1 != 0 || repetition.Num2 != 0 || repetition.Num3 != 0) {
    if ((repetition.Num3 == 0) != (repetition.Num2 == 0) ||
        (repetition.Num3 != 0 && repetition.Num3 != 4 && repetition.Num3 != 9))
      notes.push_back("slot 86 holds a cab-signal repetition no text can give (" +
                      std::to_string(repetition.Num3) + " codes, end " +
                      std::to_string(repetition.Num2) + " m)");
    text.format("ripetizione segnali %d codici,    %d,    %d", repetition.Num3 == 4 ? 4 : 9,
                repetition.Num1, repetition.Num2);
    text.end_line();
  }

  text.line("[curve]");
  if (plan) {
    for (const Curve& c : curves(*plan, notes)) {
      text.format("curva%c%d,  %d,  %d", c.curve_class < 0 ? 's' : 'd', std::abs(c.curve_class),
                  c.start, c.length);
      text.end_line();
    }
  }

  text.line("[pendenze]");
  for (const Step& s : profile_steps(cells, [](const TrackCell& c) {
         return unpack_gradient(c.Gradient);
       })) {
    text.format("pendenza,  %d,   %d", s.position, s.value);
    text.end_line();
  }
  const int32_t last = static_cast<int32_t>(cells.size()) - 1;
  if (last >= 2 && cells[static_cast<size_t>(last - 2)].Gradient != 0) {
    text.format("pendenza,  %d,   %d", cell_start(last - 2),
                unpack_gradient(cells[static_cast<size_t>(last - 2)].Gradient));
    text.end_line();
  }

  text.line("[montagne]");
  for (const Tunnel& t : tunnels(cells, notes)) {
    text.format("montagna,   %d,  %d,  %d", cell_start(t.first_cell), cell_start(t.last_cell + 1),
                t.kind);
    text.end_line();
  }

  text.line("[cartelli]");
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].Kind != kSpeedBoard) continue;
    const SpeedBoardCell b = unpack_speed_board(cells[i]);
    text.format("indicatori_vmax,  %d,  %d,  %d,  %d,  %d,  %d,  %d,  %d,  %d",
                feature_position(kSpeedBoard, static_cast<int32_t>(i)), b.left[0], b.left[1],
                b.left[2], b.strisces, b.right[0], b.right[1], b.right[2], b.strisced);
    text.end_line();
  }

  // Boards in the order of their slots, 80 downward: that order gives each its slot.
  text.line("[indicazioni]");
  std::map<int32_t, int32_t, std::greater<>> board_cells;  // slot -> cell
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].Kind != kInformationBoard) continue;
    const int32_t slot = unpack_slot_cell(cells[i]);
    if (slot < 0 || slot > kFirstBoardTextSlot || !board_cells.emplace(slot, i).second)
      notes.push_back(where(static_cast<int64_t>(i)) + " is an information board of slot " +
                      std::to_string(slot) + ", which no board of a text takes");
  }
  int32_t expected = kFirstBoardTextSlot;
  for (const auto& [slot, cell] : board_cells) {
    if (slot != expected) {
      notes.push_back("board-text slot " + std::to_string(expected) +
                      " has no information board on the track");
      expected = slot;
    }
    --expected;
    const std::string& board = table[static_cast<size_t>(slot)].Text;
    std::optional<std::string> field = text_field(board);
    if (!field) {
      notes.push_back("the text of board-text slot " + std::to_string(slot) +
                      " holds a double quote and a separator: no text field keeps it");
      field = board;
    }
    text.format("cartello_indicatore,  %d,   ", feature_position(kInformationBoard, cell));
    text.line(*field);
  }
  text.line("[fine]");
  return text.take();
}

// ---- The train description --------------------------------------------------------------------

std::string station_record(const ScenarioEntry& entry, int32_t slot,
                           std::vector<std::string>& notes) {
  const StationSlot s = unpack_station(entry);
  int64_t length = 0;
  int third_flag = s.lengthens_end;
  if (station_area(s.type) != StationArea::Centred) {
    length = int64_t{s.position} - s.area_start;
  } else {
    length = 2 * (int64_t{s.position} - s.area_start);
    // The first station's flag is cleared after it lengthened the end.
    if (slot == kFirstStationSlot && int64_t{s.area_end} - s.position - length / 2 == 50)
      third_flag = 1;
  }
  int32_t h = 0, m = 0, sec = s.time_seconds;
  if (s.time_seconds >= 0) {
    h = s.time_seconds / 3600;
    m = s.time_seconds % 3600 / 60;
    sec = s.time_seconds % 60;
  }
  std::optional<std::string> name = text_field(s.name);
  if (!name) {
    notes.push_back("the name of station slot " + std::to_string(slot) +
                    " holds a double quote and a separator: no text field keeps it");
    name = s.name;
  }
  char buffer[256];
  std::snprintf(buffer, sizeof buffer,
                "stazione,%8d,%3d,%5lld,%3d,%2d,%2d,  %d,%d,%d,  %d,%d,%d,%5d,%4d,%2d,%2d, ",
                s.position, s.type, static_cast<long long>(length), s.first_flag, s.second_flag,
                third_flag, s.first_group[0], s.first_group[1], s.first_group_last,
                s.second_group[0], s.second_group[1], s.second_group[2], s.dwell_seconds, h, m,
                sec);
  return buffer + *name;
}

// How many of the approach marks of the signal in cell `i` show the sum `sets` (sx * 3 + dx).
int marks_showing(const std::vector<TrackCell>& cells, int32_t i, int32_t sets) {
  int shown = 0;
  for (int k = 1; k <= kApproachMarks; ++k) {
    const int32_t j = i - 2 * k;
    if (j >= 0 && cells[static_cast<size_t>(j)].Mark == signal_mark(0, sets, k)) ++shown;
  }
  return shown;
}

// The sum sx * 3 + dx of the signal in cell `i`. Param4 holds rapp * 10 plus the sum, which reads
// back as that sum only while it is 0 to 9; the approach marks hold the sum itself (times 10 plus
// k, in 8 bits). When the plain reading shows in none of the signal's marks, the sum that shows
// in most of them is taken, among those that leave Param4 a whole number of tens away.
int32_t signal_sets(const std::vector<TrackCell>& cells, int32_t i) {
  const int32_t param4 = cells[static_cast<size_t>(i)].Param4;
  const int32_t plain = param4 % 10;
  if (marks_showing(cells, i, plain) > 0) return plain;
  // Ten times the sum is known modulo 256, so the sum modulo 128: one turn of candidates.
  int32_t best = plain;
  int best_shown = 0;
  for (int32_t sets = plain - 64; sets < plain + 64; ++sets) {
    if ((param4 - sets) % 2 != 0) continue;  // rapp * 10 is even in 16 bits too
    const int shown = marks_showing(cells, i, sets);
    if (shown > best_shown) {
      best = sets;
      best_shown = shown;
    }
  }
  return best;
}

// The rapp that, with the sum `sets`, packs into `param4`: rapp * 10 + sets in 16 bits.
int32_t signal_rapp(int32_t param4, int32_t sets) {
  const int32_t rest = param4 - sets;
  if (rest % 10 == 0) return rest / 10;
  // rapp * 10 == rest modulo 65536 (rest is even): rapp * 5 == rest / 2 modulo 32768.
  constexpr int64_t kInverseOfFive = 19661;  // 5 * 19661 == 98305 == 3 * 32768 + 1
  const int64_t half = ((int64_t{rest} % 65536 + 65536) % 65536) / 2;
  int32_t rapp = static_cast<int32_t>(half * kInverseOfFive % 32768);
  if (rapp >= 16384) rapp -= 32768;
  return rapp;
}

// The signals in the order that leaves their marks as the cells hold them: where the marks of
// two signals meet, the one whose mark stayed is written last. Otherwise in the order of cells.
std::vector<int32_t> signal_order(const std::vector<TrackCell>& cells) {
  const int32_t n = static_cast<int32_t>(cells.size());
  std::vector<int32_t> signals;
  std::map<int32_t, size_t> index;
  for (int32_t i = 0; i < n; ++i) {
    if (cells[static_cast<size_t>(i)].Kind == kSignal) {
      index[i] = signals.size();
      signals.push_back(i);
    }
  }
  auto mark_of = [&](int32_t signal, int k) {
    return signal_mark(0, signal_sets(cells, signal), k);
  };
  // Who writes each mark cell: (signal, k).
  std::map<int32_t, std::vector<std::pair<size_t, int>>> writers;
  for (size_t s = 0; s < signals.size(); ++s)
    for (int k = 1; k <= kApproachMarks; ++k)
      if (signals[s] - 2 * k >= 0) writers[signals[s] - 2 * k].push_back({s, k});
  std::vector<std::vector<size_t>> after(signals.size());  // s -> signals written after s
  std::vector<int> before_count(signals.size(), 0);
  for (const auto& [c, w] : writers) {
    if (w.size() < 2) continue;
    const uint8_t mark = cells[static_cast<size_t>(c)].Mark;
    std::vector<size_t> kept, lost;
    for (const auto& [s, k] : w) (mark_of(signals[s], k) == mark ? kept : lost).push_back(s);
    if (kept.size() != 1) continue;
    for (const size_t s : lost) {
      after[s].push_back(kept[0]);
      ++before_count[kept[0]];
    }
  }
  std::set<size_t> ready;
  for (size_t s = 0; s < signals.size(); ++s)
    if (before_count[s] == 0) ready.insert(s);
  std::vector<int32_t> order;
  while (!ready.empty()) {
    const size_t s = *ready.begin();
    ready.erase(ready.begin());
    order.push_back(signals[s]);
    for (const size_t t : after[s])
      if (--before_count[t] == 0) ready.insert(t);
  }
  if (order.size() != signals.size()) return signals;  // marks no order gives: cells' order
  return order;
}

std::string train_text(const CompiledScenario& files, const std::vector<TrackCell>& cells,
                       const std::set<int32_t>& explicit_180, std::vector<std::string>& notes) {
  const ScenarioTable& table = files.table;
  const int32_t n = static_cast<int32_t>(cells.size());
  auto cell = [&](int32_t i) -> const TrackCell& { return cells[static_cast<size_t>(i)]; };
  Text text;
  text.line("- train description recovered by scengen decompile from the compiled files");
  text.line("[generale]");
  text.format("numero vetture,    %d", table[kRouteLengthSlot].Num3);
  text.end_line();
  text.format("percentuale massa frenata,    %d", table[kRouteLengthSlot].Num1);
  text.end_line();
  const ScenarioEntry& general = table[kTrainNumberSlot];
  text.format("sabbia,    %d", general.Small1);
  text.end_line();
  text.format("orologio,    %d               %d            %d ", general.Small3, general.Small4,
              general.Small5);
  text.end_line();

  text.line("[aderenze]");
  const std::vector<Step> adhesion =
      profile_steps(cells, [](const TrackCell& c) { return static_cast<int>(c.Adhesion); });
  for (const Step& s : adhesion) {
    text.format("aderenza,%8d,%6d", s.position, s.value);
    text.end_line();
  }
  if (n >= 3 && cell(n - 3).Adhesion != 0) {
    text.format("aderenza,%8d,%6d", cell_start(n - 3), cell(n - 3).Adhesion);
    text.end_line();
  }
  text.line("[vel_limite]");
  for (const Step& s : profile_steps(cells, [](const TrackCell& c) {
         return unpack_speed_limit(c.SpeedLimit);
       })) {
    text.format("velocita,%8d,%6d", s.position, s.value);
    text.end_line();
  }
  if (n >= 3 && cell(n - 3).SpeedLimit != 0) {
    text.format("velocita,%8d,%6d", cell_start(n - 3), unpack_speed_limit(cell(n - 3).SpeedLimit));
    text.end_line();
  }

  // Stations from slot 1 up to the last slot below the board texts that holds anything.
  text.line("[stazioni]");
  const int32_t board_low = lowest_board_slot(cells);
  int32_t stations = 0;
  for (int32_t slot = kFirstStationSlot; slot < board_low; ++slot) {
    const ScenarioEntry& e = table[static_cast<size_t>(slot)];
    if (e.Tag || e.Num1 || e.Num2 || e.Num3 || e.Tag2 || !e.Text.empty() || e.Small1 ||
        e.Small2 || e.Small3 || e.Small4 || e.Small5 || e.Flag1 || e.Flag2 || e.Flag3 ||
        e.Flag4 || e.Num4)
      stations = slot;
  }
  for (int32_t slot = kFirstStationSlot; slot <= stations; ++slot)
    text.line(station_record(table[static_cast<size_t>(slot)], slot, notes));

  // Slow orders: each start with the first free end after it that carries its values; a start
  // without one is an order of length 0.
  text.line("[rallentamenti]");
  std::vector<bool> used(static_cast<size_t>(n), false);
  for (int32_t i = 0; i < n; ++i) {
    if (cell(i).Kind != kSlowOrderStart) continue;
    const SlowOrderCell order = unpack_slow_order(cell(i));
    int32_t end = i;
    for (int32_t j = i + 1; j < n; ++j) {
      if (cell(j).Kind == kSlowOrderEnd && !used[static_cast<size_t>(j)] &&
          unpack_slow_order(cell(j)) == order) {
        end = j;
        break;
      }
    }
    used[static_cast<size_t>(end)] = true;
    const int32_t x = feature_position(kSlowOrderStart, i);
    int f_ta = 0;
    const int32_t warning = i - kWarningDistance / kCellLength;
    if (x > kLastUnwarnedStart) {
      if (warning < 0 || cell(warning).Kind != kWarningBoard ||
          unpack_warning_board(cell(warning)).v != order.v)
        notes.push_back(where(i) + " starts a slow order without its warning board");
      else
        used[static_cast<size_t>(warning)] = true;
      const int32_t r = warning - 1;
      if (r - 3 >= 0 && cell(r).Kind == kApproachBoard && unpack_approach_board(cell(r)).board == 1) {
        f_ta = 1;
        for (int32_t m = 0; m < 4; ++m) used[static_cast<size_t>(r - m)] = true;
      }
    }
    text.format("rallentamento,%8d,%6d,%5d, %d,  %d,  %d", x, order.v,
                feature_position(kSlowOrderEnd, end) - x, order.f_tt, f_ta, order.d_v);
    text.end_line();
  }
  for (int32_t i = 0; i < n; ++i) {
    const uint8_t kind = cell(i).Kind;
    if ((kind == kSlowOrderEnd || kind == kWarningBoard || kind == kApproachBoard) &&
        !used[static_cast<size_t>(i)])
      notes.push_back(where(i) + " holds a " + kind_name(kind) + " of no slow order");
  }

  text.line("[segnali]");
  for (const int32_t i : signal_order(cells)) {
    SignalCell s = unpack_signal(cell(i));
    const int32_t sets = signal_sets(cells, i);
    s.rapp = signal_rapp(cell(i).Param4, sets);
    s.sx = sets / 3;
    s.dx = sets % 3;
    // A time is kept only by sx 2: keep the sum and make sx 2.
    if (s.tempo != 0 && s.sx != 2) {
      s.sx = 2;
      s.dx = sets - 6;
    }
    // Times 1 to 100 would be raised to 101: the same low 8 bits from above 255.
    if (s.tempo >= 1 && s.tempo <= 100) s.tempo += 256;
    text.format("segnale,%8d,   %d, %d, %d,  %d, %d,    %d,  %d,%d,%d, %d",
                feature_position(kSignal, i), s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2,
                s.d3, s.tempo);
    text.end_line();
  }

  text.line("[codici]");
  for (int32_t i = 0; i < n; ++i) {
    const uint8_t kind = cell(i).Kind;
    if (kind == kCodePointWithoutCode) {
      text.format("abbattimento,%8d,%6d", feature_position(kind, i), 0);
      text.end_line();
    } else if (kind == kCodePoint) {
      int32_t code = unpack_code_point(cell(i)).code;
      if (code == kDerivedSpeedCode && !explicit_180.count(i)) continue;
      if (code <= 0) code += 65536;  // the same low 16 bits from a positive code
      text.format("abbattimento,%8d,%6d", feature_position(kind, i), code);
      text.end_line();
    }
  }
  text.line("[fine]");

  for (int32_t i = 0; i < n; ++i) {
    const uint8_t kind = cell(i).Kind;
    if (kind > kInformationBoard || (kind > kSpeedBoard && kind < kStationMarker))
      notes.push_back(where(i) + " holds Kind " + std::to_string(kind) + " (" + kind_name(kind) +
                      "), which no text makes");
  }
  return text.take();
}

// ---- Verification ---------------------------------------------------------------------------

class DifferenceList {
 public:
  explicit DifferenceList(std::vector<std::string>& out) : out_(out) {}
  ~DifferenceList() {
    if (count_ > kMaxListedDifferences)
      out_.push_back("... and " + std::to_string(count_ - kMaxListedDifferences) +
                     " more differences");
  }
  void add(std::string line) {
    if (++count_ <= kMaxListedDifferences) out_.push_back(std::move(line));
  }

 private:
  std::vector<std::string>& out_;
  size_t count_ = 0;
};

template <typename T>
void field(std::string& line, const char* name, T file, T texts) {
  if (file == texts) return;
  line += line.back() == ':' ? " " : ", ";
  line += std::string(name) + " " + std::to_string(file) + " / " + std::to_string(texts);
}

void compare_cells(const std::vector<TrackCell>& file, const std::vector<TrackCell>& texts,
                   DifferenceList& list) {
  if (file.size() != texts.size()) {
    list.add("the track has " + std::to_string(file.size()) + " cells, the texts give " +
             std::to_string(texts.size()));
  }
  const size_t n = std::min(file.size(), texts.size());
  for (size_t i = 0; i < n; ++i) {
    const TrackCell& a = file[i];
    const TrackCell& b = texts[i];
    std::string line = where(static_cast<int64_t>(i)) + ": the file holds " + kind_name(a.Kind) +
                       ", the texts give " + kind_name(b.Kind) + " (file / texts):";
    field(line, "Kind", int{a.Kind}, int{b.Kind});
    field(line, "Param1", int{a.Param1}, int{b.Param1});
    field(line, "Param2", int{a.Param2}, int{b.Param2});
    field(line, "Param3", int{a.Param3}, int{b.Param3});
    field(line, "Param4", int{a.Param4}, int{b.Param4});
    field(line, "Param5", int{a.Param5}, int{b.Param5});
    field(line, "Mark", int{a.Mark}, int{b.Mark});
    field(line, "Tunnel", int{a.Tunnel}, int{b.Tunnel});
    field(line, "SpeedLimit", int{a.SpeedLimit}, int{b.SpeedLimit});
    field(line, "Gradient", int{a.Gradient}, int{b.Gradient});
    field(line, "Adhesion", int{a.Adhesion}, int{b.Adhesion});
    if (line.back() != ':') list.add(std::move(line));
  }
}

void compare_table(const ScenarioTable& file, const ScenarioTable& texts, DifferenceList& list) {
  for (size_t i = 0; i < file.size(); ++i) {
    const ScenarioEntry& a = file[i];
    const ScenarioEntry& b = texts[i];
    std::string line = "slot " + std::to_string(i) + " (file / texts):";
    field(line, "Tag", int{a.Tag}, int{b.Tag});
    field(line, "Num1", a.Num1, b.Num1);
    field(line, "Num2", a.Num2, b.Num2);
    field(line, "Num3", a.Num3, b.Num3);
    field(line, "Tag2", int{a.Tag2}, int{b.Tag2});
    if (a.Text != b.Text) line += " Text \"" + a.Text + "\" / \"" + b.Text + "\"";
    field(line, "Small1", int{a.Small1}, int{b.Small1});
    field(line, "Small2", int{a.Small2}, int{b.Small2});
    field(line, "Small3", int{a.Small3}, int{b.Small3});
    field(line, "Small4", int{a.Small4}, int{b.Small4});
    field(line, "Small5", int{a.Small5}, int{b.Small5});
    field(line, "Flag1", int{a.Flag1}, int{b.Flag1});
    field(line, "Flag2", int{a.Flag2}, int{b.Flag2});
    field(line, "Flag3", int{a.Flag3}, int{b.Flag3});
    field(line, "Flag4", int{a.Flag4}, int{b.Flag4});
    field(line, "Num4", a.Num4, b.Num4);
    if (line.back() != ':') list.add(std::move(line));
  }
}

void compare_plans(const PlanFile& file, const TrackPlan& texts, DifferenceList& list) {
  if (!texts.exists()) {
    list.add("the texts give no route plan");
    return;
  }
  const int32_t file_last = file.layout.last_point;
  const auto readers = [&] {
    return std::array<PlanElementReader, 2>{PlanElementReader(file.bytes, 0),
                                            PlanElementReader(file.bytes,
                                                              file.layout.second_coordinate)};
  };
  // Element by element as the texts' plan is computed, against the file's bytes: no image of
  // either is built.
  bool same = file_last == texts.last_point();
  if (same) {
    std::array<PlanElementReader, 2> in = readers();
    texts.scan([&](const PlanChunk& chunk) {
      for (int coordinate = 0; coordinate < 2 && same; ++coordinate) {
        for (int32_t i = 0; i < chunk.count; ++i) {
          const auto tag = chunk.tags[coordinate] ? static_cast<PlanTag>(chunk.tags[coordinate][i])
                                                  : PlanTag::Double;
          double value = 0;
          if (in[coordinate].next(value) != tag ||
              std::bit_cast<uint64_t>(value) !=
                  std::bit_cast<uint64_t>(chunk.values[coordinate][i])) {
            same = false;
            break;
          }
        }
      }
    });
  }
  if (same) return;
  if (file_last != texts.last_point())
    list.add("the route plan has " + std::to_string(file_last + 1) +
             " points, the texts give " + std::to_string(texts.last_point() + 1));
  const int32_t n = std::min(file_last, texts.last_point());
  std::array<PlanElementReader, 2> in = readers();
  for (int32_t p = 0; p <= n; ++p) {
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      double value = 0;
      const PlanTag tag = in[coordinate].next(value);
      if (tag == texts.tag(p, coordinate) && value == texts.value(p, coordinate)) continue;
      char buffer[200];
      std::snprintf(buffer, sizeof buffer,
                    "plan point %d (%d m), coordinate %d (file / texts): tag %d / %d, %.17g / %.17g",
                    p, p, coordinate, static_cast<int>(tag),
                    static_cast<int>(texts.tag(p, coordinate)), value,
                    texts.value(p, coordinate));
      list.add(buffer);
    }
  }
}

// The texts of `files`, whose checked plan is `plan`.
Decompilation texts_of(const CompiledScenario& files, const std::optional<PlanFile>& plan,
                       const std::vector<int32_t>& explicit_180) {
  Decompilation d;
  // The seal wrote cell 1's first two values over zeros: any feature there had zeros.
  std::vector<TrackCell> cells = files.cells;
  if (cells.size() > kSealCell) {
    cells[kSealCell].Param1 = 0;
    cells[kSealCell].Param2 = 0;
  }
  const std::set<int32_t> authored(explicit_180.begin(), explicit_180.end());
  d.line_text = line_text(files, plan, cells, d.notes);
  d.train_text = train_text(files, cells, authored, d.notes);
  return d;
}

}  // namespace

Decompilation write_texts(const CompiledScenario& files, const std::vector<int32_t>& explicit_180) {
  return texts_of(files, plan_file(files), explicit_180);
}

Decompilation decompile(const CompiledScenario& files, const std::string& route_id,
                        const std::string& train_number) {
  const std::optional<PlanFile> plan = plan_file(files);
  std::vector<int32_t> explicit_180;
  for (int round = 0;; ++round) {
    Decompilation d = texts_of(files, plan, explicit_180);
    Compilation c;
    c.RouteId = route_id;
    c.TrainNumber = train_number;
    MemoryTexts texts(d.line_text, d.train_text);
    const CompileOutcome outcome = compile_scenario(c, texts, plan ? 1 : 0);
    if (outcome.end != CompileEnd::Sealed) {
      d.differences.push_back(outcome.end == CompileEnd::NoTrack
                                  ? "the texts compile to no track"
                                  : "the texts stop at the seal with error " +
                                        std::to_string(outcome.seal_code));
      return d;
    }
    // A code point of 180 the pass did not make again is an author's: write it and compile again.
    bool added = false;
    for (size_t i = 0; i < files.cells.size() && i < c.TrackCells.size(); ++i) {
      const TrackCell& a = files.cells[i];
      const TrackCell& b = c.TrackCells[i];
      if (a.Kind == kCodePoint && a.Param1 == kDerivedSpeedCode && i != kSealCell &&
          (b.Kind != kCodePoint || b.Param1 != kDerivedSpeedCode) &&
          std::find(explicit_180.begin(), explicit_180.end(), static_cast<int32_t>(i)) ==
              explicit_180.end()) {
        explicit_180.push_back(static_cast<int32_t>(i));
        added = true;
      }
    }
    if (added && round + 1 < kCodePointRounds) continue;

    {
      DifferenceList list(d.differences);
      if (c.StatusCode != 0)
        list.add("the texts compile with error " + std::to_string(c.StatusCode) + " at " +
                 std::to_string(c.StatusPosition) + " m");
      compare_cells(files.cells, c.TrackCells, list);
      compare_table(files.table, c.ScenarioTable, list);
      if (plan) compare_plans(*plan, c.TrackPlan, list);
    }
    return d;
  }
}

}  // namespace scengen
