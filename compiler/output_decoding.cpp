#include "compiler/output_decoding.h"

#include <bit>
#include <cstdint>

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

template <typename Model>
Decoded<Model> refuse(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

}  // namespace

Decoded<std::vector<TrackCell>> decode_track_cells(std::string_view bytes) {
  if (bytes.size() % kCellBytes != 0) {
    return refuse<std::vector<TrackCell>>(
        "a compiled track is a whole number of 15-byte cells; this file has " +
        std::to_string(bytes.size()) + " bytes");
  }
  if (bytes.size() < 2 * kCellBytes) {
    return refuse<std::vector<TrackCell>>(
        "a compiled track has at least two cells; this file has " +
        std::to_string(bytes.size() / kCellBytes));
  }
  std::vector<TrackCell> cells(bytes.size() / kCellBytes);
  ByteCursor in(bytes);
  for (TrackCell& cell : cells) {
    cell.Kind = in.u8();
    cell.Param1 = in.i16();
    cell.Param2 = in.i16();
    cell.Param3 = in.i16();
    cell.Param4 = in.i16();
    cell.Param5 = in.u8();
    cell.Mark = in.u8();
    cell.Tunnel = in.u8();
    cell.SpeedLimit = in.u8();
    cell.Gradient = in.u8();
    cell.Adhesion = in.u8();
  }
  return {std::move(cells), {}};
}

Decoded<ScenarioTable> decode_scenario_table(std::string_view bytes) {
  ScenarioTable table;
  ByteCursor in(bytes);
  for (int slot = 0; slot < kScenarioSlots; ++slot) {
    ScenarioEntry& e = table[slot];
    e.Tag = in.u8();
    e.Num1 = in.i32();
    e.Num2 = in.i32();
    e.Num3 = in.i32();
    e.Tag2 = in.u8();
    e.Text = in.text(in.u16());
    e.Small1 = in.i16();
    e.Small2 = in.i16();
    e.Small3 = in.i16();
    e.Small4 = in.i16();
    e.Small5 = in.i16();
    e.Flag1 = in.u8();
    e.Flag2 = in.u8();
    e.Flag3 = in.u8();
    e.Flag4 = in.u8();
    e.Num4 = in.i32();
    if (!in.ok()) {
      return refuse<ScenarioTable>(
          "a scenario table holds 87 records; this file ends inside record " +
          std::to_string(slot) + " (" + std::to_string(bytes.size()) + " bytes)");
    }
  }
  if (in.left() != 0) {
    return refuse<ScenarioTable>("a scenario table holds 87 records; this file has " +
                                 std::to_string(in.left()) + " bytes more after them");
  }
  return {std::move(table), {}};
}

Decoded<RoutePlanLayout> check_route_plan(std::string_view bytes) {
  // Only the tags are read here; the values are taken where they are used, so that no element is
  // held on the way.
  const auto tag_at = [&](size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
  };
  const auto length = [](uint16_t tag) -> size_t {
    return tag == static_cast<uint16_t>(PlanTag::Integer)  ? 4
           : tag == static_cast<uint16_t>(PlanTag::Double) ? 10
                                                           : 2;
  };
  size_t elements = 0;
  for (size_t at = 0; at < bytes.size(); ++elements) {
    if (bytes.size() - at < 2) {
      return refuse<RoutePlanLayout>("the route plan ends inside the element at byte " +
                                     std::to_string(at));
    }
    const uint16_t tag = tag_at(at);
    if (tag != static_cast<uint16_t>(PlanTag::Empty) &&
        tag != static_cast<uint16_t>(PlanTag::Integer) &&
        tag != static_cast<uint16_t>(PlanTag::Double)) {
      return refuse<RoutePlanLayout>(
          "a route plan element's type tag is 0, 2 or 5; the one at byte " + std::to_string(at) +
          " is " + std::to_string(tag));
    }
    if (bytes.size() - at < length(tag)) {
      return refuse<RoutePlanLayout>("the route plan ends inside the element at byte " +
                                     std::to_string(at));
    }
    at += length(tag);
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
  for (size_t i = 0; i < points; ++i)
    layout.second_coordinate += length(tag_at(layout.second_coordinate));
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
