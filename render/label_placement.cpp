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

std::vector<PlacedRowLabel> count_left_out(const std::vector<RowLabel>& labels,
                                           const std::vector<PlacedRowLabel>& placed, int row,
                                           double font_size, double lo, double hi, double gap) {
  std::vector<bool> shown(labels.size(), false);
  for (const PlacedRowLabel& p : placed) shown[p.request] = true;
  std::vector<std::size_t> left_out;
  for (std::size_t i = 0; i < labels.size(); ++i)
    if (!shown[i]) left_out.push_back(i);
  std::stable_sort(left_out.begin(), left_out.end(),
                   [&](std::size_t a, std::size_t b) { return labels[a].x < labels[b].x; });
  struct Run {
    std::size_t first;
    double from, to;  // the x of its first and last label
    int count;
    PlacedRowLabel label;
  };
  auto lay_out = [&](Run& run) {
    run.label.request = run.first;
    run.label.row = row;
    run.label.text = "+" + std::to_string(run.count) + " more";
    run.label.stands_for = run.count;
    const double width = std::min(text_width(run.label.text, font_size), hi - lo);
    run.label.left = std::clamp((run.from + run.to) / 2 - width / 2, lo, hi - width);
    run.label.right = run.label.left + width;
  };
  // Runs as a stack: a new run that comes too near the one before joins it, and the joined run,
  // wider and moved, is checked against the one before it in turn.
  std::vector<Run> runs;
  for (const std::size_t i : left_out) {
    runs.push_back({i, labels[i].x, labels[i].x, 1, {}});
    lay_out(runs.back());
    while (runs.size() > 1 && runs.back().label.left < runs[runs.size() - 2].label.right + gap) {
      Run& before = runs[runs.size() - 2];
      before.to = runs.back().to;
      before.count += runs.back().count;
      runs.pop_back();
      lay_out(before);
    }
  }
  std::vector<PlacedRowLabel> counts;
  for (const Run& run : runs) counts.push_back(run.label);
  return counts;
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
