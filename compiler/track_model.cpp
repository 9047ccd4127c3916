#include "compiler/track_model.h"

#include <cmath>

namespace scengen {

int64_t nearest(double x) {
  // Exact halves go to the even neighbour; std::round alone would send them away from zero.
  double whole = std::round(x);
  if (std::fabs(x - std::trunc(x)) == 0.5) whole = 2.0 * std::round(x / 2.0);
  return static_cast<int64_t>(whole);
}

void TrackPlan::create(int32_t last_point) {
  exists_ = true;
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    values_[coordinate].assign(static_cast<size_t>(last_point) + 1, 0.0);
    tags_[coordinate].assign(static_cast<size_t>(last_point) + 1,
                             static_cast<uint8_t>(PlanTag::Empty));
  }
}

void TrackPlan::set_integer(int32_t point, int coordinate, int16_t value) {
  values_[coordinate][point] = value;
  tags_[coordinate][point] = static_cast<uint8_t>(PlanTag::Integer);
}

void TrackPlan::set_double(int32_t point, int coordinate, double value) {
  values_[coordinate][point] = value;
  tags_[coordinate][point] = static_cast<uint8_t>(PlanTag::Double);
}

}  // namespace scengen
