#include "bench/scenario_generator.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "compiler/line_placement.h"
#include "compiler/track_layout.h"
#include "compiler/track_model.h"

namespace scengen {
namespace {

constexpr int32_t kStationLength = 400;
constexpr int32_t kFirstStation = 1000;
constexpr int32_t kTunnelLength = 500;
// Features keep this far from the route's end, so that every one passes the track check and no
// curve reaches the plan's limit.
constexpr int32_t kEndMargin = 100;
// Cell 1 takes the seal; no feature stands in the first cells.
constexpr int32_t kFirstFeatureCell = 5;
// Stations and information-board texts share the table's slots: with k board texts a train text
// holds at most this many stations less k.
constexpr int32_t kStationAndBoardSlots = 78;

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
  /// Appends lines already ended by CR LF.
  void lines(std::string_view text) { text_.append(text); }
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

// The positions (m) of the features that need a cell of their own, each given a free one.
struct PlacedFeatures {
  std::vector<int32_t> stations;
  std::vector<int32_t> signals;
  std::vector<int32_t> speed_boards;
  std::vector<int32_t> code_points;
};

PlacedFeatures place_features(int32_t route_length, const GeneratedLayout& layout) {
  const int32_t last_position = route_length - kEndMargin;
  CellMap cells((route_length + kTrackTail) / kCellLength);
  PlacedFeatures placed;
  // Stations first: their marker overwrites whatever stands in its cell, so it is kept apart.
  const int32_t station_spacing =
      (route_length - 2 * kFirstStation) / (layout.stations - 1) / kCellLength * kCellLength;
  for (int32_t n = 0; n < layout.stations; ++n) {
    const int32_t position = kFirstStation + n * station_spacing;
    placed.stations.push_back(position);
    cells.take_from((position + kStationLength / 2) / kCellLength + kEndOffset);
  }
  // Signals, boards and code points shift forward by whole cells until their cell is free.
  for (int32_t x = layout.signal_spacing; x <= last_position; x += layout.signal_spacing) {
    const int32_t cell = cells.take_from(x / kCellLength + kFeatureOffset);
    placed.signals.push_back(cell_start(cell - kFeatureOffset));
  }
  for (int32_t x = layout.speed_board_spacing; x <= last_position;
       x += layout.speed_board_spacing) {
    const int32_t cell = cells.take_from(x / kCellLength + kFeatureOffset);
    placed.speed_boards.push_back(cell_start(cell - kFeatureOffset));
  }
  for (int32_t x = layout.code_point_spacing; x <= last_position; x += layout.code_point_spacing)
    placed.code_points.push_back(cell_start(cells.take_from(x / kCellLength + kStepOffset)));
  return placed;
}

std::string generated_line_text(int32_t route_length, const GeneratedLayout& layout,
                                const std::vector<int32_t>& speed_boards) {
  const int32_t last_position = route_length - kEndMargin;
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
  const int32_t tunnel_spacing = route_length / layout.tunnels / kCellLength * kCellLength;
  for (int32_t t = 0; t < layout.tunnels; ++t) {
    const int32_t inizio = tunnel_spacing / 2 / kCellLength * kCellLength + t * tunnel_spacing;
    line.line("montagna,   ", inizio, ",  ", inizio + kTunnelLength, ",  12");
  }
  line.line("[cartelli]");
  n = 0;
  for (const int32_t x : speed_boards) {
    const SpeedTriple& v = cycle(kBoardSpeeds, n++);
    line.line("indicatori_vmax,  ", x, ",  ", v.a, ",  ", v.b, ",  ", v.c, ",  0,  ", v.a, ",  ",
              v.b, ",  ", v.c, ",  0");
  }
  line.line("[fine]");
  return line.take();
}

std::string generated_train_text(int32_t route_length, const PlacedFeatures& placed) {
  const int32_t last_position = route_length - kEndMargin;
  TextBuilder train;
  train.line("[generale]");
  train.line("numero vetture,    8");
  train.line("percentuale massa frenata,    120");
  train.line("sabbia,    300");
  train.line("orologio,    8               19            15 ");
  train.line("[aderenze]");
  int64_t n = 0;
  for (int32_t x = 0; x <= last_position; x += 50000) {
    train.line("aderenza,   ", x, ",    ", cycle(kAdhesions, n++));
  }
  train.line("[vel_limite]");
  n = 0;
  for (int32_t x = 0; x <= last_position; x += 10000) {
    train.line("velocita,   ", x, ",    ", cycle(kSpeedSteps, n++));
  }
  train.line("[stazioni]");
  for (int32_t k = 0; k < static_cast<int32_t>(placed.stations.size()); ++k) {
    // One minute from one station to the next, from 8:00.
    train.line("stazione,   ", placed.stations[static_cast<size_t>(k)], ", 12,  ", kStationLength,
               ",  0, 0, 0,  1,1,0,  2,1,1,   60,   ", 8 + k / 60, ",", k % 60, ", 0, FERMATA ",
               k + 1);
  }
  train.line("[segnali]");
  for (const int32_t x : placed.signals) {
    train.line("segnale,   ", x, ",   2, 4, 1,  1, 0,    2,  3,1,1, 0");
  }
  train.line("[codici]");
  n = 0;
  for (const int32_t x : placed.code_points) {
    train.line("abbattimento,   ", x, ",   ", n++ % 2 == 0 ? 270 : 280);
  }
  train.line("[fine]");
  return train.take();
}

}  // namespace

bool is_generable_length(int32_t route_length) {
  return route_length >= kShortestGeneratedRoute && route_length <= kLongestGeneratedRoute &&
         route_length % kCellLength == 0;
}

GeneratedScenario generate_scenario(int32_t route_length, const GeneratedLayout& layout) {
  if (!is_generable_length(route_length))
    throw std::invalid_argument("no generated scenario for a route of this length");
  const PlacedFeatures placed = place_features(route_length, layout);
  return {generated_line_text(route_length, layout, placed.speed_boards),
          generated_train_text(route_length, placed)};
}

namespace {

// A small generator of its own, so that a seed gives the same scenario on every system.
class Draw {
 public:
  explicit Draw(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  /// A whole number from `low` to `high`, both included.
  int64_t between(int64_t low, int64_t high) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    return low + static_cast<int64_t>((state_ >> 33) % span);
  }
  bool chance(int percent) { return between(1, 100) <= percent; }
  template <typename T, size_t N>
  const T& pick(const T (&table)[N]) {
    return table[static_cast<size_t>(between(0, static_cast<int64_t>(N) - 1))];
  }

 private:
  uint64_t state_;
};

// Which cells are spoken for; a feature takes a window of cells that must all be free.
class Cells {
 public:
  explicit Cells(int32_t last) : taken_(static_cast<size_t>(last) + 1, false), last_(last) {
    for (int32_t c = 0; c < kFirstFeatureCell; ++c) taken_[static_cast<size_t>(c)] = true;
  }
  bool free(int32_t first, int32_t last) const {
    if (first < 0 || last > last_) return false;
    for (int32_t c = first; c <= last; ++c)
      if (taken_[static_cast<size_t>(c)]) return false;
    return true;
  }
  void take(int32_t first, int32_t last) {
    for (int32_t c = first; c <= last; ++c) taken_[static_cast<size_t>(c)] = true;
  }
  /// The first cell from `cell` whose window [cell + before, cell + after] is free, taken; -1
  /// when none is left before `limit`.
  int32_t take_from(int32_t cell, int32_t before, int32_t after, int32_t limit) {
    for (; cell <= limit; ++cell) {
      if (free(cell + before, cell + after)) {
        take(cell + before, cell + after);
        return cell;
      }
    }
    return -1;
  }

 private:
  std::vector<bool> taken_;
  int32_t last_;
};

constexpr const char* kBoardTexts[] = {
    "(P.B.A.)(P. 253)", "a, b", "  edge blanks  ", "", "x \"quoted\" y", "(S.S. n\xB0 9)",
    "\xC8 \xE0 \x80 \xFF", "line\r\nbreak", "-dash-", "[brackets]"};
constexpr const char* kStationNames[] = {"FERMATA", "BIVIO, NORD", " SPAZI ", "", "CITT\xC0",
                                         "Q\"UOTE", "-TRATTO-"};
constexpr int kStationTypes[] = {2, 4, 5, 6, 7, 8, 11, 12, 24, 25, 26, 28, 255};
constexpr int kTunnelKinds[] = {2, 12, 0, 13, 25, 7, 1, 11, 265};
constexpr int kMarkedTunnelKinds[] = {11, 12, 13, 25, 265};
constexpr int kCodes[] = {270, 280, 180, 0, -3, 32767, 40000, 1};
// Every board-text slot, from 80 down to 0.
constexpr int32_t kBoardTextSlots = kFirstBoardTextSlot + 1;
// The least room between one station's end and the next one's start (m).
constexpr int32_t kStationSpacing = 350;
// A slow order keeps the cells from this many before its start to this many after its end free
// of other features, for the code points the finishing pass adds around it.
constexpr int32_t kOrderCellsBefore = 50;
constexpr int32_t kOrderCellsAfter = 14;
// Tunnels whose marker a station's marker overwrites, at most: the other tunnels keep the rest of
// the 80 slots.
constexpr int32_t kMostPiledTunnels = 20;

// A text field that reads back as `text`: in quotes when it needs them and has no quote.
std::string field(std::string_view text) {
  const bool plain = text.find_first_of(",\r\n") == std::string_view::npos &&
                     (text.empty() || (text.front() != ' ' && text.back() != ' ' &&
                                       text.front() != '"'));
  return plain ? std::string(text) : "\"" + std::string(text) + "\"";
}

// What every part of a varied scenario draws from and places its features in, in the order the
// parts are made: the same seed then gives the same texts.
struct VariedRoute {
  VariedRoute(int32_t route_length, uint32_t seed)
      : length(route_length),
        last_cell((route_length + kTrackTail) / kCellLength),
        feature_limit(std::min(last_cell - 40, (route_length + 2000) / kCellLength)),
        density(std::max<int32_t>(1, route_length / 5000)),
        draw(seed),
        cells(last_cell) {}

  /// A free cell from a drawn one on, taken; -1 when none is left.
  int32_t take_drawn_cell() {
    return cells.take_from(static_cast<int32_t>(draw.between(kFirstFeatureCell, feature_limit)),
                           0, 0, feature_limit);
  }

  int32_t length;
  int32_t last_cell;
  int32_t feature_limit;  // features stand up to a little beyond the route's end, in the tail
  int32_t density;        // features per kind
  Draw draw;
  Cells cells;
};

// The records the piled and all-board-texts layouts add, by the section of the texts each joins.
struct Piles {
  TextBuilder speed_boards;  // under a station's marker or on the cells it marks
  TextBuilder board_texts;
  int32_t board_text_count = 0;
  TextBuilder tunnels;  // marked tunnels with a marker under a station's marker
  int32_t tunnel_count = 0;
  TextBuilder orders_before_stations;   // slow orders with a cell under a later station's marker
  TextBuilder signals_before_stations;  // signals a later station overwrites or marks over
  TextBuilder signals_after_stations;   // signals that mark over an earlier station's marks
  TextBuilder code_points;              // on the cells a station marks
};

void add_speed_board(Draw& draw, TextBuilder& line, int32_t cell) {
  // The packed rank holds the left speed / 5 in the hundreds: left 1635 at the most.
  line.line("indicatori_vmax, ", cell_start(cell - kFeatureOffset), ", ", draw.between(0, 327) * 5,
            ", ", draw.between(0, 200) * 5, ", ", draw.between(0, 30) * 5, ", ", draw.between(0, 2),
            ", ", draw.between(0, 67) * 5, ", ", draw.between(0, 99) * 5, ", ",
            draw.between(0, 20) * 5, ", ", draw.between(0, 9));
}

void add_board_text(Draw& draw, TextBuilder& line, int32_t cell) {
  line.line("cartello_indicatore, ", cell_start(cell - kFeatureOffset), ", ",
            field(draw.pick(kBoardTexts)));
}

void add_signal(Draw& draw, TextBuilder& text, int32_t cell) {
  const int64_t tempo = draw.chance(50) ? 0 : draw.pick({50, 101, 255, 300});
  text.line("segnale, ", cell_start(cell - kFeatureOffset), ", ", draw.between(0, 2), ", ",
            draw.between(0, 9), ", ", draw.between(0, 9), ", ", draw.between(0, 9), ", ",
            draw.between(0, 3275), ", ", draw.between(0, 2), ", ", draw.between(0, 9), ", ",
            draw.between(0, 9), ", ", draw.between(0, 9), ", ", tempo);
}

void add_code_point(Draw& draw, TextBuilder& text, int32_t cell) {
  text.line("abbattimento, ", cell_start(cell - kStepOffset), ", ", draw.pick(kCodes));
}

// Where a station reaches around its reference point `pos`.
struct StationExtent {
  int32_t start = 0;
  int32_t end = 0;
};

StationExtent station_extent(int type, int32_t pos, int32_t length, int third) {
  if (type == 5 || type == 6) return {pos - length, pos + 150};
  if (type == 7 || type == 8) return {pos - length, pos + length};
  return {pos - length / 2, pos + length / 2 + (third != 0 ? 50 : 0)};
}

// The reference point of a station whose area starts at `start`.
int32_t station_position_from_start(int type, int32_t length, int32_t start) {
  if (type >= 5 && type <= 8) return start + length;
  return start + length / 2;
}

void add_station_record(VariedRoute& route, TextBuilder& text, int32_t pos, int type,
                        int32_t length, int third) {
  Draw& draw = route.draw;
  const int64_t time = draw.chance(30) ? 0 : draw.between(0, 86399);
  text.line("stazione, ", pos, ", ", type, ", ", length, ", ", draw.between(0, 255), ", ",
            draw.between(0, 1), ", ", third, ", ", draw.between(-32768, 32767), ",",
            draw.between(0, 9), ", ", draw.between(0, 255), ", ", draw.between(-32768, 32767), ",",
            draw.between(0, 60), ",", draw.between(0, 60), ", ", draw.between(0, 255), ", ",
            time / 3600, ",", time / 60 % 60, ",", time % 60, ", ",
            field(draw.pick(kStationNames)));
}

// The station records; a station with a marker keeps its marker's cells free of other features.
std::string varied_stations(VariedRoute& route, int32_t boards) {
  Draw& draw = route.draw;
  TextBuilder text;
  int32_t stations = 0;
  int32_t previous_end = -1000000;
  int32_t pos = static_cast<int32_t>(draw.between(0, 40)) * kCellLength;
  while (stations < kStationAndBoardSlots - boards &&
         pos + 800 <= route.feature_limit * kCellLength) {
    const int type = draw.pick(kStationTypes);
    const int32_t length = static_cast<int32_t>(draw.between(1, 12)) * 100;
    const int third = static_cast<int>(draw.between(0, 1));
    const StationExtent extent = station_extent(type, pos, length, third);
    const int32_t marker = extent.end / kCellLength + kEndOffset;
    const bool has_marker = type < kFirstHaltType;
    const bool placed =
        !has_marker || (marker > 1 && route.cells.free(marker - kApproachMarks, marker));
    if (extent.start - kStationSpacing >= previous_end && placed && marker <= route.feature_limit) {
      if (has_marker) route.cells.take(marker - kApproachMarks, marker);
      ++stations;
      add_station_record(route, text, pos, type, length, third);
      previous_end = extent.end;
    }
    pos = std::max(pos + 50, extent.end + kStationSpacing + length) / 100 * 100 +
          50 * draw.between(0, 40);
    pos = pos / kCellLength * kCellLength;
  }
  return text.take();
}

// A slow order whose start, end, warning board or one of whose approach boards (`part` 0 to 3)
// stands in `marker`'s cell, in a window of free cells like every slow order's; false when the
// window is not free.
bool pile_slow_order(VariedRoute& route, Piles& piles, int32_t marker, int64_t part) {
  Draw& draw = route.draw;
  const int32_t length_cells = static_cast<int32_t>(draw.between(1, 40));
  const int32_t approach_board = static_cast<int32_t>(draw.between(0, 3));
  constexpr int32_t kWarningCells = kWarningDistance / kCellLength;
  int32_t start = marker;
  if (part == 1) start = marker - length_cells;
  if (part == 2) start = marker + kWarningCells;
  if (part == 3) start = marker + kWarningCells + 1 + approach_board;
  const int32_t end = start + length_cells;
  if (end + kOrderCellsAfter > route.feature_limit ||
      !route.cells.free(start - kOrderCellsBefore, end + kOrderCellsAfter))
    return false;
  route.cells.take(start - kOrderCellsBefore, end + kOrderCellsAfter);
  // Without its end cell an order slower than 110 km/h would be walked on past its end.
  const int64_t v = part == 1 || draw.chance(30) ? draw.between(110, 300) : draw.between(5, 105);
  const int64_t f_tt = draw.between(0, 1);
  const int64_t f_ta = part == 3 ? 1 : draw.between(0, 1);
  const int64_t d_v = draw.chance(50) ? 0 : draw.between(-50, 200);
  piles.orders_before_stations.line("rallentamento, ", cell_start(start - kFeatureOffset), ", ", v,
                                    ", ", length_cells * kCellLength, ", ", f_tt, ", ", f_ta, ", ",
                                    d_v);
  return true;
}

// A signal whose marks and those of the station whose marker stands in `marker` fall on the same
// cells: a signal marks every second cell of the eight before it, a station the four before its
// marker.
void pile_marking_signal(VariedRoute& route, TextBuilder& text, int32_t marker) {
  constexpr int32_t kOffsets[] = {-2, -1, 1, 2, 3, 4, 5, 6, 7};
  const int32_t cell = marker + route.draw.pick(kOffsets);
  if (cell > route.feature_limit || !route.cells.free(cell, cell)) return;
  route.cells.take(cell, cell);
  add_signal(route.draw, text, cell);
}

// Features on the cells a station marks: boards (before the station) and code points (after).
void pile_on_marked_cells(VariedRoute& route, Piles& piles, int32_t marker, bool spare_slot) {
  Draw& draw = route.draw;
  for (int32_t k = 1; k <= kApproachMarks; ++k) {
    const int32_t cell = marker - k;
    if (!draw.chance(60) || !route.cells.free(cell, cell)) continue;
    route.cells.take(cell, cell);
    const int64_t what = draw.between(0, 2);
    if (what == 1 && spare_slot) {
      add_board_text(draw, piles.board_texts, cell);
      ++piles.board_text_count;
      spare_slot = false;
    } else if (what == 0) {
      add_speed_board(draw, piles.speed_boards, cell);
    } else {
      add_code_point(draw, piles.code_points, cell);
    }
  }
}

// A marked tunnel one of whose markers (every fourth cell) stands in `marker`'s cell.
void pile_tunnel(VariedRoute& route, Piles& piles, int32_t marker) {
  Draw& draw = route.draw;
  const int64_t first =
      marker - (kTunnelMarkerSpacing - 1) - kTunnelMarkerSpacing * draw.between(0, 2);
  const int64_t last = marker + draw.between(0, 20);
  const int kind = draw.pick(kMarkedTunnelKinds);
  if (first < 0 || piles.tunnel_count >= kMostPiledTunnels) return;
  piles.tunnels.line("montagna, ", first * kCellLength, ", ", (last + 1) * kCellLength, ", ", kind);
  ++piles.tunnel_count;
}

// The piled cases a station may get, the last ones none; 3 to 6 are slow orders.
constexpr int64_t kPileCases = 12;
constexpr bool is_slow_order_pile(int64_t pile) {
  return pile >= 3 && pile <= 6;
}
// A station over a slow order stands this far after the previous one's end, so that the order's
// window of free cells and its length lie after the previous station's marker.
constexpr int32_t kSlowOrderPileGap = (kOrderCellsBefore + 40 + 2) * kCellLength;

// The piled case `pile` at the station whose marker stands in `marker` (a station of types 5 and
// 6 marks no cell); a case that finds its cells taken leaves the station alone.
void pile_on_station(VariedRoute& route, Piles& piles, int64_t pile, int32_t marker, bool marks,
                     bool spare_slot) {
  Draw& draw = route.draw;
  switch (pile) {
    case 0:
      add_speed_board(draw, piles.speed_boards, marker);
      break;
    case 1:
      if (!spare_slot) break;
      add_board_text(draw, piles.board_texts, marker);
      ++piles.board_text_count;
      break;
    case 2:
      add_signal(draw, piles.signals_before_stations, marker);
      break;
    case 3:
    case 4:
    case 5:
    case 6:
      pile_slow_order(route, piles, marker, pile - 3);
      break;
    case 7:
      pile_tunnel(route, piles, marker);
      break;
    case 8:
      if (marks) pile_marking_signal(route, piles.signals_before_stations, marker);
      break;
    case 9:
      if (marks) pile_marking_signal(route, piles.signals_after_stations, marker);
      break;
    case 10:
      if (marks) pile_on_marked_cells(route, piles, marker, spare_slot);
      break;
    default:
      break;
  }
}

// The station records of the piled layout. A station keeps only its marker's cell, so that other
// features stand on the cells it marks; some start as soon after the previous one as the spacing
// allows, and most have a piled case.
std::string piled_stations(VariedRoute& route, int32_t boards, Piles& piles) {
  Draw& draw = route.draw;
  TextBuilder text;
  int32_t stations = 0;
  int32_t previous_end = -1000000;
  const int32_t last_position = route.feature_limit * kCellLength - 800;
  int32_t pos = static_cast<int32_t>(draw.between(0, 40)) * kCellLength;
  while (stations < kStationAndBoardSlots - boards - piles.board_text_count &&
         pos <= last_position) {
    const int64_t pile = draw.between(0, kPileCases - 1);
    const int type = draw.pick(kStationTypes);
    const int32_t length = static_cast<int32_t>(draw.between(1, 12)) * 100;
    const int third = static_cast<int>(draw.between(0, 1));
    if (is_slow_order_pile(pile))
      pos = std::max(pos, previous_end + kSlowOrderPileGap);
    else if (stations > 0 && draw.chance(40))
      pos = station_position_from_start(type, length, previous_end + kStationSpacing);
    const StationExtent extent = station_extent(type, pos, length, third);
    const int32_t marker = extent.end / kCellLength + kEndOffset;
    const bool has_marker = type < kFirstHaltType;
    const bool placed = pos <= last_position && extent.start - kStationSpacing >= previous_end &&
                        (!has_marker || (marker > 1 && marker <= route.feature_limit &&
                                         route.cells.free(marker, marker)));
    if (placed) {
      if (has_marker) {
        // A board text under the station needs a slot that the stations leave free.
        const bool spare_slot =
            stations + 1 < kStationAndBoardSlots - boards - piles.board_text_count;
        pile_on_station(route, piles, pile, marker, type != 5 && type != 6, spare_slot);
        route.cells.take(marker, marker);
      }
      ++stations;
      add_station_record(route, text, pos, type, length, third);
      previous_end = extent.end;
    }
    pos = std::max(pos + 50, extent.end + kStationSpacing + length) / 100 * 100 +
          50 * draw.between(0, 40);
    pos = pos / kCellLength * kCellLength;
  }
  return text.take();
}

// Every board-text slot, taken before any other feature takes a cell: a short route has room for
// them only with the cells of its track's tail.
void take_all_board_texts(VariedRoute& route, Piles& piles) {
  const int32_t last = route.last_cell - 2;
  for (int32_t n = 0; n < kBoardTextSlots; ++n) {
    const int32_t drawn = static_cast<int32_t>(route.draw.between(kFirstFeatureCell, last));
    int32_t cell = route.cells.take_from(drawn, 0, 0, last);
    if (cell < 0) cell = route.cells.take_from(kFirstFeatureCell, 0, 0, last);
    add_board_text(route.draw, piles.board_texts, cell);
    ++piles.board_text_count;
  }
}

// Slow orders keep a window of free cells around them for the code points the pass adds.
std::string varied_slow_orders(VariedRoute& route) {
  Draw& draw = route.draw;
  TextBuilder orders;
  orders.line("[rallentamenti]");
  for (int32_t n = 0, from = kFirstFeatureCell; n < route.density; ++n) {
    const int32_t length = static_cast<int32_t>(draw.between(0, 40)) * kCellLength;
    const int32_t length_cells = length / kCellLength;
    // The first may start within 1500 m, where it has no warning board.
    const bool early = n == 0 && draw.chance(50);
    const int32_t cell =
        early ? route.cells.take_from(25, -20, length_cells + kOrderCellsAfter, 25)
              : route.cells.take_from(from + static_cast<int32_t>(draw.between(0, 60)),
                                      -kOrderCellsBefore, length_cells + kOrderCellsAfter,
                                      route.feature_limit - length_cells - kOrderCellsAfter);
    if (cell < 0) break;
    int64_t v = draw.chance(30) ? draw.between(110, 300) : draw.between(5, 105);
    // An order of length 0 writes its start over its end: slower than 110 km/h, the finishing
    // pass would walk on past it to the next order's end, through cells other features hold.
    if (length == 0 && v < 110) v += 110;
    orders.line("rallentamento, ", cell_start(cell - kFeatureOffset), ", ", v, ", ", length, ", ",
                draw.between(0, 1), ", ", draw.between(0, 1), ", ",
                draw.chance(50) ? 0 : draw.between(-50, 200));
    from = cell + length_cells + kOrderCellsAfter;
  }
  return orders.take();
}

void add_varied_general(VariedRoute& route, TextBuilder& line) {
  Draw& draw = route.draw;
  const int32_t route_length = route.length;
  line.line("[generale]");
  line.line("lunghezza percorso, ", route_length);
  const char* const refs[] = {"uno", "due", "tre"};
  for (const char* r : refs) {
    line.line("progressiva chilometrica ", r, ", ",
              draw.between(0, route_length / kCellLength) * kCellLength, ", ",
              draw.between(-1000, 400000) * kCellLength, ", ", draw.between(0, 1));
  }
  line.line("sfondo uno, ", draw.between(0, 1000));
  line.line("sfondo due, ", draw.between(-5, 5));
  line.line("sfondo tre, ", draw.between(0, 2));
  if (draw.chance(80)) {
    line.line(draw.chance(50) ? "ripetizione segnali 4 codici, " : "ripetizione segnali 9 codici, ",
              draw.between(0, route_length / kCellLength) * kCellLength, ", ",
              draw.chance(20) ? 0 : draw.between(1, route_length / kCellLength) * kCellLength);
  }
}

// Curves and gradients over the whole track, tail included.
void add_varied_profile(VariedRoute& route, TextBuilder& line) {
  Draw& draw = route.draw;
  line.line("[curve]");
  // Curves end within the plan's tail and short of its limit.
  const int32_t plan_end = std::min(route.length + kTrackTail - 2, kPlanLimit - 10);
  const int64_t last_start = int64_t{route.last_cell} * kCellLength - 100;
  for (int64_t s = draw.between(0, 20); s < plan_end && s <= last_start;) {
    const int64_t n = std::min<int64_t>(draw.between(1, 600), plan_end - s);
    line.line(draw.chance(50) ? "curvad" : "curvas", draw.between(1, 6), ", ", s, ", ", n);
    s += n + (draw.chance(30) ? 0 : draw.between(1, 3000));
  }
  line.line("[pendenze]");
  const int64_t last_step = int64_t{route.last_cell - 2} * kCellLength - 100;
  for (int64_t x = 0; x <= last_step; x += draw.between(1, 3000)) {
    line.line("pendenza, ", x, ", ", draw.chance(10) ? (draw.chance(50) ? -100 : 155)
                                                      : draw.between(-30, 30));
  }
}

// A group of tunnels sharing cells from `x` on: two overlapping, one nested in another and given
// after or before it, or one nested out of text order, after a tunnel elsewhere, so that it keeps
// its own kind (a tunnel that starts before the previous one's end is of kind 3). Returns where
// the group ends (m); `room` counts down the tunnels given.
int32_t add_shared_tunnels(Draw& draw, TextBuilder& line, int32_t x, int32_t& room) {
  const int64_t a = draw.between(6, 30);
  const int64_t b = draw.between(1, a - 2);
  const int64_t c = draw.between(1, 20);
  const int64_t shape = draw.between(0, 3);
  int64_t reach = 0;
  auto tunnel = [&](int64_t first, int64_t end) {
    const int kind = draw.pick(kTunnelKinds);
    line.line("montagna, ", x + first * kCellLength, ", ", x + end * kCellLength, ", ", kind);
    reach = std::max(reach, end);
    --room;
  };
  const int64_t inner_end = std::min(a, b + c);
  switch (shape) {
    case 0:
      tunnel(0, a);
      tunnel(b, a + c);
      break;
    case 1:
      tunnel(0, a);
      tunnel(b, inner_end);
      break;
    case 2:
      tunnel(b, inner_end);
      tunnel(0, a);
      break;
    default:
      tunnel(20, 50 + a);
      tunnel(0, 5);
      tunnel(30, 30 + c);
      break;
  }
  return x + static_cast<int32_t>(reach) * kCellLength;
}

// The tunnels one after another, in the untidy layouts also groups sharing cells; then those of
// the piles.
void add_varied_tunnels(VariedRoute& route, VariedLayout layout, Piles& piles, TextBuilder& line) {
  Draw& draw = route.draw;
  line.line("[montagne]");
  int32_t room = kTunnelSlots - 1 - piles.tunnel_count;
  for (int32_t x = static_cast<int32_t>(draw.between(0, 100)) * kCellLength;
       room > 0 && x + 2000 < route.feature_limit * kCellLength;) {
    int32_t end = 0;
    if (layout != VariedLayout::Tidy && room >= 3 && draw.chance(50)) {
      end = add_shared_tunnels(draw, line, x, room);
    } else {
      end = x + static_cast<int32_t>(draw.between(1, 30)) * kCellLength;
    line.line("montagna, ", x, ", ", end, ", ", draw.pick(kTunnelKinds));
      --room;
    }
    x = end + static_cast<int32_t>(draw.chance(30) ? draw.between(1, 3) : draw.between(4, 200)) *
                  kCellLength;
  }
  line.lines(piles.tunnels.take());
}

// Maximum-speed boards, then the information boards; those of the piles after the drawn ones.
void add_varied_boards(VariedRoute& route, int32_t boards, Piles& piles, TextBuilder& line) {
  line.line("[cartelli]");
  for (int32_t n = 0; n < route.density; ++n) {
    const int32_t cell = route.take_drawn_cell();
    if (cell < 0) break;
    add_speed_board(route.draw, line, cell);
  }
  line.lines(piles.speed_boards.take());
  line.line("[indicazioni]");
  for (int32_t n = 0; n < boards; ++n) {
    const int32_t cell = route.take_drawn_cell();
    if (cell < 0) break;
    add_board_text(route.draw, line, cell);
  }
  line.lines(piles.board_texts.take());
}

std::string varied_line_text(VariedRoute& route, int32_t boards, VariedLayout layout,
                             Piles& piles) {
  TextBuilder line;
  add_varied_general(route, line);
  add_varied_profile(route, line);
  add_varied_tunnels(route, layout, piles, line);
  add_varied_boards(route, boards, piles, line);
  line.line("[fine]");
  return line.take();
}

// The train text up to its station section.
std::string varied_train_head(VariedRoute& route) {
  Draw& draw = route.draw;
  TextBuilder train;
  train.line("[generale]");
  train.line("numero vetture, ", draw.between(1, 20));
  train.line("percentuale massa frenata, ", draw.between(50, 200));
  train.line("sabbia, ", draw.between(-32768, 32767));
  train.line("orologio, ", draw.between(0, 23), " ", draw.between(0, 59), " ", draw.between(0, 59));
  const int64_t last_step = int64_t{route.last_cell - 2} * kCellLength - 100;
  train.line("[aderenze]");
  for (int64_t x = 0; x <= last_step; x += draw.between(1, 20000))
    train.line("aderenza, ", x, ", ", draw.between(0, 255));
  train.line("[vel_limite]");
  for (int64_t x = 0; x <= last_step; x += draw.between(1, 20000))
    train.line("velocita, ", x, ", ", draw.between(0, 255) * 5);
  return train.take();
}

// The train text from its signal section to its end.
std::string varied_signals_and_codes(VariedRoute& route, Piles& piles) {
  TextBuilder text;
  text.line("[segnali]");
  text.lines(piles.signals_after_stations.take());
  for (int32_t n = 0; n < route.density * 2; ++n) {
    const int32_t cell = route.take_drawn_cell();
    if (cell < 0) break;
    add_signal(route.draw, text, cell);
  }
  text.line("[codici]");
  text.lines(piles.code_points.take());
  for (int32_t n = 0; n < route.density * 2; ++n) {
    const int32_t cell = route.take_drawn_cell();
    if (cell < 0) break;
    add_code_point(route.draw, text, cell);
  }
  text.line("[fine]");
  return text.take();
}

}  // namespace

VariedLayout varied_layout(uint32_t seed) {
  // The seeds that other tests compile keep the tidy layout they were written for.
  if (seed <= 10 || seed % 2 == 1) return VariedLayout::Tidy;
  return seed % 8 == 2 ? VariedLayout::AllBoardTexts : VariedLayout::Piled;
}

GeneratedScenario generate_varied_scenario(int32_t route_length, uint32_t seed) {
  return generate_varied_scenario(route_length, seed, varied_layout(seed));
}

GeneratedScenario generate_varied_scenario(int32_t route_length, uint32_t seed,
                                           VariedLayout layout) {
  if (route_length < kShortestVariedRoute || route_length > kLongestVariedRoute ||
      route_length % kCellLength != 0)
    throw std::invalid_argument("no varied scenario for a route of this length");
  VariedRoute route(route_length, seed);
  // Information boards take slots from 80 down; stations from 1 up, at most 78 - boards.
  const int32_t drawn_boards =
      static_cast<int32_t>(route.draw.between(0, std::min<int64_t>(20, route.density + 2)));
  const int32_t boards = layout == VariedLayout::AllBoardTexts ? 0 : drawn_boards;
  Piles piles;
  // Stations and slow orders take their windows of free cells before the single-cell features.
  std::string stations;
  if (layout == VariedLayout::Tidy) stations = varied_stations(route, boards);
  if (layout == VariedLayout::Piled) stations = piled_stations(route, boards, piles);
  if (layout == VariedLayout::AllBoardTexts) take_all_board_texts(route, piles);
  const std::string slow_orders = varied_slow_orders(route);
  GeneratedScenario out;
  out.line_text = varied_line_text(route, boards, layout, piles);
  out.train_text = varied_train_head(route);
  if (layout == VariedLayout::Piled) {
    // Signals and slow orders that a later station overwrites or marks over come before it.
    out.train_text += "[rallentamenti]\r\n" + piles.orders_before_stations.take();
    out.train_text += "[segnali]\r\n" + piles.signals_before_stations.take();
  }
  out.train_text += "[stazioni]\r\n";
  out.train_text += stations;
  out.train_text += slow_orders;
  out.train_text += varied_signals_and_codes(route, piles);
  return out;
}

}  // namespace scengen
