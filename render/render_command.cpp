#include "render/render_command.h"

#include <vector>

#include "compiler/compile.h"
#include "compiler/error_codes.h"
#include "documents/crew_documents.h"
#include "render/html_page.h"
#include "render/route_map.h"
#include "render/route_profile.h"
#include "run/exit_status.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

constexpr const char* kBuiltInRoute = "Veltrano_Quarnelo";
constexpr const char* kBuiltInTrain = "58316";

struct DocumentName {
  const char* heading;
  const char* suffix;
  LineList (*built_in)();
};

constexpr DocumentName kDocuments[] = {
    {"Train card", "_scheda_treno.txt", train_card_lines},
    {"Slow-order notice", "_rallentamenti.txt", slow_order_notice_lines},
    {"Scenario notes", "_note.txt", scenario_notes_lines},
};

// A route or train that can be part of a file name in the output folder.
bool names_a_file(const std::string& id) {
  if (id.empty() || id == "." || id == "..") return false;
  for (const char c : id) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::pair<std::string, std::string> identity_from_names(const std::filesystem::path& line_text,
                                                        const std::filesystem::path& train_text) {
  const std::string line = line_text.filename().string();
  const std::string train = train_text.filename().string();
  const std::string line_end = "_linea.txt";
  if (!ends_with(line, line_end) || line.size() == line_end.size()) return {};
  const std::string route = line.substr(0, line.size() - line_end.size());
  const std::string prefix = route + "_";
  if (train.size() <= prefix.size() + 5 || train.compare(0, prefix.size(), prefix) != 0 ||
      !ends_with(train, "-.txt")) {
    return {};
  }
  return {route, train.substr(prefix.size(), train.size() - prefix.size() - 5)};
}

int render_command(const RenderOptions& options, FileLayer& files, std::ostream& err) {
  Compilation c;
  std::optional<std::string> line;
  std::optional<std::string> train;
  std::vector<PageDocument> documents;
  if (options.line_text.has_value() != options.train_text.has_value()) {
    err << "scengen render: give both description texts, or neither for the built-in "
           "scenario\n";
    return kExitUsage;
  }
  if (!options.line_text) {
    c.RouteId = kBuiltInRoute;
    c.TrainNumber = kBuiltInTrain;
    // The built-in texts and documents are made in memory, as the run would write them.
    line = emit_line_list(line_description_lines());
    train = emit_line_list(train_description_lines());
    for (const DocumentName& d : kDocuments) {
      documents.push_back(
          {d.heading, c.RouteId + "_" + c.TrainNumber + d.suffix, emit_line_list(d.built_in())});
    }
  } else {
    auto [route, number] = identity_from_names(*options.line_text, *options.train_text);
    c.RouteId = options.route.empty() ? route : options.route;
    c.TrainNumber = options.train.empty() ? number : options.train;
    if (c.RouteId.empty() || c.TrainNumber.empty()) {
      err << "scengen render: the texts are not named ROUTE_linea.txt and ROUTE_TRAIN-.txt: "
             "give --route and --train\n";
      return kExitUsage;
    }
    for (const std::string* id : {&c.RouteId, &c.TrainNumber}) {
      if (!names_a_file(*id)) {
        err << "scengen render: '" << *id << "' cannot be part of a file name\n";
        return kExitUsage;
      }
    }
    for (const auto* path : {&*options.line_text, &*options.train_text}) {
      FileRead read = files.read_whole(*path);
      if (read.status != ReadStatus::Ok) {
        err << "scengen: cannot read " << display_path(*path) << ": " << read.reason << "\n";
        return kExitFileFailed;
      }
      (path == &*options.line_text ? line : train) = std::move(read.bytes);
    }
    // The crew documents of an author's scenario are those beside the train text, if any.
    for (const DocumentName& d : kDocuments) {
      const std::string name = c.RouteId + "_" + c.TrainNumber + d.suffix;
      FileRead read = files.read_whole(options.train_text->parent_path() / name);
      if (read.status == ReadStatus::Ok) documents.push_back({d.heading, name, read.bytes});
    }
  }

  MemoryTexts texts(line, train);
  const CompileOutcome outcome = compile_scenario(c, texts, 1);
  if (outcome.end == CompileEnd::NoTrack) {
    if (c.StatusCode != 0)
      err << "scengen: " << describe_error(c.StatusCode, c.StatusPosition) << "\n";
    err << "scengen: no track was compiled from the line description; nothing to draw\n";
    return kExitStopped;
  }
  int32_t code = c.StatusCode;
  if (outcome.end == CompileEnd::SealError) code = outcome.seal_code;
  const std::string words = code == 0 ? "Compiled without errors."
                                      : "Compiled with " + describe_error(code, c.StatusPosition) +
                                            "; the pictures show the model as far as it was built.";
  const std::string map = route_map_svg(c);
  const std::string profile = route_profile_svg(c);
  const std::string page = html_page(c, words, map, profile, documents);
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  // No folder given is the current one (joining an empty folder would name the root).
  const std::filesystem::path folder = options.out.empty() ? "." : options.out;
  try {
    for (const auto& [name, bytes] : {std::pair{route_map_file_name(c), declaration + map},
                                      std::pair{route_profile_file_name(c), declaration + profile},
                                      std::pair{html_page_file_name(c), page}}) {
      const auto path = join_output_path(folder, name);
      files.write_replacing(path, bytes);
      err << "scengen: wrote " << display_path(path) << "\n";
    }
  } catch (const FileError& error) {
    err << "scengen: cannot write " << display_path(error.path()) << ": " << error.reason() << "\n";
    return kExitFileFailed;
  }
  if (code != 0) {
    err << "scengen: " << describe_error(code, c.StatusPosition) << "\n";
    return kExitCompileError;
  }
  return kExitOk;
}

}  // namespace scengen
