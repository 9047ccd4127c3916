#include "cli/positions.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <ostream>

#include "compiler/field_reader.h"
#include "run/printable_text.h"

namespace scengen {
namespace {

constexpr int64_t kLargestPosition = std::numeric_limits<int32_t>::max();

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

// Takes `unit` off the end of `text`, in any case; false when it does not end so.
bool strip_unit(std::string_view& text, std::string_view unit) {
  if (text.size() <= unit.size()) return false;
  const std::string_view end = text.substr(text.size() - unit.size());
  for (size_t i = 0; i < unit.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(end[i])) != unit[i]) return false;
  }
  text.remove_suffix(unit.size());
  return true;
}

}  // namespace

std::optional<int32_t> parse_route_position(std::string_view text) {
  text = trim_blanks(text);
  int64_t scale = 1;
  if (strip_unit(text, "km")) {
    scale = 1000;
  } else {
    strip_unit(text, "m");
  }
  text = trim_blanks(text);
  const size_t dot = text.find('.');
  const bool has_fraction = dot != std::string_view::npos;
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = has_fraction ? text.substr(dot + 1) : std::string_view();
  if (!all_digits(whole) || (has_fraction && !all_digits(fraction))) return std::nullopt;
  int64_t metres = 0;
  for (const char c : whole) {
    metres = metres * 10 + (c - '0');
    if (metres > kLargestPosition) return std::nullopt;
  }
  metres *= scale;
  if (has_fraction) {
    // Each digit after the point is worth a tenth of the one before; past the metre, only zeros.
    int64_t worth = scale;
    for (const char c : fraction) {
      worth /= 10;
      if (worth == 0 && c != '0') return std::nullopt;
      metres += (c - '0') * worth;
    }
  }
  if (metres > kLargestPosition) return std::nullopt;
  return static_cast<int32_t>(metres);
}

bool read_position_option(const char* command, const char* option,
                          const std::optional<std::string>& value, std::optional<int32_t>& position,
                          Console& console) {
  position.reset();
  if (!value) return true;
  position = parse_route_position(*value);
  if (position) return true;
  console.err << "scengen " << command << ": " << option
              << " takes a route position in metres (5200, 5200m) or kilometres (5.2km), not '"
              << printable_text(*value) << "'\n";
  return false;
}

}  // namespace scengen
