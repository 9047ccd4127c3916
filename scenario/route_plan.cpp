// The curves of a route plan, read from its file's bytes.
#include <algorithm>
#include <cmath>
#include <functional>

#include "compiler/line_placement.h"
#include "compiler/output_decoding.h"
#include "scenario/model_parts.h"

namespace scengen {
namespace {

constexpr int kCurveClasses = 6;

// The plan walk turns each step by the curvature k to first order, so the turn between two steps
// gives k back: cross(step before, step) = -k * |step before|^2, rounded to kCurvatureUnit. The
// classes are multiples of it, far above the rounding of positions up to 1e6 m. 0 when the
// point or one of the two before it is not set.
int64_t measured_units(const RoutePlanPoint window[3]) {
  for (int i = 0; i < 3; ++i) {
    if (window[i].tags[0] == PlanTag::Empty || window[i].tags[1] == PlanTag::Empty) return 0;
  }
  const double dx = window[1].values[0] - window[0].values[0];
  const double dy = window[1].values[1] - window[0].values[1];
  const double nx = window[2].values[0] - window[1].values[0];
  const double ny = window[2].values[1] - window[1].values[1];
  const double length = dx * dx + dy * dy;
  if (length == 0) return 0;
  return std::llround(-(dx * ny - dy * nx) / length / kCurvatureUnit);
}

// The signed class nearest the point's turn (0: straight, when nothing is nearer than 0), and
// whether it lies within kCurvatureUnit of it. Empty elements read 0.
struct NearestClass {
  int curve_class = 0;
  bool on_walk = true;
};

NearestClass nearest_class(const RoutePlanPoint window[3]) {
  const double dx = window[1].values[0] - window[0].values[0];
  const double dy = window[1].values[1] - window[0].values[1];
  const double sx = window[2].values[0] - window[1].values[0];
  const double sy = window[2].values[1] - window[1].values[1];
  // A step the same as the one before is straight: most of a route.
  if (sx == dx && sy == dy && (dx != 0 || dy != 0)) return {};
  // x' = dx + k dy, y' = dy - k dx: take k from the larger component of the step.
  const double k = std::fabs(dy) >= std::fabs(dx) ? (sx - dx) / dy : (dy - sy) / dx;
  NearestClass nearest;
  double best = std::fabs(k);
  for (int c = 1; c <= kCurveClasses; ++c) {
    for (const int side : {1, -1}) {
      const double miss = std::fabs(k - side * curvature_of_class(c));
      if (miss < best) {
        best = miss;
        nearest.curve_class = side * c;
      }
    }
  }
  nearest.on_walk = std::isfinite(k) && best <= kCurvatureUnit;
  return nearest;
}

// Runs of one value over consecutive points: a run of points p to q - 1 becomes what `close`
// makes of it; value 0 makes none.
template <typename Value, typename Close>
class RunCollector {
 public:
  explicit RunCollector(Close close) : close_(close) {}
  void add(int32_t point, Value value) {
    if (value == current_) return;
    if (current_ != Value{}) close_(start_, point - 1, current_);
    current_ = value;
    start_ = point;
  }

 private:
  Close close_;
  Value current_{};
  int32_t start_ = 0;
};

// The curves of a plan, from its points handed on in order.
class PlanCurves {
 public:
  explicit PlanCurves(int32_t last_point)
      : last_classed_(last_point - 2),
        measured_([this](int32_t first, int32_t last, int64_t units) {
          plan_.curvature_runs.push_back({first, last, units, curve_class_of_units(units)});
        }),
        classed_([this](int32_t first, int32_t last, int curve_class) {
          plan_.curves.push_back({first - 1, last - first + 1, curve_class});
        }) {
    plan_.present = true;
    plan_.last_point = last_point;
  }

  void add(const RoutePlanPoint& p) {
    window_[0] = window_[1];
    window_[1] = window_[2];
    window_[2] = p;
    const bool set = p.tags[0] != PlanTag::Empty && p.tags[1] != PlanTag::Empty;
    if (set) plan_.walked_to = p.point;
    if (p.point < 2) return;
    measured_.add(p.point, measured_units(window_));
    // The last two points are never computed: the curves by class stop before them, and where
    // the walk stopped.
    if (last_classed_ < 2 || p.point > last_classed_) return;
    if (!set) {
      classed_.add(p.point, 0);
      return;
    }
    const NearestClass nearest = nearest_class(window_);
    if (!nearest.on_walk && !plan_.first_point_off_walk) plan_.first_point_off_walk = p.point;
    classed_.add(p.point, nearest.curve_class);
  }

  RoutePlan finish() {
    measured_.add(plan_.last_point + 1, 0);
    if (last_classed_ >= 2) classed_.add(last_classed_ + 1, 0);
    return std::move(plan_);
  }

 private:
  RoutePlan plan_;
  int32_t last_classed_;
  RoutePlanPoint window_[3];
  RunCollector<int64_t, std::function<void(int32_t, int32_t, int64_t)>> measured_;
  RunCollector<int, std::function<void(int32_t, int32_t, int)>> classed_;
};

}  // namespace

int64_t class_curvature_units(int curve_class) {
  return std::llround(curvature_of_class(curve_class) / kCurvatureUnit);
}

int curve_class_of_units(int64_t units) {
  const int64_t magnitude = units < 0 ? -units : units;
  for (int c = 1; c <= kCurveClasses; ++c) {
    if (class_curvature_units(c) == magnitude) return c;
  }
  return 0;
}

RoutePlan read_route_plan(const std::optional<std::string>& bytes) {
  if (!bytes) return {};
  const Decoded<RoutePlanLayout> layout = check_route_plan(*bytes);
  if (!layout) {
    RoutePlan plan;
    plan.error = layout.error;
    return plan;
  }
  PlanCurves curves(layout.value->last_point);
  visit_route_plan(*bytes, [&](const RoutePlanPoint& p) { curves.add(p); });
  RoutePlan plan = curves.finish();
  plan.second_coordinate = layout.value->second_coordinate;
  return plan;
}

RoutePlan read_track_plan(const TrackPlan& plan) {
  if (!plan.exists()) return {};
  PlanCurves curves(plan.last_point());
  RoutePlanPoint p;
  plan.scan([&](const PlanChunk& chunk) {
    for (int32_t i = 0; i < chunk.count; ++i) {
      p.point = chunk.first + i;
      for (int c = 0; c < 2; ++c) {
        p.tags[c] = chunk.tags[c] ? static_cast<PlanTag>(chunk.tags[c][i]) : PlanTag::Double;
        p.values[c] = chunk.values[c][i];
      }
      curves.add(p);
    }
  });
  return curves.finish();
}

std::optional<PlanStretch> differing_plan_points(std::string_view a, std::string_view b) {
  const Decoded<RoutePlanLayout> la = check_route_plan(a);
  const Decoded<RoutePlanLayout> lb = check_route_plan(b);
  if (!la || !lb) return std::nullopt;
  PlanElementReader in_a[2] = {{a, 0}, {a, la.value->second_coordinate}};
  PlanElementReader in_b[2] = {{b, 0}, {b, lb.value->second_coordinate}};
  const int32_t common = std::min(la.value->last_point, lb.value->last_point);
  std::optional<PlanStretch> stretch;
  for (int32_t p = 0; p <= common; ++p) {
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      double va = 0, vb = 0;
      const PlanTag ta = in_a[coordinate].next(va);
      const PlanTag tb = in_b[coordinate].next(vb);
      if (ta == PlanTag::Empty || tb == PlanTag::Empty || va == vb) continue;
      if (!stretch) stretch = PlanStretch{p, p};
      stretch->last = p;
    }
  }
  return stretch;
}

}  // namespace scengen
