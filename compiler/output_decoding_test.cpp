#include "compiler/output_decoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "compiler/output_files.h"
#include "testing/bytes.h"
#include "testing/models.h"

namespace scengen {
namespace {

using testing::bytes;

TEST(TrackDecoding, CellFieldsComeBackFromTheirOffsets) {
  // Cell 1 written by hand: Kind 1, Param1 5121, Param2 -1, Param3 0x0A0B, Param4 8, then the
  // six single bytes.
  const std::string image = std::string(15, '\0') + bytes({1, 0x01, 0x14, 0xFF, 0xFF, 0x0B, 0x0A, 8,
                                                           0, 101, 81, 2, 6, 97, 255});
  const auto decoded = decode_track_cells(image);
  ASSERT_TRUE(decoded) << decoded.error;
  ASSERT_EQ(decoded.value->size(), 2u);
  const TrackCell& c = (*decoded.value)[1];
  EXPECT_EQ(c.Kind, 1);
  EXPECT_EQ(c.Param1, 5121);
  EXPECT_EQ(c.Param2, -1);
  EXPECT_EQ(c.Param3, 0x0A0B);
  EXPECT_EQ(c.Param4, 8);
  EXPECT_EQ(c.Param5, 101);
  EXPECT_EQ(c.Mark, 81);
  EXPECT_EQ(c.Tunnel, 2);
  EXPECT_EQ(c.SpeedLimit, 6);
  EXPECT_EQ(c.Gradient, 97);
  EXPECT_EQ(c.Adhesion, 255);
  EXPECT_EQ(encode_track_cells(*decoded.value), image);
}

TEST(TrackDecoding, SizeThatIsNotWholeCellsIsRefused) {
  for (size_t size : {0, 1, 14, 15, 16, 29, 31, 23714}) {
    const auto decoded = decode_track_cells(std::string(size, '\0'));
    EXPECT_FALSE(decoded) << size;
    EXPECT_FALSE(decoded.error.empty()) << size;
  }
  EXPECT_TRUE(decode_track_cells(std::string(23715, '\0')));
}

TEST(ScenarioTableDecoding, RecordWithTextComesBackFieldForField) {
  ScenarioTable table;
  ScenarioEntry& e = table[4];
  e.Tag = 12;
  e.Num1 = 9250;
  e.Num2 = 9850;
  e.Num3 = 9550;
  e.Tag2 = 1;
  e.Text = "ROGOREDO n\xB0";
  e.Small1 = 5;
  e.Small2 = -6;
  e.Small3 = 2;
  e.Small4 = 1;
  e.Small5 = 1;
  e.Flag1 = 1;
  e.Flag2 = 60;
  e.Flag3 = 0;
  e.Flag4 = 255;
  e.Num4 = 8 * 3600 + 33 * 60;
  table[85].Text = "Veltrano_Quarnelo";
  table[85].Num4 = -70000;
  table[86].Text = "58316";
  const std::string image = *encode_scenario_table(table);

  const auto decoded = decode_scenario_table(image);
  ASSERT_TRUE(decoded) << decoded.error;
  const ScenarioEntry& d = (*decoded.value)[4];
  EXPECT_EQ(d.Tag, 12);
  EXPECT_EQ(d.Num1, 9250);
  EXPECT_EQ(d.Num2, 9850);
  EXPECT_EQ(d.Num3, 9550);
  EXPECT_EQ(d.Tag2, 1);
  EXPECT_EQ(d.Text, "ROGOREDO n\xB0");
  EXPECT_EQ(d.Small2, -6);
  EXPECT_EQ(d.Flag2, 60);
  EXPECT_EQ(d.Flag4, 255);
  EXPECT_EQ(d.Num4, 30780);
  EXPECT_EQ((*decoded.value)[85].Text, "Veltrano_Quarnelo");
  EXPECT_EQ((*decoded.value)[85].Num4, -70000);
  EXPECT_EQ((*decoded.value)[86].Text, "58316");
  EXPECT_EQ(*encode_scenario_table(*decoded.value), image);
}

TEST(ScenarioTableDecoding, EveryCutShortImageAndExtraBytesAreRefused) {
  ScenarioTable table;
  table[80].Text = "(P.B.A.)(P. 253)";
  table[86].Text = "58316";
  const std::string image = *encode_scenario_table(table);
  ASSERT_TRUE(decode_scenario_table(image));
  for (size_t size = 0; size < image.size(); ++size) {
    EXPECT_FALSE(decode_scenario_table(image.substr(0, size))) << size;
  }
  const auto longer = decode_scenario_table(image + "x");
  EXPECT_FALSE(longer);
  EXPECT_NE(longer.error.find("1 bytes more"), std::string::npos) << longer.error;
}

TEST(ScenarioTableDecoding, TextLengthPointingPastTheEndIsRefused) {
  std::string image = *encode_scenario_table(ScenarioTable{});
  image[14] = static_cast<char>(0xFF);  // slot 0 claims a text of 65535 bytes
  image[15] = static_cast<char>(0xFF);
  EXPECT_FALSE(decode_scenario_table(image));
}

TEST(RoutePlanDecoding, TagsAndValuesComeBackPerCoordinate) {
  TrackPlan plan;
  testing::start_plan(plan, 4);
  plan.set_double(2, 0, 0.003);
  plan.set_double(2, 1, 1001.5);
  plan.set_double(3, 1, -0.0);
  const std::string image = encode_route_plan(plan);
  // 5 points per coordinate: tags 2, 2, 5, 0, 0 then 2, 2, 5, 5, 0.
  ASSERT_EQ(image.size(), (4 + 4 + 10 + 2 + 2) + (4 + 4 + 10 + 10 + 2));

  const auto decoded = decode_route_plan(image);
  ASSERT_TRUE(decoded) << decoded.error;
  const TrackPlan& d = *decoded.value;
  EXPECT_EQ(d.last_point(), 4);
  EXPECT_EQ(d.tag(1, 1), PlanTag::Integer);
  EXPECT_EQ(d.value(1, 1), 1.0);
  EXPECT_EQ(d.tag(2, 0), PlanTag::Double);
  EXPECT_EQ(d.value(2, 0), 0.003);
  EXPECT_EQ(d.value(2, 1), 1001.5);
  EXPECT_EQ(d.tag(3, 0), PlanTag::Empty);
  EXPECT_TRUE(std::signbit(d.value(3, 1)));
  EXPECT_EQ(d.tag(4, 1), PlanTag::Empty);
  EXPECT_EQ(encode_route_plan(d), image);
}

TEST(RoutePlanDecoding, MalformedImagesAreRefused) {
  struct Case {
    const char* what;
    std::string image;
  };
  const Case cases[] = {
      {"empty", ""},
      {"one element", bytes({0, 0})},
      {"odd number of elements", bytes({0, 0, 0, 0, 0, 0})},
      {"unknown tag", bytes({0, 0, 3, 0})},
      {"tag cut short", bytes({0, 0, 0})},
      {"integer cut short", bytes({0, 0, 2, 0, 7})},
      {"double cut short", bytes({0, 0, 5, 0, 1, 2, 3, 4, 5, 6, 7})},
  };
  for (const Case& c : cases) {
    const auto decoded = decode_route_plan(c.image);
    EXPECT_FALSE(decoded) << c.what;
    EXPECT_FALSE(decoded.error.empty()) << c.what;
    // The visitor refuses the same bytes for the same reason, and visits nothing.
    int visited = 0;
    EXPECT_EQ(visit_route_plan(c.image, [&](const RoutePlanPoint&) { ++visited; }), decoded.error)
        << c.what;
    EXPECT_EQ(visited, 0) << c.what;
  }
  EXPECT_TRUE(decode_route_plan(bytes({0, 0, 2, 0, 7, 0})));
}

TEST(RoutePlanDecoding, TheVisitorSeesWhatTheDecoderHolds) {
  TrackPlan plan;
  testing::start_plan(plan, 6);
  plan.set_double(2, 0, 0.003);
  plan.set_integer(3, 0, -7);
  plan.set_double(2, 1, 1001.5);
  plan.set_double(4, 1, -0.0);
  const std::string image = encode_route_plan(plan);
  const auto decoded = decode_route_plan(image);
  ASSERT_TRUE(decoded) << decoded.error;
  int32_t next = 0;
  const std::string error = visit_route_plan(image, [&](const RoutePlanPoint& p) {
    EXPECT_EQ(p.point, next++);
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      EXPECT_EQ(p.tags[coordinate], decoded.value->tag(p.point, coordinate)) << p.point;
      EXPECT_EQ(std::bit_cast<uint64_t>(p.values[coordinate]),
                std::bit_cast<uint64_t>(decoded.value->value(p.point, coordinate)))
          << p.point;
    }
  });
  EXPECT_EQ(error, "");
  EXPECT_EQ(next, 7);
  EXPECT_EQ(decoded.value->value(3, 0), -7.0);
  const auto layout = check_route_plan(image);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout.value->last_point, 6);
}

// A long plan is checked in blocks of doubles with marks on the way: wherever the other tags
// stand, coordinate 1 is found where a walk element by element finds it, and a flaw anywhere is
// still refused.
TEST(RoutePlanDecoding, LongPlansAreLaidOutAsAnElementWalkFindsThem) {
  struct Case {
    const char* what;
    int32_t last_point;
    std::vector<int32_t> integers_in_coordinate_0;
    std::vector<int32_t> empties_in_coordinate_1;
  };
  const Case cases[] = {
      {"all doubles after the first points", 20000, {}, {}},
      {"odd elements about the middle", 9000, {4095, 4096, 8999}, {2, 3, 4097}},
      {"a plan a block short of a mark", 4095 + 64, {4095 + 63}, {4095}},
      {"odd elements on every block's edge", 5000, {63, 64, 127, 128, 4095, 4096}, {64, 4096}},
  };
  for (const Case& c : cases) {
    TrackPlan plan;
    testing::start_plan(plan, c.last_point);
    const auto empty = [&](int32_t p) {
      return std::find(c.empties_in_coordinate_1.begin(), c.empties_in_coordinate_1.end(), p) !=
             c.empties_in_coordinate_1.end();
    };
    for (int32_t p = 2; p <= c.last_point; ++p) {
      plan.set_double(p, 0, p * 0.5);
      if (!empty(p)) plan.set_double(p, 1, -p * 0.25);
    }
    for (const int32_t p : c.integers_in_coordinate_0) plan.set_integer(p, 0, 3);
    const std::string image = encode_route_plan(plan);
    size_t second = 0;
    for (int32_t p = 0; p <= c.last_point; ++p) second += plan_element_bytes(plan.tag(p, 0));
    const auto layout = check_route_plan(image);
    ASSERT_TRUE(layout) << c.what << ": " << layout.error;
    EXPECT_EQ(layout.value->last_point, c.last_point) << c.what;
    EXPECT_EQ(layout.value->second_coordinate, second) << c.what;

    size_t deep = second;  // point 3000 of coordinate 1
    for (int32_t p = 0; p < 3000; ++p) deep += plan_element_bytes(plan.tag(p, 1));
    std::string flawed = image;
    flawed[deep] = 4;  // a tag no element has
    EXPECT_FALSE(check_route_plan(flawed)) << c.what;
    EXPECT_FALSE(check_route_plan(image.substr(0, image.size() - 1))) << c.what;
  }
}

}  // namespace
}  // namespace scengen
