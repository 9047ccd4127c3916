// The compiled track model: cells of 50 m, the scenario table, the route plan, the tunnel lists.
// The cells' and the table's records, and what their values mean, are in track_layout.h.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compiler/track_layout.h"

namespace scengen {

/// A run of consecutive plan points, both coordinates, as TrackPlan::scan hands them on.
struct PlanChunk {
  int32_t first = 0;  // the first point of the run
  int32_t count = 0;
  /// Per coordinate: the tag of each point (PlanTag values), or nullptr when all are doubles.
  const uint8_t* tags[2] = {nullptr, nullptr};
  /// Per coordinate: the value of each point; an empty element reads 0. Null when images are
  /// given instead.
  const double* values[2] = {nullptr, nullptr};
  /// Per coordinate, when the run is all doubles and file images were asked for: the run as the
  /// plan file stores it, 10 bytes a point (the tag 5 and the double, little-endian).
  const char* images[2] = {nullptr, nullptr};
};

/// What a scan hands on for runs of computed doubles: their values, or their images in the plan
/// file where the host can make them (which spares the file's encoder a pass over them).
enum class PlanScan { Values, FileImages };

/// How many elements of one coordinate are empty, integers and doubles.
struct PlanTagCounts {
  int64_t empty = 0;
  int64_t integers = 0;
  int64_t doubles = 0;
};

/// The ground plan: points 0 to `last_point()`, two coordinates each; every element is empty,
/// a 16-bit integer or a double.
///
/// A long route's plan is some 2 million doubles, and only the plan file needs them all. So the
/// plan records the elements set one by one and the runs of points that the plan walk computes,
/// and computes those points when the plan is scanned for its file, run after run, without
/// holding them. The first look at a single element (tag, value), and any change the records
/// cannot express, fill the whole plan in; from then on it is held element by element. Every
/// point is computed by the same routine whichever way, so the values are the same.
class TrackPlan {
 public:
  /// Creates points 0 to last_point, every element empty.
  void create(int32_t last_point);
  bool exists() const { return points_ > 0; }
  int32_t last_point() const { return points_ - 1; }

  void set_integer(int32_t point, int coordinate, int16_t value) {
    set(point, coordinate, PlanTag::Integer, value);
  }
  void set_double(int32_t point, int coordinate, double value) {
    set(point, coordinate, PlanTag::Double, value);
  }
  /// The first look at a single element fills the plan in (see above).
  PlanTag tag(int32_t point, int coordinate) const {
    fill_in();
    return static_cast<PlanTag>(tags_[coordinate][static_cast<size_t>(point)]);
  }
  /// The element as a double; an empty element reads 0.
  double value(int32_t point, int coordinate) const {
    fill_in();
    return values_[coordinate][static_cast<size_t>(point)];
  }

  /// The plan walk's step over points `first` to `last`: each point, both coordinates, is the
  /// point before it plus the step between the two before it, that step turned by the curvature
  /// `k` (0: straight) to first order. The points must lie in 2 to last_point().
  void extend(int32_t first, int32_t last, double k);

  /// How many elements of the coordinate are of each kind: what the plan file's size needs.
  PlanTagCounts count_tags(int coordinate) const;

  /// Hands every point, 0 to last_point(), to `chunk` in order, a run at a time.
  void scan(const std::function<void(const PlanChunk&)>& chunk,
            PlanScan form = PlanScan::Values) const;

 private:
  struct Element {
    int32_t point;
    int coordinate;
    PlanTag tag;
    double value;
  };
  struct Walk {
    int32_t first;
    int32_t last;
    double k;
  };

  void set(int32_t point, int coordinate, PlanTag tag, double value);
  // Holds every element from here on.
  void fill_in() const;
  void scan_recorded(const std::function<void(const PlanChunk&)>& chunk, PlanScan form) const;

  int32_t points_ = 0;
  // Before the plan is filled in: the elements set one by one, all before the first walk, and
  // the walks, each going on where the one before it ended.
  mutable std::vector<Element> elements_;
  mutable std::vector<Walk> walks_;
  // Once filled in: every element.
  mutable bool filled_ = false;
  mutable std::vector<uint8_t> tags_[2];
  mutable std::vector<double> values_[2];
};

constexpr int kTunnelSlots = 81;  // indices 1 to 80; 0 is unused

}  // namespace scengen
