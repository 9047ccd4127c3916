// Tunnels from the cells' tunnel kinds and markers. Each run of cells of one kind is a tunnel,
// marked when markers stand in its fourth cells. A marker out of every run's count was left by a
// tunnel that a later one painted over: a marked tunnel of its own, written first, brings it
// back, and the runs painted after it give the cells their kinds. A tunnel that starts 150 m or
// less after the previous one in the text ends is of kind 3: the positions within their cells,
// and where that is not enough an empty tunnel in between, keep the kinds the cells hold.
#include <algorithm>
#include <optional>
#include <queue>
#include <tuple>

#include "decompiler/recovery.h"
#include "decompiler/text_parts.h"

namespace scengen {
namespace {

constexpr int32_t kAdjacentTunnelGap = 150;  // m: a tunnel this close after the previous is kind 3
constexpr int32_t kAdjacentTunnelKind = 3;
// How far a position may move within its cell and still map to it, either way.
constexpr int32_t kSlackInCell = kCellLength / 2 - 1;

struct TunnelDraft {
  int32_t first_cell = 0;
  int32_t last_cell = 0;
  TunnelCell tunnel;
  bool kind_matters = true;  // false when later tunnels paint every cell of it
  std::vector<size_t> comes_before;  // drafts that paint over part of it
  // The cells whose kind it gives the track: no later draft paints them.
  int32_t shown_first = 0;
  int32_t shown_last = -1;
};

TunnelDraft draft(int32_t first, int32_t last, TunnelCell tunnel, bool kind_matters) {
  TunnelDraft d;
  d.first_cell = first;
  d.last_cell = last;
  d.tunnel = tunnel;
  d.kind_matters = kind_matters;
  if (kind_matters) {
    d.shown_first = first;
    d.shown_last = last;
  }
  return d;
}

class TunnelRecovery {
 public:
  explicit TunnelRecovery(Recovery& r) : r_(r), explained_(r.cells.size(), false) {}

  void run() {
    kind_runs();
    for (int32_t c = 0; c < std::ssize(r_.cells); ++c) {
      if (!marker(c) || explained_[static_cast<size_t>(c)]) continue;
      if (!extend_a_run(c)) marked_tunnel_under_runs(c);
    }
    write(text_order());
  }

 private:
  bool marker(int32_t c) const { return r_.in_track(c) && r_.at(c).Kind == kTunnelMarker; }
  // A marker may have stood here: something stands in the cell now.
  bool may_have_held_marker(int32_t c) const { return r_.in_track(c) && r_.at(c).Kind != 0; }
  // A run of the kinds paints the cell after any tunnel that reached it before.
  bool painted_by_a_run(int32_t c) const { return r_.in_track(c) && r_.at(c).Tunnel != 0; }

  // Whether `c` is a fourth cell of a tunnel starting at `first`, either side of it.
  static bool fourth_cell(int32_t first, int32_t c) {
    const int32_t phase = (c - first) % kTunnelMarkerSpacing;
    return (phase + kTunnelMarkerSpacing) % kTunnelMarkerSpacing == kTunnelMarkerSpacing - 1;
  }

  // Every fourth cell of a tunnel starting at `first`, from `from` to `to`, may have held a marker.
  bool fourth_cells_may_hold_markers(int32_t first, int32_t from, int32_t to) const {
    for (int32_t c = from; c <= to; ++c) {
      if ((c - first) % kTunnelMarkerSpacing == kTunnelMarkerSpacing - 1 && !may_have_held_marker(c))
        return false;
    }
    return true;
  }

  void explain(int32_t first, int32_t from, int32_t to) {
    for (int32_t c = std::max(from, first); c <= to; ++c) {
      if ((c - first) % kTunnelMarkerSpacing == kTunnelMarkerSpacing - 1)
        explained_[static_cast<size_t>(c)] = true;
    }
  }

  // Whether a tunnel over `first` to `last` was marked: a marker in its fourth cells, each of
  // which may have held one.
  bool marked_over(int32_t first, int32_t last) const {
    bool any = false;
    for (int32_t c = first + kTunnelMarkerSpacing - 1; c <= last; c += kTunnelMarkerSpacing)
      any = any || marker(c);
    return any && fourth_cells_may_hold_markers(first, first, last);
  }

  void kind_runs();

  // The drafts that give the kind of a cell from `from` to `to`, other than `self`: a tunnel
  // painting these cells comes before them.
  std::vector<size_t> runs_within(int32_t from, int32_t to, size_t self) const {
    std::vector<size_t> runs;
    for (size_t i = 0; i < drafts_.size(); ++i) {
      const TunnelDraft& d = drafts_[i];
      if (i != self && d.shown_last >= from && d.shown_first <= to) runs.push_back(i);
    }
    return runs;
  }

  // Whether `from` must come before `to` already.
  bool comes_before(size_t from, size_t to) const {
    std::vector<size_t> stack = {from};
    std::vector<bool> seen(drafts_.size(), false);
    while (!stack.empty()) {
      const size_t d = stack.back();
      stack.pop_back();
      if (d == to) return true;
      if (seen[d]) continue;
      seen[d] = true;
      for (const size_t next : drafts_[d].comes_before) stack.push_back(next);
    }
    return false;
  }

  bool extend_a_run(int32_t c);
  bool take_from_a_run(TunnelDraft& d);
  void marked_tunnel_under_runs(int32_t c);
  std::vector<size_t> text_order() const;
  void write(const std::vector<size_t>& order);

  Recovery& r_;
  std::vector<bool> explained_;
  std::vector<TunnelDraft> drafts_;
};

// The runs of the cells' kinds, each a tunnel. Runs of one kind with other runs between them are
// one tunnel painted first, the others inside it: one record instead of several (a tunnel inside
// another that follows it is of kind 3; one of another kind follows a tunnel further away).
void TunnelRecovery::kind_runs() {
  const std::vector<Tunnel>& runs = r_.model.tunnels;
  auto contiguous = [&](size_t a) { return runs[a].first_cell == runs[a - 1].last_cell + 1; };
  auto is_kind_3 = [](const Tunnel& t) { return (t.kind & 0xFF) == kAdjacentTunnelKind; };
  for (size_t i = 0; i < runs.size();) {
    const Tunnel& outer = runs[i];
    size_t last_piece = i;
    for (size_t j = i + 1; !is_kind_3(outer) && j < runs.size() && contiguous(j); ++j) {
      if (runs[j].kind == outer.kind) {
        // Markers in a piece's own count must be the outer tunnel's too.
        const int32_t phase = (runs[j].first_cell - outer.first_cell) % kTunnelMarkerSpacing;
        if (phase != 0 && marked_over(runs[j].first_cell, runs[j].last_cell)) break;
        last_piece = j;
      }
    }
    TunnelDraft d = draft(outer.first_cell, runs[last_piece].last_cell, {outer.kind, false}, true);
    d.tunnel.marked = marked_over(d.first_cell, d.last_cell);
    if (d.tunnel.marked) explain(d.first_cell, d.first_cell, d.last_cell);
    const size_t outer_index = drafts_.size();
    drafts_.push_back(d);
    for (size_t j = i + 1; j < last_piece; ++j) {
      if (runs[j].kind == outer.kind) continue;
      TunnelDraft inner = draft(runs[j].first_cell, runs[j].last_cell, {runs[j].kind, false}, true);
      inner.tunnel.marked = marked_over(inner.first_cell, inner.last_cell);
      if (inner.tunnel.marked) explain(inner.first_cell, inner.first_cell, inner.last_cell);
      drafts_[outer_index].comes_before.push_back(drafts_.size());
      drafts_.push_back(inner);
    }
    i = last_piece + 1;
  }
}

// A marker in a run's count beyond its cells: the run's tunnel reached on under the runs painted
// after it (an earlier tunnel that a later one overlaps), as long as every cell it reaches on is
// painted again by a later run.
bool TunnelRecovery::extend_a_run(int32_t c) {
  std::optional<size_t> best;
  int32_t best_reach = 0;
  for (size_t i = 0; i < drafts_.size(); ++i) {
    const TunnelDraft& d = drafts_[i];
    // Open air painted again is no tunnel of the text's to reach on.
    const bool open_air = d.tunnel == TunnelCell{0, false};
    if (!d.kind_matters || open_air || d.first_cell > d.last_cell || !fourth_cell(d.first_cell, c))
      continue;
    const int32_t from = c > d.last_cell ? d.last_cell + 1 : c - (kTunnelMarkerSpacing - 1);
    const int32_t to = c > d.last_cell ? c : d.first_cell - 1;
    if (from < 0 || from > to) continue;
    const int32_t first = std::min(from, d.first_cell);
    if (!fourth_cells_may_hold_markers(first, first, std::max(to, d.last_cell))) continue;
    bool cycle = false;
    for (const size_t later : runs_within(from, to, i)) cycle = cycle || comes_before(later, i);
    if (cycle || (best && to - from >= best_reach)) continue;
    best = i;
    best_reach = to - from;
  }
  if (!best) return false;
  const TunnelDraft& run = drafts_[*best];
  const int32_t from = c > run.last_cell ? run.last_cell + 1 : c - (kTunnelMarkerSpacing - 1);
  const int32_t to = c > run.last_cell ? c : run.first_cell - 1;
  std::vector<size_t> later = runs_within(from, to, *best);
  // Open air under the reach was painted again by a tunnel of kind 0.
  for (int32_t k = from; k <= to; ++k) {
    if (painted_by_a_run(k)) continue;
    const int32_t start = k;
    while (k + 1 <= to && !painted_by_a_run(k + 1)) ++k;
    // The same stretch of open air, reached a marker at a time, is painted once.
    const auto before = std::find_if(drafts_.begin(), drafts_.end(), [&](const TunnelDraft& o) {
      return o.tunnel == TunnelCell{0, false} && o.kind_matters && o.last_cell == start - 1;
    });
    if (before != drafts_.end()) {
      before->last_cell = before->shown_last = k;
      later.push_back(static_cast<size_t>(before - drafts_.begin()));
      continue;
    }
    later.push_back(drafts_.size());
    drafts_.push_back(draft(start, k, {0, false}, true));
  }
  TunnelDraft& d = drafts_[*best];
  d.comes_before.insert(d.comes_before.end(), later.begin(), later.end());
  d.first_cell = std::min(d.first_cell, from);
  d.last_cell = std::max(d.last_cell, to);
  d.tunnel.marked = true;
  explain(d.first_cell, d.first_cell, d.last_cell);
  return true;
}

// A marked tunnel of its own for markers no run explains: a row of them four cells apart, ending
// on the last; its kind shows only where no run paints over it (open air, kind 0).
void TunnelRecovery::marked_tunnel_under_runs(int32_t c) {
  if (c < kTunnelMarkerSpacing - 1) {
    r_.notes.push_back(where(c) + " holds a tunnel marker out of its tunnel's count");
    return;
  }
  int32_t last = c;
  for (int32_t next = last + kTunnelMarkerSpacing; may_have_held_marker(next);
       next += kTunnelMarkerSpacing) {
    if (marker(next) && !explained_[static_cast<size_t>(next)]) last = next;
  }
  TunnelDraft d = draft(c - (kTunnelMarkerSpacing - 1), last, {0, true}, false);
  explain(d.first_cell, c, last);
  if (take_from_a_run(d)) return;
  for (int32_t k = d.first_cell; k <= d.last_cell; ++k) {
    if (!painted_by_a_run(k)) d.kind_matters = true;
  }
  if (!d.kind_matters) d.tunnel.kind = r_.at(c).Tunnel;
  d.comes_before = runs_within(d.first_cell, d.last_cell, drafts_.size());
  drafts_.push_back(d);
}

// A marked tunnel inside the cells a run shows takes the run's kind. Inside an unmarked run it is
// that run's own stretch: the run keeps the cells on either side of it. Inside a marked one it
// follows the run, painting its cells again with the same kind.
bool TunnelRecovery::take_from_a_run(TunnelDraft& d) {
  for (size_t i = 0; i < drafts_.size(); ++i) {
    TunnelDraft& run = drafts_[i];
    if (!run.kind_matters || run.shown_first > d.first_cell || run.shown_last < d.last_cell)
      continue;
    // The run's kind must show in every cell: a run painted first shows none where the runs
    // inside it are.
    bool shows = true;
    for (int32_t c = d.first_cell; c <= d.last_cell && shows; ++c)
      shows = r_.at(c).Tunnel == (run.tunnel.kind & 0xFF);
    if (!shows) continue;
    d.tunnel.kind = run.tunnel.kind;
    d.kind_matters = true;
    // Runs painted inside the run paint over it too.
    d.comes_before = runs_within(d.first_cell, d.last_cell, i);
    if (run.tunnel.marked) {
      run.comes_before.push_back(drafts_.size());
      drafts_.push_back(d);
      return true;
    }
    d.shown_first = d.first_cell;
    d.shown_last = d.last_cell;
    const size_t taken = drafts_.size();
    const bool after_left = d.last_cell < run.last_cell;
    for (TunnelDraft& other : drafts_) {
      if (std::find(other.comes_before.begin(), other.comes_before.end(), i) ==
          other.comes_before.end())
        continue;
      // What came before the run comes before its pieces too.
      other.comes_before.push_back(taken);
      if (after_left) other.comes_before.push_back(taken + 1);
    }
    TunnelDraft after = run;
    after.first_cell = after.shown_first = d.last_cell + 1;
    run.last_cell = run.shown_last = d.first_cell - 1;
    drafts_.push_back(d);
    if (after.first_cell <= after.last_cell) drafts_.push_back(after);
    // An empty piece keeps its place in the list but paints nothing and is not written.
    return true;
  }
  return false;
}

// The drafts in text order: each before those that paint over it, else by their first cell.
std::vector<size_t> TunnelRecovery::text_order() const {
  std::vector<size_t> waiting(drafts_.size(), 0);
  for (const TunnelDraft& d : drafts_)
    for (const size_t later : d.comes_before) ++waiting[later];
  auto keeps_kind = [&](const TunnelDraft& t) {
    return t.kind_matters && (t.tunnel.kind & 0xFF) != kAdjacentTunnelKind;
  };
  // Of the drafts that may come next: one of a kind other than 3 that starts within the first
  // cells keeps its kind only as the first of the text, so it goes first; then one that keeps
  // its kind after the last without an empty tunnel between; then the first by its cells.
  std::optional<int32_t> last_end;
  auto key = [&](size_t d) {
    const TunnelDraft& t = drafts_[d];
    const int64_t start = cell_start(t.first_cell) + kSlackInCell;
    const bool first = keeps_kind(t) && start <= kAdjacentTunnelGap;
    const bool needs_room =
        keeps_kind(t) && last_end && start - (*last_end - kSlackInCell) <= kAdjacentTunnelGap;
    return std::tuple(!first, needs_room, t.first_cell, d);
  };
  std::vector<size_t> ready, order;
  for (size_t i = 0; i < drafts_.size(); ++i)
    if (waiting[i] == 0) ready.push_back(i);
  while (order.size() < drafts_.size()) {
    // Only drafts that must come before each other would leave some waiting: the rest, in
    // their order, and the compile says what differs.
    if (ready.empty()) {
      for (size_t i = 0; i < drafts_.size(); ++i)
        if (waiting[i] != 0 && std::find(order.begin(), order.end(), i) == order.end())
          order.push_back(i);
      break;
    }
    const auto next = std::min_element(ready.begin(), ready.end(),
                                       [&](size_t a, size_t b) { return key(a) < key(b); });
    const size_t d = *next;
    ready.erase(next);
    order.push_back(d);
    if (drafts_[d].first_cell <= drafts_[d].last_cell) last_end = cell_start(drafts_[d].last_cell + 1);
    for (const size_t later : drafts_[d].comes_before)
      if (--waiting[later] == 0) ready.push_back(later);
  }
  return order;
}

// Each tunnel from the start of its first cell to the end of its last, moved within the cells
// when the one before ends too close for its kind, or with an empty tunnel between them.
void TunnelRecovery::write(const std::vector<size_t>& order) {
  std::vector<RecoveredTunnel>& out = r_.records.tunnels;
  for (const size_t index : order) {
    const TunnelDraft& d = drafts_[index];
    if (d.first_cell > d.last_cell) continue;
    // A marked tunnel of kind 0 is written 256 higher: its cells keep the low 8 bits.
    const int32_t written = d.tunnel.marked && d.tunnel.kind == 0
                                ? 256 + kTunnelMarking
                                : text_kind_of_tunnel(d.tunnel);
    RecoveredTunnel t{cell_start(d.first_cell), cell_start(d.last_cell + 1), written};
    const bool keeps_kind = d.kind_matters && (d.tunnel.kind & 0xFF) != kAdjacentTunnelKind;
    if (!out.empty() && keeps_kind && int64_t{t.start} - out.back().end <= kAdjacentTunnelGap) {
      t.start += kSlackInCell;
      if (int64_t{t.start} - (out.back().end - kSlackInCell) > kAdjacentTunnelGap) {
        out.back().end -= kSlackInCell;
      } else if (t.start > kAdjacentTunnelGap) {
        out.push_back({0, 0, 0});  // no cell; it ends at 0
      }
    }
    out.push_back(t);
  }
  if (out.size() > kTunnelSlots - 1)
    r_.notes.push_back("the track needs " + std::to_string(out.size()) +
                       " tunnel records; a text holds at most " + std::to_string(kTunnelSlots - 1));
}

}  // namespace

void recover_tunnels(Recovery& r) {
  TunnelRecovery(r).run();
}

}  // namespace scengen
