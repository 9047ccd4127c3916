#include "compiler/track_layout.h"

#include <cmath>
#include <iterator>
#include <limits>
#include <optional>

namespace scengen {
namespace {

// Integer fields keep the low 16 bits and Byte fields the low 8 bits of the exact value, which is
// what packing in 16-bit and 8-bit arithmetic gives.
int16_t low16(int64_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(value));
}
uint8_t low8(int64_t value) {
  return static_cast<uint8_t>(value);
}

constexpr const char* kKindNames[] = {
    "nothing",
    "signal",
    "slow-order end",
    "slow-order start",
    "warning board",
    "approach board",
    "max-speed board",
    "unused",
    "unused",
    "unused",
    "station marker",
    "tunnel marker",
    "code point",
    "code point, no code",
    "information board",
};

// One rank of a maximum-speed board, computed in double precision; nothing when it does not fit
// a 16-bit cell value.
std::optional<int16_t> pack_speeds(int32_t left, int32_t right) {
  const int64_t packed = nearest(right / 5.0 + left * 20.0);
  if (packed < std::numeric_limits<int16_t>::min() || packed > std::numeric_limits<int16_t>::max())
    return std::nullopt;
  return static_cast<int16_t>(packed);
}

}  // namespace

int64_t nearest(double x) {
  // Exact halves go to the even neighbour; std::round alone would send them away from zero.
  double whole = std::round(x);
  if (std::fabs(x - std::trunc(x)) == 0.5) whole = 2.0 * std::round(x / 2.0);
  return static_cast<int64_t>(whole);
}

const char* kind_name(uint8_t kind) {
  return kind < std::size(kKindNames) ? kKindNames[kind] : "unknown";
}

int cell_offset(uint8_t kind) {
  switch (kind) {
    case kSignal:
    case kSlowOrderEnd:
    case kSlowOrderStart:
    case kWarningBoard:
    case kApproachBoard:
    case kSpeedBoard:
    case kInformationBoard:
      return kFeatureOffset;
    case kStationMarker:
      return kEndOffset;
    default:
      return kStepOffset;
  }
}

void pack_signal(const SignalCell& signal, TrackCell& cell) {
  cell.Kind = kSignal;
  cell.Param4 = low16(int64_t{signal.rapp} * 10 + int64_t{signal.sx} * 3 + signal.dx);
  cell.Param1 = low16(int64_t{signal.s1} * 10 + signal.d1);
  cell.Param2 = low16(int64_t{signal.s2} * 10 + signal.d2);
  cell.Param3 = low16(int64_t{signal.s3} * 10 + signal.d3);
  cell.Param5 = low8(signal.tempo);
}

SignalCell unpack_signal(const TrackCell& cell) {
  const int sets = cell.Param4 % 10;
  return {.sx = sets / 3,
          .s1 = cell.Param1 / 10,
          .s2 = cell.Param2 / 10,
          .s3 = cell.Param3 / 10,
          .rapp = cell.Param4 / 10,
          .dx = sets % 3,
          .d1 = cell.Param1 % 10,
          .d2 = cell.Param2 % 10,
          .d3 = cell.Param3 % 10,
          .tempo = cell.Param5};
}

void pack_slow_order(CellKind end_or_start, const SlowOrderCell& order, TrackCell& cell) {
  cell.Kind = end_or_start;
  if (order.d_v != 0) cell.Param2 = low16(order.d_v);
  cell.Param1 = low16(order.v);
  cell.Param3 = low16(order.f_tt);
}

SlowOrderCell unpack_slow_order(const TrackCell& cell) {
  return {cell.Param1, cell.Param2, cell.Param3};
}

void pack_warning_board(const WarningBoardCell& board, TrackCell& cell) {
  cell.Kind = kWarningBoard;
  if (board.d_v != 0) cell.Param2 = low16(board.d_v);
  cell.Param1 = low16(board.v);
}

WarningBoardCell unpack_warning_board(const TrackCell& cell) {
  return {cell.Param1, cell.Param2};
}

void pack_approach_board(const ApproachBoardCell& board, TrackCell& cell) {
  cell.Kind = kApproachBoard;
  cell.Param1 = low16(board.board);
  if (board.with_d_v) cell.Param2 = low16(board.board);
}

ApproachBoardCell unpack_approach_board(const TrackCell& cell) {
  return {cell.Param1, cell.Param2 != 0};
}

bool pack_speed_board(const SpeedBoardCell& board, TrackCell& cell) {
  cell.Kind = kSpeedBoard;
  int16_t* const ranks[3] = {&cell.Param1, &cell.Param2, &cell.Param3};
  for (size_t rank = 0; rank < 3; ++rank) {
    const std::optional<int16_t> packed = pack_speeds(board.left[rank], board.right[rank]);
    if (!packed) return false;
    *ranks[rank] = *packed;
  }
  // 16-bit arithmetic: the stripes keep their low bits.
  cell.Param4 = static_cast<int16_t>(board.strisces * 10 + board.strisced);
  return true;
}

SpeedBoardCell unpack_speed_board(const TrackCell& cell) {
  // Each rank packs the left-hand speed / 5 in the hundreds and the right-hand one below.
  SpeedBoardCell board;
  const int16_t ranks[3] = {cell.Param1, cell.Param2, cell.Param3};
  for (size_t rank = 0; rank < 3; ++rank) {
    board.left[rank] = ranks[rank] / 100 * 5;
    board.right[rank] = ranks[rank] % 100 * 5;
  }
  board.strisces = static_cast<int16_t>(cell.Param4 / 10);
  board.strisced = static_cast<int16_t>(cell.Param4 % 10);
  return board;
}

void pack_code_point(const CodePointCell& point, TrackCell& cell) {
  if (point.code > 0) {
    cell.Kind = kCodePoint;
    cell.Param1 = low16(point.code);
  } else {
    cell.Kind = kCodePointWithoutCode;
  }
}

CodePointCell unpack_code_point(const TrackCell& cell) {
  return {cell.Kind == kCodePoint ? cell.Param1 : 0};
}

void pack_slot_cell(CellKind marker_or_board, int32_t slot, TrackCell& cell) {
  cell.Kind = marker_or_board;
  cell.Param1 = low16(slot);
}

int32_t unpack_slot_cell(const TrackCell& cell) {
  return cell.Param1;
}

TunnelCell tunnel_of_text_kind(int32_t text_kind) {
  if (text_kind > kTunnelMarking) return {text_kind - kTunnelMarking, true};
  return {text_kind, false};
}

int32_t text_kind_of_tunnel(const TunnelCell& tunnel) {
  if (tunnel.marked) return tunnel.kind + kTunnelMarking;
  return tunnel.kind > kTunnelMarking ? tunnel.kind - 256 : tunnel.kind;
}

void pack_tunnel(const TunnelCell& tunnel, int64_t nth, TrackCell& cell) {
  cell.Tunnel = low8(tunnel.kind);
  if (tunnel.marked && nth % kTunnelMarkerSpacing == 0 && cell.Kind == kNothing)
    cell.Kind = kTunnelMarker;
}

TunnelCell unpack_tunnel(const TrackCell& cell) {
  return {cell.Tunnel, cell.Kind == kTunnelMarker};
}

bool pack_reference(const KilometricReference& reference, ScenarioEntry& entry) {
  int64_t progressive = reference.progressive;
  if (reference.direction == 1) progressive += kDirectionShift;
  if (progressive > std::numeric_limits<int32_t>::max()) return false;
  entry.Num1 = reference.position;
  entry.Num2 = static_cast<int32_t>(progressive);
  entry.Num3 = reference.direction;
  return true;
}

KilometricReference unpack_reference(const ScenarioEntry& entry) {
  // A stored progressive below the shift wraps back as the 32-bit sum did.
  const int64_t progressive = entry.Num3 == 1 ? int64_t{entry.Num2} - kDirectionShift : entry.Num2;
  return {entry.Num1, static_cast<int32_t>(static_cast<uint32_t>(progressive)), entry.Num3};
}

StationSlot unpack_station(const ScenarioEntry& e) {
  return {.area_start = e.Num1,
          .area_end = e.Num2,
          .position = e.Num3,
          .type = e.Tag,
          .first_flag = e.Tag2,
          .second_flag = e.Flag4,
          .lengthens_end = e.Flag3,
          .first_group = {e.Small1, e.Small2},
          .first_group_last = e.Flag1,
          .second_group = {e.Small3, e.Small4, e.Small5},
          .dwell_seconds = e.Flag2,
          .time_seconds = e.Num4,
          .name = e.Text};
}

ScenarioEntry pack_station(const StationSlot& s) {
  return {.Tag = s.type,
          .Num1 = s.area_start,
          .Num2 = s.area_end,
          .Num3 = s.position,
          .Tag2 = s.first_flag,
          .Text = s.name,
          .Small1 = s.first_group[0],
          .Small2 = s.first_group[1],
          .Small3 = s.second_group[0],
          .Small4 = s.second_group[1],
          .Small5 = s.second_group[2],
          .Flag1 = s.first_group_last,
          .Flag2 = s.dwell_seconds,
          .Flag3 = s.lengthens_end,
          .Flag4 = s.second_flag,
          .Num4 = s.time_seconds};
}

}  // namespace scengen
