// The order of the records that write approach marks (signals and stations): where several write
// one cell, the one whose mark the cell holds must come last.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace scengen {

/// A record that writes marks: each (cell, mark) it writes, and the records it must precede
/// whatever the marks say (indices into the same list).
struct MarkWriter {
  std::vector<std::pair<int32_t, uint8_t>> marks;
  std::vector<size_t> comes_before;
};

/// An order of `writers` (indices) after which every cell one of them writes holds
/// `marks[cell]`, keeping each writer before those it must precede; nullopt when none does. Of
/// the orders that do, the one closest to the writers' own order: that order itself when it does.
std::optional<std::vector<size_t>> mark_order(const std::vector<uint8_t>& marks,
                                              const std::vector<MarkWriter>& writers);

}  // namespace scengen
