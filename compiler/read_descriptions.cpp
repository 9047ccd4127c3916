#include "compiler/read_descriptions.h"

#include "compiler/field_reader.h"

namespace scengen {

void read_descriptions(Compilation& c, DescriptionTexts& texts) {
  ReadingState state;
  bool train_half = false;
  try {
    c.ScenarioTable[kRouteIdSlot].Text = c.RouteId;
    c.ScenarioTable[kTrainNumberSlot].Text = c.TrainNumber;
    if (read_line_description(c, texts, state)) {
      train_half = true;
      read_train_description(c, texts, state);
    }
  } catch (const ReadFailure& failure) {
    // The one handler of every reading failure of either half: code 25, both texts gone.
    texts.delete_line_text();
    texts.delete_train_text();
    c.StatusCode = 25;
    c.StatusSource.reset();
    c.StatusDetail = failure.reason;
    if (failure.where.line > 0)
      c.StatusSource = failure.where;
    else if (state.record.line > 0)
      c.StatusSource = state.record;
    note_error(c, train_half ? ErrorReach::StopsText : ErrorReach::StopsBothTexts);
  }
}

}  // namespace scengen
