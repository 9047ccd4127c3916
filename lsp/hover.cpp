#include "lsp/hover.h"

#include <cstdio>
#include <vector>

#include "cli/dump_describe.h"
#include "compiler/source_text.h"
#include "compiler/track_layout.h"
#include "lsp/sections.h"
#include "lsp/text_fields.h"

namespace scengen::lsp {
namespace {

// The records whose values hold route positions, and which values (from 1).
struct PositionValues {
  std::string_view topic;
  int first;
  int second;  // 0: none
};

constexpr PositionValues kPositionValues[] = {
    {"progressiva chilometrica", 1, 0}, {"curva", 1, 0},     {"pendenza", 1, 0},
    {"montagna", 1, 2},                 {"indicatori_v", 1, 0}, {"cartello_indicatore", 1, 0},
    {"aderenza", 1, 0},                 {"velocita", 1, 0},     {"stazione", 1, 0},
    {"rallentamento", 1, 0},            {"segnale", 1, 0},      {"abbattimento", 1, 0},
};

bool holds_position(std::string_view topic, int value) {
  for (const PositionValues& p : kPositionValues) {
    if (p.topic == topic && (p.first == value || p.second == value)) return true;
  }
  return false;
}

// The whole number a field starts with, as the field reader reads it; nothing without digits.
std::optional<int64_t> leading_number(std::string_view field) {
  size_t i = 0;
  const bool negative = !field.empty() && field[0] == '-';
  if (!field.empty() && (field[0] == '-' || field[0] == '+')) ++i;
  if (i >= field.size() || field[i] < '0' || field[i] > '9') return std::nullopt;
  int64_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    if (value > INT64_MAX / 100) return std::nullopt;
    value = value * 10 + (field[i] - '0');
  }
  return negative ? -value : value;
}

// One line for a cell: its stretch, what stands in it and the profile there.
std::string cell_line(const ScenarioModel& model, int64_t cell) {
  const int32_t start = cell_start(static_cast<int32_t>(cell));
  std::string line = "- cell " + std::to_string(cell) + " (" + std::to_string(start) + " to " +
                     std::to_string(start + kCellLength) + " m): ";
  const CellUse& use = model.cells[static_cast<size_t>(cell)];
  if (use.holds_nothing) {
    line += "nothing";
  } else {
    line += kind_name(use.kind);
    const std::string meaning =
        dump::cell_meaning(model, static_cast<size_t>(cell), {true, true}).text;
    if (!meaning.empty()) line += ", " + utf8_from_windows_1252(meaning);
  }
  line += "; " + std::to_string(use.speed_limit_kmh) + " km/h, gradient " +
          std::to_string(use.gradient_per_mille) + " per mille, adhesion " +
          std::to_string(use.adhesion);
  return line + "\n";
}

std::string place_text(int64_t metres, const ScenarioModel* model) {
  std::string text = "**" + kilometres(metres) + "**\n\n";
  if (model == nullptr) return text + "No track was compiled.\n";
  const int64_t last = static_cast<int64_t>(model->cells.size()) - 1;
  const int64_t cell = cell_of(metres, 0);
  if (cell < 0 || cell > last) {
    return text + "Beyond the track (cells 0 to " + std::to_string(last) + ").\n";
  }
  // A feature takes its position's cell (a code point) or the one after it (the others).
  text += "After the compile:\n\n" + cell_line(*model, cell);
  if (cell + 1 <= last) text += cell_line(*model, cell + 1);
  return text;
}

}  // namespace

std::string kilometres(int64_t metres) {
  char text[64];
  const int64_t whole = metres / 1000;
  const int64_t rest = metres % 1000;
  std::snprintf(text, sizeof text, "%s%lld.%03lld km (%lld m)", metres < 0 && whole == 0 ? "-" : "",
                static_cast<long long>(whole), static_cast<long long>(rest < 0 ? -rest : rest),
                static_cast<long long>(metres));
  return text;
}

std::optional<HoverText> hover_at(std::string_view line, size_t column, const ScenarioModel* model) {
  const std::vector<LineField> fields = line_fields(line);
  const int index = field_at(fields, column);
  const LineField& field = fields[static_cast<size_t>(index)];
  if (column < field.begin || column > field.end) return std::nullopt;
  const ReferenceTopic* topic = field_topic(fields.front().text);
  if (index == 0) {
    if (topic == nullptr) return std::nullopt;
    return HoverText{std::string(topic->text), field.begin, field.end};
  }
  if (topic == nullptr || !holds_position(topic->name, index)) return std::nullopt;
  const auto metres = leading_number(field.text);
  if (!metres) return std::nullopt;
  return HoverText{place_text(*metres, model), field.begin, field.end};
}

}  // namespace scengen::lsp
