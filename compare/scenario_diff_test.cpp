#include "compare/scenario_diff.h"

#include <gtest/gtest.h>

#include <memory>

#include "compiler/compile.h"
#include "texts/line_description.h"
#include "texts/line_list.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

struct Texts {
  std::string line;
  std::string train;
};

Texts built_in() {
  return {emit_line_list(line_description_lines()), emit_line_list(train_description_lines())};
}

std::unique_ptr<Compilation> compiled(const Texts& texts, CompileEnd end = CompileEnd::Sealed) {
  auto c = std::make_unique<Compilation>();
  c->RouteId = "Veltrano_Quarnelo";
  c->TrainNumber = "58316";
  MemoryTexts source(texts.line, texts.train);
  EXPECT_EQ(compile_scenario(*c, source, 1).end, end);
  EXPECT_EQ(c->StatusCode, 0);
  return c;
}

// Replaces the one occurrence of `from` in `text`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from << " is not unique";
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string joined(const std::vector<ScenarioChange>& changes) {
  std::string all;
  for (const ScenarioChange& c : changes) {
    all += std::string(group_name(c.group)) + ": " + c.text + "\n";
  }
  return all;
}

TEST(ScenarioDiff, IdenticalScenariosHaveNoChange) {
  const auto a = compiled(built_in());
  const auto b = compiled(built_in());
  EXPECT_EQ(joined(diff_scenarios(read_scenario(*a), read_scenario(*b))), "");
}

// One edit of the built-in texts, and the one change an author should read for it.
struct Case {
  const char* name;
  bool line_text;  // the edit is in the line description, else in the train description
  const char* from;
  const char* to;
  ChangeGroup group;
  ChangeKind kind;
  const char* text;
};

const Case kCases[] = {
    {"signal moved", false, "segnale,    5750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
     "segnale,    5800,   2, 4, 0,  0, 0,    0,  0,0,0, 0", ChangeGroup::Signals, ChangeKind::Moved,
     "signal at 5750 m moved to 5800 m"},
    {"signal changed", false, "segnale,    5750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
     "segnale,    5750,   2, 3, 0,  0, 0,    0,  0,0,0, 0", ChangeGroup::Signals,
     ChangeKind::Changed,
     "signal at 5750 m: s1 3 d1 0, s2 0 d2 0, s3 0 d3 0, sx 2 dx 0, rapp 0, tempo 0 "
     "(was s1 4 d1 0, s2 0 d2 0, s3 0 d3 0, sx 2 dx 0, rapp 0, tempo 0)"},
    {"station time changed", false, "9, 2, 0, LODI", "9, 3, 0, LODI", ChangeGroup::Stations,
     ChangeKind::Changed, "station LODI departs 9:03 (was 9:02)"},
    {"station time with seconds", false, "9, 2, 0, LODI", "9, 2, 30, LODI",
     ChangeGroup::Stations, ChangeKind::Changed, "station LODI departs 9:02:30 (was 9:02)"},
    {"speed step changed", false, "velocita,    5000,   110", "velocita,    5000,   120",
     ChangeGroup::SpeedLimits, ChangeKind::Changed,
     "speed limit from 5000 to 9550 m: 110 -> 120 km/h"},
    {"tunnel added", true, "montagna,   36900,  36950,  12",
     "montagna,   36900,  36950,  12\r\nmontagna,   50000,  50500,  12", ChangeGroup::Tunnels,
     ChangeKind::Added, "tunnel added from 50000 to 50500 m: kind 2, marked"},
    {"tunnel lengthened", true, "montagna,   13050,  13650,  12", "montagna,   13050,  13850,  12",
     ChangeGroup::Tunnels, ChangeKind::Changed,
     "tunnel from 13050 to 13650 m: now to 13850 m"},
    {"curve class changed", true, "curvad4,  18200,  500", "curvad3,  18200,  500",
     ChangeGroup::Curves, ChangeKind::Changed,
     "curve from 18200 to 18700 m: right, class 4 -> right, class 3"},
    {"route lengthened", true, "lunghezza percorso,    72000", "lunghezza percorso,    73000",
     ChangeGroup::Route, ChangeKind::Changed, "route length 73000 m (was 72000 m)"},
};

class OneEdit : public testing::TestWithParam<Case> {};

TEST_P(OneEdit, ReadsAsThatOneChange) {
  const Case& c = GetParam();
  const Texts original = built_in();
  Texts changed = original;
  std::string& text = c.line_text ? changed.line : changed.train;
  text = edited(text, c.from, c.to);
  const auto a = compiled(original);
  const auto b = compiled(changed);
  const auto changes = diff_scenarios(read_scenario(*a), read_scenario(*b));
  ASSERT_EQ(changes.size(), 1u) << joined(changes);
  EXPECT_EQ(changes[0].group, c.group) << joined(changes);
  EXPECT_EQ(changes[0].kind, c.kind) << joined(changes);
  EXPECT_EQ(changes[0].text, c.text);
}

INSTANTIATE_TEST_SUITE_P(BuiltIn, OneEdit, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (ch == ' ') ch = '_';
                           }
                           return name;
                         });

TEST(ScenarioDiff, ReversedEditReadsTheOtherWay) {
  // A tunnel removed is the added one's mirror; one cell long, it has no marker.
  const Texts original = built_in();
  Texts changed = original;
  changed.line = edited(changed.line, "montagna,   36900,  36950,  12\r\n", "");
  const auto a = compiled(original);
  const auto b = compiled(changed);
  const auto changes = diff_scenarios(read_scenario(*a), read_scenario(*b));
  ASSERT_EQ(changes.size(), 1u) << joined(changes);
  EXPECT_EQ(changes[0].kind, ChangeKind::Removed);
  EXPECT_EQ(changes[0].from_m, 36900);
  EXPECT_EQ(changes[0].to_m, 36950);
  EXPECT_EQ(changes[0].text, "tunnel from 36900 to 36950 m removed (kind 2)");
}

TEST(ScenarioDiff, FarMoveIsARemovalAndAnAddition) {
  // Beyond the moving distance a like signal elsewhere is another signal.
  const Texts original = built_in();
  Texts changed = original;
  changed.train = edited(changed.train, "segnale,    5750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
                         "segnale,    8000,   2, 4, 0,  0, 0,    0,  0,0,0, 0");
  const auto changes =
      diff_scenarios(read_scenario(*compiled(original)), read_scenario(*compiled(changed)));
  ASSERT_EQ(changes.size(), 2u) << joined(changes);
  EXPECT_EQ(changes[0].kind, ChangeKind::Removed);
  EXPECT_EQ(changes[0].from_m, 5750);
  EXPECT_EQ(changes[1].kind, ChangeKind::Added);
  EXPECT_EQ(changes[1].from_m, 8000);
}

TEST(ScenarioDiff, ASignalInTheSealsCellOfAnUnsealedTrackKeepsItsValues) {
  // A signal at 0 m stops the seal, which leaves the signal's first values in its cell.
  Texts original = built_in();
  original.train =
      edited(original.train, "segnale,    1750,   2, 4, 1", "segnale,    0,   2, 4, 1");
  Texts changed = original;
  changed.train = edited(changed.train, "segnale,    0,   2, 4, 1", "segnale,    0,   2, 3, 1");
  const auto a = compiled(original, CompileEnd::SealError);
  const auto b = compiled(changed, CompileEnd::SealError);
  EXPECT_EQ(joined(diff_scenarios(read_scenario(*a), read_scenario(*b))),
            "signals: signal at 0 m: s1 3 d1 3, s2 1 d2 1, s3 1 d3 1, sx 2 dx 2, rapp 0, tempo 0 "
            "(was s1 4 d1 3, s2 1 d2 1, s3 1 d3 1, sx 2 dx 2, rapp 0, tempo 0)\n");
}

TEST(ScenarioDiff, WithoutAPlanCurvesAreNotCompared) {
  const Texts original = built_in();
  Texts changed = original;
  changed.line = edited(changed.line, "curvad4,  18200,  500", "curvad3,  18200,  500");
  const auto a = compiled(original);
  const auto b = compiled(changed);
  ScenarioModel without = read_scenario(*b);
  without.plan = RoutePlan{};
  EXPECT_EQ(joined(diff_scenarios(read_scenario(*a), without)), "");
}

TEST(ScenarioDiff, RoutePlanPointsAreReportedOnlyWhenNoCurveExplainsThem) {
  const Texts original = built_in();
  Texts changed = original;
  changed.line = edited(changed.line, "curvad4,  18200,  500", "curvad3,  18200,  500");
  const auto a = compiled(original);
  const auto b = compiled(changed);
  const auto points = differing_plan_points(*compiled_files(*a).plan, *compiled_files(*b).plan);
  ASSERT_TRUE(points);
  const ScenarioModel old_model = read_scenario(*a);
  EXPECT_EQ(joined(diff_scenarios(old_model, read_scenario(*b), points)),
            "curves: curve from 18200 to 18700 m: right, class 4 -> right, class 3\n");
  // Points that differ under the same curves: the plans' own points, not their walk.
  EXPECT_EQ(joined(diff_scenarios(old_model, old_model, points)),
            "route plan: route plan differs from " + std::to_string(points->first) + " to " +
                std::to_string(points->last) + " m\n");
}

}  // namespace
}  // namespace scengen
