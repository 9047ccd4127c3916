#include <string>

#include "documents/crew_documents.h"

namespace scengen {
namespace {

// Title, change list, description of the train and the route, thanks and signature. Each
// paragraph is one line, never wrapped; empty lines separate the groups. The route, the train
// number and every figure are part of the text, not taken from the scenario identity.
constexpr std::string_view kScenarioNotes[] = {
    // Title.
    "Veltrano-Quarnelo 58316 - versione aggiornata.",
    "",
    // What changed in this version, one sentence per line.
    "- Aggiunta la ripetizione dei segnali in macchina a 9 codici, insieme ai relativi "
    "abbattimenti di codice.",
    "- Modificato l'aspetto di alcune stazioni.",
    "- Corretto il segnalamento, anche sul lato destro del binario.",
    "- Corretti alcuni cartelli di velocit\xE0 massima e altre indicazioni.",
    "- Migliorati la planimetria e il profilo altimetrico della linea.",
    "",
    // The train, the route and how to drive it, one paragraph per line.
    "Il treno 58316 \xE8 un regionale che percorre la linea dalla stazione di VELTRA "
    "CENTRALE fino a QUARNELO.",
    // The one line that ends in a space.
    "Viaggia in rango B, con materiale rotabile ammesso a una velocit\xE0 massima di 140 "
    "km/h, ed effettua servizio in tutte le stazioni e fermate del percorso. ",
    "Nella realt\xE0 il treno \xE8 trainato da una locomotiva a sei assi con regolazione "
    "a chopper, che accelera meglio della locomotiva a quattro assi con regolazione "
    "reostatica usata nella simulazione; per poter rispettare l'orario il treno simulato "
    "\xE8 stato quindi alleggerito: la massa bloccata, che nella realt\xE0 \xE8 di 520 "
    "t, nella simulazione \xE8 di 400 t, il valore riportato sulla scheda treno.",
    "La scheda treno \xE8 ricavata da quella in vigore fino al 9/6/2001. La prima "
    "colonna (velocit\xE0 limite) riporta valori inferiori alla velocit\xE0 massima "
    "della linea per il rango B a causa del materiale rotabile impiegato; la velocit\xE0 "
    "di marcia, a sua volta, \xE8 in alcuni tratti inferiore alla velocit\xE0 limite, in "
    "modo da lasciare un margine per recuperare eventuali ritardi.",
    "Da ROGOREDO in poi entrambi i binari sono percorsi da treni diretti nello stesso "
    "senso del nostro (marcia parallela). Partito dalla stazione di origine, il treno si "
    "instrada sulla linea riservata ai treni pi\xF9 lenti, che tra DOPPIO BIVIO S.DONATO "
    "e BIVIO SORDIO segue il tracciato deviato servendo tre stazioni, e si ricongiunge "
    "alla linea veloce a BIVIO SORDIO.",
    "Ripetizione segnali: la ripetizione a 9 codici ha inizio solamente dopo ROGOREDO, e "
    "il tratto precedente \xE8 del tutto privo di codice. Lungo la linea i codici "
    "vengono abbattuti in funzione della velocit\xE0 massima consentita su ciascun "
    "tratto; tale velocit\xE0 si riferisce al rango pi\xF9 veloce, non \xE8 indicata dai "
    "cartelli posti lungo la linea e in alcuni punti raggiunge i 200 km/h, per cui il "
    "ripetitore in cabina non mostrer\xE0 mai il codice pi\xF9 elevato. Qualunque codice "
    "venga mostrato dal ripetitore, per\xF2, il limite da rispettare rimane sempre la "
    "velocit\xE0 prevista per il rango del proprio treno, cio\xE8 quella riportata sulla "
    "scheda treno: i codici ricevuti in cabina vanno considerati solo come "
    "un'indicazione dell'aspetto dei segnali successivi.",
    "Alcuni sottopassi sono stati realizzati come gallerie.",
    "Consigli di guida: diverse fermate sono impresenziate e prive di segnali, quindi "
    "occorre prestare attenzione al punto di arresto; la simulazione segue le "
    "velocit\xE0 limite della scheda treno e non quelle indicate dai cartelli di "
    "velocit\xE0 massima della linea.",
    "L'aderenza \xE8 buona, tranne che nell'unico tratto interessato da lavori, dove si "
    "riduce sensibilmente: in quel punto conviene frenare con anticipo.",
    "",
    // Thanks, then the signature after two empty lines: the program and the route's terminus,
    // since the scenario's world is its own.
    "Un ringraziamento a tutti coloro che, con critiche e suggerimenti, mi hanno aiutato "
    "a migliorare questo scenario.",
    "",
    "",
    "scengen - Quarnelo",
};

}  // namespace

LineList scenario_notes_lines() {
  return make_line_list(kScenarioNotes);
}

void write_scenario_notes(const OutputPlace& out) {
  write_line_list(out, out.RouteId + "_" + out.TrainNumber + "_" + "note.txt",
                  scenario_notes_lines());
}

}  // namespace scengen
