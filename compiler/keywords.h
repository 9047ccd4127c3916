// The keywords of the two description texts, in one table: the readers test fields against these
// entries and the authors' reference documents each of them under its topic.
#pragma once

#include <string_view>

#include "compiler/field_reader.h"

namespace scengen {

/// One keyword test: a field matches when it contains `word` and, if set, `also` as well.
struct Keyword {
  std::string_view topic;  // the heading under which the reference explains the record
  std::string_view word;
  std::string_view also;  // empty when one word is enough
  bool ignore_case;       // false: compared exactly, in lower case
};

/// Whether a keyword field holds this keyword (by containment, as the readers match).
inline bool matches(const Keyword& keyword, std::string_view field) {
  const auto has = [&](std::string_view word) {
    if (word.empty()) return true;
    return keyword.ignore_case ? contains_ignoring_case(field, word)
                               : field.find(word) != std::string_view::npos;
  };
  return has(keyword.word) && has(keyword.also);
}

namespace keywords {

// The header that opens the records of both texts.
inline constexpr Keyword kGeneralHeader{"[generale]", "[generale]", "", true};

// The line description's general section.
inline constexpr Keyword kRouteLength{"lunghezza percorso", "lunghezza", "percorso", true};
inline constexpr Keyword kReferenceTre{"progressiva chilometrica", "progressiva", "tre", false};
inline constexpr Keyword kReferenceDue{"progressiva chilometrica", "progressiva", "due", false};
inline constexpr Keyword kReferenceUno{"progressiva chilometrica", "progressiva", "uno", false};
inline constexpr Keyword kBackgroundUno{"sfondo", "sfondo", "uno", false};
inline constexpr Keyword kBackgroundDue{"sfondo", "sfondo", "due", false};
inline constexpr Keyword kBackgroundTre{"sfondo", "sfondo", "tre", false};
inline constexpr Keyword kRepetition{"ripetizione segnali", "segnali", "ripetizione", false};

// The line description's feature section.
inline constexpr Keyword kGradient{"pendenza", "pendenza", "", true};
inline constexpr Keyword kCurve{"curva", "curva", "", true};
inline constexpr Keyword kTunnel{"montagna", "montagna", "", true};
inline constexpr Keyword kSpeedBoard{"indicatori_v", "indicatori_v", "", true};
inline constexpr Keyword kInformationBoard{"cartello_indicatore", "cartello", "indicat", true};

// The train description's records, in the order the reader tests them.
inline constexpr Keyword kBrakedMass{"percentuale massa frenata", "frenata", "massa", true};
inline constexpr Keyword kCoaches{"numero vetture", "vetture", "", true};
inline constexpr Keyword kSpeedStep{"velocita", "velocit", "", true};
inline constexpr Keyword kAdhesionStep{"aderenza", "aderenza", "", true};
inline constexpr Keyword kClock{"orologio", "orologio", "", true};
inline constexpr Keyword kSand{"sabbia", "sabbia", "", true};
inline constexpr Keyword kSignal{"segnale", "segnale", "", true};
inline constexpr Keyword kSlowOrder{"rallentamento", "rallentamento", "", true};
inline constexpr Keyword kCodePoint{"abbattimento", "abbattimento", "", true};
inline constexpr Keyword kStation{"stazione", "stazione", "", true};

/// Every keyword either reader knows, for the reference and its checks.
inline constexpr const Keyword* kAll[] = {
    &kGeneralHeader, &kRouteLength,      &kReferenceTre,  &kReferenceDue,
    &kReferenceUno,  &kBackgroundUno,    &kBackgroundDue, &kBackgroundTre,
    &kRepetition,    &kGradient,         &kCurve,         &kTunnel,
    &kSpeedBoard,    &kInformationBoard, &kBrakedMass,    &kCoaches,
    &kSpeedStep,     &kAdhesionStep,     &kClock,         &kSand,
    &kSignal,        &kSlowOrder,        &kCodePoint,     &kStation,
};

/// The section headers the texts use by convention; the readers pass them over, but authors meet
/// them in every text.
inline constexpr std::string_view kSectionHeaders[] = {
    "[generale]",    "[curve]",    "[pendenze]",   "[montagne]", "[cartelli]",
    "[indicazioni]", "[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]",
    "[segnali]",     "[codici]",   "[fine]",
};

}  // namespace keywords
}  // namespace scengen
