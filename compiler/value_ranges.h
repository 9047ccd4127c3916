// The documented range of each record value that the compile keeps only in part: one table, which
// the readers check their values against and which the authors' reference states row by row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "compiler/compilation.h"

namespace scengen {

/// One value of a record and the values it compiles as the author wrote them.
struct ValueRange {
  std::string_view record;  // the record's keyword topic
  std::string_view fields;  // its place in the record, as the reference's "#" column gives it
  std::string_view name;    // the value's name in the warnings
  int64_t low;
  int64_t high;
  int32_t multiple_of;      // 1 when any whole number within low..high is kept
  std::string_view stated;  // the range as the reference's table states it
  /// Whether `value` is kept as written.
  constexpr bool holds(int64_t value) const {
    return value >= low && value <= high && value % multiple_of == 0;
  }
};

namespace value_ranges {

inline constexpr ValueRange kRouteLength{"lunghezza percorso", "1", "route length", 0, 1000000, 1,
                                         "0 to 1000000"};
inline constexpr ValueRange kGradient{"pendenza", "2", "gradient", -100, 155, 1, "-100 to 155"};
inline constexpr ValueRange kTunnelKind{
    "montagna", "3", "kind", 1, 255, 1, "1 to 255; above 10: the kind minus 10, with markers"};
inline constexpr ValueRange kReferenceDirection{"progressiva chilometrica",
                                                "3",
                                                "direction flag",
                                                0,
                                                1,
                                                1,
                                                "0 (progressives grow along the route) or 1"};
inline constexpr ValueRange kBoardSpeed{
    "indicatori_v", "2, 3, 4", "speed", 0, 1635, 5, "multiples of 5; 0 or empty for none"};
inline constexpr ValueRange kBoardRightSpeed{"indicatori_v",         "6, 7, 8", "speed", 0, 495, 5,
                                             "multiples of 5 to 495"};
inline constexpr ValueRange kBoardStripes{"indicatori_v", "5", "stripes", 0, 2, 1, "0, 1 or 2"};
inline constexpr ValueRange kBoardRightStripes{"indicatori_v", "9", "stripes", 0, 2, 1,
                                               "0, 1 or 2"};
inline constexpr ValueRange kBrakedMass{"percentuale massa frenata", "1", "braked-mass percentage",
                                       0, INT32_MAX, 1, "0 or more"};
inline constexpr ValueRange kCoaches{"numero vetture", "1", "number of coaches", 0, INT32_MAX, 1,
                                     "0 or more"};
inline constexpr ValueRange kSand{"sabbia", "1", "sand", 0, 32767, 1, "0 to 32767"};
inline constexpr ValueRange kClockHours{"orologio", "1", "hours", 0, 23, 1, "0 to 23"};
inline constexpr ValueRange kClockMinutes{"orologio", "2", "minutes", 0, 59, 1, "0 to 59"};
inline constexpr ValueRange kClockSeconds{"orologio", "3", "seconds", 0, 59, 1, "0 to 59"};
inline constexpr ValueRange kAdhesion{"aderenza", "2", "adhesion", 0, 255, 1, "0 to 255"};
inline constexpr ValueRange kSpeedLimit{
    "velocita", "2", "speed limit", 0, 1275, 5, "a multiple of 5, 0 to 1275"};
inline constexpr ValueRange kStationMinutes{"stazione", "15", "minutes", 0, 59, 1, "0 to 59"};
inline constexpr ValueRange kStationSeconds{"stazione", "16", "seconds", 0, 59, 1, "0 to 59"};
inline constexpr ValueRange kSlowOrderSpeed{"rallentamento", "2", "v", 0, 32767, 1, "0 to 32767"};
inline constexpr ValueRange kSlowOrderFlag{"rallentamento", "4", "f_tt",           -32768,
                                           32767,           1,   "-32768 to 32767"};
inline constexpr ValueRange kSlowOrderValue{"rallentamento",  "6", "d_v", -32768, 32767, 1,
                                            "-32768 to 32767"};
inline constexpr ValueRange kSignalLeftSet{"segnale", "2", "sx", 0, 2, 1, "0 to 2"};
inline constexpr ValueRange kSignalLeftValue{"segnale", "3, 4, 5", "s", 0, 3276, 1, "0 to 3276"};
inline constexpr ValueRange kSignalRapp{"segnale", "6", "rapp", 0, 3276, 1, "0 to 3276"};
inline constexpr ValueRange kSignalRightSet{"segnale", "7", "dx", 0, 2, 1, "0 to 2"};
inline constexpr ValueRange kSignalRightValue{"segnale", "8, 9, 10", "d", 0, 9, 1, "0 to 9"};
inline constexpr ValueRange kSignalTime{"segnale", "11", "tempo", 0, 255, 1, "0, or 101 to 255"};
// A code of 0 or less is kept as a code point without a code, so only the top is a limit.
inline constexpr ValueRange kCodePointCode{"abbattimento",
                                           "2",
                                           "code",
                                           INT32_MIN,
                                           32767,
                                           1,
                                           "32767 at most; 0 or less: a code point without a code"};

/// Every row above, in the reference's order.
std::span<const ValueRange> all();

}  // namespace value_ranges

/// "speed limit 92 is not a multiple of 5": why `value` is not kept as written, for a value that
/// `range` does not hold; `name`, when given, names the value instead of the range's name.
std::string out_of_range(const ValueRange& range, int64_t value, std::string_view name = {});

/// Warns, unless `range` holds `value`, that the value is not what the author meant: `compiled`
/// says what the compile makes of it ("it is compiled as 90 km/h"); `name` as for out_of_range;
/// `effect` is Note for a value kept as it is written.
void warn_value(Compilation& c, const SourceSpot& where, const ValueRange& range, int64_t value,
                std::string_view compiled, std::string_view name = {},
                WarningEffect effect = WarningEffect::ValueChanged);

}  // namespace scengen
