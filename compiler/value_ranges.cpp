#include "compiler/value_ranges.h"

namespace scengen {

std::span<const ValueRange> value_ranges::all() {
  using namespace value_ranges;
  static constexpr ValueRange kAll[] = {
      kRouteLength,     kReferenceDirection, kGradient,          kTunnelKind,     kBoardSpeed,
      kBoardStripes,    kBoardRightSpeed,    kBoardRightStripes, kBrakedMass,     kCoaches,
      kSand,            kClockHours,         kClockMinutes,      kClockSeconds,   kAdhesion,
      kSpeedLimit,      kStationMinutes,     kStationSeconds,    kSlowOrderSpeed, kSlowOrderFlag,
      kSlowOrderValue,  kSignalLeftSet,      kSignalLeftValue,   kSignalRapp,     kSignalRightSet,
      kSignalRightValue, kSignalTime,        kCodePointCode,
  };
  return kAll;
}

std::string out_of_range(const ValueRange& range, int64_t value, std::string_view name) {
  std::string text = std::string(name.empty() ? range.name : name) + " " + std::to_string(value);
  if (value >= range.low && value <= range.high)
    return text + " is not a multiple of " + std::to_string(range.multiple_of);
  return text + " is outside its range (" + std::string(range.stated) + ")";
}

void warn_value(Compilation& c, const SourceSpot& where, const ValueRange& range, int64_t value,
                std::string_view compiled, std::string_view name, WarningEffect effect) {
  if (!c.CollectWarnings || range.holds(value)) return;
  record_warning(c, where, out_of_range(range, value, name) + ": " + std::string(compiled), effect,
                 range.record);
}

}  // namespace scengen
