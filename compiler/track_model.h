// The compiled track model: cells of 50 m, the scenario table, the route plan, the tunnel lists.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace scengen {

/// Rounds to the nearest integer, a half going to the even neighbour (nearest(2.5) == 2).
int64_t nearest(double x);

/// One 50 m cell of the route. Assigning a wider value keeps its low bits, as the stored form does.
struct TrackCell {
  uint8_t Kind = 0;
  int16_t Param1 = 0;
  int16_t Param2 = 0;
  int16_t Param3 = 0;
  int16_t Param4 = 0;
  uint8_t Param5 = 0;
  uint8_t Mark = 0;
  uint8_t Tunnel = 0;
  uint8_t SpeedLimit = 0;
  uint8_t Gradient = 0;
  uint8_t Adhesion = 0;
};

/// What stands in a cell (`TrackCell::Kind`).
enum CellKind : uint8_t {
  kNothing = 0,
  kSignal = 1,
  kSlowOrderEnd = 2,
  kSlowOrderStart = 3,
  kWarningBoard = 4,
  kApproachBoard = 5,
  kSpeedBoard = 6,
  kStationMarker = 10,
  kTunnelMarker = 11,
  kCodePoint = 12,
  kCodePointWithoutCode = 13,
  kInformationBoard = 14,
};

/// A cell whose Kind is 0 or 11 may take a feature.
inline bool is_free(const TrackCell& cell) {
  return cell.Kind == kNothing || cell.Kind == kTunnelMarker;
}

/// One record of the scenario table. `Text` holds raw Windows-1252 bytes.
struct ScenarioEntry {
  uint8_t Tag = 0;
  int32_t Num1 = 0;
  int32_t Num2 = 0;
  int32_t Num3 = 0;
  uint8_t Tag2 = 0;
  std::string Text;
  int16_t Small1 = 0;
  int16_t Small2 = 0;
  int16_t Small3 = 0;
  int16_t Small4 = 0;
  int16_t Small5 = 0;
  uint8_t Flag1 = 0;
  uint8_t Flag2 = 0;
  uint8_t Flag3 = 0;
  uint8_t Flag4 = 0;
  int32_t Num4 = 0;
};

constexpr int kScenarioSlots = 87;
using ScenarioTable = std::array<ScenarioEntry, kScenarioSlots>;

/// The type tag of a route plan element, as the plan file stores it.
enum class PlanTag : uint8_t { Empty = 0, Integer = 2, Double = 5 };

/// Zeroed memory for the route plan, which a long route makes some 22 MB: where the system
/// allows, in large pages, so that filling it costs a few page faults instead of thousands.
/// Copies copy the bytes.
class PlanStorage {
 public:
  PlanStorage() = default;
  explicit PlanStorage(size_t bytes);
  PlanStorage(const PlanStorage& other);
  PlanStorage(PlanStorage&& other) noexcept { swap(other); }
  PlanStorage& operator=(PlanStorage other) noexcept {
    swap(other);
    return *this;
  }
  ~PlanStorage();

  unsigned char* data() { return bytes_; }
  const unsigned char* data() const { return bytes_; }
  size_t size() const { return size_; }

 private:
  void swap(PlanStorage& other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
    std::swap(mapped_, other.mapped_);
  }
  unsigned char* bytes_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // the length mapped from the system, 0 when taken from the heap
};

/// The ground plan: points 0 to `last_point()`, two coordinates each; every element is empty,
/// a 16-bit integer or a double.
///
/// Each element sits in a slot of kSlotBytes in the layout the plan file gives it, in the host's
/// byte order: a 2-byte tag, then the integer's 2 bytes or the double's 8. On a little-endian host
/// an element's file image is therefore the start of its slot, and a run of doubles is its own
/// file image, written without being encoded again. A byte per element repeats the tag, so that
/// the runs are found without reading the slots.
class TrackPlan {
 public:
  static constexpr size_t kSlotBytes = 10;

  /// Creates points 0 to last_point, every element empty.
  void create(int32_t last_point);
  bool exists() const { return points_ > 0; }
  int32_t last_point() const { return points_ - 1; }

  void set_integer(int32_t point, int coordinate, int16_t value) {
    store_integer(slot(point, coordinate), value);
    tags(coordinate)[point] = static_cast<uint8_t>(PlanTag::Integer);
  }
  void set_double(int32_t point, int coordinate, double value) {
    store_double(slot(point, coordinate), value);
    tags(coordinate)[point] = static_cast<uint8_t>(PlanTag::Double);
  }
  PlanTag tag(int32_t point, int coordinate) const {
    return static_cast<PlanTag>(tags(coordinate)[point]);
  }
  /// The element as a double; an empty element reads 0.
  double value(int32_t point, int coordinate) const {
    const unsigned char* at = slot(point, coordinate) + 2;
    switch (tag(point, coordinate)) {
      case PlanTag::Integer: {
        int16_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
      }
      case PlanTag::Double: {
        double v;
        std::memcpy(&v, at, sizeof v);
        return v;
      }
      case PlanTag::Empty:
        break;
    }
    return 0.0;
  }

  /// For loops over many points: the tags (one byte each) and the slots (kSlotBytes each) of one
  /// coordinate, indexed by point.
  const uint8_t* tag_data(int coordinate) const { return tags(coordinate); }
  const unsigned char* slot_data(int coordinate) const { return slots(coordinate); }
  unsigned char* slot_data(int coordinate) { return slots(coordinate); }
  /// Writes a double into a slot of slot_data; its tag byte follows with mark_doubles.
  static void store_double(unsigned char* at, double value) {
    const auto tag = static_cast<uint16_t>(PlanTag::Double);
    std::memcpy(at, &tag, sizeof tag);
    std::memcpy(at + 2, &value, sizeof value);
  }
  /// Sets the tag bytes of points `first` to `last` of both coordinates to Double, once their
  /// slots hold doubles.
  void mark_doubles(int32_t first, int32_t last);

 private:
  static void store_integer(unsigned char* at, int16_t value) {
    const auto tag = static_cast<uint16_t>(PlanTag::Integer);
    std::memcpy(at, &tag, sizeof tag);
    std::memcpy(at + 2, &value, sizeof value);
  }
  // One block holds the slots of coordinate 0, then of coordinate 1, then the tag bytes of both.
  size_t points() const { return static_cast<size_t>(points_); }
  unsigned char* slots(int coordinate) {
    return storage_.data() + static_cast<size_t>(coordinate) * points() * kSlotBytes;
  }
  const unsigned char* slots(int coordinate) const {
    return storage_.data() + static_cast<size_t>(coordinate) * points() * kSlotBytes;
  }
  uint8_t* tags(int coordinate) {
    return storage_.data() + (2 * kSlotBytes + static_cast<size_t>(coordinate)) * points();
  }
  const uint8_t* tags(int coordinate) const {
    return storage_.data() + (2 * kSlotBytes + static_cast<size_t>(coordinate)) * points();
  }
  unsigned char* slot(int32_t point, int coordinate) {
    return slots(coordinate) + static_cast<size_t>(point) * kSlotBytes;
  }
  const unsigned char* slot(int32_t point, int coordinate) const {
    return slots(coordinate) + static_cast<size_t>(point) * kSlotBytes;
  }

  int32_t points_ = 0;
  PlanStorage storage_;
};

constexpr int kTunnelSlots = 81;  // indices 1 to 80; 0 is unused

}  // namespace scengen
