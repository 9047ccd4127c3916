#include "compiler/output_files.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace scengen {
namespace {

// Little-endian stores into a byte buffer, whatever the host's byte order.
template <typename Unsigned>
char* put(char* at, Unsigned v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(at, &v, sizeof v);
  } else {
    for (size_t i = 0; i < sizeof v; ++i) at[i] = static_cast<char>(v >> (8 * i));
  }
  return at + sizeof v;
}
char* put_u8(char* at, uint8_t v) {
  return put(at, v);
}
char* put_u16(char* at, uint16_t v) {
  return put(at, v);
}
char* put_i16(char* at, int16_t v) {
  return put(at, static_cast<uint16_t>(v));
}
char* put_i32(char* at, int32_t v) {
  return put(at, static_cast<uint32_t>(v));
}
char* put_f64(char* at, double v) {
  return put(at, std::bit_cast<uint64_t>(v));
}

// A file image of a size known in advance, filled front to back.
class ByteImage {
 public:
  explicit ByteImage(size_t size) : bytes_(size, '\0'), at_(bytes_.data()) {}
  void u8(uint8_t v) { at_ = put_u8(at_, v); }
  void u16(uint16_t v) { at_ = put_u16(at_, v); }
  void i16(int16_t v) { at_ = put_i16(at_, v); }
  void i32(int32_t v) { at_ = put_i32(at_, v); }
  void bytes(const std::string& s) {
    std::memcpy(at_, s.data(), s.size());
    at_ += s.size();
  }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
  char* at_;
};

// Pieces of a file image shorter than this are gathered before they go to the sink.
constexpr size_t kShortPiece = 4 * 1024;
constexpr size_t kGatherBytes = 64 * 1024;
// The longest run of plan elements handed on as one piece: its bytes are still in the cache when
// the sink copies them.
constexpr int32_t kRunElements = 256 * 1024 / TrackPlan::kSlotBytes;

// Hands the pieces of a file image to a sink in order: long pieces as they are, short ones
// gathered into one, so that the sink sees few pieces whatever their number.
class PieceGatherer {
 public:
  explicit PieceGatherer(const ImageSink& sink) : sink_(sink), buffer_(kGatherBytes, '\0') {}
  void add(const void* bytes, size_t n) {
    if (n >= kShortPiece) {
      flush();
      sink_(std::string_view(static_cast<const char*>(bytes), n));
      return;
    }
    if (used_ + n > buffer_.size()) flush();
    std::memcpy(buffer_.data() + used_, bytes, n);
    used_ += n;
  }
  void flush() {
    if (used_ == 0) return;
    sink_(std::string_view(buffer_.data(), used_));
    used_ = 0;
  }

 private:
  const ImageSink& sink_;
  std::string buffer_;
  size_t used_ = 0;
};

// On a little-endian host every element's file image is the start of its slot: 2 bytes when it
// is empty, 4 for an integer, all 10 for a double. A run of doubles goes out as it is.
void encode_plan_slots(const TrackPlan& plan, PieceGatherer& out) {
  const int32_t last = plan.last_point();
  constexpr size_t kSlot = TrackPlan::kSlotBytes;
  constexpr auto kDouble = static_cast<uint8_t>(PlanTag::Double);
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    const uint8_t* const tags = plan.tag_data(coordinate);
    const unsigned char* const slots = plan.slot_data(coordinate);
    int32_t point = 0;
    while (point <= last) {
      const unsigned char* const at = slots + static_cast<size_t>(point) * kSlot;
      if (tags[point] != kDouble) {
        out.add(at, tags[point] == static_cast<uint8_t>(PlanTag::Integer) ? 4 : 2);
        ++point;
        continue;
      }
      const int32_t limit = std::min(last, point + kRunElements - 1);
      int32_t next = point + 1;
      // Eight tags at a time while they are all doubles, then one at a time.
      constexpr uint64_t kEightDoubles = 0x0101010101010101u * kDouble;
      for (uint64_t eight; next + 7 <= limit; next += 8) {
        std::memcpy(&eight, tags + next, sizeof eight);
        if (eight != kEightDoubles) break;
      }
      while (next <= limit && tags[next] == kDouble) ++next;
      out.add(at, static_cast<size_t>(next - point) * kSlot);
      point = next;
    }
  }
}

// Any host: each element converted to little-endian bytes.
void encode_plan_elements(const TrackPlan& plan, PieceGatherer& out) {
  const int32_t last = plan.last_point();
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    for (int32_t point = 0; point <= last; ++point) {
      char image[TrackPlan::kSlotBytes];
      const PlanTag tag = plan.tag(point, coordinate);
      char* at = put_u16(image, static_cast<uint16_t>(tag));
      if (tag == PlanTag::Double) {
        at = put_f64(at, plan.value(point, coordinate));
      } else if (tag == PlanTag::Integer) {
        at = put_i16(at, static_cast<int16_t>(plan.value(point, coordinate)));
      }
      out.add(image, static_cast<size_t>(at - image));
    }
  }
}

}  // namespace

std::string route_plan_file_name(const Compilation& c) { return c.RouteId + "_linea.dat"; }
std::string scenario_table_file_name(const Compilation& c) {
  return c.RouteId + "_" + c.TrainNumber + ".sim";
}
std::string track_file_name(const Compilation& c) {
  return c.RouteId + "_" + c.TrainNumber + ".dat";
}

std::string encode_route_plan(const TrackPlan& plan) {
  std::string image;
  encode_route_plan(plan, [&](std::string_view piece) { image.append(piece); });
  return image;
}

void encode_route_plan(const TrackPlan& plan, const ImageSink& sink) {
  if (!plan.exists()) return;
  PieceGatherer out(sink);
  if constexpr (std::endian::native == std::endian::little) {
    encode_plan_slots(plan, out);
  } else {
    encode_plan_elements(plan, out);
  }
  out.flush();
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
