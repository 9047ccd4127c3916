#include "decompiler/mark_order.h"

#include <queue>

namespace scengen {

// Built from the end: a writer may be the last of those left when every cell it writes either
// holds its mark or was already taken by a later one. Placing one only takes more cells, so a
// writer that may go last stays so, and taking the latest of them in the writers' own order keeps
// that order wherever it works.
std::optional<std::vector<size_t>> mark_order(const std::vector<uint8_t>& marks,
                                              const std::vector<MarkWriter>& writers) {
  const size_t n = writers.size();
  std::vector<std::vector<size_t>> on_cell(marks.size());
  std::vector<std::vector<size_t>> must_follow(n);  // w -> the writers that come before w
  std::vector<size_t> later_left(n, 0);             // writers w must precede, not yet placed
  for (size_t w = 0; w < n; ++w) {
    for (const auto& [cell, mark] : writers[w].marks) {
      if (cell >= 0 && static_cast<size_t>(cell) < marks.size())
        on_cell[static_cast<size_t>(cell)].push_back(w);
    }
    for (const size_t after : writers[w].comes_before) {
      must_follow[after].push_back(w);
      ++later_left[w];
    }
  }
  std::vector<bool> taken(marks.size(), false), placed(n, false);
  auto may_go_last = [&](size_t w) {
    if (placed[w] || later_left[w] != 0) return false;
    for (const auto& [cell, mark] : writers[w].marks) {
      if (cell < 0 || static_cast<size_t>(cell) >= marks.size()) continue;
      const auto c = static_cast<size_t>(cell);
      if (!taken[c] && marks[c] != mark) return false;
    }
    return true;
  };
  std::priority_queue<size_t> ready;
  for (size_t w = 0; w < n; ++w)
    if (may_go_last(w)) ready.push(w);
  std::vector<size_t> backwards;
  while (!ready.empty()) {
    const size_t w = ready.top();
    ready.pop();
    if (!may_go_last(w)) continue;
    placed[w] = true;
    backwards.push_back(w);
    for (const auto& [cell, mark] : writers[w].marks) {
      if (cell < 0 || static_cast<size_t>(cell) >= marks.size()) continue;
      const auto c = static_cast<size_t>(cell);
      if (taken[c]) continue;
      taken[c] = true;
      for (const size_t other : on_cell[c])
        if (may_go_last(other)) ready.push(other);
    }
    for (const size_t before : must_follow[w]) {
      --later_left[before];
      if (may_go_last(before)) ready.push(before);
    }
  }
  if (backwards.size() != n) return std::nullopt;
  return std::vector<size_t>(backwards.rbegin(), backwards.rend());
}

}  // namespace scengen
