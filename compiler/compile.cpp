#include "compiler/compile.h"

#include "compiler/compile_warnings.h"
#include "compiler/finishing_pass.h"
#include "compiler/read_descriptions.h"

namespace scengen {

CompileOutcome compile_scenario(Compilation& c, DescriptionTexts& texts, int32_t compile_flag) {
  c.CompileFlag = compile_flag;
  c.StatusCode = 0;
  c.StatusSource.reset();
  c.StatusDetail.clear();
  c.Warnings.clear();
  c.WarningsLeftOut = 0;
  c.CellSources.clear();
  clear_scenario_table(c);
  read_descriptions(c, texts);
  if (!c.has_track()) return {CompileEnd::NoTrack, 0};
  const int32_t code_before = c.StatusCode;
  finishing_pass(c);
  if (c.StatusCode != code_before) explain_finishing_error(c);
  if (const int32_t code = seal(c)) {
    explain_seal_error(c);
    return {CompileEnd::SealError, code};
  }
  return {CompileEnd::Sealed, 0};
}

}  // namespace scengen
