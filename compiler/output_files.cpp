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

// A file image of a size known in advance, filled front to back with a record's fields.
class ByteImage {
 public:
  explicit ByteImage(size_t size) : bytes_(size, '\0'), at_(bytes_.data()) {}
  void operator()(uint8_t v) { at_ = put_u8(at_, v); }
  void operator()(int16_t v) { at_ = put_i16(at_, v); }
  void operator()(int32_t v) { at_ = put_i32(at_, v); }
  // The caller has checked that the length fits its 16 bits.
  void operator()(const std::string& s) {
    at_ = put_u16(at_, static_cast<uint16_t>(s.size()));
    std::memcpy(at_, s.data(), s.size());
    at_ += s.size();
  }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
  char* at_;
};

// A file image goes to the sink in pieces of this size that start at multiples of it in the file,
// so that every piece but the first and the last of a part covers whole pages of the file: a
// piece that covered part of a page would make the system fill in the rest. Small enough to stay
// in the cache until the sink has copied it.
constexpr size_t kPieceBytes = 64 * 1024;

// One coordinate's part of the route plan file, encoded front to back from its offset.
class PlanImagePart {
 public:
  PlanImagePart(const PlacedSink& sink, uint64_t offset)
      : sink_(sink),
        offset_(offset),
        piece_(kPieceBytes + kLargestPlanElement, '\0'),
        limit_(kPieceBytes - static_cast<size_t>(offset % kPieceBytes)) {}

  // Elements of a run: tags[i] and values[i], or all doubles when tags is null.
  void add(const uint8_t* tags, const double* values, int32_t count) {
    for (int32_t i = 0; i < count;) {
      if (used_ >= limit_) pass_on();
      // As many elements as reach the end of the piece, the last one perhaps beyond it.
      const auto room =
          static_cast<int32_t>((limit_ - used_ + kLargestPlanElement - 1) / kLargestPlanElement);
      const int32_t stop = std::min(count, i + room);
      char* at = piece_.data() + used_;
      if (tags == nullptr) {
        for (; i < stop; ++i) {
          at = put_u16(at, static_cast<uint16_t>(PlanTag::Double));
          at = put_f64(at, values[i]);
        }
      } else {
        for (; i < stop; ++i) {
          at = put_u16(at, tags[i]);
          if (tags[i] == static_cast<uint8_t>(PlanTag::Double)) {
            at = put_f64(at, values[i]);
          } else if (tags[i] == static_cast<uint8_t>(PlanTag::Integer)) {
            at = put_i16(at, static_cast<int16_t>(values[i]));
          }
        }
      }
      used_ = static_cast<size_t>(at - piece_.data());
    }
  }

  // Bytes already in the file's form.
  void add_image(const char* image, size_t size) {
    while (size > 0) {
      if (used_ >= limit_) pass_on();
      const size_t n = std::min(size, limit_ - used_);
      std::memcpy(piece_.data() + used_, image, n);
      used_ += n;
      image += n;
      size -= n;
    }
  }

  void finish() {
    if (used_ == 0) return;
    sink_(offset_, std::string_view(piece_.data(), used_));
    offset_ += used_;
    used_ = 0;
  }

 private:
  // Hands on the full piece; what lies beyond it starts the next one.
  void pass_on() {
    sink_(offset_, std::string_view(piece_.data(), limit_));
    offset_ += limit_;
    const size_t beyond = used_ - limit_;
    std::memmove(piece_.data(), piece_.data() + limit_, beyond);
    used_ = beyond;
    limit_ = kPieceBytes;
  }

  const PlacedSink& sink_;
  uint64_t offset_;  // where the piece begins in the file
  std::string piece_;
  size_t limit_;  // the bytes of the piece that end at the next multiple of kPieceBytes
  size_t used_ = 0;
};

uint64_t coordinate_image_size(const TrackPlan& plan, int coordinate) {
  const PlanTagCounts counts = plan.count_tags(coordinate);
  return plan_element_bytes(PlanTag::Empty) * static_cast<uint64_t>(counts.empty) +
         plan_element_bytes(PlanTag::Integer) * static_cast<uint64_t>(counts.integers) +
         plan_element_bytes(PlanTag::Double) * static_cast<uint64_t>(counts.doubles);
}

}  // namespace

std::string route_plan_file_name(const Compilation& c) {
  return c.RouteId + "_linea.dat";
}
std::string scenario_table_file_name(const Compilation& c) {
  return c.RouteId + "_" + c.TrainNumber + ".sim";
}
std::string track_file_name(const Compilation& c) {
  return c.RouteId + "_" + c.TrainNumber + ".dat";
}

uint64_t route_plan_file_size(const TrackPlan& plan) {
  if (!plan.exists()) return 0;
  return coordinate_image_size(plan, 0) + coordinate_image_size(plan, 1);
}

std::string encode_route_plan(const TrackPlan& plan) {
  std::string image(static_cast<size_t>(route_plan_file_size(plan)), '\0');
  encode_route_plan(plan, [&](uint64_t offset, std::string_view piece) {
    std::memcpy(image.data() + offset, piece.data(), piece.size());
  });
  return image;
}

void encode_route_plan(const TrackPlan& plan, const PlacedSink& sink) {
  if (!plan.exists()) return;
  // Coordinate 1 follows the whole of coordinate 0.
  PlanImagePart parts[2] = {{sink, 0}, {sink, coordinate_image_size(plan, 0)}};
  plan.scan(
      [&](const PlanChunk& run) {
        for (int coordinate = 0; coordinate < 2; ++coordinate) {
          if (run.images[coordinate] != nullptr) {
            parts[coordinate].add_image(run.images[coordinate],
                                        static_cast<size_t>(run.count) * kLargestPlanElement);
          } else {
            parts[coordinate].add(run.tags[coordinate], run.values[coordinate], run.count);
          }
        }
      },
      PlanScan::FileImages);
  parts[0].finish();
  parts[1].finish();
}

std::optional<std::string> encode_scenario_table(const ScenarioTable& table) {
  size_t size = 0;
  for (const ScenarioEntry& e : table) {
    if (e.Text.size() > 0xFFFF) return std::nullopt;
    size += kEntryBytes + e.Text.size();
  }
  ByteImage out(size);
  for (const ScenarioEntry& e : table) for_each_field(kEntryFields, e, out);
  return out.take();
}

std::string encode_track_cells(const std::vector<TrackCell>& cells) {
  ByteImage out(cells.size() * kCellBytes);
  for (const TrackCell& cell : cells) for_each_field(kCellFields, cell, out);
  return out.take();
}

}  // namespace scengen
