#include "texts/line_description.h"

#include <string>

namespace scengen {
namespace {

// The route Veltrano-Quarnelo, one entry per line of the file. The rows of each section stand in
// ascending order of position, the spacing of each section fixed; the speed board at 5050 m has
// no right-hand speeds and keeps its three fields empty.
constexpr std::string_view kLineDescription[] = {
    "[generale]",
    "lunghezza percorso,    72000",
    "progressiva chilometrica uno,    9550,    218300,    1",
    "progressiva chilometrica due,    0,    0,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    0",
    "sfondo due,    1",
    "sfondo tre,    0",
    "ripetizione segnali 9 codici,    10700,    72000",
    "[curve]",
    "curvad6,  1000,  300",
    "curvad1,  1400,  900",
    "curvad4,  4200,  300",
    "curvad3,  4500,  250",
    "curvas1,  4900,  200",
    "curvad1,  5200,  100",
    "curvas3,  8000,  600",
    "curvas2,  10000,  400",
    "curvas3,  10400,  1500",
    "curvad4,  18200,  500",
    "curvas3,  21000,  2250",
    "curvad3,  25000,  500",
    "curvas4,  27250,  300",
    "curvas1,  27550,  3000",
    "curvad3,  34500,  1250",
    "curvad4,  35750,  550",
    "curvad4,  37100,  650",
    "curvas2,  38100,  2000",
    "curvas1,  43700,  700",
    "curvas4,  48100,  500",
    "curvas1,  54800,  600",
    "curvad3,  58200,  600",
    "curvad4,  63150,  900",
    "curvas2,  66000,  850",
    "curvad1,  68000,  900",
    "curvas6,  70500,  400",
    "[pendenze]",
    "pendenza,  0,   0",
    "pendenza,  1200,   5",
    "pendenza,  1750,   0",
    "pendenza,  9850,   -3",
    "pendenza,  11850,   0",
    "pendenza,  20400,   -1",
    "pendenza,  35750,   0",
    "pendenza,  50850,   -1",
    "pendenza,  54500,   0",
    "pendenza,  68100,   -2",
    "pendenza,  68200,   -4",
    "pendenza,  70750,   -2",
    "pendenza,  70850,   0",
    "[montagne]",
    "montagna,   13050,  13650,  12",
    "montagna,   36900,  36950,  12",
    "[cartelli]",
    "indicatori_vmax,  700,  30,  30,  30,  0,  30,  30,  30,  0",
    "indicatori_vmax,  1250,  90,  95,  100,  0,  90,  95,  100,  0",
    "indicatori_vmax,  2000,  100,  105,  115,  0,  100,  105,  115,  0",
    "indicatori_vmax,  5050,  110,  115,  120,  0,  ,  ,  ,  0",
    "indicatori_vmax,  8550,  100,  105,  115,  0,  100,  105,  115,  0",
    "indicatori_vmax,  12400,  135,  140,  150,  0,  135,  140,  150,  0",
    "indicatori_vmax,  15800,  140,  150,  155,  0,  140,  150,  155,  0",
    "indicatori_vmax,  21900,  140,  160,  190,  0,  140,  160,  180,  0",
    "indicatori_vmax,  23500,  140,  160,  190,  0,  140,  160,  180,  0",
    "indicatori_vmax,  30350,  140,  155,  160,  2,  140,  155,  160,  2",
    "indicatori_vmax,  30850,  140,  155,  160,  1,  140,  155,  160,  1",
    "indicatori_vmax,  31350,  140,  155,  160,  0,  140,  155,  160,  0",
    "indicatori_vmax,  32950,  110,  120,  125,  2,  110,  120,  125,  2",
    "indicatori_vmax,  33450,  110,  120,  125,  1,  110,  120,  125,  1",
    "indicatori_vmax,  33900,  110,  120,  125,  0,  110,  120,  125,  0",
    "indicatori_vmax,  38250,  140,  160,  165,  0,  140,  160,  165,  0",
    "indicatori_vmax,  44850,  125,  130,  140,  2,  125,  130,  140,  2",
    "indicatori_vmax,  45350,  125,  130,  140,  1,  125,  130,  140,  1",
    "indicatori_vmax,  45850,  125,  130,  140,  0,  125,  130,  140,  0",
    "indicatori_vmax,  50350,  140,  160,  180,  0,  140,  160,  180,  0",
    "indicatori_vmax,  56850,  140,  150,  160,  2,  140,  150,  160,  2",
    "indicatori_vmax,  57350,  140,  150,  160,  1,  140,  150,  160,  1",
    "indicatori_vmax,  57850,  140,  150,  160,  0,  140,  150,  160,  0",
    "indicatori_vmax,  64350,  140,  160,  160,  0,  140,  160,  160,  0",
    "indicatori_vmax,  66250,  135,  140,  140,  2,  135,  140,  140,  2",
    "indicatori_vmax,  66750,  135,  140,  140,  1,  135,  140,  140,  1",
    "indicatori_vmax,  67250,  135,  140,  140,  0,  135,  140,  140,  0",
    "indicatori_vmax,  68250,  80,  85,  90,  2,  80,  85,  90,  2",
    "indicatori_vmax,  68800,  80,  85,  90,  1,  80,  85,  90,  1",
    "indicatori_vmax,  69250,  80,  85,  90,  0,  80,  85,  90,  0",
    "indicatori_vmax,  71950,  135,  140,  145,  0,  135,  140,  145,  0",
    "[indicazioni]",
    "cartello_indicatore,  1700,   (P.B.A.)(P. 253)",
    "cartello_indicatore,  5700,   (P.B.A.)(P. 249)",
    "cartello_indicatore,  12150,   (   2   )(BOLOGNA)(  L.L. )",
    "cartello_indicatore,  21850,   (C.C. Km)(196.436)",
    "cartello_indicatore,  22600,   ( SEG. PROT  )(Bivio Sordio)",
    // Split after the escape so that the 9 does not extend it.
    "cartello_indicatore,  36850,   (Sottopasso)( S.S. n\xB0"
    "9 )",
    "cartello_indicatore,  69450,   ( INIZIO  )(PONTE SUL)(FIUME  PO)",
    "cartello_indicatore,  70350,   (  FINE   )(PONTE SUL)(FIUME  PO)",
    "[fine]",
};

}  // namespace

LineList line_description_lines() {
  return make_line_list(kLineDescription);
}

void write_line_description(const OutputPlace& out) {
  write_line_list(out, out.RouteId + "_linea.txt", line_description_lines());
}

}  // namespace scengen
