// The three binary files read back into the model: the inverse of the file images. A byte string
// that is not such a file is refused with a reason, never read past its end.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/track_model.h"

namespace scengen {

/// The model part a file decodes to, or why the bytes are not such a file.
template <typename Model>
struct Decoded {
  std::optional<Model> value;
  std::string error;
  explicit operator bool() const { return value.has_value(); }
};

/// The compiled track file: 15 bytes per cell, at least two cells.
Decoded<std::vector<TrackCell>> decode_track_cells(std::string_view bytes);

/// The scenario table file: exactly 87 records, each 34 bytes plus its text.
Decoded<ScenarioTable> decode_scenario_table(std::string_view bytes);

/// The route plan file: the elements of coordinate 0, then as many of coordinate 1, each a type
/// tag (0, 2 or 5) and its value.
Decoded<TrackPlan> decode_route_plan(std::string_view bytes);

/// Where a route plan file's points are: its last point and the byte at which coordinate 1
/// begins. Only a file whose every element has a known tag and its whole value gets one.
struct RoutePlanLayout {
  int32_t last_point = 0;
  size_t second_coordinate = 0;
};

/// Checks a route plan file element by element, holding none of them: the refusals are those of
/// decode_route_plan.
Decoded<RoutePlanLayout> check_route_plan(std::string_view bytes);

/// One point of a route plan, both coordinates; an empty element reads 0.
struct RoutePlanPoint {
  int32_t point = 0;
  PlanTag tags[2] = {PlanTag::Empty, PlanTag::Empty};
  double values[2] = {0, 0};
};

/// Reads the elements of one coordinate in order, from a file that check_route_plan accepted.
class PlanElementReader {
 public:
  PlanElementReader(std::string_view bytes, size_t at) : at_(bytes.data() + at) {}
  /// The next element's tag, its value into `value`.
  PlanTag next(double& value) {
    const auto tag = static_cast<PlanTag>(static_cast<uint8_t>(at_[0]));
    if (tag == PlanTag::Integer) {
      value = static_cast<int16_t>(static_cast<uint16_t>(byte(0) | byte(1) << 8));
    } else if (tag == PlanTag::Double) {
      uint64_t bits = 0;
      if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&bits, at_ + kPlanTagBytes, sizeof bits);
      } else {
        for (size_t i = 0; i < sizeof bits; ++i) bits |= uint64_t{byte(i)} << (8 * i);
      }
      value = std::bit_cast<double>(bits);
    } else {
      value = 0;
    }
    at_ += plan_element_bytes(tag);
    return tag;
  }

 private:
  // The i-th byte of the current element's value, after its tag.
  unsigned byte(size_t i) const { return static_cast<uint8_t>(at_[kPlanTagBytes + i]); }
  const char* at_;
};

/// Hands the points of a route plan file to `visit` in order, straight from its bytes and holding
/// none of them: a plan of any length is walked in the memory of its file. `layout` is what
/// check_route_plan found in these bytes.
template <typename Visit>
void visit_route_plan(std::string_view bytes, const RoutePlanLayout& layout, Visit&& visit) {
  PlanElementReader first(bytes, 0);
  PlanElementReader second(bytes, layout.second_coordinate);
  RoutePlanPoint p;
  for (p.point = 0; p.point <= layout.last_point; ++p.point) {
    p.tags[0] = first.next(p.values[0]);
    p.tags[1] = second.next(p.values[1]);
    visit(static_cast<const RoutePlanPoint&>(p));
  }
}

/// The same, checking the bytes first: nothing is visited when they are not a plan; the error
/// then says why.
template <typename Visit>
std::string visit_route_plan(std::string_view bytes, Visit&& visit) {
  const Decoded<RoutePlanLayout> layout = check_route_plan(bytes);
  if (!layout) return layout.error;
  visit_route_plan(bytes, *layout.value, visit);
  return {};
}

}  // namespace scengen
