#include "documents/crew_documents.h"

namespace scengen {

// Not built yet.
void dati_note(const OutputPlace& out) { (void)out; }
void dati_rallentamenti(const OutputPlace& out) { (void)out; }
void dati_scheda(const OutputPlace& out) { (void)out; }

}  // namespace scengen
