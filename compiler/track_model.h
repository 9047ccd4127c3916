// The compiled track model: cells of 50 m, the scenario table, the route plan, the tunnel lists.
#pragma once

#include <array>
#include <cstdint>
#include <string>
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

/// The ground plan: points 0 to `last_point()`, two coordinates each; every element is empty,
/// a 16-bit integer or a double. Values and tags live in flat arrays: no allocation per point.
class TrackPlan {
 public:
  /// Creates points 0 to last_point, every element empty.
  void create(int32_t last_point);
  bool exists() const { return exists_; }
  int32_t last_point() const { return static_cast<int32_t>(tags_[0].size()) - 1; }

  void set_integer(int32_t point, int coordinate, int16_t value);
  void set_double(int32_t point, int coordinate, double value);
  PlanTag tag(int32_t point, int coordinate) const {
    return static_cast<PlanTag>(tags_[coordinate][point]);
  }
  /// The element as a double; an empty element reads 0.
  double value(int32_t point, int coordinate) const { return values_[coordinate][point]; }

 private:
  bool exists_ = false;
  std::vector<double> values_[2];
  std::vector<uint8_t> tags_[2];
};

constexpr int kTunnelSlots = 81;  // indices 1 to 80; 0 is unused

}  // namespace scengen
