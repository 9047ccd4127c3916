// The built-in scenario's model against the records of its own texts: every feature an author
// wrote comes back at the place and with the values the record gave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "compiler/compile.h"
#include "scenario/scenario_model.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

// A record's fields, blanks around them trimmed; the keyword first.
std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) {
    const size_t first = field.find_first_not_of(' ');
    const size_t last = field.find_last_not_of(' ');
    out.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
  }
  return out;
}

// The records of a text whose keyword starts with `keyword`.
std::vector<std::vector<std::string>> records(const LineList& lines, const std::string& keyword) {
  std::vector<std::vector<std::string>> found;
  for (const std::string& line : lines) {
    if (line == kEndMarker) break;
    if (line.rfind(keyword, 0) == 0) found.push_back(fields(line));
  }
  return found;
}

int number(const std::string& field) {
  return std::atoi(field.c_str());
}

class BuiltInModel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    compilation_ = new Compilation;
    compilation_->RouteId = "Veltrano_Quarnelo";
    compilation_->TrainNumber = "58316";
    MemoryTexts texts(emit_line_list(line_description_lines()),
                      emit_line_list(train_description_lines()));
    compile_scenario(*compilation_, texts, 1);
    model_ = new ScenarioModel(read_scenario(*compilation_));
    from_files_ = new ScenarioModel(read_scenario(compiled_files(*compilation_)));
  }
  static void TearDownTestSuite() {
    delete from_files_;
    delete model_;
    delete compilation_;
  }
  static const ScenarioModel& model() { return *model_; }

  static inline Compilation* compilation_ = nullptr;
  static inline ScenarioModel* model_ = nullptr;
  static inline ScenarioModel* from_files_ = nullptr;
};

TEST_F(BuiltInModel, HoldsTheIdentityGeneralValuesAndSeal) {
  ASSERT_EQ(compilation_->StatusCode, 0);
  const GeneralValues& g = model().general;
  EXPECT_EQ(g.route_id, "Veltrano_Quarnelo");
  EXPECT_EQ(g.train_number, "58316");
  EXPECT_EQ(g.route_length, 72000);
  EXPECT_EQ(model().seal.cell_seal, kCellSeal);
  EXPECT_EQ(model().seal.table_seal, kTableSeal);
  EXPECT_NE(model().seal.plain_code, 0);
  EXPECT_EQ(model().cells.size(), 1581u);
  ASSERT_TRUE(model().compile_identity);
  EXPECT_EQ(model().compile_identity->route_id, "Veltrano_Quarnelo");
  EXPECT_EQ(model().extended_length, 79000);
}

TEST_F(BuiltInModel, CurvesAreTheCurveRecords) {
  const auto curves = records(line_description_lines(), "curva");
  ASSERT_TRUE(model().plan.present);
  ASSERT_EQ(model().plan.curves.size(), curves.size());
  ASSERT_EQ(model().plan.curvature_runs.size(), curves.size());
  for (size_t i = 0; i < curves.size(); ++i) {
    const int curve_class = number(curves[i][0].substr(6));
    const int side = curves[i][0][5] == 's' ? -1 : 1;
    const Curve& curve = model().plan.curves[i];
    EXPECT_EQ(curve.curve_class, side * curve_class) << curves[i][0];
    EXPECT_EQ(curve.start, number(curves[i][1]));
    EXPECT_EQ(curve.length, number(curves[i][2]));
    const CurvatureRun& run = model().plan.curvature_runs[i];
    EXPECT_EQ(run.curve_class, curve_class);
    EXPECT_EQ(run.units, side * class_curvature_units(curve_class));
    EXPECT_EQ(run.first_point - 1, curve.start);
    EXPECT_EQ(run.last_point, curve.start + curve.length);
  }
  EXPECT_FALSE(model().plan.first_point_off_walk);
}

TEST_F(BuiltInModel, TunnelsAreTheTunnelRecords) {
  const auto tunnels = records(line_description_lines(), "montagna");
  ASSERT_EQ(model().tunnels.size(), tunnels.size());
  ASSERT_EQ(model().listed_tunnels.size(), tunnels.size());
  for (size_t i = 0; i < tunnels.size(); ++i) {
    const Tunnel& t = model().tunnels[i];
    const int kind = number(tunnels[i][3]);
    EXPECT_EQ(t.start, number(tunnels[i][1]));
    EXPECT_EQ(t.end, number(tunnels[i][2]));
    EXPECT_EQ(t.kind, kind > 10 ? kind - 10 : kind);
    // A tunnel shorter than four cells has no fourth cell to mark.
    if (t.last_cell - t.first_cell >= 3) {
      EXPECT_EQ(t.written_kind, kind);
    }
    EXPECT_FALSE(t.stray_marker_cell);
    EXPECT_EQ(model().listed_tunnels[i].start, t.start);
    EXPECT_EQ(model().listed_tunnels[i].end, t.end);
  }
}

TEST_F(BuiltInModel, BoardsAreTheBoardRecords) {
  const auto speed = records(line_description_lines(), "indicatori_vmax");
  ASSERT_EQ(model().speed_boards.size(), speed.size());
  for (size_t i = 0; i < speed.size(); ++i) {
    const SpeedBoard& board = model().speed_boards[i];
    EXPECT_EQ(board.position, number(speed[i][1]));
    EXPECT_EQ(board.values.left[0], number(speed[i][2]));
    EXPECT_EQ(board.values.right[2], number(speed[i][8]));
  }
  const auto information = records(line_description_lines(), "cartello_indicatore");
  ASSERT_EQ(model().information_boards.size(), information.size());
  ASSERT_EQ(model().board_texts.size(), information.size());
  for (size_t i = 0; i < information.size(); ++i) {
    const InformationBoard& board = model().information_boards[i];
    EXPECT_EQ(board.position, number(information[i][1]));
    EXPECT_EQ(board.slot, kFirstBoardTextSlot - static_cast<int>(i));
    EXPECT_EQ(board.text, information[i][2]);
    EXPECT_TRUE(board.owns_text_slot);
    EXPECT_EQ(model().board_texts[i].board, i);
  }
}

TEST_F(BuiltInModel, StationsAreTheStationRecords) {
  const auto stations = records(train_description_lines(), "stazione");
  ASSERT_EQ(model().stations.size(), stations.size());
  EXPECT_EQ(model().last_filled_station_slot, static_cast<int>(stations.size()));
  for (size_t i = 0; i < stations.size(); ++i) {
    const Station& s = model().stations[i];
    EXPECT_EQ(s.slot, static_cast<int>(i) + 1);
    EXPECT_EQ(s.values.position, number(stations[i][1]));
    EXPECT_EQ(s.values.name, stations[i].back());
    EXPECT_EQ(s.name_utf8, stations[i].back());
    EXPECT_EQ(s.kind == StationKind::Station, number(stations[i][2]) < kFirstHaltType);
    EXPECT_EQ(s.marker_cell.has_value(), s.kind == StationKind::Station);
    EXPECT_EQ(s.terminus, i + 1 == stations.size());
    EXPECT_EQ(model().slots[i + 1].role, SlotRole::Station);
  }
}

TEST_F(BuiltInModel, SignalsAndSlowOrdersAreTheirRecords) {
  const auto signals = records(train_description_lines(), "segnale");
  ASSERT_EQ(model().signals.size(), signals.size());
  std::vector<int32_t> written, read;
  for (const auto& s : signals) written.push_back(number(s[1]));
  for (const Signal& s : model().signals) read.push_back(s.position);
  std::sort(written.begin(), written.end());
  EXPECT_EQ(read, written);

  const auto orders = records(train_description_lines(), "rallentamento");
  ASSERT_EQ(model().slow_orders.size(), orders.size());
  for (size_t i = 0; i < orders.size(); ++i) {
    const SlowOrder& o = model().slow_orders[i];
    const int x = number(orders[i][1]);
    EXPECT_EQ(o.start, x);
    EXPECT_EQ(o.values.v, number(orders[i][2]));
    EXPECT_EQ(o.end, x + number(orders[i][3]));
    EXPECT_EQ(o.matching_end, o.end);
    EXPECT_EQ(o.approach_boards, x > 1500 && number(orders[i][5]) == 1);
    EXPECT_FALSE(o.missing_warning_board);
  }
  EXPECT_TRUE(model().unclaimed_slow_order_cells.empty());
}

TEST_F(BuiltInModel, TheAuthorsCodePointsAreTheCodeRecords) {
  std::map<int32_t, int32_t> written;
  for (const auto& r : records(train_description_lines(), "abbattimento"))
    written[number(r[1])] = number(r[2]);
  std::map<int32_t, int32_t> authored;
  size_t derived = 0;
  for (const CodePoint& p : model().code_points) {
    if (p.derived) {
      EXPECT_EQ(p.code, 180);
      ++derived;
    } else {
      authored[p.position] = p.code;
    }
  }
  EXPECT_EQ(authored, written);
  EXPECT_GT(derived, 0u);
}

TEST_F(BuiltInModel, ReadsTheSameFromTheFilesAsFromTheCompile) {
  const ScenarioModel& files = *from_files_;
  EXPECT_EQ(files.stations.size(), model().stations.size());
  EXPECT_EQ(files.signals.size(), model().signals.size());
  EXPECT_EQ(files.code_points.size(), model().code_points.size());
  ASSERT_EQ(files.plan.curves.size(), model().plan.curves.size());
  for (size_t i = 0; i < files.plan.curves.size(); ++i) {
    EXPECT_EQ(files.plan.curves[i].start, model().plan.curves[i].start);
    EXPECT_EQ(files.plan.curves[i].length, model().plan.curves[i].length);
  }
  EXPECT_EQ(files.plan.last_point, model().plan.last_point);
  EXPECT_TRUE(files.listed_tunnels.empty());
  EXPECT_FALSE(files.compile_identity);
}

}  // namespace
}  // namespace scengen
