// Generated scenarios with every kind of feature at the ends of its values: the model of the
// compile and the model of its files agree, and the author's code points are the code records.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "bench/scenario_generator.h"
#include "compiler/compile.h"
#include "scenario/scenario_model.h"

namespace scengen {
namespace {

// Position -> code of every "abbattimento" record of a train text, as its cell keeps it: the low
// 16 bits of a positive code, 0 (a point without a code) for the others.
std::map<int32_t, int32_t> code_records(const std::string& text) {
  std::map<int32_t, int32_t> codes;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("abbattimento", 0) != 0) continue;
    int32_t position = 0, code = 0;
    char comma = 0;
    std::istringstream record(line.substr(line.find(',') + 1));
    record >> position >> comma >> code;
    codes[position] = code > 0 ? static_cast<int16_t>(code) : 0;
  }
  return codes;
}

Compilation compile(const GeneratedScenario& texts) {
  Compilation c;
  c.RouteId = kGeneratedRouteId;
  c.TrainNumber = kGeneratedTrainNumber;
  MemoryTexts source(texts.line_text, texts.train_text);
  compile_scenario(c, source, 1);
  return c;
}

TEST(VariedModel, TheAuthorsCodePointsAreTheCodeRecords) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const GeneratedScenario texts = generate_varied_scenario(30000, seed);
    const Compilation c = compile(texts);
    ASSERT_EQ(c.StatusCode, 0) << "seed " << seed;
    const ScenarioModel m = read_scenario(c);
    std::map<int32_t, int32_t> authored;
    for (const CodePoint& p : m.code_points) {
      if (!p.derived) authored[p.position] = p.code;
    }
    EXPECT_EQ(authored, code_records(texts.train_text)) << "seed " << seed;
  }
}

TEST(VariedModel, TheCompileAndItsFilesGiveOneModel) {
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    const Compilation c = compile(generate_varied_scenario(30000, seed));
    const ScenarioModel a = read_scenario(c);
    const ScenarioModel b = read_scenario(compiled_files(c));
    ASSERT_EQ(a.plan.curves.size(), b.plan.curves.size()) << "seed " << seed;
    for (size_t i = 0; i < a.plan.curves.size(); ++i) {
      EXPECT_EQ(a.plan.curves[i].start, b.plan.curves[i].start);
      EXPECT_EQ(a.plan.curves[i].curve_class, b.plan.curves[i].curve_class);
    }
    ASSERT_EQ(a.plan.curvature_runs.size(), b.plan.curvature_runs.size());
    EXPECT_EQ(a.stations.size(), b.stations.size());
    EXPECT_EQ(a.tunnels.size(), b.tunnels.size());
    EXPECT_EQ(a.slow_orders.size(), b.slow_orders.size());
  }
}

}  // namespace
}  // namespace scengen
