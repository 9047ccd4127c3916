// Tunnels from the cells' tunnel kinds and markers. Each run of cells of one kind is a tunnel,
// marked when markers stand in its fourth cells. A marker out of every run's count was left by a
// tunnel that a later one painted over: a marked tunnel of its own, written first, brings it
// back, and the runs painted after it give the cells their kinds. A tunnel that starts 150 m or
// less after the previous one in the text ends is of kind 3: the positions within their cells,
// and where that is not enough an empty tunnel in between, keep the kinds the cells hold.
#include <algorithm>

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
};

class TunnelRecovery {
 public:
  explicit TunnelRecovery(Recovery& r) : r_(r), explained_(r.cells.size(), false) {}

  void run() {
    std::vector<TunnelDraft> runs = kind_runs();
    std::vector<TunnelDraft> list = painted_over_markers();
    list.insert(list.end(), runs.begin(), runs.end());
    write(list);
  }

 private:
  bool marker(int32_t c) const { return r_.in_track(c) && r_.at(c).Kind == kTunnelMarker; }
  // A marker may have stood here: something stands in the cell now.
  bool may_have_held_marker(int32_t c) const { return r_.in_track(c) && r_.at(c).Kind != 0; }

  std::vector<TunnelDraft> kind_runs() {
    std::vector<TunnelDraft> runs;
    for (const Tunnel& t : r_.model.tunnels) {
      TunnelDraft d{t.first_cell, t.last_cell, {t.kind, false}, true};
      bool any = false, all = true;
      for (int32_t c = t.first_cell + kTunnelMarkerSpacing - 1; c <= t.last_cell;
           c += kTunnelMarkerSpacing) {
        any = any || marker(c);
        all = all && may_have_held_marker(c);
      }
      d.tunnel.marked = any && all;
      if (d.tunnel.marked) {
        for (int32_t c = t.first_cell + kTunnelMarkerSpacing - 1; c <= t.last_cell;
             c += kTunnelMarkerSpacing)
          explained_[static_cast<size_t>(c)] = true;
      }
      runs.push_back(d);
    }
    return runs;
  }

  // Marked tunnels for the markers no run explains: each takes a row of them four cells apart,
  // ending on the last; its kind shows only where no run paints over it (open air, kind 0).
  std::vector<TunnelDraft> painted_over_markers() {
    std::vector<TunnelDraft> tunnels;
    for (int32_t c = 0; c < std::ssize(r_.cells); ++c) {
      if (!marker(c) || explained_[static_cast<size_t>(c)]) continue;
      if (c < kTunnelMarkerSpacing - 1) {
        r_.notes.push_back(where(c) + " holds a tunnel marker out of its tunnel's count");
        continue;
      }
      int32_t last = c;
      for (int32_t next = last + kTunnelMarkerSpacing; marker(next) || may_have_held_marker(next);
           next += kTunnelMarkerSpacing) {
        if (marker(next) && !explained_[static_cast<size_t>(next)]) last = next;
      }
      TunnelDraft d{c - (kTunnelMarkerSpacing - 1), last, {0, true}, false};
      for (int32_t k = d.first_cell; k <= d.last_cell; ++k) {
        if (r_.at(k).Tunnel == 0) d.kind_matters = true;
      }
      if (!d.kind_matters) d.tunnel.kind = r_.at(c).Tunnel;
      for (int32_t k = c; k <= last; k += kTunnelMarkerSpacing)
        explained_[static_cast<size_t>(k)] = true;
      tunnels.push_back(d);
    }
    return tunnels;
  }

  void write(const std::vector<TunnelDraft>& list);

  Recovery& r_;
  std::vector<bool> explained_;
};

// Each tunnel from the start of its first cell to the end of its last, moved within the cells
// when the one before ends too close for its kind, or with an empty tunnel between them.
void TunnelRecovery::write(const std::vector<TunnelDraft>& list) {
  std::vector<TunnelRecord>& out = r_.records.tunnels;
  for (const TunnelDraft& d : list) {
    // A marked tunnel of kind 0 is written 256 higher: its cells keep the low 8 bits.
    const int32_t written = d.tunnel.marked && d.tunnel.kind == 0
                                ? 256 + kTunnelMarking
                                : text_kind_of_tunnel(d.tunnel);
    TunnelRecord t{cell_start(d.first_cell), cell_start(d.last_cell + 1), written};
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
