#include <string>

#include "documents/crew_documents.h"

namespace scengen {
namespace {

// The timetable sheet: title boxes, the ruled table of the run (bars in columns 1, 7, 13, 24, 30,
// 59, 76 and 82, one row per place, speed change or kilometre post) and two service remarks. The
// train number and the route ends are part of the text.
constexpr std::string_view kTrainCard[] = {
    "",
    "",
    "  ___________________                                               ______________",
    " |                   |                    SCHEDA                   |              |",
    " |   TRENO n.58316   |                   da: VELTRA C.LE           |    V140 B    |",
    " |___________________|                    a: QUARNELO              |     120%     |",
    "                                                                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |     REGIONALE     |              |       400T        |",
    " |___________________|              |___________________|",
    "",
    "  ________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    " |  30 |  30 |   0.000  |  30 | VELTRA C.LE                |           8.20 |     |",
    " |  95 |  95 |          |  95 | Deviatoio di uscita        |                |     |",
    " |     |     |   1.769  |     | P.B.A. P.253               |       8.22     |     |",
    " | 105 | 105 |   2.000  | 105 | Cippo Km.2,000             |                |     |",
    " |     |     |   3.779  |     | VELTRA LAMBRATE            |  8.25     8.26 |     |",
    " | 110 | 110 |   5.000  | 110 | Cippo Km.5,000             |                |     |",
    " |     |     |   5.753  |     | P.B.A. P.249               |       8.29     |     |",
    " |  85 |  85 |   9.567  |  85 | VELTRA ROGOREDO            |  8.32     8.33 | 1.5 |",
    " |     |     | 206.609  |     | S.DONATO VEL.              |       8.35     |     |",
    " | 130 | 105 | 206.000  | 130 | DOPPIO BIVIO S.DONATO      |       8.36     | 0.5 |",
    " |     |  95 | 204.543  |     | BORGOLOMBARDO              |  8.38     8.39 |  1  |",
    " |     | 125 | 202.610  |     | S.GIULIANO VEL.            |  8.41     8.42 |     |",
    " |     | 120 | 197.912  |     | MELEGNANO                  |  8.46     8.47 |     |",
    " |     |     | 194.993  |     | BIVIO SORDIO               |       8.49     |     |",
    " |     | 115 | 193.916  |     | S.ZENONE AL LAMBRO         |  8.50     8.51 |     |",
    " |     | 130 | 190.409  |     | TAVAZZANO                  |  8.55     8.56 | 0.5 |",
    " | 120 | 120 |          | 120 | Deviatoio di ingresso      |                |     |",
    " |     |     | 182.685  |     | LODI                       |  9.01     9.02 |     |",
    " | 130 |     | 180.000  | 130 | Cippo Km.180,000           |                |     |",
    " |     | 130 | 170.775  |     | SECUGNAGO                  |  9.10     9.11 | 0.5 |",
    " |     | 125 | 163.832  |     | CASALPUSTERLENGO           |  9.16     9.17 | 0.5 |",
    " |     | 120 | 158.959  |     | CODOGNO                    |  9.21     9.22 |     |",
    " |     | 130 | 154.885  |     | S.STEFANO LODIGIANO        |  9.26     9.27 | 0.5 |",
    " |  85 |  85 | 148.000  |  85 | Cippo Km.148,000           |                |     |",
    " |     |     | 146.823  |     | QUARNELO                   |  9.33          | 0.5 |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    "",
    " Dalle ore 23.30 alle ore 4.30 velocit\xE0 massima 160 Km/h.",
    " Nei giorni festivi espleta servizio di sola 2\xB0 classe.",
    "",
};

}  // namespace

LineList train_card_lines() {
  return make_line_list(kTrainCard);
}

void write_train_card(const OutputPlace& out) {
  write_line_list(out, out.RouteId + "_" + out.TrainNumber + "_" + "scheda_treno.txt",
                  train_card_lines());
}

}  // namespace scengen
