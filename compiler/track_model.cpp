#include "compiler/track_model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace scengen {

namespace {

// The elements set one by one that the plan records before it fills itself in.
constexpr size_t kRecordedElements = 64;
// The points a scan computes and hands on at a time: as file images, 80 KB a coordinate.
constexpr int32_t kChunkPoints = 8192;
constexpr size_t kImageBytes = plan_element_bytes(PlanTag::Double);

// The loops that compute points stay functions of their own: inlined into their callers, the
// walk's state went through memory at every point.
#if defined(_MSC_VER)
#define KEPT_APART __declspec(noinline)
#else
#define KEPT_APART __attribute__((noinline))
#endif

// The two points before the next one to compute: (x2, y2), then (x1, y1).
struct WalkState {
  double x2 = 0.0, y2 = 0.0;
  double x1 = 0.0, y1 = 0.0;
};

// Computes n points, each from the two before it, hands point i to store(i, x, y) and returns
// the state after them. Every way of filling or scanning the plan goes through here, with the same
// operations in the same order, so that the values agree bit for bit.
template <typename Store>
WalkState compute_points(WalkState s, double k, int64_t n, Store store) {
  double x2 = s.x2, y2 = s.y2;
  double x1 = s.x1, y1 = s.y1;
  for (int64_t i = 0; i < n; ++i) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    double x, y;
    if (k == 0.0) {
      x = x1 + dx;
      y = y1 + dy;
    } else {
      // A first-order turn of the previous step; nothing normalises its length afterwards.
      x = x1 + (dx + k * dy);
      y = y1 + (dy - k * dx);
    }
    store(i, x, y);
    x2 = x1, y2 = y1;
    x1 = x, y1 = y;
  }
  return {x2, y2, x1, y1};
}

KEPT_APART WalkState compute_into(WalkState s, double k, int64_t n, double* xs, double* ys) {
  struct Store {
    double* xs;
    double* ys;
    void operator()(int64_t i, double x, double y) const {
      xs[i] = x;
      ys[i] = y;
    }
  };
  return compute_points(s, k, n, Store{xs, ys});
}

// The element images of a run of doubles, as the plan file stores them. The bytes are the host's
// own: only a little-endian host asks for them.
KEPT_APART WalkState compute_images(WalkState s, double k, int64_t n, char* xs, char* ys) {
  struct Store {
    char* xs;
    char* ys;
    void operator()(int64_t i, double x, double y) const {
      constexpr auto kTag = static_cast<uint16_t>(PlanTag::Double);
      char* const at0 = xs + i * kImageBytes;
      char* const at1 = ys + i * kImageBytes;
      std::memcpy(at0, &kTag, sizeof kTag);
      std::memcpy(at0 + sizeof kTag, &x, sizeof x);
      std::memcpy(at1, &kTag, sizeof kTag);
      std::memcpy(at1 + sizeof kTag, &y, sizeof y);
    }
  };
  return compute_points(s, k, n, Store{xs, ys});
}

}  // namespace

void TrackPlan::create(int32_t last_point) {
  points_ = last_point + 1;
  elements_.clear();
  walks_.clear();
  filled_ = false;
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    std::vector<uint8_t>().swap(tags_[coordinate]);
    std::vector<double>().swap(values_[coordinate]);
  }
}

void TrackPlan::set(int32_t point, int coordinate, PlanTag tag, double value) {
  if (!filled_ && walks_.empty() && elements_.size() < kRecordedElements) {
    elements_.push_back({point, coordinate, tag, value});
    return;
  }
  fill_in();
  tags_[coordinate][static_cast<size_t>(point)] = static_cast<uint8_t>(tag);
  values_[coordinate][static_cast<size_t>(point)] = value;
}

void TrackPlan::extend(int32_t first, int32_t last, double k) {
  if (first > last) return;
  if (!filled_ && (walks_.empty() || first == walks_.back().last + 1)) {
    if (!walks_.empty() && walks_.back().k == k) {
      walks_.back().last = last;
    } else {
      walks_.push_back({first, last, k});
    }
    return;
  }
  fill_in();
  const auto at = static_cast<size_t>(first);
  const WalkState start{values_[0][at - 2], values_[1][at - 2], values_[0][at - 1],
                        values_[1][at - 1]};
  const int64_t n = int64_t{last} - first + 1;
  compute_into(start, k, n, values_[0].data() + at, values_[1].data() + at);
  for (auto& tags : tags_) {
    std::fill_n(tags.begin() + static_cast<std::ptrdiff_t>(at), n,
                static_cast<uint8_t>(PlanTag::Double));
  }
}

void TrackPlan::fill_in() const {
  if (filled_) return;
  filled_ = true;
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    tags_[coordinate].assign(static_cast<size_t>(points_), static_cast<uint8_t>(PlanTag::Empty));
    values_[coordinate].assign(static_cast<size_t>(points_), 0.0);
  }
  for (const Element& e : elements_) {
    tags_[e.coordinate][static_cast<size_t>(e.point)] = static_cast<uint8_t>(e.tag);
    values_[e.coordinate][static_cast<size_t>(e.point)] = e.value;
  }
  if (!walks_.empty()) {
    const auto at = static_cast<size_t>(walks_.front().first);
    WalkState state{values_[0][at - 2], values_[1][at - 2], values_[0][at - 1], values_[1][at - 1]};
    for (const Walk& walk : walks_) {
      const auto from = static_cast<size_t>(walk.first);
      const int64_t n = int64_t{walk.last} - walk.first + 1;
      state = compute_into(state, walk.k, n, values_[0].data() + from, values_[1].data() + from);
      for (auto& tags : tags_) {
        std::fill_n(tags.begin() + static_cast<std::ptrdiff_t>(from), n,
                    static_cast<uint8_t>(PlanTag::Double));
      }
    }
  }
  // The records are spent; the plan is held element by element from now on.
  elements_.clear();
  walks_.clear();
}

PlanTagCounts TrackPlan::count_tags(int coordinate) const {
  PlanTagCounts counts;
  const auto count = [&](PlanTag tag) {
    if (tag == PlanTag::Integer) ++counts.integers;
    if (tag == PlanTag::Double) ++counts.doubles;
  };
  if (filled_) {
    for (const uint8_t tag : tags_[coordinate]) count(static_cast<PlanTag>(tag));
  } else {
    // The walked points are doubles; of the elements set one by one, the last set of each point
    // outside them counts.
    int32_t walked_first = points_, walked_last = points_ - 1;
    if (!walks_.empty()) walked_first = walks_.front().first, walked_last = walks_.back().last;
    counts.doubles += int64_t{walked_last} - walked_first + 1;
    for (size_t i = 0; i < elements_.size(); ++i) {
      const Element& e = elements_[i];
      if (e.coordinate != coordinate || (e.point >= walked_first && e.point <= walked_last))
        continue;
      bool set_again = false;
      for (size_t j = i + 1; j < elements_.size() && !set_again; ++j)
        set_again = elements_[j].coordinate == coordinate && elements_[j].point == e.point;
      if (!set_again) count(e.tag);
    }
  }
  counts.empty = points_ - counts.integers - counts.doubles;
  return counts;
}

void TrackPlan::scan(const std::function<void(const PlanChunk&)>& chunk, PlanScan form) const {
  if (!exists()) return;
  if (!filled_) {
    scan_recorded(chunk, form);
    return;
  }
  PlanChunk all;
  all.count = points_;
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    all.tags[coordinate] = tags_[coordinate].data();
    all.values[coordinate] = values_[coordinate].data();
  }
  chunk(all);
}

void TrackPlan::scan_recorded(const std::function<void(const PlanChunk&)>& chunk,
                              PlanScan form) const {
  const bool images = form == PlanScan::FileImages && std::endian::native == std::endian::little;
  std::vector<uint8_t> tags[2];
  std::vector<double> values[2];
  std::vector<char> image_bytes[2];
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    tags[coordinate].resize(kChunkPoints);
    values[coordinate].resize(kChunkPoints);
    if (images) image_bytes[coordinate].resize(kChunkPoints * kImageBytes);
  }
  // Points from..to that no walk computes: empty, unless set one by one.
  const auto hand_on_set = [&](int32_t from, int32_t to) {
    for (int32_t first = from; first <= to; first += kChunkPoints) {
      PlanChunk run;
      run.first = first;
      run.count = std::min(kChunkPoints, to - first + 1);
      for (int coordinate = 0; coordinate < 2; ++coordinate) {
        std::fill_n(tags[coordinate].begin(), run.count, static_cast<uint8_t>(PlanTag::Empty));
        std::fill_n(values[coordinate].begin(), run.count, 0.0);
        run.tags[coordinate] = tags[coordinate].data();
        run.values[coordinate] = values[coordinate].data();
      }
      for (const Element& e : elements_) {
        if (e.point < first || e.point >= first + run.count) continue;
        tags[e.coordinate][static_cast<size_t>(e.point - first)] = static_cast<uint8_t>(e.tag);
        values[e.coordinate][static_cast<size_t>(e.point - first)] = e.value;
      }
      chunk(run);
    }
  };
  if (walks_.empty()) {
    hand_on_set(0, points_ - 1);
    return;
  }
  const int32_t walked_first = walks_.front().first;
  hand_on_set(0, walked_first - 1);
  // The walks start from the two points before the first, as they were set.
  const auto set_value = [&](int32_t point, int coordinate) {
    double value = 0.0;
    for (const Element& e : elements_) {
      if (e.point == point && e.coordinate == coordinate) value = e.value;
    }
    return value;
  };
  WalkState state{set_value(walked_first - 2, 0), set_value(walked_first - 2, 1),
                  set_value(walked_first - 1, 0), set_value(walked_first - 1, 1)};
  for (const Walk& walk : walks_) {
    for (int32_t first = walk.first; first <= walk.last; first += kChunkPoints) {
      PlanChunk run;
      run.first = first;
      run.count = std::min(kChunkPoints, walk.last - first + 1);
      if (images) {
        state =
            compute_images(state, walk.k, run.count, image_bytes[0].data(), image_bytes[1].data());
        run.images[0] = image_bytes[0].data();
        run.images[1] = image_bytes[1].data();
      } else {
        state = compute_into(state, walk.k, run.count, values[0].data(), values[1].data());
        run.values[0] = values[0].data();
        run.values[1] = values[1].data();
      }
      chunk(run);
    }
  }
  hand_on_set(walks_.back().last + 1, points_ - 1);
}

}  // namespace scengen
