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

// A station record the reader stopped in: its values up to the last it stored, then a length off
// the 100 m, or a value no field holds, stops it at the same place. A position off the 50 m or
// beyond the track stops it by itself.
std::string stopped_station_record(const StationSlot& s) {
  const int64_t values[] = {s.first_flag,         s.second_flag,       s.lengthens_end,
                            s.first_group[0],     s.first_group[1],    s.first_group_last,
                            s.second_group[0],    s.second_group[1],   s.second_group[2],
                            s.dwell_seconds};
  size_t stored = std::size(values);
  while (stored > 0 && values[stored - 1] == 0) --stored;
  std::string record = "stazione, " + std::to_string(s.position) + ", " + std::to_string(s.type);
  if (stored == 0) return record + ", 1";
  record += ", 100";
  for (size_t v = 0; v < stored; ++v) record += ", " + std::to_string(values[v]);
  return record + ", 99999999999";
}

std::string station_record(const StationSlot& s, int32_t slot, std::vector<std::string>& notes) {
  if (stopped_part_way(s)) return stopped_station_record(s);
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

std::string slow_order_record(const RecoveredSlowOrder& order) {
  const SlowOrderCell& v = order.values;
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, "rallentamento,%8d,%6d,%5d, %d,  %d,  %d", order.position,
                v.v, order.length, v.f_tt, order.approach_boards ? 1 : 0, v.d_v);
  return buffer;
}

std::string signal_record(const RecoveredSignal& signal) {
  const SignalCell& s = signal.values;
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, "segnale,%8d,   %d, %d, %d,  %d, %d,    %d,  %d,%d,%d, %d",
                signal.position, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo);
  return buffer;
}

// The stations, slow orders and signals in the records' order, each under its section's header.
// Headers of sections that come up empty in between are written too, as in a text written
// section by section.
void write_train_records(const ScenarioModel& model, const RecoveredRecords& records, Text& text,
                         std::vector<std::string>& notes) {
  using Section = TrainEntry::Section;
  static const char* const kHeaders[] = {"[stazioni]", "[rallentamenti]", "[segnali]"};
  auto header_index = [](Section s) { return static_cast<int>(s); };
  int current = 0;
  text.line(kHeaders[0]);
  auto enter = [&](int section) {
    if (section == current) return;
    if (section > current) {
      for (int h = current + 1; h <= section; ++h) text.line(kHeaders[h]);
    } else {
      text.line(kHeaders[section]);
    }
    current = section;
  };
  for (const TrainEntry& e : records.train_order) {
    enter(header_index(e.section));
    switch (e.section) {
      case Section::Stations: {
        const int slot = static_cast<int>(e.index);
        text.line(station_record(model.slots[e.index].station, slot, notes));
        break;
      }
      case Section::SlowOrders:
        text.line(slow_order_record(records.slow_orders[e.index]));
        break;
      case Section::Signals:
        text.line(signal_record(records.signals[e.index]));
        break;
    }
  }
  enter(header_index(Section::Signals));
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

std::string train_text(const ScenarioModel& model, const RecoveredRecords& records,
                       const std::set<int32_t>& authored_180, std::vector<std::string>& notes) {
  Text text;
  text.line("- train description recovered by scengen decompile from the compiled files");
  write_general(model, text);
  const auto cell_count = static_cast<int32_t>(model.cells.size());
  text.line("[aderenze]");
  const bool tails = !records.profile_tails_skipped;
  write_profile(text, "aderenza,%8d,%6d", model.adhesion, cell_count, 0, tails);
  text.line("[vel_limite]");
  write_profile(text, "velocita,%8d,%6d", model.speed_limits, cell_count, 0, tails);
  write_train_records(model, records, text, notes);
  write_code_points(model, authored_180, text);
  if (records.last_station_stops) {
    text.line("- where the compile of these files stopped");
    text.line("[stazioni]");
    const int slot = records.last_station_slot;
    text.line(station_record(model.slots[static_cast<size_t>(slot)].station, slot, notes));
  }
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
