// Slow orders from their cells. An order's cells stand at fixed distances from its start (the
// warning board 24 cells before, the approach boards the four before that), so each warning or
// approach board names its start; the end may stand anywhere, even before the start, and any end
// with the same values serves. A start, warning or approach board that a later station's marker
// took is recovered from what the marker left in the cell, and the order then comes before the
// stations.
#include <algorithm>
#include <map>
#include <optional>

#include "decompiler/recovery.h"
#include "decompiler/text_parts.h"

namespace scengen {
namespace {

constexpr int32_t kWarningCells = kWarningDistance / kCellLength;
// The last start cell whose order, at the cell's own metres, has no warning board; an order in
// the cell after it has one at any position that maps there.
constexpr int32_t kLastUnwarnedCell = kLastUnwarnedStart / kCellLength + kFeatureOffset;

struct OrderDraft {
  SlowOrderCell values;
  bool hidden_start = false;
  bool speed_known = true;  // a hidden start's speed comes from its warning board or its end
  bool warned = false;      // its warning board stands on the track
  bool approach_boards = false;
  std::optional<int32_t> end_cell;
};

Residue order_residue(const SlowOrderCell& v) {
  return {v.d_v, v.f_tt, 0, 0};
}

class SlowOrderRecovery {
 public:
  explicit SlowOrderRecovery(Recovery& r) : r_(r) {}

  void run() {
    for (int32_t c = 0; c < std::ssize(r_.cells); ++c) {
      if (r_.at(c).Kind == kSlowOrderStart) orders_[c].values = unpack_slow_order(r_.at(c));
    }
    for (int32_t c = 0; c < std::ssize(r_.cells); ++c) {
      if (r_.at(c).Kind == kWarningBoard) claim_warning(c);
      if (r_.at(c).Kind == kApproachBoard) claim_approach_board(c);
    }
    claim_ends();
    for (auto& [start, order] : orders_) write(start, order);
  }

 private:
  // A hidden start in `cell`, when the marker there left what an order of `values` leaves.
  OrderDraft* hidden_start(int32_t cell, SlowOrderCell values, bool speed_known) {
    if (!r_.open_marker(cell)) return nullptr;
    const Residue left = r_.residue(cell);
    values.f_tt = left.p3;
    if (left != order_residue(values) || !r_.take_marker(cell, left)) return nullptr;
    OrderDraft& order = orders_[cell];
    order = OrderDraft{};
    order.values = values;
    order.hidden_start = true;
    order.speed_known = speed_known;
    return &order;
  }

  void claim_warning(int32_t cell) {
    const WarningBoardCell board = unpack_warning_board(r_.at(cell));
    const int32_t start = cell + kWarningCells;
    auto found = orders_.find(start);
    OrderDraft* order = found != orders_.end() ? &found->second : nullptr;
    if (order == nullptr && start >= kLastUnwarnedCell)
      order = hidden_start(start, {board.v, board.d_v, 0}, true);
    if (order != nullptr && !order->speed_known && order->values.d_v == board.d_v) {
      order->values.v = board.v;
      order->speed_known = true;
    }
    if (order != nullptr && order->values.v == board.v && order->values.d_v == board.d_v &&
        start >= kLastUnwarnedCell) {
      order->warned = true;
      return;
    }
    r_.notes.push_back(where(cell) + " holds a " + kind_name(kWarningBoard) + " of no slow order");
  }

  void claim_approach_board(int32_t cell) {
    const ApproachBoardCell board = unpack_approach_board(r_.at(cell));
    if (board.board >= 1 && board.board <= 4) {
      // Board m + 1 stands m cells before the one just before the warning board.
      const int32_t start = cell + board.board + kWarningCells;
      auto found = orders_.find(start);
      if (found != orders_.end()) {
        found->second.approach_boards = true;
        return;
      }
      const int32_t d_v = r_.open_marker(start) ? r_.residue(start).p2 : 0;
      if (start >= kLastUnwarnedCell && hidden_start(start, {0, d_v, 0}, false) != nullptr) {
        orders_[start].approach_boards = true;
        return;
      }
    }
    r_.notes.push_back(where(cell) + " holds a " + kind_name(kApproachBoard) + " of no slow order");
  }

  static bool ends_match(const OrderDraft& order, const SlowOrderCell& end) {
    if (order.speed_known) return order.values == end;
    return order.values.d_v == end.d_v && order.values.f_tt == end.f_tt;
  }

  void claim_ends();
  bool start_hidden_for_end(int32_t end_cell, const SlowOrderCell& values);
  void write(int32_t start, OrderDraft& order);
  int take_boards(int32_t start, const OrderDraft& order);

  Recovery& r_;
  std::map<int32_t, OrderDraft> orders_;  // by start cell
};

// Each order takes the first free end after it with its values, as authors write them; the ends
// left go to orders that end before they start, then to starts a station marker took.
void SlowOrderRecovery::claim_ends() {
  std::vector<int32_t> ends;
  for (int32_t c = 0; c < std::ssize(r_.cells); ++c)
    if (r_.at(c).Kind == kSlowOrderEnd) ends.push_back(c);
  std::vector<bool> taken(ends.size(), false);
  auto give = [&](bool after_start_only) {
    for (auto& [start, order] : orders_) {
      if (order.end_cell) continue;
      for (size_t e = 0; e < ends.size(); ++e) {
        if (taken[e] || (after_start_only && ends[e] <= start)) continue;
        const SlowOrderCell values = unpack_slow_order(r_.at(ends[e]));
        if (!ends_match(order, values)) continue;
        taken[e] = true;
        order.end_cell = ends[e];
        order.values.v = values.v;
        order.speed_known = true;
        break;
      }
    }
  };
  give(true);
  give(false);
  for (size_t e = 0; e < ends.size(); ++e) {
    if (taken[e]) continue;
    if (!start_hidden_for_end(ends[e], unpack_slow_order(r_.at(ends[e]))))
      r_.notes.push_back(where(ends[e]) + " holds a " + kind_name(kSlowOrderEnd) + " of no slow order");
  }
}

// A start under a station marker for an end no order claims: the nearest marker before the end
// that holds its values, with room for its warning board under a marker too when it needs one.
bool SlowOrderRecovery::start_hidden_for_end(int32_t end_cell, const SlowOrderCell& values) {
  std::vector<int32_t> candidates;
  for (int32_t c = 2; c < std::ssize(r_.cells); ++c) {
    if (orders_.count(c) == 0 && r_.open_marker(c) && r_.residue(c) == order_residue(values))
      candidates.push_back(c);
  }
  std::stable_sort(candidates.begin(), candidates.end(), [&](int32_t a, int32_t b) {
    return (a > end_cell) < (b > end_cell) ||
           ((a > end_cell) == (b > end_cell) && std::abs(end_cell - a) < std::abs(end_cell - b));
  });
  for (const int32_t start : candidates) {
    const int32_t warning = start - kWarningCells;
    if (start > kLastUnwarnedCell &&
        !(r_.open_marker(warning) && r_.residue(warning) == Residue{values.d_v, 0, 0, 0}))
      continue;
    OrderDraft* order = hidden_start(start, values, true);
    if (order == nullptr) continue;
    order->end_cell = end_cell;
    return true;
  }
  return false;
}

// The approach boards of an order: each on the track or under a marker that holds what the board
// left. How many markers they take, or -1 when a board is missing.
int SlowOrderRecovery::take_boards(int32_t start, const OrderDraft& order) {
  const int32_t nearest = start - kWarningCells - 1;
  std::vector<int32_t> hidden;
  for (int32_t m = 0; m < 4; ++m) {
    const int32_t c = nearest - m;
    if (!r_.in_track(c)) return -1;
    const TrackCell& cell = r_.at(c);
    const Residue left{order.values.d_v != 0 ? m + 1 : 0, 0, 0, 0};
    if (cell.Kind == kApproachBoard && unpack_approach_board(cell).board == m + 1) continue;
    if (!r_.open_marker(c) || r_.residue(c) != left) return -1;
    hidden.push_back(c);
  }
  for (const int32_t c : hidden) r_.take_marker(c, r_.residue(c));
  return static_cast<int>(hidden.size());
}

void SlowOrderRecovery::write(int32_t start, OrderDraft& order) {
  RecoveredSlowOrder record;
  record.start_cell = start;
  record.values = order.values;
  record.under_marker = order.hidden_start;
  record.position = feature_position(kSlowOrderStart, start);
  // An order in the last unwarned cell gets its warning board from just past 1500 m.
  if (start == kLastUnwarnedCell && (order.warned || order.approach_boards))
    record.position = kLastUnwarnedStart + 10;
  if (record.position > kLastUnwarnedStart && !order.warned) {
    const int32_t warning = start - kWarningCells;
    if (r_.open_marker(warning) &&
        r_.take_marker(warning, Residue{order.values.d_v, 0, 0, 0})) {
      record.under_marker = true;
    } else {
      r_.notes.push_back(where(start) + " starts a slow order without its warning board");
    }
  }
  if (record.position > kLastUnwarnedStart && order.approach_boards) {
    const int hidden = take_boards(start, order);
    record.approach_boards = hidden >= 0;
    if (!record.approach_boards)
      r_.notes.push_back(where(start) + " starts a slow order whose approach boards are not whole");
    record.under_marker = record.under_marker || hidden > 0;
  }
  const int32_t end = order.end_cell.value_or(start);
  record.length = feature_position(kSlowOrderEnd, end) - record.position;
  r_.records.slow_orders.push_back(record);
}

}  // namespace

void recover_slow_orders(Recovery& r) {
  SlowOrderRecovery(r).run();
}

}  // namespace scengen
