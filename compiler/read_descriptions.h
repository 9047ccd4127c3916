// The compile of the two description texts into the track model.
#pragma once

#include <iterator>

#include "compiler/compilation.h"
#include "compiler/description_texts.h"

namespace scengen {

/// State that the line half hands on to the train half.
struct ReadingState {
  int32_t next_board_slot = kFirstBoardTextSlot;  // slot of the next information-board text
  // Where the train half's speed and adhesion cursors stood when its reading ended, before the
  // profile tails.
  int32_t speed_cursor = 0;
  int32_t adhesion_cursor = 0;
  // The keyword field of the record being read, for failures that arise past the field reader
  // (a placement's code 25); line 0 when no record is being read.
  SourceSpot record{};
  // Each kilometric reference as its record wrote it, by its slot from kReferenceSlots[0] (line
  // 0: not written). The references are ordered and adjusted before their check, after the train
  // description; its error finds its record by these values.
  struct ReferenceRecord {
    SourceSpot where{};
    int32_t position = 0;
    int32_t progressive = 0;
  };
  ReferenceRecord references[std::size(kReferenceSlots)]{};
};

/// Reads the line description, then the train description, into the model; errors are recorded
/// in StatusCode and StatusPosition. Texts the source owns are deleted as they are finished.
void read_descriptions(Compilation& c, DescriptionTexts& texts);

/// The line half. Returns whether the train half follows (false after codes 1, 3 to 6, 21, 101 to
/// 103: the train text is then neither read nor deleted).
bool read_line_description(Compilation& c, DescriptionTexts& texts, ReadingState& state);

/// The train half.
void read_train_description(Compilation& c, DescriptionTexts& texts, ReadingState& state);

}  // namespace scengen
