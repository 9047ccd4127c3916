// scengen texts: the built-in description texts and crew documents, for an author to start from.

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "documents/crew_documents.h"
#include "run/exit_status.h"
#include "run/own_files.h"
#include "run/scenario_files.h"
#include "texts/annotated_texts.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

constexpr const char* kTextsFooter =
    R"(Writes Veltrano_Quarnelo_linea.txt, Veltrano_Quarnelo_58316-.txt and the train card, slow-order
notice and notes of the built-in scenario, so that an author can start from a working scenario.
With --annotated the two description texts carry a comment above each kind of record that says
what its fields are; they compile to the same files as the plain texts.

An author's files are never overwritten: when one of these files exists and its bytes are not
those the program writes there (the plain or the annotated built-in text, or the built-in
document), nothing is written, the file is named and the status is 4; --force overwrites it.
The last line says how many files were written and where (--quiet leaves it out).

Examples:
  scengen texts                 into the current folder
  scengen texts --out work      into work (made when it is missing)
  scengen texts --annotated     the description texts explained, record by record
  scengen texts --force         start again from the built-in files, overwriting edits)";

}  // namespace

int write_texts(const TextsOptions& o, Console& console) {
  const OutputPlace place{system_files(), o.out ? argument_path(*o.out) : ".", kBuiltInRouteId,
                          kBuiltInTrainNumber};
  if (o.out && !make_output_folder(place.folder, console, o.quiet)) return kExitFileFailed;
  try {
    const auto lock = lock_output_folder(place.folder, console.err);
    if (!o.force) {
      if (const auto authors = first_authors_file(place.files, place.folder)) {
        const std::string force = o.out ? "scengen texts --out " + *o.out + " --force"
                                        : std::string("scengen texts --force");
        console.err << authors_file_line(*authors, force) << '\n';
        return kExitFileFailed;
      }
    }
    if (o.annotated) {
      dati_linea_annotated(place);
      dati_treno_annotated(place);
    } else {
      write_line_description(place);
      write_train_description(place);
    }
    write_scenario_notes(place);
    write_slow_order_notice(place);
    write_train_card(place);
  } catch (const FileError& error) {
    report_write_failure(error, console);
    return kExitFileFailed;
  }
  report_files_written(place.folder, 2 + kCrewDocuments.size(), console, o.quiet);
  return kExitOk;
}

void add_texts_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context, {"texts", "The built-in texts and documents, to start from.", kTextsFooter},
      write_texts);
  add_out_option(*command, o->out, "the current one");
  command->add_flag("--annotated", o->annotated,
                    "Explain each kind of record in a comment above it (see docs/formats.md)");
  command->add_flag("--force", o->force,
                    "Overwrite texts and documents that are not the program's own (edited since)");
  add_quiet_option(*command, o->quiet);
}

}  // namespace scengen
