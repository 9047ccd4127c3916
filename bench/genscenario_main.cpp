// scengen-genscenario: writes the two description texts of a long generated scenario, for the
// benchmarks and for anyone who wants to reproduce them.
#include <charconv>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "bench/scenario_generator.h"
#include "platform/file_layer.h"

namespace {

constexpr const char* kUsage =
    "usage: scengen-genscenario --length METRES --out DIR\n"
    "Writes DIR/Percorso_Prova_linea.txt and DIR/Percorso_Prova_99001-.txt: a route of METRES\n"
    "(100000 to 1000000, a multiple of 50) with a curve, a gradient, a maximum-speed board and a\n"
    "code point every few hundred metres, a signal every 1500 m, 78 stations, 80 tunnels and no\n"
    "information board. It compiles without an error.\n"
    "\n"
    "Examples:\n"
    "  scengen-genscenario --length 1000000 --out /tmp/max\n"
    "  scengen-genscenario --length 100000 --out .\n";

int usage(std::string_view problem) {
  std::cerr << "scengen-genscenario: " << problem << "\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int32_t length = 0;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (i + 1 >= argc) return usage("missing value after " + std::string(arg));
    const std::string_view value = argv[++i];
    if (arg == "--length") {
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
      if (error != std::errc{} || end != value.data() + value.size())
        return usage("--length takes a whole number of metres");
    } else if (arg == "--out") {
      out = value;
    } else {
      return usage("unknown option " + std::string(arg));
    }
  }
  if (out.empty()) return usage("--out is required");
  if (!scengen::is_generable_length(length))
    return usage("--length must be a multiple of 50 from 100000 to 1000000");

  const scengen::GeneratedScenario scenario = scengen::generate_scenario(length);
  const std::string route = scengen::kGeneratedRouteId;
  const std::string train = scengen::kGeneratedTrainNumber;
  try {
    scengen::FileLayer& files = scengen::system_files();
    files.write_replacing(scengen::join_output_path(out, route + "_linea.txt"), scenario.line_text);
    files.write_replacing(scengen::join_output_path(out, route + "_" + train + "-.txt"),
                          scenario.train_text);
  } catch (const scengen::FileError& error) {
    std::cerr << "scengen-genscenario: cannot write " << scengen::display_path(error.path()) << ": "
              << error.reason() << "\n";
    return 4;
  }
  return 0;
}
