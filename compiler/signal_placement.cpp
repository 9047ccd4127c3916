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

void memo_segnale(Compilation& c, int32_t posizione, const int32_t& sx, const int32_t& s1,
                  const int32_t& s2, const int32_t& s3, const int32_t& rapp, const int32_t& dx,
                  const int32_t& d1, const int32_t& d2, const int32_t& d3, int32_t& tempo) {
  const int64_t i = cell_of(posizione, kFeatureOffset);
  if (!cell_free(c, i)) {
    record_error(c, 16);
    return;
  }
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  // The signal time counts only for sx 2.
  pack_signal({.sx = sx,
               .s1 = s1,
               .s2 = s2,
               .s3 = s3,
               .rapp = rapp,
               .dx = dx,
               .d1 = d1,
               .d2 = d2,
               .d3 = d3,
               .tempo = sx == 2 ? tempo : 0},
              cell_at(c, i));
  // The approach marks need no free cell; those that would fall before the route start are skipped.
  for (int k = 1; k <= kApproachMarks; ++k) {
    const int64_t j = i - 2 * k;
    if (j >= 0) cell_at(c, j).Mark = signal_mark(sx, dx, k);
  }
}

void memo_rallentamento(Compilation& c, int32_t x, const int32_t& v, const int32_t& l,
                        const int32_t& f_tt, int32_t f_ta, const int32_t& d_v) {
  const bool warned = x > kLastUnwarnedStart;
  const int64_t warning = cell_of(int64_t{x} - kWarningDistance, kFeatureOffset);
  const int64_t start = cell_of(x, kFeatureOffset);
  const int64_t end = cell_of(int64_t{x} + l, kFeatureOffset);
  // The four approach boards end in the cell before the warning board's (for x a multiple of 50).
  const int64_t boards = cell_of(int64_t{x} - kWarningDistance, kStepOffset);

  if (warned && !cell_free(c, warning)) {
    record_error(c, 17);
    return;
  }
  if (!warned) f_ta = 0;
  if (!cell_free(c, start)) {
    record_error(c, 18);
    return;
  }
  if (!cell_free(c, end)) {
    record_error(c, 19);
    return;
  }

  // Start and end may be one cell (length 0): written as the end, then as the start.
  const SlowOrderCell order{.v = v, .d_v = d_v, .f_tt = f_tt};
  pack_slow_order(kSlowOrderEnd, order, cell_at(c, end));
  pack_slow_order(kSlowOrderStart, order, cell_at(c, start));
  if (warned) pack_warning_board({.v = v, .d_v = d_v}, cell_at(c, warning));

  if (f_ta == 0) return;
  // The refusal comes after the order's own cells are written, and leaves them.
  for (int m = 0; m <= 3; ++m) {
    if (!cell_free(c, boards - m)) {
      record_error(c, 20);
      return;
    }
  }
  for (int m = 0; m <= 3; ++m) {
    pack_approach_board({.board = m + 1, .with_d_v = d_v != 0}, cell_at(c, boards - m));
  }
}

}  // namespace scengen
