// scengen-compile-driver: compiles an author's two description texts into the three binary files,
// through the same compiler and file layer as the built-in run. The bench times it as a whole
// process; it stands in for the command line's compile until that is there.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compile.h"
#include "platform/file_layer.h"
#include "run/binary_files.h"
#include "run/exit_status.h"
#include "run/file_texts.h"

namespace {

constexpr const char* kUsage =
    "usage: scengen-compile-driver ROUTE_linea.txt ROUTE_TRAIN-.txt --out DIR\n"
    "Compiles the two texts (they are not deleted) and writes ROUTE_linea.dat, ROUTE_TRAIN.sim\n"
    "and ROUTE_TRAIN.dat into DIR. Exit status 0, or 1 with the error code on standard error.\n"
    "\n"
    "Example:\n"
    "  scengen-compile-driver max/Percorso_Prova_linea.txt max/Percorso_Prova_99001-.txt "
    "--out max\n";

int usage(std::string_view problem) {
  std::cerr << "scengen-compile-driver: " << problem << "\n" << kUsage;
  return scengen::kExitUsage;
}

// The part of `name` between `prefix` and `suffix`, when it has both.
std::optional<std::string> between(const std::string& name, std::string_view prefix,
                                   std::string_view suffix) {
  if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(suffix))
    return std::nullopt;
  return name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> texts;
  std::filesystem::path out;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--out") {
      if (++i >= argc) return usage("--out needs a folder");
      out = argv[i];
    } else {
      texts.emplace_back(arg);
    }
  }
  if (texts.size() != 2 || out.empty()) return usage("two texts and --out are required");

  // The identity comes from the names: ROUTE_linea.txt and ROUTE_TRAIN-.txt.
  const auto route = between(texts[0].filename().string(), "", "_linea.txt");
  if (!route) return usage("the line description must be named ROUTE_linea.txt");
  const auto train = between(texts[1].filename().string(), *route + "_", "-.txt");
  if (!train) return usage("the train description must be named ROUTE_TRAIN-.txt");

  scengen::Compilation c;
  c.RouteId = *route;
  c.TrainNumber = *train;
  scengen::FileLayer& files = scengen::system_files();
  scengen::FileTexts sources(files, texts[0], texts[1], /*owned=*/false);
  const scengen::CompileOutcome outcome = scengen::compile_scenario(c, sources, 1);
  if (outcome.end != scengen::CompileEnd::Sealed) {
    std::cerr << "scengen-compile-driver: stopped before the binary files, code "
              << (outcome.end == scengen::CompileEnd::SealError ? outcome.seal_code : c.StatusCode)
              << "\n";
    return scengen::kExitStopped;
  }
  try {
    scengen::write_binary_files(files, out, c);
  } catch (const scengen::FileError& error) {
    std::cerr << "scengen-compile-driver: cannot write " << scengen::display_path(error.path())
              << ": " << error.reason() << "\n";
    return scengen::kExitFileFailed;
  }
  if (c.StatusCode != 0) {
    std::cerr << "scengen-compile-driver: error " << c.StatusCode << " at " << c.StatusPosition
              << " m\n";
    return scengen::kExitCompileError;
  }
  return scengen::kExitOk;
}
