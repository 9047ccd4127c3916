// The small pair of texts that the tests of `check` edit a line at a time, in the compiler and
// through the program: a route of 5000 m (cells 0 to 240) and a train that compile without error
// or warning. The comments number the lines as an editor does.
#pragma once

#include <string>
#include <vector>

namespace scengen::testing {

inline const std::vector<std::string> kCheckLine = {
    "[generale]",                                   // 1
    "lunghezza percorso, 5000",                     // 2
    "progressiva chilometrica uno, 1000, 2000, 1",  // 3
    "ripetizione segnali 9 codici, 0, 4000",        // 4
    "[pendenze]",                                   // 5
    "pendenza, 0, 0",                               // 6
    "pendenza, 1500, 3",                            // 7
    "[cartelli]",                                   // 8
    "cartello_indicatore, 2500, (P.B.A.)",          // 9
    "[fine]",                                       // 10
};

inline const std::vector<std::string> kCheckTrain = {
    "[generale]",                                                     // 1
    "velocita, 0, 30",                                                // 2
    "aderenza, 0, 96",                                                // 3
    "stazione, 1000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0, 8,0,0, ALFA",   // 4
    "segnale, 2000, 2, 2,3,1, 1, 2, 2,1,1, 0",                        // 5
    "stazione, 3000, 12, 600, 0,0,0, 0,0,0, 0,0,0, 60, 8,5,0, BETA",  // 6
    "[fine]",                                                         // 7
};

/// The lines joined into a text, each ended by CR LF as the built-in texts are.
inline std::string crlf_text(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace scengen::testing
