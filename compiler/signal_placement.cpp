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

// Integer fields keep the low 16 bits and Byte fields the low 8 bits of the exact value, which is
// what packing in 16-bit and 8-bit arithmetic gives.
int16_t low16(int64_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(value));
}
uint8_t low8(int64_t value) {
  return static_cast<uint8_t>(value);
}

}  // namespace

void memo_segnale(Compilation& c, int32_t posizione, const int32_t& sx, const int32_t& s1,
                  const int32_t& s2, const int32_t& s3, const int32_t& rapp, const int32_t& dx,
                  const int32_t& d1, const int32_t& d2, const int32_t& d3, int32_t& tempo) {
  const int64_t i = nearest(posizione / 50.0 + 1);
  if (!cell_free(c, i)) {
    record_error(c, 16);
    return;
  }
  TrackCell& signal = cell_at(c, i);
  signal.Kind = kSignal;
  signal.Param4 = low16(int64_t{rapp} * 10 + int64_t{sx} * 3 + dx);
  signal.Param1 = low16(int64_t{s1} * 10 + d1);
  signal.Param2 = low16(int64_t{s2} * 10 + d2);
  signal.Param3 = low16(int64_t{s3} * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  signal.Param5 = sx == 2 ? low8(tempo) : 0;
  // The approach marks need no free cell; those that would fall before the route start are skipped.
  for (int k = 1; k <= 4; ++k) {
    const int64_t j = i - 2 * k;
    if (j >= 0) cell_at(c, j).Mark = low8((int64_t{sx} * 3 + dx) * 10 + k);
  }
}

void memo_rallentamento(Compilation& c, int32_t x, const int32_t& v, const int32_t& l,
                        const int32_t& f_tt, int32_t f_ta, const int32_t& d_v) {
  // Orders that start within the first 1500 m have no warning board and no approach boards.
  const bool warned = x > 1500;
  const int64_t warning = nearest((int64_t{x} - 1200) / 50.0 + 1);
  const int64_t start = nearest(x / 50.0 + 1);
  const int64_t end = nearest((int64_t{x} + l) / 50.0 + 1);
  const int64_t boards = nearest((int64_t{x} - 1200) / 50.0);

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
  TrackCell& end_cell = cell_at(c, end);
  end_cell.Kind = kSlowOrderEnd;
  if (d_v != 0) end_cell.Param2 = low16(d_v);
  TrackCell& start_cell = cell_at(c, start);
  start_cell.Kind = kSlowOrderStart;
  if (d_v != 0) start_cell.Param2 = low16(d_v);
  if (warned) {
    TrackCell& warning_cell = cell_at(c, warning);
    warning_cell.Kind = kWarningBoard;
    if (d_v != 0) warning_cell.Param2 = low16(d_v);
    warning_cell.Param1 = low16(v);
  }
  start_cell.Param1 = low16(v);
  end_cell.Param1 = low16(v);
  start_cell.Param3 = low16(f_tt);
  end_cell.Param3 = low16(f_tt);

  if (f_ta == 0) return;
  // The refusal comes after the order's own cells are written, and leaves them.
  for (int m = 0; m <= 3; ++m) {
    if (!cell_free(c, boards - m)) {
      record_error(c, 20);
      return;
    }
  }
  for (int m = 0; m <= 3; ++m) {
    TrackCell& board = cell_at(c, boards - m);
    board.Kind = kApproachBoard;
    board.Param1 = static_cast<int16_t>(m + 1);
    if (d_v != 0) board.Param2 = static_cast<int16_t>(m + 1);
  }
}

}  // namespace scengen
