#include "render/route_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "compiler/compile.h"
#include "render/svg_text.h"
#include "testing/models.h"
#include "testing/svg_reading.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

using testing::hand_made_model;
using testing::PlanPoint;
using testing::route_points;

// The route map of a compile, as the render command draws it.
std::string map_of(const Compilation& c) {
  return route_map_svg(c.TrackPlan, view_route(read_scenario(c)));
}

// The six numbers of the plan group's matrix.
std::vector<double> plan_matrix(const std::string& svg) {
  const std::string start = "id=\"map-plan\" transform=\"matrix(";
  const size_t from = svg.find(start);
  if (from == std::string::npos) return {};
  std::istringstream in(svg.substr(from + start.size()));
  std::vector<double> m(6);
  for (double& v : m) in >> v;
  return m;
}

TEST(RouteMap, IsWellFormedXml) {
  EXPECT_EQ(testing::xml_complaints("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
                                    map_of(hand_made_model())),
            "");
}

TEST(RouteMap, ThePathFollowsThePlanFromTheStartToTheEnd) {
  const Compilation c = hand_made_model();
  const auto points = route_points(map_of(c));
  ASSERT_GE(points.size(), 4u);
  EXPECT_DOUBLE_EQ(points.front().x, 0);
  EXPECT_DOUBLE_EQ(points.front().y, 0);
  // The last point is the plan's point at the end of the route, 10000 m.
  EXPECT_NEAR(points.back().x, c.TrackPlan.value(10000, 0), 5e-4);
  EXPECT_NEAR(points.back().y, c.TrackPlan.value(10000, 1), 5e-4);
  // The first curve turns right at 1000 m: point 1000 is the last straight one, and the first
  // curved point 1001 lies 0.003 m to the right of the straight.
  auto has = [&](double x, double y) {
    for (const PlanPoint& p : points) {
      if (std::abs(p.x - x) < 5e-4 && std::abs(p.y - y) < 5e-4) return true;
    }
    return false;
  };
  EXPECT_TRUE(has(0, 1000));
  EXPECT_TRUE(has(0.003, 1001));
  // Inside the curve the drawn chord never strays far from the plan: every kept point is a
  // plan point, and consecutive ones are close enough for a smooth curve.
  for (size_t i = 1; i < points.size(); ++i) {
    const double turn_room =
        std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    if (points[i].y > 1000 && points[i].y < 1300 && points[i - 1].y >= 1000) {
      EXPECT_LE(turn_room, 10) << "between points " << i - 1 << " and " << i;
    }
  }
}

TEST(RouteMap, BothCoordinatesHaveOneScaleAndThePlanFitsThePicture) {
  const std::string svg = map_of(hand_made_model());
  const auto m = plan_matrix(svg);
  ASSERT_EQ(m.size(), 6u);
  EXPECT_GT(m[0], 0);
  EXPECT_DOUBLE_EQ(m[3], -m[0]);  // coordinate 1 points up the picture
  EXPECT_EQ(m[1], 0);
  EXPECT_EQ(m[2], 0);
  const auto svg_element = testing::elements(svg.substr(0, svg.find('>') + 1) + "</svg>", "svg");
  ASSERT_EQ(svg_element.size(), 1u);
  const double width = svg_element[0].number("width");
  const double height = svg_element[0].number("height");
  EXPECT_LE(width, 1600);
  EXPECT_LE(height, 1000);
  for (const PlanPoint& p : route_points(svg)) {
    const double sx = m[0] * p.x + m[4];
    const double sy = m[3] * p.y + m[5];
    EXPECT_GE(sx, 0);
    EXPECT_LE(sx, width);
    EXPECT_GE(sy, 0);
    EXPECT_LE(sy, height);
  }
}

TEST(RouteMap, LabelsTheStationsTheStartAndTheEnd) {
  const std::string svg = map_of(hand_made_model());
  std::vector<std::string> names;
  for (const auto& t : testing::of_class(svg, "text", "map-station-name"))
    names.push_back(t.content);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ARRIVO", "Fermata \xC3\xA8", "ORIGINE"}));
  ASSERT_EQ(testing::of_class(svg, "text", "map-start").size(), 1u);
  ASSERT_EQ(testing::of_class(svg, "text", "map-end").size(), 1u);
  EXPECT_EQ(testing::of_class(svg, "text", "map-end")[0].content, "End 10 km");
  EXPECT_NE(svg.find("class=\"map-tunnel\""), std::string::npos);
  EXPECT_EQ(testing::of_class(svg, "circle", "map-station").size(), 2u);
  EXPECT_EQ(testing::of_class(svg, "circle", "map-halt").size(), 1u);
}

TEST(RouteMap, CrowdedStationsKeepTheirLabelsApartOrLeaveThemOut) {
  Compilation c = hand_made_model();
  // Thirty stations 100 m apart crowd the start of the route.
  for (int slot = 1; slot <= 30; ++slot) {
    ScenarioEntry& e = c.ScenarioTable[static_cast<size_t>(slot)];
    e = ScenarioEntry{};
    e.Tag = 12;
    e.Num3 = (slot - 1) * 100;
    e.Text = "STATION NUMBER " + std::to_string(slot);
  }
  const std::string svg = map_of(c);
  const auto labels = testing::of_class(svg, "text", "map-station-name");
  ASSERT_FALSE(labels.empty());
  struct Extent {
    double left, top, right, bottom;
  };
  std::vector<Extent> boxes;
  for (const auto& t : labels) {
    const double size = t.number("font-size");
    const double w = text_width(t.content, size);
    const double x = t.number("x");
    const double y = t.number("y");
    boxes.push_back({x - w / 2, y - size * 0.9, x + w / 2, y + size * 0.2});
  }
  for (size_t i = 0; i < boxes.size(); ++i) {
    for (size_t j = i + 1; j < boxes.size(); ++j) {
      const bool apart = boxes[i].right <= boxes[j].left || boxes[j].right <= boxes[i].left ||
                         boxes[i].bottom <= boxes[j].top || boxes[j].bottom <= boxes[i].top;
      EXPECT_TRUE(apart) << labels[i].content << " and " << labels[j].content;
    }
  }
  // What did not fit is counted in the legend.
  if (labels.size() < 30) {
    EXPECT_NE(svg.find(std::to_string(30 - labels.size()) + " names left out for room"),
              std::string::npos);
  }
}

TEST(RouteMap, AModelWithoutAPlanSaysSo) {
  Compilation c = hand_made_model();
  c.TrackPlan = TrackPlan{};
  const std::string svg = map_of(c);
  EXPECT_EQ(svg.find("map-route"), std::string::npos);
  EXPECT_NE(svg.find("no ground plan"), std::string::npos);
}

TEST(RouteMap, TheBuiltInPathHasThePlansShape) {
  Compilation c;
  c.RouteId = "Veltrano_Quarnelo";
  c.TrainNumber = "58316";
  MemoryTexts texts(emit_line_list(line_description_lines()),
                    emit_line_list(train_description_lines()));
  compile_scenario(c, texts, 1);
  const auto points = route_points(map_of(c));
  ASSERT_GT(points.size(), 100u);
  EXPECT_EQ(points.front().x, 0);
  EXPECT_EQ(points.front().y, 0);
  // The first curve, class 6 to the right at 1000 m: points up to 1000 lie on coordinate 1, and
  // point 1001 is (0.003, 1001).
  auto has = [&](double x, double y) {
    return std::any_of(points.begin(), points.end(), [&](const PlanPoint& p) {
      return std::abs(p.x - x) < 5e-4 && std::abs(p.y - y) < 5e-4;
    });
  };
  EXPECT_TRUE(has(0, 1000));
  EXPECT_TRUE(has(0.003, 1001));
  // The last point is the plan's point at the end of the route, 72000 m.
  ASSERT_TRUE(c.TrackPlan.exists());
  EXPECT_NEAR(points.back().x, c.TrackPlan.value(72000, 0), 5e-4);
  EXPECT_NEAR(points.back().y, c.TrackPlan.value(72000, 1), 5e-4);
  // Straight stretches are drawn straight: no point of the path leaves the plan. Every drawn
  // point is the plan point nearest to it in route order.
  int32_t metre = 0;
  for (const PlanPoint& p : points) {
    while (metre <= 72000 && (std::abs(c.TrackPlan.value(metre, 0) - p.x) > 5e-4 ||
                              std::abs(c.TrackPlan.value(metre, 1) - p.y) > 5e-4)) {
      ++metre;
    }
    ASSERT_LE(metre, 72000) << "a drawn point (" << p.x << ", " << p.y << ") is not on the plan";
  }
}

}  // namespace
}  // namespace scengen
