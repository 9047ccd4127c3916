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

/// Thrown by `errore` to end the run at once; the program's entry turns it into its exit status.
struct ProcessEnd {
  int status;
};

/// The form that owns the run: the scenario identity, the compile state and the whole model.
class Form1 {
 public:
  /// A form whose output folder is the program's folder.
  Form1(Platform& platform, FileLayer& files);
  /// A form writing into another folder (the command line's --out, tests).
  Form1(Platform& platform, FileLayer& files, std::filesystem::path output_folder);

  /// The whole run: texts, documents, compile, binary files. Returns the exit status.
  int Form_Load() { return Form_Load(1); }
  /// The whole run with the compile driver's argument j (0: no route plan).
  int Form_Load(int32_t j);

  /// The compile driver: compiles the two description texts of the output folder and writes the
  /// binary files (the route plan only when j is not 0). Returns the exit status.
  int memorizza_percorso(int32_t j);

  /// Shows " Errore n. " and the code, then ends the run with exit status 3.
  [[noreturn]] void errore(const std::string& a);

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
