// The curves of a route plan, read from its file's bytes.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "compiler/line_placement.h"
#include "compiler/output_decoding.h"
#include "scenario/model_parts.h"

namespace scengen {
namespace {

constexpr int kCurveClasses = 6;

// The two steps that end at a point: from the point two before to the one before (dx, dy), and
// from there to the point (nx, ny). Empty elements read 0.
struct Steps {
  double dx, dy, nx, ny;
};

// The plan walk turns each step by the curvature k to first order, so the turn between two steps
// gives k back: cross(step before, step) = -k * |step before|^2, rounded to kCurvatureUnit. The
// classes are multiples of it, far above the rounding of positions up to 1e6 m. Only for a point
// set with the two before it.
int64_t measured_units(const Steps& s) {
  const double length = s.dx * s.dx + s.dy * s.dy;
  if (length == 0) return 0;
  const double units = -(s.dx * s.ny - s.dy * s.nx) / length / kCurvatureUnit;
  // Most turns round to nothing; llround is a call.
  return std::fabs(units) < 0.5 ? 0 : std::llround(units);
}

// Whether the turn between the steps is surely too small to measure or to class: measured_units
// gives 0 and nearest_class straight on the walk. Most of a route is straight, where the steps
// differ by rounding alone; this needs no division. Only for a point set with the two before it.
bool straight(const Steps& s) {
  // The margins are far wider than the rounding of the divisions they stand for.
  const double length = s.dx * s.dx + s.dy * s.dy;
  if (!(std::fabs(s.dx * s.ny - s.dy * s.nx) <= 0.25 * length * kCurvatureUnit)) return false;
  const bool along_y = std::fabs(s.dy) >= std::fabs(s.dx);
  const double across = along_y ? s.nx - s.dx : s.dy - s.ny;
  const double along = along_y ? s.dy : s.dx;
  constexpr double kStraightTurn = 0.25 * kCurvatureUnit;  // below half the gentlest class too
  return along != 0 && std::fabs(across) <= kStraightTurn * std::fabs(along);
}

// The signed class nearest the point's turn (0: straight, when nothing is nearer than 0), and
// whether it lies within kCurvatureUnit of it.
struct NearestClass {
  int curve_class = 0;
  bool on_walk = true;
};

NearestClass nearest_class(const Steps& s) {
  // A step the same as the one before is straight: most of a route.
  if (s.nx == s.dx && s.ny == s.dy && (s.dx != 0 || s.dy != 0)) return {};
  // x' = dx + k dy, y' = dy - k dx: take k from the larger component of the step.
  const double k = std::fabs(s.dy) >= std::fabs(s.dx) ? (s.nx - s.dx) / s.dy : (s.dy - s.ny) / s.dx;
  static const std::array<double, kCurveClasses + 1> curvatures = [] {
    std::array<double, kCurveClasses + 1> table{};
    for (int c = 1; c <= kCurveClasses; ++c) table[c] = curvature_of_class(c);
    return table;
  }();
  // Nearer 0 than half the gentlest class: no class is nearer than straight.
  if (std::fabs(k) < curvatures[1] / 2) return {0, std::isfinite(k) && std::fabs(k) <= kCurvatureUnit};
  // From here the class on k's own side is always the nearer of the two of a size.
  NearestClass nearest;
  const double size = std::fabs(k);
  const int side = k < 0 ? -1 : 1;
  double best = size;
  for (int c = 1; c <= kCurveClasses; ++c) {
    const double miss = std::fabs(size - curvatures[c]);
    if (miss < best) {
      best = miss;
      nearest.curve_class = side * c;
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
    const bool set = p.tags[0] != PlanTag::Empty && p.tags[1] != PlanTag::Empty;
    set_in_a_row_ = set ? set_in_a_row_ + 1 : 0;
    const Steps steps{x_[1] - x_[0], y_[1] - y_[0], p.values[0] - x_[1], p.values[1] - y_[1]};
    x_[0] = x_[1];
    y_[0] = y_[1];
    x_[1] = p.values[0];
    y_[1] = p.values[1];
    if (set) plan_.walked_to = p.point;
    if (p.point < 2) return;
    const bool classed = last_classed_ >= 2 && p.point <= last_classed_;
    if (set_in_a_row_ >= 3 && straight(steps)) {
      // Most of a route: neither turn nor class, without measuring them.
      measured_.add(p.point, 0);
      if (classed) classed_.add(p.point, 0);
      return;
    }
    measured_.add(p.point, set_in_a_row_ >= 3 ? measured_units(steps) : 0);
    // The last two points are never computed: the curves by class stop before them, and where
    // the walk stopped.
    if (!classed) return;
    if (!set) {
      classed_.add(p.point, 0);
      return;
    }
    const NearestClass nearest = nearest_class(steps);
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
  // The two points before the one added: their values, and how many points in a row are set.
  double x_[2] = {0, 0}, y_[2] = {0, 0};
  int set_in_a_row_ = 0;
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
  visit_route_plan(*bytes, *layout.value, [&](const RoutePlanPoint& p) { curves.add(p); });
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
