#include "bench/scenario_generator.h"

#include <stdexcept>
#include <string_view>
#include <vector>

namespace scengen {
namespace {

constexpr int32_t kCell = 50;
constexpr int32_t kRouteTail = 7000;  // the track reaches this far beyond the route's end
constexpr int32_t kStationLength = 400;
constexpr int32_t kFirstStation = 1000;
constexpr int32_t kTunnelLength = 500;
// Features keep this far from the route's end, so that every one passes the track check and no
// curve reaches the plan's limit.
constexpr int32_t kEndMargin = 100;
// Cell 1 takes the seal; no feature stands in the first cells.
constexpr int32_t kFirstFeatureCell = 5;

// Which cells already hold a feature, so that every feature gets a free cell of its own.
class CellMap {
 public:
  explicit CellMap(int32_t last_cell) : taken_(static_cast<size_t>(last_cell) + 1, false) {
    for (int32_t cell = 0; cell < kFirstFeatureCell; ++cell)
      taken_[static_cast<size_t>(cell)] = true;
  }
  /// Takes the first free cell at or after `cell`.
  int32_t take_from(int32_t cell) {
    while (taken_.at(static_cast<size_t>(cell))) ++cell;
    taken_[static_cast<size_t>(cell)] = true;
    return cell;
  }

 private:
  std::vector<bool> taken_;
};

// A description text, one line at a time.
class TextBuilder {
 public:
  /// Appends the parts (texts and numbers) as one line ended by CR LF.
  template <typename... Parts>
  void line(const Parts&... parts) {
    (append(parts), ...);
    text_.append("\r\n");
  }
  std::string take() { return std::move(text_); }

 private:
  void append(std::string_view text) { text_.append(text); }
  void append(int64_t number) { text_.append(std::to_string(number)); }

  std::string text_;
};

struct SpeedTriple {
  int32_t a, b, c;
};
constexpr SpeedTriple kBoardSpeeds[] = {{140, 150, 160}, {100, 105, 115}, {135, 140, 150}};
constexpr int32_t kGradients[] = {0, 3, 5, -2, -4, 1, 0, -1};
constexpr int32_t kSpeedSteps[] = {100, 120, 140, 160};
constexpr int32_t kAdhesions[] = {96, 80, 90};

template <typename T, size_t N>
const T& cycle(const T (&table)[N], int64_t n) {
  return table[static_cast<size_t>(n) % N];
}

}  // namespace

bool is_generable_length(int32_t route_length) {
  return route_length >= kShortestGeneratedRoute && route_length <= kLongestGeneratedRoute &&
         route_length % kCell == 0;
}

GeneratedScenario generate_scenario(int32_t route_length, const GeneratedLayout& layout) {
  if (!is_generable_length(route_length))
    throw std::invalid_argument("no generated scenario for a route of this length");
  const int32_t last_cell = (route_length + kRouteTail) / kCell;
  const int32_t last_position = route_length - kEndMargin;
  CellMap cells(last_cell);

  // Stations first: their marker overwrites whatever stands in its cell, so it is kept apart.
  const int32_t station_spacing =
      (route_length - 2 * kFirstStation) / (layout.stations - 1) / kCell * kCell;
  std::vector<int32_t> stations;
  for (int32_t n = 0; n < layout.stations; ++n) {
    const int32_t position = kFirstStation + n * station_spacing;
    stations.push_back(position);
    cells.take_from((position + kStationLength / 2) / kCell - 1);
  }
  // Signals, boards and code points shift forward by whole cells until their cell is free.
  std::vector<int32_t> signals;
  for (int32_t x = layout.signal_spacing; x <= last_position; x += layout.signal_spacing)
    signals.push_back((cells.take_from(x / kCell + 1) - 1) * kCell);
  std::vector<int32_t> boards;
  for (int32_t x = layout.speed_board_spacing; x <= last_position; x += layout.speed_board_spacing)
    boards.push_back((cells.take_from(x / kCell + 1) - 1) * kCell);
  std::vector<int32_t> code_points;
  for (int32_t x = layout.code_point_spacing; x <= last_position; x += layout.code_point_spacing)
    code_points.push_back(cells.take_from(x / kCell) * kCell);

  TextBuilder line;
  line.line("[generale]");
  line.line("lunghezza percorso,    ", route_length);
  line.line("progressiva chilometrica uno,    9550,    218300,    1");
  line.line("progressiva chilometrica due,    0,    0,    0");
  line.line("progressiva chilometrica tre,    0,    0,    0");
  line.line("sfondo uno,    0");
  line.line("sfondo due,    1");
  line.line("sfondo tre,    0");
  line.line("ripetizione segnali 9 codici,    10700,    ", route_length);
  line.line("[curve]");
  int64_t n = 0;
  for (int32_t s = 700; s + 300 <= last_position; s += layout.curve_spacing, ++n) {
    // Right and left in turn, the six classes in turn, 150 to 300 m long.
    line.line(n % 2 == 0 ? "curvad" : "curvas", n % 6 + 1, ",  ", s, ",  ", 150 + n % 4 * 50);
  }
  line.line("[pendenze]");
  n = 0;
  for (int32_t x = 0; x <= last_position; x += layout.gradient_spacing, ++n) {
    line.line("pendenza,  ", x, ",   ", cycle(kGradients, n));
  }
  line.line("[montagne]");
  const int32_t tunnel_spacing = route_length / layout.tunnels / kCell * kCell;
  for (int32_t t = 0; t < layout.tunnels; ++t) {
    const int32_t inizio = tunnel_spacing / 2 / kCell * kCell + t * tunnel_spacing;
    line.line("montagna,   ", inizio, ",  ", inizio + kTunnelLength, ",  12");
  }
  line.line("[cartelli]");
  n = 0;
  for (const int32_t x : boards) {
    const SpeedTriple& v = cycle(kBoardSpeeds, n++);
    line.line("indicatori_vmax,  ", x, ",  ", v.a, ",  ", v.b, ",  ", v.c, ",  0,  ", v.a, ",  ",
              v.b, ",  ", v.c, ",  0");
  }
  line.line("[fine]");

  TextBuilder train;
  train.line("[generale]");
  train.line("numero vetture,    8");
  train.line("percentuale massa frenata,    120");
  train.line("sabbia,    300");
  train.line("orologio,    8               19            15 ");
  train.line("[aderenze]");
  n = 0;
  for (int32_t x = 0; x <= last_position; x += 50000) {
    train.line("aderenza,   ", x, ",    ", cycle(kAdhesions, n++));
  }
  train.line("[vel_limite]");
  n = 0;
  for (int32_t x = 0; x <= last_position; x += 10000) {
    train.line("velocita,   ", x, ",    ", cycle(kSpeedSteps, n++));
  }
  train.line("[stazioni]");
  for (int32_t k = 0; k < static_cast<int32_t>(stations.size()); ++k) {
    // One minute from one station to the next, from 8:00.
    train.line("stazione,   ", stations[static_cast<size_t>(k)], ", 12,  ", kStationLength,
               ",  0, 0, 0,  1,1,0,  2,1,1,   60,   ", 8 + k / 60, ",", k % 60, ", 0, FERMATA ",
               k + 1);
  }
  train.line("[segnali]");
  for (const int32_t x : signals) {
    train.line("segnale,   ", x, ",   2, 4, 1,  1, 0,    2,  3,1,1, 0");
  }
  train.line("[codici]");
  n = 0;
  for (const int32_t x : code_points) {
    train.line("abbattimento,   ", x, ",   ", n++ % 2 == 0 ? 270 : 280);
  }
  train.line("[fine]");
  return {line.take(), train.take()};
}

}  // namespace scengen
