#include "texts/annotated_texts.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

// A comment is a keyword field that holds a hyphen. The readers pass over at most two of them in
// a row (a third would be read as a record), and a comma would end one: so every note below is one
// or two lines without a comma.
struct Note {
  std::string_view before;  // the note goes above the first line that starts with this
  std::initializer_list<std::string_view> lines;
};

// Before the general header anything goes; it must only not name that header itself.
constexpr std::string_view kLinePreamble[] = {
    "-- scengen: the built-in line description. A line holding a hyphen is a comment;",
    "-- at most two comment lines in a row (a third is read as a record); no comma in a comment.",
    "-- Positions are metres from the route start. Run scengen explain KEYWORD for more.",
};
constexpr std::string_view kTrainPreamble[] = {
    "-- scengen: the built-in train description. A line holding a hyphen is a comment;",
    "-- at most two comment lines in a row (a third is read as a record); no comma in a comment.",
    "-- Positions are metres from the route start. Run scengen explain KEYWORD for more.",
};

const Note kLineNotes[] = {
    {"lunghezza percorso", {"-- lunghezza percorso: the route length in metres (at most 1000000)"}},
    {"progressiva chilometrica",
     {"-- progressiva chilometrica uno/due/tre: route position (m); kilometric progressive (m);",
      "-- direction flag 0 or 1. Multiples of 50; an unused reference is all zeros."}},
    {"sfondo", {"-- sfondo uno/due/tre: one scenery selector of the simulator each"}},
    {"ripetizione segnali",
     {"-- ripetizione segnali 4 or 9 codici: start (m); end (m) of the cab-signal repetition;",
      "-- both multiples of 50; an end of 0 means no repetition."}},
    {"curva",
     {"-- curva + side (s left / d right) + class 1 to 6 (radius 10000 m down to 333 m):",
      "-- start (m); length (m)."}},
    {"pendenza",
     {"-- pendenza: position (m) from which the gradient holds; gradient in per mille (signed)"}},
    {"montagna",
     {"-- montagna (a tunnel): start (m); end (m); kind (above 10: the kind - 10 with markers)"}},
    {"indicatori_v",
     {"-- indicatori_vmax (maximum-speed board): position (m); left board: speeds of ranks A B C",
      "-- (km/h) and stripes (0 to 2); right board: speeds A B C and stripes. Empty speed: none."}},
    {"cartello_indicatore",
     {"-- cartello_indicatore (information board): position (m); the text as (line)(line)(line)"}},
};

const Note kTrainNotes[] = {
    {"numero vetture", {"-- numero vetture: the number of coaches"}},
    {"percentuale massa frenata",
     {"-- percentuale massa frenata: the braked-mass percentage of the train"}},
    {"sabbia", {"-- sabbia: the sand supply"}},
    {"orologio", {"-- orologio: the starting clock: hours minutes seconds"}},
    {"aderenza", {"-- aderenza: position (m) from which the adhesion holds; adhesion (0 to 255)"}},
    {"velocita",
     {"-- velocita: position (m) from which the speed limit holds; limit in km/h (multiple of 5)"}},
    {"stazione",
     {"-- stazione: position (m); type; length (m); three flags; two values; a flag; three values;",
      "-- dwell time (s); scheduled time as hours minutes seconds; the name (no comma in it)."}},
    {"rallentamento",
     {"-- rallentamento (slow order): start (m); speed (km/h); length (m); flag; approach boards",
      "-- (0 or 1); a value kept with its cells."}},
    {"segnale",
     {"-- segnale: position (m); sx s1 s2 s3 (left set); rapp; dx d1 d2 d3 (right set);",
      "-- time (0 or 101 to 255; kept when sx is 2)."}},
    {"abbattimento",
     {"-- abbattimento (cab-signal code point): position (m); code (0 or less: without a code)"}},
};

template <std::size_t P, std::size_t N>
LineList annotate(const LineList& plain, const std::string_view (&preamble)[P],
                  const Note (&notes)[N]) {
  std::vector<std::string> lines(std::begin(preamble), std::end(preamble));
  bool noted[N] = {};
  for (const std::string& line : plain) {
    if (line == kEndMarker) break;
    for (std::size_t n = 0; n < N; ++n) {
      if (!noted[n] && line.starts_with(notes[n].before)) {
        noted[n] = true;
        lines.insert(lines.end(), notes[n].lines.begin(), notes[n].lines.end());
      }
    }
    lines.push_back(line);
  }
  LineList list;
  for (std::size_t i = 0; i < lines.size(); ++i) list.at(i) = lines[i];
  list.at(lines.size()) = std::string(kEndMarker);
  return list;
}

}  // namespace

LineList annotated_line_description_lines() {
  return annotate(line_description_lines(), kLinePreamble, kLineNotes);
}

LineList annotated_train_description_lines() {
  return annotate(train_description_lines(), kTrainPreamble, kTrainNotes);
}

void dati_linea_annotated(const OutputPlace& out) {
  write_line_list(out, out.RouteId + "_linea.txt", annotated_line_description_lines());
}

void dati_treno_annotated(const OutputPlace& out) {
  write_line_list(out, out.RouteId + "_" + out.TrainNumber + "-.txt",
                  annotated_train_description_lines());
}

}  // namespace scengen
