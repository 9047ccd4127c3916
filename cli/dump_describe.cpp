#include "cli/dump_describe.h"

#include "compiler/source_text.h"
#include "run/printable_text.h"

namespace scengen::dump {
namespace {

CellMeaning signal_meaning(const SignalCell& signal) {
  CellMeaning m;
  const int32_t s[3] = {signal.s1, signal.s2, signal.s3};
  const int32_t d[3] = {signal.d1, signal.d2, signal.d3};
  for (int rank = 0; rank < 3; ++rank) {
    m.text += format("s%d %d d%d %d, ", rank + 1, s[rank], rank + 1, d[rank]);
    m.json["s" + std::to_string(rank + 1)] = s[rank];
    m.json["d" + std::to_string(rank + 1)] = d[rank];
  }
  m.text +=
      format("sx %d dx %d, rapp %d, tempo %d", signal.sx, signal.dx, signal.rapp, signal.tempo);
  m.json["sx"] = signal.sx;
  m.json["dx"] = signal.dx;
  m.json["rapp"] = signal.rapp;
  m.json["tempo"] = signal.tempo;
  return m;
}

CellMeaning slow_order_meaning(const SlowOrderCell& order) {
  return {format("%d km/h, d_v %d, f_tt %d", order.v, order.d_v, order.f_tt),
          {{"speed_kmh", order.v}, {"d_v", order.d_v}, {"f_tt", order.f_tt}}};
}

CellMeaning speed_board_meaning(const SpeedBoardCell& board) {
  const auto& left = board.left;
  const auto& right = board.right;
  return {format("left %d/%d/%d km/h, right %d/%d/%d km/h, stripes %d and %d", left[0], left[1],
                 left[2], right[0], right[1], right[2], board.strisces, board.strisced),
          {{"left_kmh", left},
           {"right_kmh", right},
           {"stripes_left", board.strisces},
           {"stripes_right", board.strisced}}};
}

// The values of the feature a cell holds, from its entry in the model's list of its kind.
CellMeaning feature_meaning(const ScenarioModel& model, const CellUse& use) {
  const auto f = static_cast<size_t>(use.feature);
  switch (use.kind) {
    case kSignal:
      return signal_meaning(model.signals[f].values);
    case kSlowOrderEnd:
      return slow_order_meaning(model.slow_order_ends[f].values);
    case kSlowOrderStart:
      return slow_order_meaning(model.slow_orders[f].values);
    case kWarningBoard: {
      const WarningBoardCell& board = model.warning_boards[f].warning;
      return {format("%d km/h, d_v %d", board.v, board.d_v),
              {{"speed_kmh", board.v}, {"d_v", board.d_v}}};
    }
    case kApproachBoard: {
      const int32_t board = model.approach_boards[f].approach.board;
      return {format("board %d", board), {{"board", board}}};
    }
    case kSpeedBoard:
      return speed_board_meaning(model.speed_boards[f].values);
    case kStationMarker: {
      const int32_t slot = model.station_markers[f].slot;
      return {format("station in slot %d", slot), {{"station_slot", slot}}};
    }
    case kCodePoint: {
      const int32_t code = model.code_points[f].code;
      return {format("code %d", code), {{"code", code}}};
    }
    case kInformationBoard: {
      const int32_t slot = model.information_boards[f].slot;
      return {format("text in slot %d", slot), {{"text_slot", slot}}};
    }
    default:
      return {};
  }
}

}  // namespace

CellMeaning cell_meaning(const ScenarioModel& model, size_t cell) {
  if (cell == kSealCell) {
    // The seal owns cell 1's first two values, whatever the cell holds.
    const Seal& seal = model.seal;
    return {format("seal %d, plain scenario code %d", seal.cell_seal, seal.plain_code),
            {{"seal", seal.cell_seal}, {"plain_scenario_code", seal.plain_code}}};
  }
  const CellUse& use = model.cells[cell];
  if (use.feature < 0) return {};
  return feature_meaning(model, use);
}

std::string station_words(const StationSlot& s) {
  std::string words = "station \"" + printable_text(utf8_from_windows_1252(s.name)) + "\", type " +
                      std::to_string(s.type) +
                      (s.type < kFirstHaltType ? " (station)" : " (halt or cabin)") + ", at " +
                      std::to_string(s.position) + " m, area " + std::to_string(s.area_start) +
                      " to " + std::to_string(s.area_end) + " m, ";
  words += s.time_seconds == 0 ? "no time" : "time " + time_of_day(s.time_seconds);
  return words + ", stop " + std::to_string(s.dwell_seconds) + " s";
}

Json station_json(const StationSlot& s) {
  return {{"name", utf8_from_windows_1252(s.name)},
          {"type", s.type},
          {"kind", s.type < kFirstHaltType ? "station" : "halt or cabin"},
          {"position_m", s.position},
          {"area_start_m", s.area_start},
          {"area_end_m", s.area_end},
          {"time", s.time_seconds == 0 ? Json(nullptr) : Json(time_of_day(s.time_seconds))},
          {"stop_s", s.dwell_seconds}};
}

}  // namespace scengen::dump
