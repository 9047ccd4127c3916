#include "compiler/output_files.h"

#include <bit>
#include <cstring>

namespace scengen {
namespace {

// Appends little-endian bytes whatever the host's byte order.
class ByteImage {
 public:
  explicit ByteImage(size_t reserve) { bytes_.reserve(reserve); }
  void u8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
  void u16(uint16_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
  }
  void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
  void i32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    u16(static_cast<uint16_t>(u));
    u16(static_cast<uint16_t>(u >> 16));
  }
  void f64(double v) {
    const auto u = std::bit_cast<uint64_t>(v);
    i32(static_cast<int32_t>(static_cast<uint32_t>(u)));
    i32(static_cast<int32_t>(static_cast<uint32_t>(u >> 32)));
  }
  void bytes(const std::string& s) { bytes_.append(s); }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

}  // namespace

std::string route_plan_file_name(const Compilation& c) { return c.RouteId + "_linea.dat"; }
std::string scenario_table_file_name(const Compilation& c) {
  return c.RouteId + "_" + c.TrainNumber + ".sim";
}
std::string track_file_name(const Compilation& c) {
  return c.RouteId + "_" + c.TrainNumber + ".dat";
}

std::string encode_route_plan(const TrackPlan& plan) {
  if (!plan.exists()) return {};
  const int32_t last = plan.last_point();
  ByteImage out((static_cast<size_t>(last) + 1) * 2 * 10);
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    for (int32_t point = 0; point <= last; ++point) {
      const PlanTag tag = plan.tag(point, coordinate);
      out.u16(static_cast<uint16_t>(tag));
      if (tag == PlanTag::Integer) {
        out.i16(static_cast<int16_t>(plan.value(point, coordinate)));
      } else if (tag == PlanTag::Double) {
        out.f64(plan.value(point, coordinate));
      }
    }
  }
  return out.take();
}

std::optional<std::string> encode_scenario_table(const ScenarioTable& table) {
  size_t size = 0;
  for (const ScenarioEntry& e : table) {
    if (e.Text.size() > 0xFFFF) return std::nullopt;
    size += 34 + e.Text.size();
  }
  ByteImage out(size);
  for (const ScenarioEntry& e : table) {
    out.u8(e.Tag);
    out.i32(e.Num1);
    out.i32(e.Num2);
    out.i32(e.Num3);
    out.u8(e.Tag2);
    out.u16(static_cast<uint16_t>(e.Text.size()));
    out.bytes(e.Text);
    out.i16(e.Small1);
    out.i16(e.Small2);
    out.i16(e.Small3);
    out.i16(e.Small4);
    out.i16(e.Small5);
    out.u8(e.Flag1);
    out.u8(e.Flag2);
    out.u8(e.Flag3);
    out.u8(e.Flag4);
    out.i32(e.Num4);
  }
  return out.take();
}

std::string encode_track_cells(const std::vector<TrackCell>& cells) {
  ByteImage out(cells.size() * 15);
  for (const TrackCell& cell : cells) {
    out.u8(cell.Kind);
    out.i16(cell.Param1);
    out.i16(cell.Param2);
    out.i16(cell.Param3);
    out.i16(cell.Param4);
    out.u8(cell.Param5);
    out.u8(cell.Mark);
    out.u8(cell.Tunnel);
    out.u8(cell.SpeedLimit);
    out.u8(cell.Gradient);
    out.u8(cell.Adhesion);
  }
  return out.take();
}

}  // namespace scengen
