// What the warnings of a compile cost the scenario, counted by class, for the closing line of
// the diagnostics and the JSON report.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/diagnostics.h"
#include "cli/explain.h"

namespace scengen {

/// The class of a warning as JSON names it: "note", "value_changed", "record_not_compiled".
const char* effect_name(WarningEffect effect);

/// "3 warnings: 2 records not compiled, 1 value changed"; warnings left out by the cap are
/// counted as "N not shown". Empty when there is no warning.
std::string warning_summary(const CompileReport& report);

/// The counts as a JSON object: total, record_not_compiled, value_changed, note, not_shown.
nlohmann::ordered_json warning_counts_json(const CompileReport& report);

/// " (scengen explain TOPIC)" for the warning's own topic, when the reference has it; nothing.
std::optional<std::string> warning_topic_hint(const std::vector<ReferenceTopic>& topics,
                                              const CompileWarning& warning);

}  // namespace scengen
