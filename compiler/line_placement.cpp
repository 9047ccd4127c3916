#include "compiler/line_placement.h"

#include <algorithm>
#include <limits>

#include "compiler/field_reader.h"

namespace scengen {
namespace {

struct Reference {
  int32_t Num1 = 0;  // route position (m)
  int32_t Num2 = 0;  // kilometric progressive (m)
  int32_t Num3 = 0;  // direction flag
};

Reference reference_in(const ScenarioEntry& entry) {
  return {entry.Num1, entry.Num2, entry.Num3};
}

void put_reference(ScenarioEntry& entry, const Reference& reference) {
  entry.Num1 = reference.Num1;
  entry.Num2 = reference.Num2;
  entry.Num3 = reference.Num3;
}

}  // namespace

void order_references(Compilation& c) {
  // The general section fills the slots from "tre", "due" and "uno" in this order.
  const Reference t = reference_in(c.ScenarioTable[kReferenceSlots[0]]);
  const Reference d = reference_in(c.ScenarioTable[kReferenceSlots[1]]);
  const Reference u = reference_in(c.ScenarioTable[kReferenceSlots[2]]);
  Reference r1, r2, r3;
  const auto order = [&](const Reference& first, const Reference& second, const Reference& third) {
    r1 = first;
    r2 = second;
    r3 = third;
  };
  if (int64_t{t.Num1} + d.Num1 + u.Num1 != 0) {
    // A tie for the largest position matches none of the three and leaves all zeros.
    if (t.Num1 > d.Num1 && t.Num1 > u.Num1) d.Num1 > u.Num1 ? order(t, d, u) : order(t, u, d);
    if (d.Num1 > t.Num1 && d.Num1 > u.Num1) t.Num1 > u.Num1 ? order(d, t, u) : order(d, u, t);
    if (u.Num1 > t.Num1 && u.Num1 > d.Num1) t.Num1 > d.Num1 ? order(u, t, d) : order(u, d, t);
  } else {
    // The last reference with a positive progressive wins.
    if (t.Num2 > 0) order(t, d, u);
    if (d.Num2 > 0) order(d, t, u);
    if (u.Num2 > 0) order(u, d, t);
  }
  put_reference(c.ScenarioTable[kReferenceSlots[0]], r1);
  put_reference(c.ScenarioTable[kReferenceSlots[1]], r2);
  put_reference(c.ScenarioTable[kReferenceSlots[2]], r3);
  for (const int slot : kReferenceSlots) {
    ScenarioEntry& entry = c.ScenarioTable[slot];
    if (!pack_reference({entry.Num1, entry.Num2, entry.Num3}, entry))
      throw ReadFailure{{}, "a kilometric progressive does not fit 32 bits"};
  }
}

double curvature_of_class(int curve_class) {
  static constexpr double kCurvature[] = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  return curve_class >= 1 && curve_class <= 6 ? kCurvature[curve_class] : 0.0;
}

bool walk_plan(Compilation& c, int32_t& cursor, int64_t last, double k, bool test_limit) {
  TrackPlan& plan = c.TrackPlan;
  while (cursor <= last) {
    // The reader bounds every walk; this only keeps a wrong caller inside the plan.
    if (!plan.exists() || cursor < 2 || cursor > plan.last_point())
      throw ReadFailure{{}, "the route plan walk leaves the plan"};
    // The points up to the first one that leaves the plan or reaches the limit, in one run.
    int64_t stop = std::min<int64_t>(last, plan.last_point());
    if (test_limit) stop = std::min<int64_t>(stop, std::max<int64_t>(cursor, kPlanLimit));
    plan.extend(cursor, static_cast<int32_t>(stop), k);
    cursor = static_cast<int32_t>(stop + 1);
    if (test_limit && cursor > kPlanLimit) return false;
  }
  return true;
}

int32_t place_tunnel(Compilation& c, const TunnelRecord& tunnel) {
  // Both limits are checked before anything is written; the reader has already refused tunnels
  // that leave the track, so these only keep a wrong caller inside the model.
  if (c.TunnelCount >= kTunnelSlots - 1)
    throw ReadFailure{{}, "more than " + std::to_string(kTunnelSlots - 1) + " tunnels"};
  const int64_t first = cell_of(tunnel.start, kStepOffset);
  const int64_t last = cell_of(tunnel.end, kEndOffset);
  if (first <= last && (first < 0 || last > c.last_cell()))
    throw ReadFailure{{}, "a tunnel leaves the track"};

  TunnelCell cells_tunnel = tunnel_of_text_kind(tunnel.kind);
  ++c.TunnelCount;
  c.TunnelStart[c.TunnelCount] = tunnel.start;
  c.TunnelEnd[c.TunnelCount] = tunnel.end;
  if (c.TunnelCount > 1 &&
      int64_t{c.TunnelStart[c.TunnelCount]} - c.TunnelEnd[c.TunnelCount - 1] <= 150)
    cells_tunnel.kind = 3;
  int count = 0;
  for (int64_t cell = first; cell <= last; ++cell) {
    TrackCell& track = c.TrackCells[static_cast<size_t>(cell)];
    pack_tunnel(cells_tunnel, ++count, track);
  }
  return cells_tunnel.kind;
}

void place_speed_board(Compilation& c, int32_t position, const SpeedBoardCell& board) {
  const int64_t index = cell_of(position, kFeatureOffset);
  // A cell outside the track is never free.
  if (index < 0 || index > c.last_cell() || !is_free(c.TrackCells[static_cast<size_t>(index)])) {
    record_error(c, 21);
    return;
  }
  if (!pack_speed_board(board, c.TrackCells[static_cast<size_t>(index)]))
    throw ReadFailure{{}, "a packed maximum speed does not fit 16 bits"};
}

}  // namespace scengen
