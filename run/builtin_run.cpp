#include "run/builtin_run.h"

#include "compiler/compile.h"
#include "compiler/error_codes.h"
#include "documents/crew_documents.h"
#include "run/binary_files.h"
#include "run/exit_status.h"
#include "run/file_failure.h"
#include "run/file_texts.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

// A scenario table text too long for its 2-byte length: the file cannot be written.
struct TableTooLarge {};

}  // namespace

BuiltinRun::BuiltinRun(Platform& platform, FileLayer& files)
    : BuiltinRun(platform, files, platform.program_folder()) {}

BuiltinRun::BuiltinRun(Platform& platform, FileLayer& files, std::filesystem::path output_folder)
    : platform_(platform), files_(files), folder_(std::move(output_folder)) {}

template <typename Step>
int BuiltinRun::guarded(Step step) {
  try {
    return step();
  } catch (const ProcessEnd& end) {
    return end.status;
  } catch (const FileError& error) {
    platform_.report(write_failure_line(error));
    return kExitFileFailed;
  }
}

int BuiltinRun::run(int32_t j) {
  return guarded([&] {
    state.RouteId = kBuiltInRouteId;
    state.TrainNumber = kBuiltInTrainNumber;
    platform_.show_status_window();
    const OutputPlace out{files_, folder_, state.RouteId, state.TrainNumber};
    write_line_description(out);
    write_train_description(out);
    write_scenario_notes(out);
    write_slow_order_notice(out);
    write_train_card(out);
    return compile_and_write(j);
  });
}

int BuiltinRun::compile_texts(int32_t j) {
  return guarded([&] { return compile_and_write(j); });
}

int BuiltinRun::compile_and_write(int32_t j) {
  FileTexts texts(files_, join_output_path(folder_, line_text_file_name(state.RouteId)),
                  join_output_path(folder_, train_text_file_name(state.RouteId, state.TrainNumber)),
                  /*owned=*/true);
  const CompileOutcome outcome = compile_scenario(state, texts, j);
  if (outcome.end == CompileEnd::SealError) stop_with_error(std::to_string(outcome.seal_code));
  if (outcome.end == CompileEnd::NoTrack) {
    // One line: what stopped the compile, and its consequence.
    const std::string cause = state.StatusCode != 0
                                  ? error_line(texts)
                                  : "no track was compiled from the line description";
    platform_.report("scengen: " + cause + "; no binary file was written");
    return exit_status_of(/*stopped=*/true, state.StatusCode);
  }
  write_binary_files(files_, folder_, state);
  return report_outcome(texts);
}

// The recorded error in words; a text that could not be read is named with the reason.
std::string BuiltinRun::error_line(const FileTexts& texts) const {
  const bool unread_text = state.StatusCode == 25 || state.StatusCode == 101;
  if (unread_text && texts.problem()) {
    return "error " + std::to_string(state.StatusCode) + ": " +
           cannot_access(FileAccess::Read, texts.problem()->path, texts.problem()->reason);
  }
  return describe_error(state.StatusCode, state.StatusPosition);
}

int BuiltinRun::report_outcome(const FileTexts& texts) {
  if (state.StatusCode != 0) platform_.report("scengen: " + error_line(texts));
  return exit_status_of(/*stopped=*/false, state.StatusCode);
}

void BuiltinRun::stop_with_error(const std::string& a) {
  platform_.message_box(" Errore n. " + a);
  throw ProcessEnd{kExitStopped};
}

}  // namespace scengen
