#include "render/route_profile.h"

#include <gtest/gtest.h>

#include <optional>

#include "render/route_map.h"
#include "render/svg_text.h"
#include "testing/models.h"
#include "testing/svg_reading.h"

namespace scengen {
namespace {

using testing::hand_made_model;

// The pictures of a compile, as the render command draws them.
std::string map_of(const Compilation& c) {
  return route_map_svg(c.TrackPlan, view_route(read_scenario(c)));
}
std::string profile_of(const Compilation& c) {
  return route_profile_svg(view_route(read_scenario(c)));
}

std::vector<std::string> contents(const std::vector<testing::TextElement>& found) {
  std::vector<std::string> texts;
  for (const auto& e : found) texts.push_back(e.content);
  return texts;
}

std::vector<int> positions(const std::vector<testing::TextElement>& found) {
  std::vector<int> at;
  for (const auto& e : found) at.push_back(std::stoi(e.attributes.at("data-m")));
  return at;
}

TEST(RouteProfile, IsWellFormedXml) {
  EXPECT_EQ(testing::xml_complaints("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
                                    profile_of(hand_made_model())),
            "");
}

TEST(RouteProfile, NamesTheStationsInRouteOrderWithTheirTimes) {
  const std::string svg = profile_of(hand_made_model());
  const auto names = testing::of_class(svg, "text", "profile-station");
  EXPECT_EQ(contents(names), (std::vector<std::string>{"ORIGINE", "Fermata \xC3\xA8", "ARRIVO"}));
  EXPECT_EQ(positions(names), (std::vector<int>{0, 3000, 9500}));
  EXPECT_EQ(contents(testing::of_class(svg, "text", "profile-time")),
            (std::vector<std::string>{"8:20", "9:33"}));
}

TEST(RouteProfile, ShowsEveryFeatureAtItsPosition) {
  const std::string svg = profile_of(hand_made_model());
  EXPECT_EQ(positions(testing::of_class(svg, "path", "profile-signal")), std::vector<int>{1750});
  EXPECT_EQ(positions(testing::of_class(svg, "rect", "profile-speed-board")),
            (std::vector<int>{700, 1250}));
  EXPECT_EQ(positions(testing::of_class(svg, "rect", "profile-information-board")),
            std::vector<int>{1700});
  EXPECT_EQ(positions(testing::of_class(svg, "path", "profile-warning-board")),
            std::vector<int>{4800});
  EXPECT_EQ(positions(testing::of_class(svg, "line", "profile-approach-board")),
            (std::vector<int>{4600, 4650, 4700, 4750}));
  EXPECT_EQ(positions(testing::of_class(svg, "line", "profile-slow-order")),
            std::vector<int>{6000});
  EXPECT_EQ(positions(testing::of_class(svg, "line", "profile-tunnel")), std::vector<int>{4000});
  EXPECT_EQ(positions(testing::of_class(svg, "rect", "profile-adhesion")), std::vector<int>{4000});
  const auto codes = testing::of_class(svg, "line", "profile-code-point");
  EXPECT_EQ(positions(codes), (std::vector<int>{2000, 3000}));
  EXPECT_EQ(codes[0].attributes.at("data-code"), "270");
  EXPECT_EQ(contents(testing::of_class(svg, "text", "profile-code")),
            (std::vector<std::string>{"270", "none"}));
  EXPECT_EQ(contents(testing::of_class(svg, "text", "profile-board-text")),
            std::vector<std::string>{"P.B.A. / P. 253"});
  // The gradient values in per mille, with a true minus sign.
  EXPECT_EQ(contents(testing::of_class(svg, "text", "profile-gradient-value")),
            (std::vector<std::string>{"0 \xE2\x80\xB0", "+5 \xE2\x80\xB0", "0 \xE2\x80\xB0",
                                      "\xE2\x88\x92"
                                      "3 \xE2\x80\xB0",
                                      "0 \xE2\x80\xB0"}));
  EXPECT_EQ(contents(testing::of_class(svg, "text", "profile-progressive")),
            std::vector<std::string>{"progressive km 218+400"});
  EXPECT_NE(svg.find(">140/160/190 R 140/160/180<"), std::string::npos);
  EXPECT_NE(svg.find(">slow order 40 km/h<"), std::string::npos);
  EXPECT_NE(svg.find(">tunnel 600 m<"), std::string::npos);
}

TEST(RouteProfile, CrowdedStationNamesStayApart) {
  Compilation c = hand_made_model();
  for (int slot = 1; slot <= 40; ++slot) {
    ScenarioEntry& e = c.ScenarioTable[static_cast<size_t>(slot)];
    e = ScenarioEntry{};
    e.Tag = 12;
    e.Num3 = 2000 + (slot - 1) * 50;  // forty stations within 2 km
    e.Text = std::string("S");
    e.Text += std::to_string(slot);
  }
  const std::string svg = profile_of(c);
  const auto names = testing::of_class(svg, "text", "profile-station");
  ASSERT_EQ(names.size(), 40u);
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(names[i].content, "S" + std::to_string(i + 1));
  // Each name stands turned upright; its column is the x of its text.
  for (size_t i = 1; i < names.size(); ++i) {
    const double gap = names[i].number("x") - names[i - 1].number("x");
    EXPECT_GE(gap, names[i].number("font-size")) << names[i - 1].content << " " << names[i].content;
  }
}

TEST(RouteProfile, NoLabelOverlapsAnother) {
  // The check itself sees two labels that touch.
  EXPECT_EQ(testing::overlapping_texts("<text x=\"10\" y=\"20\" font-size=\"10\">abc</text>"
                                       "<text x=\"25\" y=\"24\" font-size=\"10\">def</text>"
                                       "<text x=\"10\" y=\"40\" font-size=\"10\">ghi</text>"),
            std::vector<std::string>{"'abc' and 'def'"});
  EXPECT_EQ(testing::overlapping_texts(profile_of(hand_made_model())), std::vector<std::string>{});
}

// A 100 km route with a maximum-speed board and an information board every 100 m.
RouteView dense_boards_view() {
  RouteView view;
  view.route_id = "Fitta";
  view.train_number = "1";
  view.route_length = view.drawn_length = 100000;
  view.elevation.assign(view.route_length / kElevationStep + 1, 0.0);
  for (int32_t m = 100; m < view.route_length; m += 100) {
    SpeedBoard speed;
    speed.position = m;
    speed.values.left = {100 + m % 700 / 100 * 5, 110, 120};
    speed.values.strisces = m % 300 == 0 ? 1 : 0;
    view.speed_boards.push_back(speed);
    InformationBoard board;
    board.position = m + 50;
    board.panels = {"PONTE " + std::to_string(m / 100), "KM " + std::to_string(m)};
    view.information_boards.push_back(board);
  }
  return view;
}

TEST(RouteProfile, BoardLabelsNeverOverlapAndThoseLeftOutAreCounted) {
  struct Case {
    const char* name;
    std::optional<Stretch> stretch;
    bool counts;  // whether some labels find no room
  };
  const Case cases[] = {{"the whole route", std::nullopt, true},
                        {"one kilometre", Stretch{40000, 41000}, false}};
  const RouteView whole = dense_boards_view();
  for (const Case& c : cases) {
    const RouteView view = c.stretch ? crop_route(whole, *c.stretch) : whole;
    const ProfileDrawing drawing = draw_route_profile(view);
    int speed = 0, information = 0;
    bool any_count = false;
    const auto& labels = drawing.board_labels;
    for (size_t i = 0; i < labels.size(); ++i) {
      (labels[i].speed_board ? speed : information) += labels[i].stands_for;
      any_count = any_count || labels[i].stands_for > 1 || labels[i].text.starts_with("+");
      for (size_t j = i + 1; j < labels.size(); ++j) {
        EXPECT_FALSE(labels[i].box.overlaps(labels[j].box))
            << c.name << ": '" << labels[i].text << "' and '" << labels[j].text << "'";
      }
    }
    EXPECT_EQ(speed, static_cast<int>(view.speed_boards.size())) << c.name;
    EXPECT_EQ(information, static_cast<int>(view.information_boards.size())) << c.name;
    EXPECT_EQ(any_count, c.counts) << c.name;
    EXPECT_EQ(testing::overlapping_texts(drawing.svg), std::vector<std::string>{}) << c.name;
    EXPECT_EQ(testing::xml_complaints(drawing.svg), "") << c.name;
  }
}

TEST(RoutePictures, AHostileModelStillGivesWellFormedPictures) {
  Compilation c = hand_made_model();
  c.RouteId = std::string("R<&\x01\"'");
  c.ScenarioTable[1].Text = std::string(
      "A<&\x01\x81"
      "B");
  c.ScenarioTable[1].Num3 = -5000;       // before the start
  c.ScenarioTable[2].Num3 = 2000000000;  // far beyond the track
  c.TrackCells[35].Param1 = 300;         // a board text slot outside the table
  c.TrackCells[36].Param1 = -1;
  c.TrackCells[15].Param1 = -32768;  // a speed board packed out of all sense
  c.TrackCells[40].Kind = 9;         // a kind no placement writes
  c.TrackCells[121].Param1 = -40;    // a slow order below zero
  c.TunnelCount = 500;               // more tunnels than the lists hold
  c.TunnelStart[2] = 9000;
  c.TunnelEnd[2] = -100;                // ending before it starts
  c.ScenarioTable[84].Num2 = 50000000;  // a route longer than its cells
  for (auto& cell : c.TrackCells) cell.Gradient = 255;
  EXPECT_EQ(testing::xml_complaints(map_of(c)), "");
  EXPECT_EQ(testing::xml_complaints(profile_of(c)), "");
}

TEST(RouteProfile, AModelWithoutCellsStillGivesAPicture) {
  Compilation c;
  c.RouteId = "Vuota";
  c.TrainNumber = "1";
  EXPECT_EQ(testing::xml_complaints(profile_of(c)), "");
}

}  // namespace
}  // namespace scengen
