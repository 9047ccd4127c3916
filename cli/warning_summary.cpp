#include "cli/warning_summary.h"

#include <array>

namespace scengen {
namespace {

// The kept warnings of each class, in the order of WarningEffect.
std::array<size_t, 3> count_effects(const CompileReport& report) {
  std::array<size_t, 3> counts{};
  for (const CompileWarning& w : report.warnings) ++counts[static_cast<size_t>(w.effect)];
  return counts;
}

std::string counted(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

const char* effect_name(WarningEffect effect) {
  switch (effect) {
    case WarningEffect::ValueChanged:
      return "value_changed";
    case WarningEffect::RecordDropped:
      return "record_not_compiled";
    case WarningEffect::Note:
      break;
  }
  return "note";
}

std::string warning_summary(const CompileReport& report) {
  const size_t total = report.warnings.size() + report.warnings_left_out;
  if (total == 0) return {};
  const std::array<size_t, 3> counts = count_effects(report);
  std::string parts;
  const auto add = [&](size_t n, const char* one, const char* many) {
    if (n == 0) return;
    parts += (parts.empty() ? "" : ", ") + counted(n, one, many);
  };
  add(counts[static_cast<size_t>(WarningEffect::RecordDropped)], "record not compiled",
      "records not compiled");
  add(counts[static_cast<size_t>(WarningEffect::ValueChanged)], "value changed", "values changed");
  add(counts[static_cast<size_t>(WarningEffect::Note)], "note", "notes");
  add(report.warnings_left_out, "not shown", "not shown");
  return counted(total, "warning", "warnings") + ": " + parts;
}

nlohmann::ordered_json warning_counts_json(const CompileReport& report) {
  const std::array<size_t, 3> counts = count_effects(report);
  nlohmann::ordered_json out;
  out["total"] = report.warnings.size() + report.warnings_left_out;
  out["record_not_compiled"] = counts[static_cast<size_t>(WarningEffect::RecordDropped)];
  out["value_changed"] = counts[static_cast<size_t>(WarningEffect::ValueChanged)];
  out["note"] = counts[static_cast<size_t>(WarningEffect::Note)];
  out["not_shown"] = report.warnings_left_out;
  return out;
}

std::optional<std::string> warning_topic_hint(const std::vector<ReferenceTopic>& topics,
                                              const CompileWarning& warning) {
  if (warning.topic.empty()) return std::nullopt;
  const ReferenceTopic* topic = find_topic(topics, warning.topic);
  if (topic == nullptr) return std::nullopt;
  return " (scengen explain " + topic->name + ")";
}

}  // namespace scengen
