#include "render/label_placement.h"

#include <algorithm>
#include <numeric>

#include "render/svg_text.h"

namespace scengen {

std::vector<PlacedRowLabel> place_in_rows(const std::vector<RowLabel>& labels, int rows,
                                          double font_size, double lo, double hi, double gap) {
  std::vector<std::size_t> order(labels.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (labels[a].priority != labels[b].priority) return labels[a].priority > labels[b].priority;
    return labels[a].x < labels[b].x;
  });
  std::vector<std::vector<std::pair<double, double>>> taken(static_cast<std::size_t>(rows));
  std::vector<PlacedRowLabel> placed;
  for (const std::size_t index : order) {
    const RowLabel& label = labels[index];
    bool done = false;
    for (const std::string& text : label.texts) {
      const double width = text_width(text, font_size);
      if (width > hi - lo) continue;
      const double left = std::clamp(label.x - width / 2, lo, hi - width);
      const double right = left + width;
      for (int row = 0; row < rows && !done; ++row) {
        auto& spans = taken[static_cast<std::size_t>(row)];
        const bool clear = std::none_of(spans.begin(), spans.end(), [&](const auto& span) {
          return left < span.second + gap && span.first < right + gap;
        });
        if (!clear) continue;
        spans.emplace_back(left, right);
        placed.push_back({index, row, text, left, right});
        done = true;
      }
      if (done) break;
    }
  }
  std::sort(placed.begin(), placed.end(),
            [](const PlacedRowLabel& a, const PlacedRowLabel& b) { return a.left < b.left; });
  return placed;
}

std::vector<double> spread_apart(const std::vector<double>& wanted, double gap, double lo,
                                 double hi) {
  // Clusters of marks packed `gap` apart; each sits where the mean of its marks' wishes puts it,
  // and a cluster that then touches the one before merges with it.
  struct Cluster {
    std::size_t first;
    std::size_t count;
    double sum;  // sum of wanted[i] - (i - first) * gap over the members
    double start() const { return sum / static_cast<double>(count); }
  };
  const double room = std::max(0.0, hi - lo);
  const std::size_t n = wanted.size();
  if (n > 1 && gap * static_cast<double>(n - 1) > room) gap = room / static_cast<double>(n - 1);
  std::vector<Cluster> clusters;
  auto clamped_start = [&](const Cluster& c) {
    return std::clamp(c.start(), lo, hi - gap * static_cast<double>(c.count - 1));
  };
  for (std::size_t i = 0; i < n; ++i) {
    clusters.push_back({i, 1, wanted[i]});
    while (clusters.size() > 1) {
      Cluster& last = clusters.back();
      Cluster& before = clusters[clusters.size() - 2];
      const double before_end = clamped_start(before) + gap * static_cast<double>(before.count - 1);
      if (clamped_start(last) >= before_end + gap) break;
      before.sum +=
          last.sum - gap * static_cast<double>(before.count) * static_cast<double>(last.count);
      before.count += last.count;
      clusters.pop_back();
    }
  }
  std::vector<double> positions(n);
  for (const Cluster& c : clusters) {
    const double start = clamped_start(c);
    for (std::size_t k = 0; k < c.count; ++k) {
      positions[c.first + k] = start + gap * static_cast<double>(k);
    }
  }
  return positions;
}

bool TakenBoxes::is_free(const Box& box) const {
  return std::none_of(boxes_.begin(), boxes_.end(),
                      [&](const Box& taken) { return taken.overlaps(box); });
}

}  // namespace scengen
