// What dump says a cell or a slot means, in words and in JSON, from the scenario model.
#pragma once

#include <cstddef>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "scenario/scenario_model.h"

namespace scengen::dump {

using Json = nlohmann::ordered_json;

/// printf's `pattern` with `values`, as a string of at most 255 bytes.
std::string format(const char* pattern, auto... values) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

/// The values a cell holds, in words and in JSON; empty for a cell whose kind holds none.
struct CellMeaning {
  std::string text;
  Json json = Json::object();
};

/// How far dump tells a track's cells.
struct CellWording {
  /// Stations and board texts named, Marks and tunnel markers told in words.
  bool described = false;
  /// The model holds the scenario table read beside the track, so slots have their names.
  bool table = false;
};

/// What cell `cell` of the model holds: the seal in cell 1, else its feature's values; described,
/// with what its slot names and what its Mark announces.
CellMeaning cell_meaning(const ScenarioModel& model, size_t cell, CellWording wording = {});

/// A station slot in an author's words: name, kind, place, time and stop.
std::string station_words(const StationSlot& station);

/// A station slot in an author's terms, as JSON.
Json station_json(const StationSlot& station);

}  // namespace scengen::dump
