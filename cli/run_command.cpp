// scengen run and scengen texts: the built-in scenario.
#include <ostream>

#include "cli/command_files.h"
#include "cli/commands.h"
#include "documents/crew_documents.h"
#include "platform/platform.h"
#include "run/exit_status.h"
#include "run/form1.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {

int run_built_in(const RunOptions& o, Console& console) {
  // The run reports through the platform, as the program without arguments does.
  Platform& platform = console.window != nullptr ? *console.window : console_platform();
  const int32_t j = o.no_plan ? 0 : 1;
  if (!o.out) return Form1(platform, system_files()).Form_Load(j);
  return Form1(platform, system_files(), argument_path(*o.out)).Form_Load(j);
}

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

}  // namespace scengen
