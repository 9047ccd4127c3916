#include "decompiler/train_text.h"

#include "decompiler/text_parts.h"

namespace scengen {
namespace {

// The code the finishing pass gives the code points it adds.

void write_general(const ScenarioModel& model, Text& text) {
  const GeneralValues& general = model.general;
  text.line("[generale]");
  text.format("numero vetture,    %d", general.coaches);
  text.end_line();
  text.format("percentuale massa frenata,    %d", general.braked_mass);
  text.end_line();
  text.format("sabbia,    %d", general.sand);
  text.end_line();
  text.format("orologio,    %d               %d            %d ", general.clock.hours,
              general.clock.minutes, general.clock.seconds);
  text.end_line();
}

std::string station_record(const StationSlot& s, int32_t slot, std::vector<std::string>& notes) {
  int64_t length = 0;
  int lengthens_end = s.lengthens_end;
  if (station_area(s.type) != StationArea::Centred) {
    length = int64_t{s.position} - s.area_start;
  } else {
    length = 2 * (int64_t{s.position} - s.area_start);
    // The first station's flag is cleared after it lengthened the end.
    if (slot == kFirstStationSlot && int64_t{s.area_end} - s.position - length / 2 == 50)
      lengthens_end = 1;
  }
  int32_t h = 0, m = 0, sec = s.time_seconds;
  if (s.time_seconds >= 0) {
    h = s.time_seconds / 3600;
    m = s.time_seconds % 3600 / 60;
    sec = s.time_seconds % 60;
  }
  std::optional<std::string> name = text_field(s.name);
  if (!name) {
    notes.push_back("the name of station slot " + std::to_string(slot) +
                    " holds a double quote and a separator: no text field keeps it");
    name = s.name;
  }
  char buffer[256];
  std::snprintf(buffer, sizeof buffer,
                "stazione,%8d,%3d,%5lld,%3d,%2d,%2d,  %d,%d,%d,  %d,%d,%d,%5d,%4d,%2d,%2d, ",
                s.position, s.type, static_cast<long long>(length), s.first_flag, s.second_flag,
                lengthens_end, s.first_group[0], s.first_group[1], s.first_group_last, s.second_group[0],
                s.second_group[1], s.second_group[2], s.dwell_seconds, h, m, sec);
  return buffer + *name;
}

// Stations from slot 1 up to the last slot below the board texts that holds anything.
void write_stations(const ScenarioModel& model, Text& text, std::vector<std::string>& notes) {
  text.line("[stazioni]");
  for (int slot = kFirstStationSlot; slot <= model.last_filled_station_slot; ++slot)
    text.line(station_record(model.slots[static_cast<size_t>(slot)].station, slot, notes));
}

// Each order ends at the first free end after it that carries its values (the model's matching
// end); an order without one has length 0.
void write_slow_orders(const ScenarioModel& model, Text& text, std::vector<std::string>& notes) {
  text.line("[rallentamenti]");
  for (const SlowOrder& order : model.slow_orders) {
    if (order.missing_warning_board)
      notes.push_back(where(order.start_cell) + " starts a slow order without its warning board");
    const SlowOrderCell& v = order.values;
    text.format("rallentamento,%8d,%6d,%5d, %d,  %d,  %d", order.start, v.v,
                order.matching_end - order.start, v.f_tt, order.approach_boards ? 1 : 0, v.d_v);
    text.end_line();
  }
  for (const UnclaimedCell& cell : model.unclaimed_slow_order_cells)
    notes.push_back(where(cell.cell) + " holds a " + kind_name(cell.kind) + " of no slow order");
}

void write_signals(const ScenarioModel& model, Text& text) {
  text.line("[segnali]");
  for (const size_t index : model.signal_write_order) {
    const Signal& signal = model.signals[index];
    SignalCell s = signal.values;
    const int32_t sets = signal.indication_sum;
    s.rapp = signal.recovered_rapp;
    s.sx = sets / 3;
    s.dx = sets % 3;
    // A time is kept only by sx 2: keep the sum and make sx 2.
    if (s.tempo != 0 && s.sx != 2) {
      s.sx = 2;
      s.dx = sets - 6;
    }
    // Times 1 to 100 would be raised to 101: the same low 8 bits from above 255.
    if (s.tempo >= 1 && s.tempo <= 100) s.tempo += 256;
    text.format("segnale,%8d,   %d, %d, %d,  %d, %d,    %d,  %d,%d,%d, %d", signal.position, s.sx,
                s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo);
    text.end_line();
  }
}

void write_code_points(const ScenarioModel& model, const std::set<int32_t>& authored_180,
                       Text& text) {
  text.line("[codici]");
  for (const CodePoint& point : model.code_points) {
    int32_t code = point.code;
    if (point.has_code) {
      if (code == kDerivedSpeedCode && !authored_180.count(point.cell)) continue;
      if (code <= 0) code += 65536;  // the same low 16 bits from a positive code
    }
    text.format("abbattimento,%8d,%6d", point.position, code);
    text.end_line();
  }
}

}  // namespace

std::string train_text(const ScenarioModel& model, const std::set<int32_t>& authored_180,
                       std::vector<std::string>& notes) {
  Text text;
  text.line("- train description recovered by scengen decompile from the compiled files");
  write_general(model, text);
  const auto cell_count = static_cast<int32_t>(model.cells.size());
  text.line("[aderenze]");
  write_profile(text, "aderenza,%8d,%6d", model.adhesion, cell_count, 0);
  text.line("[vel_limite]");
  write_profile(text, "velocita,%8d,%6d", model.speed_limits, cell_count, 0);
  write_stations(model, text, notes);
  write_slow_orders(model, text, notes);
  write_signals(model, text);
  write_code_points(model, authored_180, text);
  text.line("[fine]");
  for (size_t i = 0; i < model.cells.size(); ++i) {
    const uint8_t kind = model.cells[i].kind;
    if (model.cells[i].unknown_kind)
      notes.push_back(where(static_cast<int64_t>(i)) + " holds Kind " + std::to_string(kind) +
                      " (" + kind_name(kind) + "), which no text makes");
  }
  return text.take();
}

}  // namespace scengen
