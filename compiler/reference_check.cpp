#include "compiler/reference_check.h"

#include <string>

namespace scengen {
namespace {

// Points error 2 at the reference's own record in the line description: the one whose values
// the ordering kept in `reference` (a direction 1 adds 100 to the progressive).
void explain_reference_error(Compilation& c, const ReadingState& state,
                             const ScenarioEntry& reference) {
  for (const ReadingState::ReferenceRecord& record : state.references) {
    if (record.where.line == 0 || record.position != reference.Num1) continue;
    if (record.progressive != reference.Num2 &&
        int64_t{record.progressive} + kDirectionShift != reference.Num2)
      continue;
    c.StatusSource = record.where;
    c.StatusDetail =
        record.position % kCellLength != 0
            ? "its position, " + std::to_string(record.position) + " m, is not a multiple of 50"
            : "its progressive, " + std::to_string(record.progressive) +
                  " m, is not a multiple of 50";
    return;
  }
}

}  // namespace

void check_references(Compilation& c, const ReadingState& state) {
  for (const int slot : kReferenceSlots) {
    const ScenarioEntry& reference = c.ScenarioTable[slot];
    if (reference.Num1 % kCellLength != 0 || reference.Num2 % kCellLength != 0) {
      record_error(c, 2);
      c.StatusSource.reset();
      explain_reference_error(c, state, reference);
      note_error(c, ErrorReach::ReadsOn);
      break;
    }
  }
}

}  // namespace scengen
