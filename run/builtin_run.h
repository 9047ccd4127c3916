// The generation run: the one form, its state and the fixed order of the run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "compiler/compilation.h"
#include "platform/file_layer.h"
#include "platform/platform.h"
#include "run/scenario_files.h"

namespace scengen {

class FileTexts;

/// Thrown by `stop_with_error` to end the run at once; the program's entry turns it into its exit
/// status.
struct ProcessEnd {
  int status;
};

/// The built-in run, whose window is "Form1": it owns the scenario identity, the compile state and
/// the whole model.
class BuiltinRun {
 public:
  /// A run whose output folder is the program's folder.
  BuiltinRun(Platform& platform, FileLayer& files);
  /// A run writing into another folder (the command line's --out, tests).
  BuiltinRun(Platform& platform, FileLayer& files, std::filesystem::path output_folder);

  /// The whole run: texts, documents, compile, binary files. Returns the exit status.
  int run() { return run(1); }
  /// The whole run with the compile driver's argument j (0: no route plan).
  int run(int32_t j);

  /// The compile driver: compiles the two description texts of the output folder and writes the
  /// binary files (the route plan only when j is not 0). Returns the exit status.
  int compile_texts(int32_t j);

  /// Shows " Errore n. " and the code, then ends the run with exit status 3.
  [[noreturn]] void stop_with_error(const std::string& a);

  const std::filesystem::path& output_folder() const { return folder_; }

  /// RouteId, TrainNumber, CompileFlag, StatusCode, StatusPosition, CurrentField and the model.
  Compilation state;

 private:
  template <typename Step>
  int guarded(Step step);
  int compile_and_write(int32_t j);
  std::string error_line(const FileTexts& texts) const;
  int report_outcome(const FileTexts& texts);

  Platform& platform_;
  FileLayer& files_;
  std::filesystem::path folder_;
};

}  // namespace scengen
