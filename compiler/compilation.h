// The state of one compile: the scenario identity, the compile status and the whole track model.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/track_model.h"

namespace scengen {

/// Which description text a source place refers to.
enum class TextKind { Line, Train };

/// A place in a description text: 1-based line and byte column.
struct SourceSpot {
  TextKind text = TextKind::Line;
  int line = 0;
  int column = 0;
};

/// What a warning costs the scenario: nothing compiled differs from what the author meant
/// (a note), a value is compiled as another, or a record or a feature is not compiled at all.
enum class WarningEffect { Note, ValueChanged, RecordDropped };

/// Something the compile accepts but that is almost surely an author's mistake.
struct CompileWarning {
  CompileWarning(SourceSpot at, std::string words, WarningEffect cost = WarningEffect::Note,
                 std::string_view explained_by = {})
      : where(at), message(std::move(words)), effect(cost), topic(explained_by) {}

  SourceSpot where;
  std::string message;
  WarningEffect effect = WarningEffect::Note;
  std::string_view topic;  // the `scengen explain` topic that tells more; empty when none
  /// Met only by the diagnostics-only reading after the compile stopped.
  bool after_stop = false;
};

/// What an error does to the reading of the texts.
enum class ErrorReach {
  StopsText,       // the compile reads no further in the text the error is in
  StopsBothTexts,  // the same in the line text, and the train text is never read
  ReadsOn,         // the compile goes on (a kilometric reference, the finishing pass, the seal)
  AfterStop,       // met only by the diagnostics-only reading after the compile stopped
};

/// One error of a compile, as the readers met it; the compile's own status is StatusCode.
struct CompileError {
  int32_t code = 0;
  int32_t position = 0;
  std::optional<SourceSpot> where;
  std::string detail;
  ErrorReach reach = ErrorReach::StopsText;
};

/// Which record put a feature into a cell, for the errors about a taken cell. An empty record:
/// nothing a record placed (the cell is empty, or the finishing pass filled it).
struct CellSource {
  SourceSpot where;
  std::string_view record;
  std::string_view misread;  // why the record's keyword field was not meant as one, when it looks
                             // like a header, a comment or a line of ';' separators
};

/// Everything one compile reads and writes. The run's form owns one; every front end may too.
struct Compilation {
  std::string RouteId;
  std::string TrainNumber;
  int32_t CompileFlag = 0;
  int32_t StatusCode = 0;
  int32_t StatusPosition = 0;
  std::string CurrentField;

  std::vector<TrackCell> TrackCells;  // empty until a route length is read
  scengen::ScenarioTable ScenarioTable;
  scengen::TrackPlan TrackPlan;
  int32_t ExtendedLength = 0;
  int32_t TunnelCount = 0;
  std::array<int32_t, kTunnelSlots> TunnelStart{};
  std::array<int32_t, kTunnelSlots> TunnelEnd{};

  /// Where in the texts the recorded error was met, when a reader recorded it; for diagnostics.
  std::optional<SourceSpot> StatusSource;
  /// Words that say more about the recorded error (which cause of a code 25, what holds a taken
  /// cell); empty when there is nothing to add. Never part of a compiled file.
  std::string StatusDetail;

  /// Whether the readers note warnings (the command line asks; the built-in run leaves it off and
  /// pays nothing for them).
  bool CollectWarnings = false;
  std::vector<CompileWarning> Warnings;
  /// How many warnings are kept; the others are only counted in WarningsLeftOut, so that a text
  /// of a million broken lines costs no more memory than one of a few.
  size_t MaxWarnings = SIZE_MAX;
  size_t WarningsLeftOut = 0;
  /// Per cell, the record that placed its feature; filled only while collecting warnings.
  std::vector<CellSource> CellSources;

  /// Every error the readers met, in the order they met it; the last one may be what the status
  /// holds. A compile notes at most the error of each text; a diagnostics-only reading notes all.
  std::vector<CompileError> Errors;
  /// Diagnostics only: after an error the readers note it in Errors, clear the status and read
  /// on at the next record, so that one reading finds every error. Never set for a real compile.
  bool ReadOn = false;

  /// The last index of TrackCells (-1 while it is unsized).
  int32_t last_cell() const { return static_cast<int32_t>(TrackCells.size()) - 1; }
  /// The finishing pass, the seal and the writers need at least two cells.
  bool has_track() const { return TrackCells.size() >= 2; }
};

/// Records a compile error that names no position.
inline void record_error(Compilation& c, int32_t code) { c.StatusCode = code; }
/// Records a compile error at a route position in metres.
inline void record_error(Compilation& c, int32_t code, int32_t position) {
  c.StatusCode = code;
  c.StatusPosition = position;
}

/// Clears the recorded error: code, position and the words about it.
inline void clear_status(Compilation& c) {
  c.StatusCode = 0;
  c.StatusPosition = 0;
  c.StatusSource.reset();
  c.StatusDetail.clear();
}

/// Notes the error the status holds in Errors. In a reading on, the status is cleared so that
/// the next record is read as if nothing had happened; returns whether the reading goes on.
inline bool note_error(Compilation& c, ErrorReach reach) {
  c.Errors.push_back({c.StatusCode, c.StatusPosition, c.StatusSource, c.StatusDetail, reach});
  if (!c.ReadOn) return false;
  clear_status(c);
  return true;
}

/// Whether a warning noted now is kept; past the cap it is counted here instead, and its caller
/// need not make its words.
inline bool keeps_next_warning(Compilation& c) {
  if (c.Warnings.size() < c.MaxWarnings) return true;
  ++c.WarningsLeftOut;
  return false;
}

/// Notes a warning at a place in a text, when the compile collects warnings: what it costs the
/// scenario and the topic that explains the record it concerns.
inline void record_warning(Compilation& c, const SourceSpot& where, std::string message,
                           WarningEffect effect = WarningEffect::Note,
                           std::string_view topic = {}) {
  if (c.CollectWarnings && keeps_next_warning(c))
    c.Warnings.push_back({where, std::move(message), effect, topic});
}

/// Empties every slot of the scenario table (numbers 0, texts empty).
void clear_scenario_table(Compilation& c);

}  // namespace scengen
