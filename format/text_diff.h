// A unified diff of a text and its new layout, as `patch` applies it.
#pragma once

#include <string>
#include <string_view>

namespace scengen::format {

/// The unified diff (three lines of context) that turns `before` into `after`, both named
/// `label`; empty when they are equal. Lines are paired by their place, as a new layout keeps
/// every line where it was; each keeps its own line end (CR LF stays), and an unended last line
/// is marked as diff marks it.
std::string unified_diff(std::string_view before, std::string_view after, std::string_view label);

}  // namespace scengen::format
