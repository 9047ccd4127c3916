#include <string>

#include "documents/crew_documents.h"

namespace scengen {
namespace {

// Form "Modulo M. 3": one restriction in a ruled table of 26 rows, then the key to the
// prescriptions. Bars stand in columns 1, 5, 34, 47, 58, 68 and 81 of lines 9 to 39; the train
// number and the route ends are part of the text.
constexpr std::string_view kSlowOrderNotice[] = {
    "",
    "                                Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  VELTRA QUARNELO",
    "",
    "  Si ordina al macchinista del treno 58316 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocit\xE0 |Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |  metri  | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " | 1 | SECUGNAGO-CASALPUSTERLENGO |    165     |    40    |   400   |    A-B-C   |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di CASALPUSTERLENGO",
    " C - Da rispettare dalle ore 07.30 alle ore 20.30 di tutti",
    "     i giorni esclusi i FESTIVI e i PREFESTIVI",
    " D - Rallentamento N. ... e N. ...  sono contigui",
    " E - Segnale di avviso non preceduto da tavole distanziometriche",
};

}  // namespace

LineList slow_order_notice_lines() {
  return make_line_list(kSlowOrderNotice);
}

void write_slow_order_notice(const OutputPlace& out) {
  write_line_list(out, out.RouteId + "_" + out.TrainNumber + "_" + "rallentamenti.txt",
                  slow_order_notice_lines());
}

}  // namespace scengen
