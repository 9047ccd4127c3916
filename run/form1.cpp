#include "run/form1.h"

#include "compiler/compile.h"
#include "compiler/error_codes.h"
#include "documents/crew_documents.h"
#include "run/binary_files.h"
#include "run/exit_status.h"
#include "run/file_texts.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

// A scenario table text too long for its 2-byte length: the file cannot be written.
struct TableTooLarge {};

}  // namespace

Form1::Form1(Platform& platform, FileLayer& files)
    : Form1(platform, files, platform.program_folder()) {}

Form1::Form1(Platform& platform, FileLayer& files, std::filesystem::path output_folder)
    : platform_(platform), files_(files), folder_(std::move(output_folder)) {}

template <typename Step>
int Form1::guarded(Step step) {
  try {
    return step();
  } catch (const ProcessEnd& end) {
    return end.status;
  } catch (const FileError& error) {
    platform_.report("scengen: cannot write " + display_path(error.path()) + ": " +
                     error.reason());
    return kExitFileFailed;
  }
}

int Form1::Form_Load(int32_t j) {
  return guarded([&] {
    state.RouteId = kBuiltInRouteId;
    state.TrainNumber = kBuiltInTrainNumber;
    platform_.show_status_window();
    const OutputPlace out{files_, folder_, state.RouteId, state.TrainNumber};
    dati_linea(out);
    dati_treno(out);
    dati_note(out);
    dati_rallentamenti(out);
    dati_scheda(out);
    return compile_and_write(j);
  });
}

int Form1::memorizza_percorso(int32_t j) {
  return guarded([&] { return compile_and_write(j); });
}

int Form1::compile_and_write(int32_t j) {
  FileTexts texts(files_, join_output_path(folder_, state.RouteId + "_linea.txt"),
                  join_output_path(folder_, state.RouteId + "_" + state.TrainNumber + "-.txt"),
                  /*owned=*/true);
  const CompileOutcome outcome = compile_scenario(state, texts, j);
  if (outcome.end == CompileEnd::SealError) errore(std::to_string(outcome.seal_code));
  if (outcome.end == CompileEnd::NoTrack) {
    if (state.StatusCode != 0) {
      platform_.report("scengen: " + describe_error(state.StatusCode, state.StatusPosition));
    }
    platform_.report("scengen: no track was compiled from the line description; "
                     "no binary file was written");
    return kExitStopped;
  }
  write_binary_files();
  return report_outcome();
}

void Form1::write_binary_files() {
  scengen::write_binary_files(files_, folder_, state);
}

int Form1::report_outcome() {
  if (state.StatusCode == 0) return kExitOk;
  platform_.report("scengen: " + describe_error(state.StatusCode, state.StatusPosition));
  return kExitCompileError;
}

void Form1::errore(const std::string& a) {
  platform_.message_box(" Errore n. " + a);
  throw ProcessEnd{kExitStopped};
}

}  // namespace scengen
