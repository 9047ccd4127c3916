// Which rows dump shows: --cells, a stretch of the route, --only and --nonempty, read from the
// command line once and asked of every cell, slot and plan point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "cli/commands.h"
#include "compiler/output_decoding.h"
#include "compiler/track_layout.h"
#include "scenario/scenario_model.h"

namespace scengen::dump {

enum class FileKind { Track, Table, Plan };

/// The rows asked for with --cells: first to last, both included.
struct Rows {
  size_t first = 0;
  size_t last = SIZE_MAX;
};

/// A stretch of the route in metres, both ends included.
struct Metres {
  int64_t first = 0;
  int64_t last = INT64_MAX;
  /// Whether the metre `m` lies in the stretch.
  bool contains(int64_t m) const { return m >= first && m <= last; }
  /// Whether the metres `a` to `b` meet the stretch.
  bool overlaps(int64_t a, int64_t b) const { return a <= last && b >= first; }
};

/// The features --only may name, as bits.
enum Feature : unsigned {
  kSignals = 1u << 0,
  kSlowOrders = 1u << 1,
  kWarningBoards = 1u << 2,
  kApproachBoards = 1u << 3,
  kSpeedBoards = 1u << 4,
  kInformationBoards = 1u << 5,
  kStations = 1u << 6,
  kTunnels = 1u << 7,
  kCodePoints = 1u << 8,
  kSettings = 1u << 9,
  kBoards = kWarningBoards | kApproachBoards | kSpeedBoards | kInformationBoards,
  kEveryFeature = ~0u,
};

/// Which rows to show: a row must pass every part at once.
struct Selection {
  Rows rows;
  std::optional<Metres> metres;
  unsigned features = kEveryFeature;
  bool nonempty = false;
  bool describe = false;

  /// Whether the track's cell `cell`, which holds `use`, is shown.
  bool wants(const CellUse& use, size_t cell) const;
  /// Whether a slot of the table is shown.
  bool wants(const TableSlot& slot) const;
  /// Whether a route plan point is shown (its rows are checked apart).
  bool wants(const RoutePlanPoint& point) const;
};

/// The selection the options ask for of a file of this kind, or nothing once a usage error
/// was reported on `console`.
std::optional<Selection> selection_of(const DumpOptions& options, FileKind kind, Console& console);

}  // namespace scengen::dump
