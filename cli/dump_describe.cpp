#include "cli/dump_describe.h"

#include "compiler/source_text.h"
#include "run/printable_text.h"
#include "scenario/cell_marks.h"

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

// The name a station slot holds, as UTF-8; empty when the slot is no station's or lies outside
// the table.
std::string station_name(const ScenarioModel& model, int32_t slot) {
  if (slot < 0 || slot >= static_cast<int32_t>(kScenarioSlots)) return {};
  const TableSlot& table_slot = model.slots[static_cast<size_t>(slot)];
  if (table_slot.role != SlotRole::Station) return {};
  return collapse_blanks(utf8_from_windows_1252(table_slot.station.name));
}

// "station LODI in slot 6" with the table, "station in slot 6" without it.
CellMeaning station_meaning(const ScenarioModel& model, int32_t slot, CellWording wording) {
  CellMeaning m{format("station in slot %d", slot), {{"station_slot", slot}}};
  if (!wording.described || !wording.table) return m;
  const std::string name = station_name(model, slot);
  if (name.empty()) {
    m.text += " (no station in the table's slot)";
    m.json["station_name"] = nullptr;
  } else {
    m.text = "station " + printable_text(name) + format(" in slot %d", slot);
    m.json["station_name"] = name;
  }
  return m;
}

// The board text named with the table, the slot alone without it.
CellMeaning board_text_meaning(const InformationBoard& board, CellWording wording) {
  CellMeaning m{format("text in slot %d", board.slot), {{"text_slot", board.slot}}};
  if (!wording.described || !wording.table) return m;
  if (!board.slot_exists) {
    m.text += " (no such slot in the table)";
    m.json["text"] = nullptr;
    return m;
  }
  const std::string text = utf8_from_windows_1252(board.text);
  m.text = "text \"" + printable_text(text) + format("\" in slot %d", board.slot);
  m.json["text"] = text;
  return m;
}

// What the cell's Mark announces: a signal's or a station's approach, or nothing after it.
void add_mark_meaning(const ScenarioModel& model, int32_t cell, CellWording wording,
                      CellMeaning& m) {
  const MarkMeaning mark = mark_meaning(model, cell);
  if (mark.owner == MarkOwner::None) return;
  std::string words = format("mark %d: ", mark.value);
  Json json = {{"value", mark.value}};
  if (mark.owner == MarkOwner::Signal) {
    const Signal& signal = model.signals[static_cast<size_t>(mark.feature_index)];
    words += format("approach %d of 4 to the signal at %d m, sx * 3 + dx = %d", mark.order,
                    signal.position, signal.indication_sum);
    json.update({{"announces", "signal"},
                 {"approach", mark.order},
                 {"signal_cell", mark.feature_cell},
                 {"signal_m", signal.position},
                 {"indication_sum", signal.indication_sum}});
  } else if (mark.owner == MarkOwner::Station) {
    const int32_t slot = model.station_markers[static_cast<size_t>(mark.feature_index)].slot;
    const std::string name = wording.table ? station_name(model, slot) : std::string();
    words += format("approach %d of 4 to the station marker in cell %d (", mark.order,
                    mark.feature_cell) +
             (name.empty() ? "" : printable_text(name) + ", ") + format("slot %d)", slot);
    json.update({{"announces", "station"},
                 {"approach", mark.order},
                 {"station_marker_cell", mark.feature_cell},
                 {"station_slot", slot}});
  } else {
    words += "no signal or station marker after it announces this value";
    json["announces"] = nullptr;
  }
  m.text += (m.text.empty() ? "" : "; ") + words;
  m.json["mark"] = std::move(json);
}

// A tunnel marker in words: the marked tunnel it stands in.
CellMeaning tunnel_marker_meaning(const ScenarioModel& model, int32_t cell) {
  for (const Tunnel& tunnel : model.tunnels) {
    if (cell < tunnel.first_cell || cell > tunnel.last_cell) continue;
    return {format("marker of the %s tunnel %d to %d m, kind %d",
                   tunnel.marked ? "marked" : "unmarked", tunnel.start, tunnel.end, tunnel.kind),
            {{"tunnel_start_m", tunnel.start},
             {"tunnel_end_m", tunnel.end},
             {"tunnel_kind", tunnel.kind},
             {"tunnel_marked", tunnel.marked}}};
  }
  return {"marker outside any tunnel", {{"tunnel_start_m", nullptr}}};
}

// The values of the feature a cell holds, from its entry in the model's list of its kind.
CellMeaning feature_meaning(const ScenarioModel& model, const CellUse& use, CellWording wording) {
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
    case kStationMarker:
      return station_meaning(model, model.station_markers[f].slot, wording);
    case kCodePoint: {
      const int32_t code = model.code_points[f].code;
      return {format("code %d", code), {{"code", code}}};
    }
    case kInformationBoard:
      return board_text_meaning(model.information_boards[f], wording);
    default:
      return {};
  }
}

}  // namespace

CellMeaning cell_meaning(const ScenarioModel& model, size_t cell, CellWording wording) {
  CellMeaning m;
  const CellUse& use = model.cells[cell];
  if (cell == kSealCell) {
    // The seal owns cell 1's first two values, whatever the cell holds.
    const Seal& seal = model.seal;
    m = {format("seal %d, plain scenario code %d", seal.cell_seal, seal.plain_code),
         {{"seal", seal.cell_seal}, {"plain_scenario_code", seal.plain_code}}};
  } else if (use.feature >= 0) {
    m = feature_meaning(model, use, wording);
  } else if (wording.described && use.kind == kTunnelMarker) {
    m = tunnel_marker_meaning(model, static_cast<int32_t>(cell));
  }
  if (wording.described) add_mark_meaning(model, static_cast<int32_t>(cell), wording, m);
  return m;
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
