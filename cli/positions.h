// Route positions on the command line: one reading for every option that takes one, so that
// `--from 30` is the same place to every command.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace scengen {

/// A route position as written on the command line: a plain number or one ending in m is whole
/// metres (5200, 5200m), one ending in km kilometres to the metre (30km, 5.2km); the unit in any
/// case, blanks around the number and before the unit allowed. Nothing for anything else,
/// a part of a metre or a position past the largest a route can have.
std::optional<int32_t> parse_route_position(std::string_view text);

/// The route position `option` of `command` gives, in `position` (left empty when the option is
/// not given); false, with one line on `err` naming the option and the value, when it is wrong.
bool read_position_option(const char* command, const char* option,
                          const std::optional<std::string>& value, std::optional<int32_t>& position,
                          Console& console);

}  // namespace scengen
