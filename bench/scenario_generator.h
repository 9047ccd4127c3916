// A large scenario for the benchmarks: the two description texts of a long route full of features.
#pragma once

#include <cstdint>
#include <string>

namespace scengen {

/// The identity of the generated scenario; its texts are RouteId + "_linea.txt" and
/// RouteId + "_" + TrainNumber + "-.txt".
inline constexpr const char* kGeneratedRouteId = "Percorso_Prova";
inline constexpr const char* kGeneratedTrainNumber = "99001";

/// The shortest and the longest route the generator makes (m); lengths are multiples of 50.
inline constexpr int32_t kShortestGeneratedRoute = 100000;
inline constexpr int32_t kLongestGeneratedRoute = 1000000;

/// How densely the generated route is furnished.
struct GeneratedLayout {
  int32_t curve_spacing = 500;        // a curve of 150 to 300 m every 500 m
  int32_t gradient_spacing = 300;     // a gradient record every 300 m
  int32_t speed_board_spacing = 700;  // a maximum-speed board every 700 m
  int32_t code_point_spacing = 400;   // a code point every 400 m
  int32_t signal_spacing = 1500;      // a signal every 1500 m
  int32_t stations = 78;              // every station slot: the line text has no information board
  int32_t tunnels = 80;               // every tunnel slot
};

/// The two description texts, CR LF line ends.
struct GeneratedScenario {
  std::string line_text;
  std::string train_text;
};

/// Whether the generator can furnish a route of this length.
bool is_generable_length(int32_t route_length);

/// The texts of a route of `route_length` metres, laid out so that it compiles without an error:
/// every feature that needs a free cell gets a cell of its own.
GeneratedScenario generate_scenario(int32_t route_length, const GeneratedLayout& layout = {});

/// The shortest and the longest route of the varied scenarios (m).
inline constexpr int32_t kShortestVariedRoute = 1000;
inline constexpr int32_t kLongestVariedRoute = 1000000;

/// How a varied scenario lays its features out.
enum class VariedLayout {
  Tidy,           // every feature in cells of its own, tunnels apart
  Piled,          // features under a later station's marker, signals and stations marking the
                  // same cells in both text orders, overlapping and nested tunnels, stations as
                  // close together as allowed
  AllBoardTexts,  // 81 information-board texts (every slot from 80 down to 0), so no station;
                  // tunnels as in Piled
};

/// The layout generate_varied_scenario(route_length, seed) uses: Tidy for seeds 1 to 10 and for
/// odd seeds; for the other even seeds AllBoardTexts one time in four, else Piled.
VariedLayout varied_layout(uint32_t seed);

/// A scenario with every kind of feature, each with values at the ends of what its cells keep
/// (references, repetition, curves of every class and side, gradients from -100 to +155 per
/// mille, marked and unmarked tunnels, speed boards, information boards with separators, quotes
/// and Windows-1252 letters, stations of every type, slow orders with and without warning and
/// approach boards, signals with times, code points with and without a code), drawn from `seed`
/// and laid out so that it compiles without an error. `route_length` is a multiple of 50 from
/// kShortestVariedRoute to kLongestVariedRoute.
GeneratedScenario generate_varied_scenario(int32_t route_length, uint32_t seed);

/// The same in the layout given; generate_varied_scenario(route_length, seed) is this with
/// varied_layout(seed).
GeneratedScenario generate_varied_scenario(int32_t route_length, uint32_t seed,
                                           VariedLayout layout);

}  // namespace scengen
