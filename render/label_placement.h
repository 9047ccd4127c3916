// Placing labels so that none overlaps another: rows along an axis, free boxes in a plane, and
// spreading a run of marks apart.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace scengen {

/// A label wanted at position x along an axis, centred on it. `texts` holds the label's forms
/// from the longest to the shortest; the first that fits is used.
struct RowLabel {
  double x = 0;
  std::vector<std::string> texts;
  int priority = 0;  // higher goes first
};

/// Where a RowLabel went: its row (0 is the first tried) and its text's extent along the axis.
struct PlacedRowLabel {
  std::size_t request = 0;
  int row = 0;
  std::string text;
  double left = 0;
  double right = 0;
  int stands_for = 1;  // the labels a count stands for
};

/// Puts each label into the first of `rows` rows where its text, centred on its x and kept
/// within [lo, hi], stays `gap` clear of the labels already in that row. Labels go in order of
/// priority, then of position; a label that fits in no row in any of its forms is dropped.
std::vector<PlacedRowLabel> place_in_rows(const std::vector<RowLabel>& labels, int rows,
                                          double font_size, double lo, double hi, double gap);

/// The labels `placed` left out of `labels`, counted in one row numbered `row`: each count ("+3
/// more") stands for a run of left-out labels, centred on the run and kept within [lo, hi]; runs
/// join until every count stays `gap` clear of the next. `request` is the run's first label.
std::vector<PlacedRowLabel> count_left_out(const std::vector<RowLabel>& labels,
                                           const std::vector<PlacedRowLabel>& placed, int row,
                                           double font_size, double lo, double hi, double gap);

/// Positions for marks wanted at `wanted` (ascending) that keep their order, stay at least
/// `gap` apart and inside [lo, hi], and move as little as they can (least squares).
std::vector<double> spread_apart(const std::vector<double>& wanted, double gap, double lo,
                                 double hi);

/// An axis-aligned rectangle in picture coordinates.
struct Box {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  bool overlaps(const Box& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  bool inside(const Box& frame) const {
    return left >= frame.left && right <= frame.right && top >= frame.top && bottom <= frame.bottom;
  }
};

/// The boxes already taken in a picture: marks, lines, labels.
class TakenBoxes {
 public:
  void add(const Box& box) { boxes_.push_back(box); }
  /// True when the box overlaps nothing taken.
  bool is_free(const Box& box) const;

 private:
  std::vector<Box> boxes_;
};

}  // namespace scengen
