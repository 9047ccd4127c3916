// The compiled format in one place: what the bytes of the compiled track and the scenario table
// mean, for the compiler that packs them and for every reader (dump, render, ...) that unpacks
// them.
//
// Cells. The route is cut into cells of kCellLength (50) metres; the track reaches kTrackTail
// (7000) metres beyond the route's end, so a route of L metres has cells 0 to nearest((L + 7000) /
// 50). A position x becomes a cell through cell_of(x, offset) = nearest(x / 50 + offset): features
// (signals, slow orders, boards) stand one cell on (kFeatureOffset), steps of the profiles, tunnel
// starts and code points in the cell of their position (kStepOffset), tunnel ends and station
// markers one cell back (kEndOffset). Each cell holds one feature, told by its Kind, and up to five
// packed values (Param1 to Param5); the profiles (SpeedLimit, Gradient, Adhesion), the tunnel kind
// and the approach Mark sit beside it. Every Kind with values has a pack_* / unpack_* pair below.
//
// Table. 87 ScenarioEntry records: stations from slot 1 upward (StationSlot tells their fields),
// information-board texts from slot 80 downward, then the fixed slots 81 to 86 (kReferenceSlots,
// kRouteLengthSlot, kRouteIdSlot, kTrainNumberSlot). Cell 1 and slot 85 carry the seal.
//
// Each stored record's fields are listed once (kCellFields, kEntryFields): the writer and every
// reader of the files go through those lists.
//
// Plan. The route plan file is one variant per metre and coordinate (PlanTag, its size by
// plan_element_bytes); it has no cells.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>

namespace scengen {

/// Rounds to the nearest integer, a half going to the even neighbour (nearest(2.5) == 2).
int64_t nearest(double x);

// ---- Cells ------------------------------------------------------------------------------------

/// One 50 m cell of the route, as the compiled track stores it (kCellBytes, fields in this order,
/// little-endian). Assigning a wider value keeps its low bits, as the stored form does.
struct TrackCell {
  uint8_t Kind = 0;
  int16_t Param1 = 0;
  int16_t Param2 = 0;
  int16_t Param3 = 0;
  int16_t Param4 = 0;
  uint8_t Param5 = 0;
  uint8_t Mark = 0;
  uint8_t Tunnel = 0;
  uint8_t SpeedLimit = 0;  // km/h / 5
  uint8_t Gradient = 0;    // per mille + 100
  uint8_t Adhesion = 0;
};

// ---- Stored records ---------------------------------------------------------------------------
// A record is stored as its fields in the order of its field list, each little-endian in its own
// width, with no gaps; a text as a 2-byte byte count and the bytes. The writer packs and every
// reader unpacks through these lists, so the order is written once.

/// The bytes a field of type T takes in a file, a text's count only (its bytes follow).
template <typename T>
constexpr size_t stored_bytes() {
  if constexpr (std::is_same_v<T, std::string>) {
    return 2;
  } else {
    static_assert(std::is_integral_v<T>, "a stored field is an integer or a text");
    return sizeof(T);
  }
}

/// The fixed bytes of a record whose fields are `fields` (a tuple of member pointers).
template <typename Record, typename... Types>
constexpr size_t record_bytes(const std::tuple<Types Record::*...>&) {
  return (stored_bytes<Types>() + ...);
}

/// Calls `visit` with each field of `record` in stored order.
template <typename Fields, typename Record, typename Visit>
void for_each_field(const Fields& fields, Record& record, Visit&& visit) {
  std::apply([&](auto... member) { (visit(record.*member), ...); }, fields);
}

/// The compiled track's cell, field by field.
inline constexpr std::tuple kCellFields{
    &TrackCell::Kind,       &TrackCell::Param1,   &TrackCell::Param2,  &TrackCell::Param3,
    &TrackCell::Param4,     &TrackCell::Param5,   &TrackCell::Mark,    &TrackCell::Tunnel,
    &TrackCell::SpeedLimit, &TrackCell::Gradient, &TrackCell::Adhesion};
constexpr size_t kCellBytes = record_bytes(kCellFields);
static_assert(kCellBytes == 15, "the simulator reads 15-byte cells");

/// What stands in a cell (`TrackCell::Kind`); 7, 8 and 9 are not used.
enum CellKind : uint8_t {
  kNothing = 0,
  kSignal = 1,
  kSlowOrderEnd = 2,
  kSlowOrderStart = 3,
  kWarningBoard = 4,
  kApproachBoard = 5,
  kSpeedBoard = 6,
  kStationMarker = 10,
  kTunnelMarker = 11,
  kCodePoint = 12,
  kCodePointWithoutCode = 13,
  kInformationBoard = 14,
};

/// A cell whose Kind is 0 or 11 may take a feature.
inline bool is_free(const TrackCell& cell) {
  return cell.Kind == kNothing || cell.Kind == kTunnelMarker;
}

/// The Kind in words ("signal", "code point, no code", ...): "unused" for 7 to 9, "unknown" above.
const char* kind_name(uint8_t kind);

constexpr int32_t kCellLength = 50;   // metres per cell
constexpr int32_t kTrackTail = 7000;  // metres of track beyond the route's end

// The offsets, in cells, that the placements add to a position's cell.
constexpr int kFeatureOffset = 1;  // signals, slow orders, speed and information boards
constexpr int kStepOffset = 0;     // profile steps, tunnel starts, code points
constexpr int kEndOffset = -1;     // tunnel ends, station markers (from the station's end)

/// The cell of position `metres` under a placement's offset: nearest(metres / 50 + offset).
inline int64_t cell_of(int64_t metres, int offset) {
  return nearest(static_cast<double>(metres) / kCellLength + offset);
}

/// The route position of the start of cell `cell`, in metres.
constexpr int32_t cell_start(int32_t cell) {
  return cell * kCellLength;
}

/// The offset with which a feature of this Kind was placed: code points in the cell of their
/// position, station markers one back, the other features one on.
int cell_offset(uint8_t kind);

/// The route position a feature in `cell` was given, inverting cell_of for positions that are
/// multiples of 50.
inline int32_t feature_position(uint8_t kind, int32_t cell) {
  return cell_start(cell - cell_offset(kind));
}

/// The track's length beyond the route, the last plan point: route length + 7000.
constexpr int64_t extended_length(int64_t route_length) {
  return route_length + kTrackTail;
}

/// The number of cells of a track whose extended length is `extended`.
inline int64_t cell_count(int64_t extended) {
  return cell_of(extended, kStepOffset) + 1;
}

// ---- Profiles -------------------------------------------------------------------------------

/// The cell's Gradient: per mille + 100, low 8 bits (-100 to +155 per mille round trip).
inline uint8_t pack_gradient(int64_t per_mille) {
  return static_cast<uint8_t>(per_mille + 100);
}
inline int unpack_gradient(uint8_t gradient) {
  return gradient - 100;
}

/// The cell's SpeedLimit: km/h / 5, rounded, low 8 bits (multiples of 5 to 1275 round trip).
inline uint8_t pack_speed_limit(int32_t kmh) {
  return static_cast<uint8_t>(nearest(kmh / 5.0));
}
inline int unpack_speed_limit(uint8_t speed_limit) {
  return speed_limit * 5;
}

// ---- Marks ------------------------------------------------------------------------------------

/// A signal marks the cells 2, 4, 6 and 8 before it; a station the four before its marker.
constexpr int kApproachMarks = 4;

/// The Mark of the k-th cell (1 to 4) before a signal: (sx * 3 + dx) * 10 + k, low 8 bits.
inline uint8_t signal_mark(int32_t sx, int32_t dx, int k) {
  return static_cast<uint8_t>((int64_t{sx} * 3 + dx) * 10 + k);
}

/// The Mark of the k-th cell (1 to 4) before a station marker: 81 to 84.
constexpr uint8_t station_mark(int k) {
  return static_cast<uint8_t>(80 + k);
}

// ---- Packed cells -----------------------------------------------------------------------------
// Each pack_* writes the Kind and the values of its feature and leaves every other field of the
// cell as it was; each unpack_* reads them back. Integer values keep their low 16 bits and Byte
// values their low 8 bits, so unpack(pack(x)) == x holds within the ranges given.

/// Kind 1. Param1..3 = s1..s3 * 10 + d1..d3, Param4 = rapp * 10 + sx * 3 + dx, Param5 = tempo.
/// Round trip: d 0..9, sx * 3 + dx 0..9 with dx 0..2, s and rapp 0..3276 (fitting 16 bits).
struct SignalCell {
  int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0;
  int32_t rapp = 0;
  int32_t dx = 0, d1 = 0, d2 = 0, d3 = 0;
  int32_t tempo = 0;  // the signal time (0 or 101..255); 0..255 round trip
  bool operator==(const SignalCell&) const = default;
};
void pack_signal(const SignalCell& signal, TrackCell& cell);
SignalCell unpack_signal(const TrackCell& cell);

/// Kinds 2 (end) and 3 (start). Param1 = v (km/h), Param2 = d_v when non-zero, Param3 = f_tt.
/// Round trip: each value within 16 bits, from a cell whose Param2 is 0.
struct SlowOrderCell {
  int32_t v = 0;
  int32_t d_v = 0;
  int32_t f_tt = 0;
  bool operator==(const SlowOrderCell&) const = default;
};
void pack_slow_order(CellKind end_or_start, const SlowOrderCell& order, TrackCell& cell);
SlowOrderCell unpack_slow_order(const TrackCell& cell);

/// Orders that start within the first 1500 m have no warning board and no approach boards.
constexpr int32_t kLastUnwarnedStart = 1500;

/// Kind 4, kWarningDistance metres before the start. Param1 = v, Param2 = d_v when non-zero.
struct WarningBoardCell {
  int32_t v = 0;
  int32_t d_v = 0;
  bool operator==(const WarningBoardCell&) const = default;
};
constexpr int32_t kWarningDistance = 1200;
void pack_warning_board(const WarningBoardCell& board, TrackCell& cell);
WarningBoardCell unpack_warning_board(const TrackCell& cell);

/// Kind 5, the four cells before the warning board. Param1 = board (1 to 4), and Param2 the same
/// when the order has a d_v. Round trip: board 1..4.
struct ApproachBoardCell {
  int32_t board = 0;
  bool with_d_v = false;
  bool operator==(const ApproachBoardCell&) const = default;
};
void pack_approach_board(const ApproachBoardCell& board, TrackCell& cell);
ApproachBoardCell unpack_approach_board(const TrackCell& cell);

/// Kind 6. Param1..3 = nearest(right / 5 + left * 20) for ranks A, B, C (vad / 5 + vas * 20 ...),
/// Param4 = strisces * 10 + strisced in 16-bit arithmetic. Round trip: speeds multiples of 5,
/// right 0..495, the packed value within 0..32767 (left 1635 with right 335 at the most);
/// strisced 0..9, strisces 0..3275.
struct SpeedBoardCell {
  std::array<int32_t, 3> left{};   // vas, vbs, vcs (km/h)
  std::array<int32_t, 3> right{};  // vad, vbd, vcd (km/h)
  int16_t strisces = 0;
  int16_t strisced = 0;
  bool operator==(const SpeedBoardCell&) const = default;
};
/// False when a packed speed does not fit 16 bits; the fields before it are then written.
bool pack_speed_board(const SpeedBoardCell& board, TrackCell& cell);
SpeedBoardCell unpack_speed_board(const TrackCell& cell);

/// Kind 12 with Param1 = the low 16 bits of code when code > 0, else Kind 13 without a value.
/// unpack gives 0 for Kind 13. Round trip: code 0..32767.
struct CodePointCell {
  int32_t code = 0;
  bool operator==(const CodePointCell&) const = default;
};
void pack_code_point(const CodePointCell& point, TrackCell& cell);
CodePointCell unpack_code_point(const TrackCell& cell);
/// The code of the code points that the finishing pass derives.
constexpr int16_t kDerivedSpeedCode = 180;

/// A tunnel's kind and whether it is marked. The line text marks a tunnel by adding
/// kTunnelMarking to its kind; each cell holds the kind's low 8 bits, and a marked tunnel's every
/// fourth cell (counted from 1) a marker (Kind 11) when it holds nothing else.
struct TunnelCell {
  int32_t kind = 0;
  bool marked = false;
  bool operator==(const TunnelCell&) const = default;
};
constexpr int32_t kTunnelMarking = 10;
constexpr int kTunnelMarkerSpacing = 4;
/// The tunnel a text kind gives: above 10 marked, its kind 10 less.
TunnelCell tunnel_of_text_kind(int32_t text_kind);
/// The text kind that gives `tunnel` back: a marked kind plus 10; an unmarked kind above 10 as the
/// negative number with the same low 8 bits, which no reading takes for a marked one.
int32_t text_kind_of_tunnel(const TunnelCell& tunnel);
/// The `nth` cell (from 1) of a tunnel. Round trip: kind 0..255; marked on a fourth cell that
/// held nothing.
void pack_tunnel(const TunnelCell& tunnel, int64_t nth, TrackCell& cell);
/// The cell's tunnel kind, marked when the cell holds a marker.
TunnelCell unpack_tunnel(const TrackCell& cell);

/// Kinds 10 (station marker) and 14 (information board): Param1 = the table slot that holds the
/// station or the board's text.
void pack_slot_cell(CellKind marker_or_board, int32_t slot, TrackCell& cell);
int32_t unpack_slot_cell(const TrackCell& cell);

// ---- Table ------------------------------------------------------------------------------------

/// One record of the scenario table, as the table file stores it (kEntryBytes plus its text, the
/// text as a 16-bit byte count and the bytes). `Text` holds raw Windows-1252 bytes.
struct ScenarioEntry {
  uint8_t Tag = 0;
  int32_t Num1 = 0;
  int32_t Num2 = 0;
  int32_t Num3 = 0;
  uint8_t Tag2 = 0;
  std::string Text;
  int16_t Small1 = 0;
  int16_t Small2 = 0;
  int16_t Small3 = 0;
  int16_t Small4 = 0;
  int16_t Small5 = 0;
  uint8_t Flag1 = 0;
  uint8_t Flag2 = 0;
  uint8_t Flag3 = 0;
  uint8_t Flag4 = 0;
  int32_t Num4 = 0;
};

/// The scenario table's record, field by field; Text takes its count here and its bytes after.
inline constexpr std::tuple kEntryFields{
    &ScenarioEntry::Tag,    &ScenarioEntry::Num1,   &ScenarioEntry::Num2,   &ScenarioEntry::Num3,
    &ScenarioEntry::Tag2,   &ScenarioEntry::Text,   &ScenarioEntry::Small1, &ScenarioEntry::Small2,
    &ScenarioEntry::Small3, &ScenarioEntry::Small4, &ScenarioEntry::Small5, &ScenarioEntry::Flag1,
    &ScenarioEntry::Flag2,  &ScenarioEntry::Flag3,  &ScenarioEntry::Flag4,  &ScenarioEntry::Num4};
/// A record's bytes besides its text's.
constexpr size_t kEntryBytes = record_bytes(kEntryFields);
static_assert(kEntryBytes == 34, "the simulator reads 34-byte records and their texts");

constexpr int kScenarioSlots = 87;
using ScenarioTable = std::array<ScenarioEntry, kScenarioSlots>;

constexpr int kFirstStationSlot = 1;     // stations grow upward from here
constexpr int kFirstBoardTextSlot = 80;  // information-board texts (Text only) grow downward
/// The three kilometric references, Num1 route position (m), Num2 progressive (m), Num3 direction
/// flag; filled by "tre", "due", "uno" progressiva, then ordered by position, largest first.
constexpr int kReferenceSlots[] = {81, 82, 83};
/// A kilometric reference as its slot holds it once ordered: Num1 position (m), Num2 progressive
/// (m), Num3 direction flag. A flag of 1 stores the progressive kDirectionShift metres on.
struct KilometricReference {
  int32_t position = 0;
  int32_t progressive = 0;
  int32_t direction = 0;
  bool operator==(const KilometricReference&) const = default;
};
constexpr int32_t kDirectionShift = 100;
/// False, writing nothing, when the shifted progressive does not fit 32 bits.
bool pack_reference(const KilometricReference& reference, ScenarioEntry& entry);
KilometricReference unpack_reference(const ScenarioEntry& entry);
/// Num1 braked-mass percentage, Num2 route length (m), Num3 number of coaches.
constexpr int kRouteLengthSlot = 84;
/// Num1, Num2, Num3 background selectors "uno", "tre", "due"; Text RouteId; Small1 the seal
/// (kTableSeal); Num4 the weighted scenario code.
constexpr int kRouteIdSlot = 85;
/// Num1 start, Num2 end (m) and Num3 number of codes (4, 9 or 0) of the cab-signal repetition;
/// Text TrainNumber; Small1 sand; Small3, Small4, Small5 the starting clock (h, min, s).
constexpr int kTrainNumberSlot = 86;

/// The seal: cell 1's Param1 and slot 85's Small1; cell 1's Param2 holds the plain scenario code.
constexpr int kSealCell = 1;
constexpr int16_t kCellSeal = 5121;
constexpr int16_t kTableSeal = 610;

/// What a station's slot holds, field by field (the ScenarioEntry field after each). The record
/// gives its values 7 to 9 and 10 to 12 as two groups of three.
struct StationSlot {
  int32_t area_start = 0;     // Num1, where the station area begins (m)
  int32_t area_end = 0;       // Num2, where it ends (m); its marker stands in cell Num2 / 50 - 1
  int32_t position = 0;       // Num3, the reference point (m)
  uint8_t type = 0;           // Tag: StationArea, and from kFirstHaltType on a halt or a cabin
  uint8_t first_flag = 0;     // Tag2, the record's value 4
  uint8_t second_flag = 0;    // Flag4, value 5; 0 below 600 m and for the first station
  uint8_t lengthens_end = 0;  // Flag3, value 6: non-zero adds 50 m to a centred area;
                              // 0 for types 5 to 8 and the first station
  std::array<int16_t, 2> first_group{};   // Small1, Small2: values 7 and 8
  uint8_t first_group_last = 0;           // Flag1: value 9, the last of the first group
  std::array<int16_t, 3> second_group{};  // Small3, Small4, Small5: values 10 to 12
  uint8_t dwell_seconds = 0;              // Flag2
  int32_t time_seconds = 0;               // Num4, the scheduled time since midnight; 0 when none
  std::string name;                       // Text, Windows-1252
  bool operator==(const StationSlot&) const = default;
};
constexpr uint8_t kFirstHaltType = 25;  // station types from here on place no cell
/// A station's area starts at least this far (m) after the previous station's ends.
constexpr int32_t kStationSpacing = 350;
/// A halt or a cabin: a station that places no cell.
constexpr bool is_halt(uint8_t type) {
  return type >= kFirstHaltType;
}

/// How a station's area lies about its reference point, by its type.
enum class StationArea {
  BeforePoint,  // types 5 and 6: the length before the point, 150 m after it; no approach marks
  BothSides,    // types 7 and 8: the length on either side
  Centred,      // every other type: half the length on either side
};
/// The area of a station of this type.
constexpr StationArea station_area(uint8_t type) {
  if (type == 5 || type == 6) return StationArea::BeforePoint;
  if (type == 7 || type == 8) return StationArea::BothSides;
  return StationArea::Centred;
}
/// How far a BeforePoint station's area reaches past its reference point (m).
constexpr int32_t kAreaPastPoint = 150;

/// The station in a slot, and the slot that holds a station (every field of the entry).
StationSlot unpack_station(const ScenarioEntry& entry);
ScenarioEntry pack_station(const StationSlot& station);

// ---- Plan -------------------------------------------------------------------------------------

/// The type tag of a route plan element, as the plan file stores it.
enum class PlanTag : uint8_t { Empty = 0, Integer = 2, Double = 5 };

/// Every plan element starts with its tag in 2 bytes; an integer's 16 bits or a double's 64 follow.
constexpr size_t kPlanTagBytes = 2;
/// The bytes of a plan element with this tag: 2 empty, 4 integer, 10 double.
constexpr size_t plan_element_bytes(PlanTag tag) {
  switch (tag) {
    case PlanTag::Integer:
      return kPlanTagBytes + sizeof(int16_t);
    case PlanTag::Double:
      return kPlanTagBytes + sizeof(double);
    default:
      return kPlanTagBytes;
  }
}
constexpr size_t kLargestPlanElement = plan_element_bytes(PlanTag::Double);
/// Whether a tag read from a plan file is one of the three.
constexpr bool is_plan_tag(uint16_t tag) {
  return tag == static_cast<uint16_t>(PlanTag::Empty) ||
         tag == static_cast<uint16_t>(PlanTag::Integer) ||
         tag == static_cast<uint16_t>(PlanTag::Double);
}

}  // namespace scengen
