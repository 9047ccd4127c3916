// The annotated built-in texts compile to exactly the files of the plain ones.
#include "texts/annotated_texts.h"

#include <gtest/gtest.h>

#include "compiler/compile.h"
#include "compiler/output_files.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

struct Images {
  std::string route_plan;
  std::optional<std::string> scenario_table;
  std::string track;
};

Images compile_to_images(const LineList& line, const LineList& train) {
  Compilation c;
  c.RouteId = "Veltrano_Quarnelo";
  c.TrainNumber = "58316";
  MemoryTexts texts{emit_line_list(line), emit_line_list(train)};
  const CompileOutcome outcome = compile_scenario(c, texts, 1);
  EXPECT_EQ(outcome.end, CompileEnd::Sealed);
  EXPECT_EQ(c.StatusCode, 0);
  return {encode_route_plan(c.TrackPlan), encode_scenario_table(c.ScenarioTable),
          encode_track_cells(c.TrackCells)};
}

TEST(AnnotatedTexts, CompileToTheSameThreeFilesAsThePlainTexts) {
  const Images plain = compile_to_images(line_description_lines(), train_description_lines());
  const Images annotated =
      compile_to_images(annotated_line_description_lines(), annotated_train_description_lines());
  EXPECT_TRUE(plain.route_plan == annotated.route_plan);
  ASSERT_TRUE(plain.scenario_table.has_value());
  EXPECT_TRUE(plain.scenario_table == annotated.scenario_table);
  EXPECT_TRUE(plain.track == annotated.track);
  // The comparison means something only if the texts differ.
  EXPECT_NE(emit_line_list(annotated_line_description_lines()),
            emit_line_list(line_description_lines()));
}

}  // namespace
}  // namespace scengen
