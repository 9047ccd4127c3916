// Warnings: what the compile accepts silently but is almost surely an author's mistake. Each check
// returns at once unless the compile collects warnings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compilation.h"

namespace scengen {

/// Warns about a keyword field that matches no record; section headers and empty fields are
/// expected there and pass.
void warn_unmatched_field(Compilation& c, const SourceSpot& where, std::string_view field);

/// Warns about a position that its record's cell rounds: one that is not a multiple of 50.
void warn_rounded_position(Compilation& c, const SourceSpot& where, std::string_view record,
                           int32_t position);

/// Warns about a feature of the route, or a station, beyond the end of the route. The track's
/// cells past the end are there for a train to run on (a code point may stand there), not for the
/// route's own features.
void warn_beyond_route(Compilation& c, const SourceSpot& where, std::string_view record,
                       int32_t position);

/// The positions of one series of records, which must ascend.
class SeriesOrder {
 public:
  explicit SeriesOrder(std::string_view record) : record_(record) {}
  /// Warns when `position` does not come after the previous record's.
  void check(Compilation& c, const SourceSpot& where, int32_t position);

 private:
  std::string_view record_;
  bool seen_ = false;
  int32_t last_ = 0;
};

/// The warning for a number field that holds more than a whole number ("12x", "12.5", "abc"),
/// or nothing when the field is empty or a plain number.
std::optional<std::string> number_field_warning(std::string_view field);

}  // namespace scengen
