#include "texts/line_description.h"

namespace scengen {

void dati_linea(const OutputPlace& out) {
  (void)out;  // Not built yet.
}

}  // namespace scengen
