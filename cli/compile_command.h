// What compile shares with the commands that compile as it does (watch): the scenario's identity.
#pragma once

#include <optional>
#include <string>

#include "cli/commands.h"

namespace scengen {

/// The route and the train in Windows-1252, as the compile holds them; file names are made from
/// them again as UTF-8.
struct Identity {
  std::string route;
  std::string train;
};

/// The identity from --route and --train, else from the texts' names, checked as compile checks
/// it; says why on `console.err` for `command` and returns nothing when it cannot be used.
std::optional<Identity> scenario_identity(const CompileOptions& o, const char* command,
                                          Console& console);

}  // namespace scengen
