#include "compiler/field_reader.h"
#include "compiler/memorizza_dati.h"

namespace scengen {

void read_train_description(Compilation& c, DescriptionTexts& texts, ReadingState& state) {
  // Not built yet.
  (void)c;
  (void)state;
  texts.delete_train_text();
}

}  // namespace scengen
