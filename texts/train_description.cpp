#include "texts/train_description.h"

namespace scengen {

void dati_treno(const OutputPlace& out) {
  (void)out;  // Not built yet.
}

}  // namespace scengen
