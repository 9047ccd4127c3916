#include "format/compiled_image.h"

#include "compiler/output_files.h"

namespace scengen::format {

CompiledImage compile_image(std::string_view line, std::string_view train, int32_t compile_flag) {
  // The identity goes into the scenario table: any one does, as long as both compiles share it.
  Compilation c;
  c.RouteId = "Veltrano_Quarnelo";
  c.TrainNumber = "58316";
  BorrowedTexts texts(line, train);
  const CompileOutcome outcome = compile_scenario(c, texts, compile_flag);
  CompiledImage image;
  image.end = outcome.end;
  image.seal_code = outcome.seal_code;
  image.status_code = c.StatusCode;
  image.status_position = c.StatusPosition;
  if (!c.has_track()) return image;
  image.track = encode_track_cells(c.TrackCells);
  image.table = encode_scenario_table(c.ScenarioTable);
  if (compile_flag != 0 && c.TrackPlan.exists()) image.plan = encode_route_plan(c.TrackPlan);
  return image;
}

}  // namespace scengen::format
