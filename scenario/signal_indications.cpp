// A signal's indications as its text gave them, where the packed cell lost them: Param4 holds
// rapp * 10 + sx * 3 + dx, which reads back only while the sum is 0 to 9; the approach marks
// before the signal hold the sum itself (times 10 plus k, in 8 bits).
#include <map>
#include <set>

#include "scenario/model_parts.h"

namespace scengen {
namespace {

// How many of the approach marks of the signal in cell `i` show the sum `sets`.
int marks_showing(const std::vector<TrackCell>& cells, int32_t i, int32_t sets) {
  int shown = 0;
  for (int k = 1; k <= kApproachMarks; ++k) {
    const int32_t j = i - 2 * k;
    if (j >= 0 && cells[static_cast<size_t>(j)].Mark == signal_mark(0, sets, k)) ++shown;
  }
  return shown;
}

}  // namespace

int32_t indication_sum(const std::vector<TrackCell>& cells, int32_t i) {
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

int32_t rapp_with(int32_t param4, int32_t sets) {
  const int32_t rest = param4 - sets;
  if (rest % 10 == 0) return rest / 10;
  // rapp * 10 == rest modulo 65536 (rest is even): rapp * 5 == rest / 2 modulo 32768.
  constexpr int64_t kInverseOfFive = 19661;  // 5 * 19661 == 98305 == 3 * 32768 + 1
  const int64_t half = ((int64_t{rest} % 65536 + 65536) % 65536) / 2;
  int32_t rapp = static_cast<int32_t>(half * kInverseOfFive % 32768);
  if (rapp >= 16384) rapp -= 32768;
  return rapp;
}

namespace {

// Where the marks of two signals meet, the one whose mark stayed was written last. The order
// of cells where the marks give no order.
std::vector<size_t> write_order(const std::vector<TrackCell>& cells,
                                const std::vector<Signal>& signals) {
  // Who writes each mark cell: (signal, k).
  std::map<int32_t, std::vector<std::pair<size_t, int>>> writers;
  for (size_t s = 0; s < signals.size(); ++s)
    for (int k = 1; k <= kApproachMarks; ++k)
      if (signals[s].cell - 2 * k >= 0) writers[signals[s].cell - 2 * k].push_back({s, k});
  std::vector<std::vector<size_t>> after(signals.size());  // s -> signals written after s
  std::vector<int> before_count(signals.size(), 0);
  for (const auto& [c, w] : writers) {
    if (w.size() < 2) continue;
    const uint8_t mark = cells[static_cast<size_t>(c)].Mark;
    std::vector<size_t> kept, lost;
    for (const auto& [s, k] : w)
      (signal_mark(0, signals[s].indication_sum, k) == mark ? kept : lost).push_back(s);
    if (kept.size() != 1) continue;
    for (const size_t s : lost) {
      after[s].push_back(kept[0]);
      ++before_count[kept[0]];
    }
  }
  std::set<size_t> ready;
  for (size_t s = 0; s < signals.size(); ++s)
    if (before_count[s] == 0) ready.insert(s);
  std::vector<size_t> order;
  while (!ready.empty()) {
    const size_t s = *ready.begin();
    ready.erase(ready.begin());
    order.push_back(s);
    for (const size_t t : after[s])
      if (--before_count[t] == 0) ready.insert(t);
  }
  if (order.size() == signals.size()) return order;
  order.clear();
  for (size_t s = 0; s < signals.size(); ++s) order.push_back(s);
  return order;
}

}  // namespace

void recover_signal_indications(const std::vector<TrackCell>& cells, ScenarioModel& model) {
  for (Signal& signal : model.signals) {
    signal.indication_sum = indication_sum(cells, signal.cell);
    signal.recovered_rapp = rapp_with(cells[static_cast<size_t>(signal.cell)].Param4,
                                      signal.indication_sum);
  }
  model.signal_write_order = write_order(cells, model.signals);
}

}  // namespace scengen
