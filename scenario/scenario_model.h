// A compiled scenario in an author's terms, decoded once from its files: the general values,
// stations, signals, slow orders with their boards, speed and information boards, tunnels, curves,
// the profiles as steps, the kilometric references and the code points, each at its route
// position in metres and with the cell it stands in. dump, diff, render and decompile read this
// model; none of them unpacks a cell or a slot by itself.
//
// Texts are kept as the files hold them (Windows-1252 bytes) unless a field says UTF-8. Where two
// readers of the files told a thing apart by different rules, both answers are fields here, each
// saying which rule it follows, so that every reader keeps its output.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compilation.h"
#include "compiler/track_layout.h"
#include "scenario/compiled_files.h"

namespace scengen {

// ---- General values ---------------------------------------------------------------------------

/// The seal's places: cell 1's first two values and two fields of slot 85.
struct Seal {
  int16_t cell_seal = 0;         // cell 1 Param1, 5121 once sealed
  int16_t plain_code = 0;        // cell 1 Param2, the plain scenario code
  int16_t table_seal = 0;        // slot 85 Small1, 610 once sealed
  int32_t weighted_code = 0;     // slot 85 Num4, the weighted scenario code
};

/// A kilometric reference of slots 81 to 83.
struct ReferencePoint {
  int slot = 0;
  int32_t position = 0;     // Num1, route metres
  int32_t progressive = 0;  // Num2, metres, as the table holds it (100 added when direction is 1)
  int32_t direction = 0;    // Num3, the direction flag
  /// The progressive a text gives: the table's, less the 100 its ordering added for direction 1.
  int32_t written_progressive = 0;
  /// Position, progressive and direction all 0: the text gave none.
  bool empty = true;
};

/// The cab-signal repetition of slot 86.
struct CabSignalRepetition {
  int32_t start = 0;  // Num1, m
  int32_t end = 0;    // Num2, m
  int32_t codes = 0;  // Num3: 4, 9, or 0 when it has no end
  /// Start, end and codes all 0: the scenario has none.
  bool present() const { return start != 0 || end != 0 || codes != 0; }
};

/// The starting clock of slot 86, as the train text gave it.
struct StartingClock {
  int16_t hours = 0;    // Small3
  int16_t minutes = 0;  // Small4
  int16_t seconds = 0;  // Small5
};

/// The identity and the general values of slots 84 to 86.
struct GeneralValues {
  std::string route_id;          // slot 85 Text
  std::string train_number;      // slot 86 Text
  int32_t route_length = 0;      // slot 84 Num2, m
  int32_t braked_mass = 0;       // slot 84 Num1, per cent
  int32_t coaches = 0;           // slot 84 Num3
  int32_t background_uno = 0;    // slot 85 Num1, "sfondo uno"
  int32_t background_due = 0;    // slot 85 Num3, "sfondo due"
  int32_t background_tre = 0;    // slot 85 Num2, "sfondo tre"
  int16_t sand = 0;              // slot 86 Small1
  StartingClock clock;
  CabSignalRepetition repetition;
};

// ---- Table slots --------------------------------------------------------------------------------

/// What a slot holds, as far as the table alone tells (a board's text is a text alone; a station
/// has at least its type or its area). Slots 81 to 86 are settings whatever they hold.
enum class SlotRole { Empty, Station, BoardText, Setting };

/// One slot of the table in these terms.
struct TableSlot {
  SlotRole role = SlotRole::Empty;
  bool empty = true;           // every field 0 and the text empty
  bool named_by_board = false;  // an information board's cell names it
  StationSlot station;          // the slot read as a station (slots 1 to 80; any role)
};

/// Whether the entry holds nothing: every number 0 and the text empty.
bool slot_is_empty(const ScenarioEntry& entry);

// ---- Stations -----------------------------------------------------------------------------------

/// Below kFirstHaltType a station with a marker; from it on a halt or a cabin, which places no
/// cell.
enum class StationKind { Station, HaltOrCabin };

struct Station {
  int slot = 0;
  StationKind kind = StationKind::Station;
  StationSlot values;  // name, area, place, time and every other field of the slot
  std::string name_utf8;  // values.name as UTF-8, blanks collapsed and trimmed
  /// The cell of its marker when the track holds a station marker naming this slot.
  std::optional<int32_t> marker_cell;
  /// The last station: its scheduled time is the arrival, the others' their departure.
  bool terminus = false;
};

/// A station marker's cell and the slot it names.
struct StationMarker {
  int32_t cell = 0;
  int32_t slot = 0;
};

// ---- Features of the cells ----------------------------------------------------------------------
// Each feature holds its cell and its route position (the position its placement was given,
// feature_position). A feature in cell 1 of a sealed track is unpacked without the seal's two
// values, which the seal wrote over the zeros the feature left there.

struct Signal {
  int32_t cell = 0;
  int32_t position = 0;
  SignalCell values;  // as the cell unpacks: sx, dx and rapp from Param4 as it reads plainly
  /// sx * 3 + dx recovered from the approach marks when Param4 alone cannot give it (a sum
  /// outside 0 to 9), else Param4's last digit; and the rapp that packs with it into Param4.
  int32_t indication_sum = 0;
  int32_t recovered_rapp = 0;
};

struct SlowOrder {
  int32_t start_cell = 0;
  int32_t start = 0;  // m
  SlowOrderCell values;  // of the start cell
  /// The first end cell after the start, before any other start: the stretch a reader sees.
  /// The start cell itself when there is none (an order of length 0).
  int32_t end_cell = 0;
  int32_t end = 0;  // m
  /// The first end cell after the start that no earlier order took and that holds the same
  /// values: the end a text must give to reproduce the track. The start cell when none.
  int32_t matching_end_cell = 0;
  int32_t matching_end = 0;  // m
  /// The cell kWarningDistance before the start, when it holds a warning board of this speed.
  std::optional<int32_t> warning_cell;
  /// The order starts beyond 1500 m, where every order has a warning board, and has none.
  bool missing_warning_board = false;
  /// The cell just before that warning place holds an approach board (any number).
  bool approach_board_before_warning = false;
  /// The four approach boards stand complete before the warning place, board 1 nearest it: the
  /// order was written with its approach boards (f_ta 1). Only for a start beyond 1500 m.
  bool approach_boards = false;
};

/// A slow-order warning board (Kind 4) or approach board (Kind 5).
struct SlowOrderBoard {
  int32_t cell = 0;
  int32_t position = 0;
  WarningBoardCell warning;    // for a warning board
  ApproachBoardCell approach;  // for an approach board
};

/// A slow-order end cell (Kind 2) with its own values.
struct SlowOrderEnd {
  int32_t cell = 0;
  int32_t position = 0;
  SlowOrderCell values;
  /// The order whose matching end it is (index into slow_orders); nullopt when none.
  std::optional<size_t> order;
};

/// An end, warning or approach board cell that no slow order claims, as a text writes the
/// orders (the matching end; the warning board and the approach boards of an order beyond
/// 1500 m, the approach boards only when complete).
struct UnclaimedCell {
  int32_t cell = 0;
  uint8_t kind = 0;
};

struct SpeedBoard {
  int32_t cell = 0;
  int32_t position = 0;
  SpeedBoardCell values;
};

struct InformationBoard {
  int32_t cell = 0;
  int32_t position = 0;
  int32_t slot = 0;  // the slot its cell names
  bool slot_exists = false;  // slot 0 to 86
  std::string text;  // the slot's text, empty when the slot does not exist
  /// The slot is a board-text slot (0 to 80) and no board in an earlier cell names it: the
  /// board a text's record gives this slot.
  bool owns_text_slot = false;
  std::vector<std::string> panels;  // UTF-8, one per parenthesised group, blanks trimmed
};

/// A board-text slot from 80 down to the lowest one a board names, and the board that names it.
struct BoardText {
  int slot = 0;
  std::string text;
  /// Index into information_boards of the board naming this slot; nullopt when none does (its
  /// board was overwritten, for instance by a station marker).
  std::optional<size_t> board;
};

struct CodePoint {
  int32_t cell = 0;
  int32_t position = 0;
  bool has_code = true;  // Kind 12; false for Kind 13
  int32_t code = 0;      // 0 without a code
  /// Code 180 that the finishing pass makes again on the track without it: the pass's own.
  /// Every other code point is an author's. An author's 180 where the pass would have put one is
  /// the same bytes and counts as derived.
  bool derived = false;
};

/// A run of cells of one tunnel kind.
struct Tunnel {
  int32_t first_cell = 0;
  int32_t last_cell = 0;
  int32_t start = 0;  // m, the start of first_cell
  int32_t end = 0;    // m, the start of the cell after last_cell
  int kind = 0;       // the cells' Tunnel value
  /// Some cell of the run holds a tunnel marker.
  bool has_marker = false;
  /// A marker stands in a fourth cell of the run's count (first_cell + 3, + 7, ...): a marked
  /// tunnel. Markers that features replaced leave the other fourth cells plain.
  bool marked = false;
  std::vector<int32_t> marker_cells;
  /// The first marker out of its tunnel's count (not in a fourth cell, or the tunnel unmarked).
  std::optional<int32_t> stray_marker_cell;
  /// The kind a text's record gives: the cells' kind + 10 when marked; an unmarked kind above 10
  /// comes from its low 8 bits (kind - 256).
  int written_kind = 0;
};

/// A tunnel as the compile listed it (its tunnel lists; only a model built from a Compilation
/// has them): the record's own metres, the kind of its first cell.
struct ListedTunnel {
  int32_t start = 0;
  int32_t end = 0;
  int kind = 0;
};

/// A run of cells with one profile value, from `start` to `end` metres.
struct Step {
  int32_t first_cell = 0;
  int32_t end_cell = 0;  // one past the last cell
  int32_t start = 0;     // m
  int32_t end = 0;       // m
  int value = 0;
};

// ---- The route plan -----------------------------------------------------------------------------

/// A run of plan points of one curvature, measured from the turn between consecutive steps of
/// the plan walk (cross product over the step's squared length), in units of kCurvatureUnit.
/// The curve stretch is first_point - 1 to last_point (a curve starting at s with length n
/// turns points s + 1 to s + n).
struct CurvatureRun {
  int32_t first_point = 0;
  int32_t last_point = 0;
  int64_t units = 0;  // positive: right
  int curve_class = 0;  // 1 to 6 when units is one class's curvature exactly; else 0
};

/// A curve as a text's record gives it: each point's curvature taken to the nearest class
/// (within kCurvatureUnit), runs of one signed class.
struct Curve {
  int32_t start = 0;   // m
  int32_t length = 0;  // m
  int curve_class = 0;  // negative: a left curve
};

/// Curvatures are measured to this, per metre: the classes are multiples of it.
inline constexpr double kCurvatureUnit = 1e-5;

/// The curvature of class 1 to 6 in kCurvatureUnit (10, 20, 40, 100, 200, 300); 0 otherwise.
int64_t class_curvature_units(int curve_class);
/// The class whose curvature is `units` exactly (either side), or 0.
int curve_class_of_units(int64_t units);

struct RoutePlan {
  bool present = false;  // the files have a plan that reads as one
  std::string error;     // why the plan bytes are not a plan; empty otherwise
  int32_t last_point = -1;
  /// Where the plan file's second coordinate begins, in bytes.
  size_t second_coordinate = 0;
  /// The last point the plan walk computed: last_point - 2 when the walk ran to its end, less
  /// when the line reader stopped before it.
  int32_t walked_to = -1;
  /// The runs of non-zero curvature, as measured where a point and the two before it are set.
  std::vector<CurvatureRun> curvature_runs;
  /// The curves by nearest class, points 2 to last_point - 2 (the last two are never computed).
  std::vector<Curve> curves;
  /// The first point that is no step of the plan walk (no class within kCurvatureUnit).
  std::optional<int32_t> first_point_off_walk;
};

// ---- Cells --------------------------------------------------------------------------------------

/// What one cell holds, in these terms.
struct CellUse {
  uint8_t kind = 0;
  /// Index into the model's list of its kind: signals, slow_order_ends (Kind 2), slow_orders
  /// (3), warning_boards (4), approach_boards (5), speed_boards (6), station_markers (10),
  /// code_points (12, 13), information_boards (14); -1 for a kind no list holds.
  int32_t feature = -1;
  /// The route position its feature was given (feature_position); the cell's start when it
  /// holds nothing or a tunnel marker.
  int32_t position = 0;
  uint8_t mark = 0;
  uint8_t tunnel = 0;
  int speed_limit_kmh = 0;
  int gradient_per_mille = 0;
  int adhesion = 0;
  /// No Kind, parameter, mark or tunnel.
  bool holds_nothing = true;
  /// Kinds 7 to 9 and above 14: no text makes them.
  bool unknown_kind = false;
};

// ---- The model ----------------------------------------------------------------------------------

struct CompileIdentity {
  std::string route_id;
  std::string train_number;
};

struct ScenarioModel {
  GeneralValues general;
  Seal seal;
  std::array<ReferencePoint, 3> references;  // slots 81, 82, 83
  /// The references in the order a line text gives them ("uno", "due", "tre") so that their
  /// ordering gives the table back; nullopt when no order does.
  std::optional<std::array<ReferencePoint, 3>> references_as_written;

  std::array<TableSlot, kScenarioSlots> slots;
  /// The stations from slot 1 upward, up to the first empty slot or the first an information
  /// board names.
  std::vector<Station> stations;
  /// The lowest slot an information board names, among 0 to 80 and leaving cell 1 out (81 when
  /// none): the board texts reach down to it.
  int lowest_board_slot = kFirstBoardTextSlot + 1;
  /// The last slot below lowest_board_slot that holds anything (0 when none): a train text
  /// writes a station record for every slot from 1 to it.
  int last_filled_station_slot = 0;
  std::vector<StationMarker> station_markers;

  std::vector<Signal> signals;
  /// The signals (indices into `signals`) in an order that leaves their approach marks as the
  /// cells hold them: where two signals' marks meet, the one whose mark stayed comes later.
  std::vector<size_t> signal_write_order;
  std::vector<SlowOrder> slow_orders;
  std::vector<SlowOrderBoard> warning_boards;
  std::vector<SlowOrderBoard> approach_boards;
  std::vector<SlowOrderEnd> slow_order_ends;
  std::vector<UnclaimedCell> unclaimed_slow_order_cells;  // in cell order
  std::vector<SpeedBoard> speed_boards;
  std::vector<InformationBoard> information_boards;
  std::vector<BoardText> board_texts;  // slot 80 downward
  std::vector<CodePoint> code_points;
  std::vector<Tunnel> tunnels;
  std::vector<ListedTunnel> listed_tunnels;  // empty unless built from a Compilation
  std::vector<Step> gradients;     // per mille, over every cell
  std::vector<Step> speed_limits;  // km/h
  std::vector<Step> adhesion;
  RoutePlan plan;

  std::vector<CellUse> cells;  // one per cell of the track
  /// The compile's extended length when built from a Compilation; 0 from files.
  int32_t extended_length = 0;
  /// The identity the compile ran under, when built from a Compilation (it may differ from the
  /// table's texts when the compile stopped before copying them there).
  std::optional<CompileIdentity> compile_identity;
};

/// The model of the files. Linear in the route's length; the plan is walked from its bytes.
ScenarioModel read_scenario(const CompiledFiles& files);

/// The model of a compile, without writing its files: the same as read_scenario of the files
/// the compile would write, with the compile's tunnel lists and extended length besides.
ScenarioModel read_scenario(const Compilation& c);

/// The track as the author's features left it: cell 1 without the seal's two values.
std::vector<TrackCell> author_cells(const std::vector<TrackCell>& cells, const ScenarioTable& table);

/// The first and last plan point at which two plans' set elements differ (a point counts where
/// both hold a value in a coordinate), over the points both have.
struct PlanStretch {
  int32_t first = 0;
  int32_t last = 0;
};
/// Compares two route plan files point by point from their bytes; nullopt when no element
/// differs or either is not a plan.
std::optional<PlanStretch> differing_plan_points(std::string_view a, std::string_view b);

/// The step of `steps` that covers `cell`, or nullptr.
const Step* step_at(const std::vector<Step>& steps, int32_t cell);

/// A time of day in seconds as h:mm, with :ss when the seconds are not 0 ("9:03", "8:20:30"):
/// how dump and diff write a station's time.
std::string time_of_day(int64_t seconds);
/// A time of day in seconds as h:mm, the seconds left out ("8:20"): how the profile picture
/// labels a station.
std::string time_of_day_in_minutes(int32_t seconds);

/// "(P.B.A.)(P. 253)" as {"P.B.A.", "P. 253"}; a text without parentheses is one panel.
std::vector<std::string> text_panels(const std::string& utf8);

/// Collapses runs of blanks into one space and drops them at both ends.
std::string collapse_blanks(const std::string& text);

}  // namespace scengen
