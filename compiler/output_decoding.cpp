#include "compiler/output_decoding.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

namespace scengen {
namespace {

// Takes little-endian values from the front of a byte string; `ok` turns false, for good, at the
// first read that would pass its end.
class ByteCursor {
 public:
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  size_t offset() const { return pos_; }
  size_t left() const { return bytes_.size() - pos_; }

  uint8_t u8() { return static_cast<uint8_t>(take(1)); }
  uint16_t u16() { return static_cast<uint16_t>(take(2)); }
  int16_t i16() { return static_cast<int16_t>(u16()); }
  int32_t i32() { return static_cast<int32_t>(static_cast<uint32_t>(take(4))); }
  double f64() { return std::bit_cast<double>(take(8)); }
  std::string text(size_t n) {
    if (!ok_ || left() < n) {
      ok_ = false;
      return {};
    }
    std::string out(bytes_.substr(pos_, n));
    pos_ += n;
    return out;
  }

  // A record's fields, each in its stored width; a text as its count and its bytes.
  void operator()(uint8_t& v) { v = u8(); }
  void operator()(int16_t& v) { v = i16(); }
  void operator()(int32_t& v) { v = i32(); }
  void operator()(std::string& v) { v = text(u16()); }

 private:
  uint64_t take(size_t n) {
    if (!ok_ || left() < n) {
      ok_ = false;
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < n; ++i) {
      value |= uint64_t{static_cast<uint8_t>(bytes_[pos_ + i])} << (8 * i);
    }
    pos_ += n;
    return value;
  }

  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

std::string tag_text(PlanTag tag) {
  return std::to_string(static_cast<int>(tag));
}

template <typename Model>
Decoded<Model> refuse(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

}  // namespace

Decoded<std::vector<TrackCell>> decode_track_cells(std::string_view bytes) {
  if (bytes.size() % kCellBytes != 0) {
    return refuse<std::vector<TrackCell>>(
        "a compiled track is a whole number of " + std::to_string(kCellBytes) +
        "-byte cells; this file has " + std::to_string(bytes.size()) + " bytes");
  }
  if (bytes.size() < 2 * kCellBytes) {
    return refuse<std::vector<TrackCell>>(
        "a compiled track has at least two cells; this file has " +
        std::to_string(bytes.size() / kCellBytes));
  }
  std::vector<TrackCell> cells(bytes.size() / kCellBytes);
  ByteCursor in(bytes);
  for (TrackCell& cell : cells) for_each_field(kCellFields, cell, in);
  return {std::move(cells), {}};
}

Decoded<ScenarioTable> decode_scenario_table(std::string_view bytes) {
  ScenarioTable table;
  ByteCursor in(bytes);
  for (int slot = 0; slot < kScenarioSlots; ++slot) {
    for_each_field(kEntryFields, table[slot], in);
    if (!in.ok()) {
      return refuse<ScenarioTable>("a scenario table holds " + std::to_string(kScenarioSlots) +
                                   " records; this file ends inside record " +
                                   std::to_string(slot) + " (" + std::to_string(bytes.size()) +
                                   " bytes)");
    }
  }
  if (in.left() != 0) {
    return refuse<ScenarioTable>("a scenario table holds " + std::to_string(kScenarioSlots) +
                                 " records; this file has " + std::to_string(in.left()) +
                                 " bytes more after them");
  }
  return {std::move(table), {}};
}

namespace {

// The tag of the element at byte `at`.
uint16_t plan_tag_at(std::string_view bytes, size_t at) {
  if constexpr (std::endian::native == std::endian::little) {
    uint16_t tag = 0;
    std::memcpy(&tag, bytes.data() + at, sizeof tag);
    return tag;
  }
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                               static_cast<uint8_t>(bytes[at + 1]) << 8);
}

// The bytes of the element whose tag is `tag`; an unknown tag counts its tag alone.
size_t plan_element_length(uint16_t tag) {
  return is_plan_tag(tag) ? plan_element_bytes(static_cast<PlanTag>(tag)) : kPlanTagBytes;
}

// How many of the next `most` elements from byte `at` are a run of doubles that lies whole in
// the bytes. A plan is almost all doubles: a block of them is checked without following each
// element's length, so the walk runs at the speed of memory.
size_t doubles_from(std::string_view bytes, size_t at, size_t most) {
  constexpr size_t kBlock = 64;
  constexpr size_t kStride = plan_element_bytes(PlanTag::Double);
  constexpr auto kDouble = static_cast<uint16_t>(PlanTag::Double);
  size_t run = 0;
  while (most - run >= kBlock && bytes.size() - at >= kBlock * kStride) {
    bool all = true;
    for (size_t i = 0; i < kBlock; ++i) all &= plan_tag_at(bytes, at + i * kStride) == kDouble;
    if (!all) break;
    run += kBlock;
    at += kBlock * kStride;
  }
  return run;
}

}  // namespace

Decoded<RoutePlanLayout> check_route_plan(std::string_view bytes) {
  // Only the tags are read here; the values are taken where they are used, so that no element is
  // held on the way. Where an element about every kEvery begins is noted on the way, so that
  // coordinate 1 is found again without a second walk.
  constexpr size_t kEvery = 4096;
  struct Mark {
    size_t element, at;
  };
  std::vector<Mark> marks;
  size_t elements = 0;
  for (size_t at = 0; at < bytes.size(); ++elements) {
    if (elements >= marks.size() * kEvery) marks.push_back({elements, at});
    const size_t doubles = doubles_from(bytes, at, kEvery);
    if (doubles > 0) {
      elements += doubles - 1;
      at += doubles * plan_element_bytes(PlanTag::Double);
      continue;
    }
    if (bytes.size() - at < kPlanTagBytes) {
      return refuse<RoutePlanLayout>("the route plan ends inside the element at byte " +
                                     std::to_string(at));
    }
    const uint16_t tag = plan_tag_at(bytes, at);
    if (!is_plan_tag(tag)) {
      return refuse<RoutePlanLayout>("a route plan element's type tag is " +
                                     tag_text(PlanTag::Empty) + ", " + tag_text(PlanTag::Integer) +
                                     " or " + tag_text(PlanTag::Double) + "; the one at byte " +
                                     std::to_string(at) + " is " + std::to_string(tag));
    }
    if (bytes.size() - at < plan_element_length(tag)) {
      return refuse<RoutePlanLayout>("the route plan ends inside the element at byte " +
                                     std::to_string(at));
    }
    at += plan_element_length(tag);
  }
  if (elements < 2 || elements % 2 != 0) {
    return refuse<RoutePlanLayout>(
        "a route plan holds two coordinates of the same number of points; "
        "this file has " +
        std::to_string(elements) + " elements");
  }
  const size_t points = elements / 2;
  if (points - 1 > static_cast<size_t>(INT32_MAX))
    return refuse<RoutePlanLayout>("too many points");
  RoutePlanLayout layout;
  layout.last_point = static_cast<int32_t>(points - 1);
  // The last mark at or before coordinate 1, then element by element from there.
  const Mark from = *std::prev(std::upper_bound(
      marks.begin(), marks.end(), points, [](size_t n, const Mark& m) { return n < m.element; }));
  layout.second_coordinate = from.at;
  for (size_t i = from.element; i < points;) {
    const size_t doubles = doubles_from(bytes, layout.second_coordinate, points - i);
    if (doubles > 0) {
      i += doubles;
      layout.second_coordinate += doubles * plan_element_bytes(PlanTag::Double);
      continue;
    }
    layout.second_coordinate += plan_element_length(plan_tag_at(bytes, layout.second_coordinate));
    ++i;
  }
  return {layout, {}};
}

Decoded<TrackPlan> decode_route_plan(std::string_view bytes) {
  const Decoded<RoutePlanLayout> layout = check_route_plan(bytes);
  if (!layout) return refuse<TrackPlan>(layout.error);
  TrackPlan plan;
  plan.create(layout.value->last_point);
  // The first look fills the plan in: from then on each element goes straight to its place.
  (void)plan.tag(0, 0);
  const size_t starts[2] = {0, layout.value->second_coordinate};
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    PlanElementReader in(bytes, starts[coordinate]);
    for (int32_t point = 0; point <= layout.value->last_point; ++point) {
      double value = 0;
      const PlanTag tag = in.next(value);
      if (tag == PlanTag::Integer) {
        plan.set_integer(point, coordinate, static_cast<int16_t>(value));
      } else if (tag == PlanTag::Double) {
        plan.set_double(point, coordinate, value);
      }
    }
  }
  return {std::move(plan), {}};
}

}  // namespace scengen
