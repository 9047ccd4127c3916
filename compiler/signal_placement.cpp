#include "compiler/signal_placement.h"

namespace scengen {
namespace {

// A cell outside the track is never free, so a feature that would need it is refused.
bool cell_free(const Compilation& c, int64_t index) {
  return index >= 0 && index <= c.last_cell() && is_free(c.TrackCells[static_cast<size_t>(index)]);
}

TrackCell& cell_at(Compilation& c, int64_t index) {
  return c.TrackCells[static_cast<size_t>(index)];
}

}  // namespace

int32_t place_signal(Compilation& c, int32_t position, const SignalCell& signal) {
  const int64_t i = cell_of(position, kFeatureOffset);
  if (!cell_free(c, i)) {
    record_error(c, 16);
    return signal.tempo;
  }
  SignalCell placed = signal;
  if (placed.tempo >= 1 && placed.tempo <= 100) placed.tempo = 101;
  const int32_t tempo = placed.tempo;
  // The signal time counts only for sx 2.
  if (placed.sx != 2) placed.tempo = 0;
  pack_signal(placed, cell_at(c, i));
  // The approach marks need no free cell; those that would fall before the route start are skipped.
  for (int k = 1; k <= kApproachMarks; ++k) {
    const int64_t j = i - 2 * k;
    if (j >= 0) cell_at(c, j).Mark = signal_mark(signal.sx, signal.dx, k);
  }
  return tempo;
}

void place_slow_order(Compilation& c, const SlowOrderRecord& order) {
  const int32_t x = order.start;
  const bool warned = x > kLastUnwarnedStart;
  const int64_t warning = cell_of(int64_t{x} - kWarningDistance, kFeatureOffset);
  const int64_t start = cell_of(x, kFeatureOffset);
  const int64_t end = cell_of(int64_t{x} + order.length, kFeatureOffset);
  // The four approach boards end in the cell before the warning board's (for x a multiple of 50).
  const int64_t boards = cell_of(int64_t{x} - kWarningDistance, kStepOffset);

  if (warned && !cell_free(c, warning)) {
    record_error(c, 17);
    return;
  }
  if (!cell_free(c, start)) {
    record_error(c, 18);
    return;
  }
  if (!cell_free(c, end)) {
    record_error(c, 19);
    return;
  }

  // Start and end may be one cell (length 0): written as the end, then as the start.
  const SlowOrderCell cell{.v = order.speed, .d_v = order.d_v, .f_tt = order.f_tt};
  pack_slow_order(kSlowOrderEnd, cell, cell_at(c, end));
  pack_slow_order(kSlowOrderStart, cell, cell_at(c, start));
  if (warned) pack_warning_board({.v = order.speed, .d_v = order.d_v}, cell_at(c, warning));

  // An order without a warning board has no approach boards either.
  if (!warned || order.approach_boards == 0) return;
  // The refusal comes after the order's own cells are written, and leaves them.
  for (int m = 0; m <= 3; ++m) {
    if (!cell_free(c, boards - m)) {
      record_error(c, 20);
      return;
    }
  }
  for (int m = 0; m <= 3; ++m) {
    pack_approach_board({.board = m + 1, .with_d_v = order.d_v != 0}, cell_at(c, boards - m));
  }
}

}  // namespace scengen
