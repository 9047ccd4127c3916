// scengen texts: the built-in description texts and crew documents, for an author to start from.

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "documents/crew_documents.h"
#include "run/exit_status.h"
#include "run/scenario_files.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

constexpr const char* kTextsFooter =
    R"(Writes Veltrano_Quarnelo_linea.txt, Veltrano_Quarnelo_58316-.txt and the train card, slow-order
notice and notes of the built-in scenario, so that an author can start from a working scenario.

Examples:
  scengen texts                 into the current folder
  scengen texts --out work      into work (the folder must exist))";

}  // namespace

int write_texts(const TextsOptions& o, Console& console) {
  const OutputPlace place{system_files(), o.out ? argument_path(*o.out) : ".", kBuiltInRouteId,
                          kBuiltInTrainNumber};
  try {
    dati_linea(place);
    dati_treno(place);
    dati_note(place);
    dati_rallentamenti(place);
    dati_scheda(place);
  } catch (const FileError& error) {
    report_write_failure(error, console);
    return kExitFileFailed;
  }
  return kExitOk;
}

void add_texts_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context, {"texts", "The built-in texts and documents, to start from.", kTextsFooter},
      write_texts);
  add_out_option(*command, o->out, "the current one");
}

}  // namespace scengen
