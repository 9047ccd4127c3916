#include "decompiler/line_text.h"

#include <cstdlib>

#include "compiler/value_ranges.h"
#include "decompiler/text_parts.h"

namespace scengen {
namespace {

// A cell no gradient record reached holds 0, which reads as -100 per mille.
constexpr int kEmptyCellGradient = -100;

// How the reader left the general section: at its end, or stopped in it before it ordered the
// references and began the plan (the texts then stop there too): at a repetition record off the
// 50 m or without its codes, or at another record (a second route length above the longest, a
// value too large for its field), which shows in a plan not begun, references in no order the
// reader gives, or the length in the table.
enum class GeneralEnd { Read, StoppedAtRepetition, Stopped };

GeneralEnd general_end(const ScenarioModel& model) {
  const CabSignalRepetition& r = model.general.repetition;
  if (r.start % kCellLength != 0 || r.end % kCellLength != 0 || (r.end != 0 && r.codes == 0))
    return GeneralEnd::StoppedAtRepetition;
  const bool plan_not_begun = model.plan.present && model.plan.walked_to < 1;
  if (plan_not_begun || !model.references_as_written ||
      model.general.route_length > value_ranges::kRouteLength.high)
    return GeneralEnd::Stopped;
  return GeneralEnd::Read;
}

void write_references(const ScenarioModel& model, Text& text, std::vector<std::string>& notes) {
  const std::array<ReferencePoint, 3>& slots = model.references;
  std::array<ReferencePoint, 3> written = {slots[2], slots[1], slots[0]};
  if (general_end(model) != GeneralEnd::Read) {
    // Not ordered: "uno", "due", "tre" stay in slots 83, 82, 81.
    for (ReferencePoint& r : written) r.written_progressive = r.progressive;
  } else if (model.references_as_written) {
    written = *model.references_as_written;
  } else {
    notes.push_back(
        "the kilometric references of slots 81 to 83 are in no order that "
        "references read from a text would take");
  }
  const char* const names[3] = {"uno", "due", "tre"};
  for (size_t k = 0; k < 3; ++k) {
    const ReferencePoint& r = written[k];
    text.format("progressiva chilometrica %s,    %d,    %d,    %d", names[k], r.position,
                r.written_progressive, r.direction);
    text.end_line();
  }
}

// The route length; a length above the longest stopped the reader after an earlier one had sized
// the track, which the cells give.
void write_route_length(const ScenarioModel& model, Text& text) {
  const int32_t length = model.general.route_length;
  if (length > value_ranges::kRouteLength.high) {
    const auto cells = static_cast<int64_t>(model.cells.size());
    text.format("lunghezza percorso,    %lld",
                static_cast<long long>((cells - 1) * kCellLength - kTrackTail));
    text.end_line();
  }
  text.format("lunghezza percorso,    %d", length);
  text.end_line();
}

// The general section; false when the reader stopped in it, which ends the text.
bool write_general(const ScenarioModel& model, Text& text, std::vector<std::string>& notes) {
  const GeneralValues& general = model.general;
  const GeneralEnd end = general_end(model);
  text.line("[generale]");
  write_route_length(model, text);
  write_references(model, text, notes);
  text.format("sfondo uno,    %d", general.background_uno);
  text.end_line();
  text.format("sfondo due,    %d", general.background_due);
  text.end_line();
  text.format("sfondo tre,    %d", general.background_tre);
  text.end_line();
  const CabSignalRepetition& repetition = general.repetition;
  if (end == GeneralEnd::StoppedAtRepetition) {
    // The codes come from an earlier record that was read whole (with an end, or they would be
    // 0); the stopping one keeps them.
    if (repetition.codes == 4 || repetition.codes == 9) {
      text.format("ripetizione segnali %d codici,    0,    %d", repetition.codes, kCellLength);
      text.end_line();
    }
    text.line("- where the compile of these files stopped");
    text.format("ripetizione segnali codici,    %d,    %d", repetition.start, repetition.end);
    text.end_line();
    return false;
  }
  if (repetition.present()) {
    if ((repetition.codes == 0) != (repetition.end == 0) ||
        (repetition.codes != 0 && repetition.codes != 4 && repetition.codes != 9))
      notes.push_back("slot 86 holds a cab-signal repetition no text can give (" +
                      std::to_string(repetition.codes) + " codes, end " +
                      std::to_string(repetition.end) + " m)");
    text.format("ripetizione segnali %d codici,    %d,    %d", repetition.codes == 4 ? 4 : 9,
                repetition.start, repetition.end);
    text.end_line();
  }
  if (end == GeneralEnd::Read) return true;
  // A length above the longest stopped it already; else a value no field holds does.
  if (general.route_length <= value_ranges::kRouteLength.high) {
    text.line("- where the compile of these files stopped");
    text.line("sfondo uno,    99999999999");
  }
  return false;
}

// Whether the line reader stopped before the plan walk reached its end: the texts then stop it
// at the same point.
bool walk_stopped(const RoutePlan& plan) {
  return plan.present && plan.walked_to >= 1 && plan.walked_to < plan.last_point - 2;
}

void write_curves(const RoutePlan& plan, Text& text, std::vector<std::string>& notes) {
  text.line("[curve]");
  if (!plan.present) return;
  if (plan.first_point_off_walk)
    notes.push_back("plan point " + std::to_string(*plan.first_point_off_walk) +
                    " is not a step of the plan walk: the plan was not made by this compiler");
  int32_t walked = 1;
  for (const Curve& c : plan.curves) {
    text.format("curva%c%d,  %d,  %d", c.curve_class < 0 ? 's' : 'd', std::abs(c.curve_class),
                c.start, c.length);
    text.end_line();
    walked = c.start + c.length;
  }
  // A curve of no length walks straight up to its start.
  if (walk_stopped(plan) && walked < plan.walked_to) {
    text.format("curvad1,  %d,  0", plan.walked_to);
    text.end_line();
  }
}

// Where the reader stopped, a curve without a class stops it again (the gradients then have no
// tail).
void write_stop(const ScenarioModel& model, Text& text) {
  if (!walk_stopped(model.plan)) return;
  text.line("- where the compile of these files stopped");
  text.line("curva,  0,  0");
}

void write_tunnels(const RecoveredRecords& records, Text& text) {
  text.line("[montagne]");
  for (const RecoveredTunnel& t : records.tunnels) {
    text.format("montagna,   %d,  %d,  %d", t.start, t.end, t.written_kind);
    text.end_line();
  }
}

void write_speed_boards(const RecoveredRecords& records, Text& text) {
  text.line("[cartelli]");
  for (const RecoveredSpeedBoard& board : records.speed_boards) {
    const std::array<int32_t, 9>& n = board.numbers;
    text.format("indicatori_vmax,  %d,  %d,  %d,  %d,  %d,  %d,  %d,  %d,  %d", board.position,
                n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7]);
    text.end_line();
  }
}

// Boards in the order of their slots, 80 downward: that order gives each its slot.
void write_information_boards(const RecoveredRecords& records, Text& text,
                              std::vector<std::string>& notes) {
  text.line("[indicazioni]");
  for (size_t b = 0; b < records.information_boards.size(); ++b) {
    const RecoveredInformationBoard& board = records.information_boards[b];
    std::optional<std::string> field = text_field(board.text);
    if (!field) {
      notes.push_back("the text of board-text slot " +
                      std::to_string(kFirstBoardTextSlot - static_cast<int>(b)) +
                      " holds a double quote and a separator: no text field keeps it");
      field = board.text;
    }
    text.format("cartello_indicatore,  %d,   ", board.position);
    text.line(*field);
  }
}

}  // namespace

std::string line_text(const ScenarioModel& model, const RecoveredRecords& records,
                      std::vector<std::string>& notes) {
  Text text;
  text.line("- line description recovered by scengen decompile from the compiled files");
  if (!write_general(model, text, notes)) {
    text.line("[fine]");
    return text.take();
  }
  write_curves(model.plan, text, notes);
  text.line("[pendenze]");
  write_profile(text, "pendenza,  %d,   %d", model.gradients,
                static_cast<int32_t>(model.cells.size()), kEmptyCellGradient,
                !walk_stopped(model.plan));
  write_tunnels(records, text);
  write_speed_boards(records, text);
  write_information_boards(records, text, notes);
  write_stop(model, text);
  text.line("[fine]");
  return text.take();
}

}  // namespace scengen
