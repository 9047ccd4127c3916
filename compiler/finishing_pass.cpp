#include "compiler/finishing_pass.h"

#include <optional>
#include <string>

namespace scengen {

namespace {

// Slow orders below this speed get a code point every kWalkSpacing cells along them.
constexpr int16_t kWalkSpeedLimit = 110;
constexpr int32_t kWalkSpacing = 8;
// Rule A looks this many cells back from a warning board, never below kFirstSignalCell.
constexpr int32_t kBoardReach = 20;
constexpr int32_t kFirstSignalCell = 3;
// The signal after a slow order's end is looked for in the end cell and the 12 after it.
constexpr int32_t kAfterEndReach = 12;

// Rule B: the three groups of candidate cells ahead of a slow-order start.
struct CandidateGroup {
  int32_t applies_above;   // the start cell must be greater than this
  int32_t nearest_offset;  // candidates are start - offset, - offset - 1, - offset - 2
};
constexpr CandidateGroup kStartGroups[] = {{7, 5}, {13, 11}, {20, 18}};

// An index outside the track is never free, never a signal, never a code point, never an end.
bool has_kind(const Compilation& c, int32_t index, uint8_t kind) {
  return index >= 0 && index <= c.last_cell() && c.TrackCells[index].Kind == kind;
}

bool cell_is_free(const Compilation& c, int32_t index) {
  return index >= 0 && index <= c.last_cell() && is_free(c.TrackCells[index]);
}

class FinishingPass {
 public:
  FinishingPass(Compilation& c, const CodePointQuestion& question) : c(c), question_(question) {}

  void code_signals_before_board(int32_t i);
  void code_slow_order(int32_t i);

 private:
  bool place_code_point(int32_t index);
  bool lower_code_point(int32_t index);
  void code_groups_before_start(int32_t i);
  std::optional<int32_t> walk_slow_order(int32_t i);
  void code_signal_after_end(int32_t end);

  Compilation& c;
  const CodePointQuestion& question_;
};

// Makes a free cell a code point with the derived speed code; false when the cell is not free
// (or held an author's code point, as the question says).
bool FinishingPass::place_code_point(int32_t index) {
  if (!cell_is_free(c, index)) return false;
  pack_code_point({kDerivedSpeedCode}, c.TrackCells[index]);
  return !question_ || question_(index);
}

// Brings an existing code point down to the derived speed code; false when it is no code point.
bool FinishingPass::lower_code_point(int32_t index) {
  if (!has_kind(c, index, kCodePoint)) return false;
  TrackCell& cell = c.TrackCells[index];
  cell.Param1 = static_cast<int16_t>(minimum(kDerivedSpeedCode, cell.Param1));
  return true;
}

// Rule A: every signal within reach before the warning board in cell i gets a code point.
void FinishingPass::code_signals_before_board(int32_t i) {
  for (int32_t k = 1; k <= kBoardReach; ++k) {
    const int32_t d = i - k;
    if (d < kFirstSignalCell) break;
    if (!has_kind(c, d, kSignal)) continue;
    if (place_code_point(d - 1) || place_code_point(d - 2)) continue;
    if (lower_code_point(d - 1) || lower_code_point(d - 2)) continue;
    record_error(c, 11, cell_start(d));
  }
}

// Rule B: a code point in each group of cells ahead of the slow-order start in cell i.
void FinishingPass::code_groups_before_start(int32_t i) {
  for (const CandidateGroup& group : kStartGroups) {
    if (i <= group.applies_above) continue;
    const int32_t first = i - group.nearest_offset;
    if (!place_code_point(first) && !place_code_point(first - 1) &&
        !place_code_point(first - 2)) {
      record_error(c, 12, cell_start(i));
    }
  }
}

// Walks from the start in cell i to the slow order's end, a code point every 8 cells counted
// from the last one placed. Returns the end cell, or nothing when the track ends first.
std::optional<int32_t> FinishingPass::walk_slow_order(int32_t i) {
  int32_t steps = 0;
  int32_t k = i;
  while (k < c.last_cell()) {
    ++k;
    ++steps;
    if (steps == kWalkSpacing) {
      if (place_code_point(k)) {
        steps = 0;
      } else if (place_code_point(k - 1)) {
        steps = 1;
      } else if (place_code_point(k + 1)) {
        steps = -1;
      } else {
        // The counter stays past the spacing: this walk places nothing more.
        record_error(c, 13, cell_start(k));
      }
    }
    if (has_kind(c, k, kSlowOrderEnd)) return k;
  }
  return std::nullopt;
}

// The end of a slow order that is not walked: the first end cell after its start.
std::optional<int32_t> find_slow_order_end(const Compilation& c, int32_t i) {
  for (int32_t k = i + 1; k <= c.last_cell(); ++k) {
    if (has_kind(c, k, kSlowOrderEnd)) return k;
  }
  return std::nullopt;
}

// A code point just before the first signal shortly after the slow order's end cell.
void FinishingPass::code_signal_after_end(int32_t end) {
  for (int32_t s = end; s <= end + kAfterEndReach; ++s) {
    if (!has_kind(c, s, kSignal)) continue;
    const int32_t n = s - 1;
    if (n > 0 && !place_code_point(n) && !place_code_point(n - 1)) {
      record_error(c, 13, cell_start(end));
    }
    return;
  }
}

void FinishingPass::code_slow_order(int32_t i) {
  code_groups_before_start(i);
  const std::optional<int32_t> end =
      c.TrackCells[i].Param1 < kWalkSpeedLimit ? walk_slow_order(i) : find_slow_order_end(c, i);
  if (end) code_signal_after_end(*end);
}

// Filled in after the identity when it is shorter than the 25 bytes the codes look at.
constexpr char kCodeFiller[] = "qqwweerrttyyuuppzzxxvvbbnn";
constexpr int kCodeBytes = 25;

// Lower case of a Windows-1252 letter; every other byte is itself.
unsigned char lower_1252(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return byte + 0x20;
  if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return byte + 0x20;
  switch (byte) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return byte;
  }
}

// The code text: the lower-cased train number and route identity, then the filler.
void build_code_text(Compilation& c) {
  std::string text = c.ScenarioTable[kTrainNumberSlot].Text + c.ScenarioTable[kRouteIdSlot].Text;
  for (char& ch : text) ch = static_cast<char>(lower_1252(static_cast<unsigned char>(ch)));
  c.CurrentField = text + kCodeFiller;
}

int32_t code_byte(const Compilation& c, int position) {
  return static_cast<unsigned char>(c.CurrentField[position - 1]);
}

}  // namespace

void finishing_pass(Compilation& c, const CodePointQuestion& question) {
  FinishingPass pass(c, question);
  const int32_t last = c.last_cell();
  for (int32_t i = 1; i <= last - 2; ++i) {
    if (c.TrackCells[i].Kind == kWarningBoard) pass.code_signals_before_board(i);
    if (c.TrackCells[i].Kind == kSlowOrderStart) pass.code_slow_order(i);
  }
}

int32_t minimum(int32_t x, int32_t y) {
  return x > y ? y : x;
}

int16_t plain_scenario_code(Compilation& c) {
  build_code_text(c);
  int32_t sum = 0;
  for (int position = 1; position <= kCodeBytes; ++position) sum += code_byte(c, position);
  return static_cast<int16_t>(sum);
}

int32_t weighted_scenario_code(Compilation& c) {
  build_code_text(c);
  int32_t sum = 0;
  for (int position = 1; position <= kCodeBytes; ++position) {
    sum += code_byte(c, position) * position;
  }
  return sum;
}

int32_t seal(Compilation& c) {
  ScenarioEntry& general = c.ScenarioTable[kRouteIdSlot];
  TrackCell& first = c.TrackCells[kSealCell];
  if (general.Small1 != 0 || first.Param1 != 0) return 1250;
  general.Small1 = kTableSeal;
  first.Param1 = kCellSeal;
  if (general.Num4 != 0 || first.Param2 != 0) return 1251;
  general.Num4 = weighted_scenario_code(c);
  first.Param2 = plain_scenario_code(c);
  return 0;
}

}  // namespace scengen
