#include "compiler/field_reader.h"
#include "compiler/memorizza_dati.h"

namespace scengen {

bool read_line_description(Compilation& c, DescriptionTexts& texts, ReadingState& state) {
  // Not built yet: without a line reader no track is sized.
  (void)state;
  const TextRead text = texts.read_line_text();
  if (text.status == TextStatus::Missing) {
    record_error(c, 101);
    return false;
  }
  texts.delete_line_text();
  return true;
}

}  // namespace scengen
