#include "render/scenario_pictures.h"

#include <gtest/gtest.h>

#include "testing/models.h"
#include "testing/svg_reading.h"

namespace scengen {
namespace {

// The <svg> start tag's attributes.
std::map<std::string, std::string> svg_tag(const std::string& svg) {
  const size_t at = svg.find("<svg");
  return testing::attributes_of(svg.substr(at + 4, svg.find('>', at) - at - 4));
}

// The picture after its <svg> start tag.
std::string after_svg_tag(const std::string& svg) {
  return svg.substr(svg.find('>', svg.find("<svg")));
}

TEST(FailureBanner, StandsInAStripOfItsOwnAboveEveryTitle) {
  const Compilation c = testing::hand_made_model();
  const ScenarioPictures good = draw_scenario(c, "compiled", {});
  const ScenarioPictures failed =
      draw_scenario(c, "error 15", {}, std::nullopt, "compile error 15 at 78950 m");
  struct Case {
    const char* picture;
    const std::string& good;
    const std::string& failed;
    const char* title_class;
  };
  const Case cases[] = {{"map", good.map, failed.map, "map-title"},
                        {"profile", good.profile, failed.profile, "profile-title"}};
  for (const Case& p : cases) {
    EXPECT_EQ(testing::xml_complaints(p.failed), "") << p.picture;
    const auto before = svg_tag(p.good);
    const auto after = svg_tag(p.failed);
    EXPECT_EQ(std::stod(after.at("height")), std::stod(before.at("height")) + 24) << p.picture;
    EXPECT_EQ(after.at("viewBox"), "0 -24 " + before.at("width") + " " + after.at("height"))
        << p.picture;
    const size_t banner_at = p.failed.find("<g class=\"compile-failure\">");
    ASSERT_NE(banner_at, std::string::npos) << p.picture;
    const auto banner = testing::elements(p.failed.substr(banner_at), "rect").at(0);
    const auto words = testing::elements(p.failed.substr(banner_at), "text").at(0);
    EXPECT_EQ(words.content, "compile error 15 at 78950 m");
    const double banner_bottom = banner.number("y") + banner.number("height");
    EXPECT_EQ(banner.number("y"), -24) << p.picture;
    const auto titles = testing::of_class(p.failed, "text", p.title_class);
    ASSERT_EQ(titles.size(), 1u) << p.picture;
    // The title's capitals reach its size above the baseline at most.
    EXPECT_LE(banner_bottom, titles[0].number("y") - titles[0].number("font-size")) << p.picture;
    // Nothing of the picture itself moved.
    std::string without = p.failed;
    without.erase(banner_at, without.rfind("</svg>") - banner_at);
    EXPECT_EQ(after_svg_tag(without), after_svg_tag(p.good)) << p.picture;
  }
  // The page shows the pictures as drawn, banner and all.
  EXPECT_NE(failed.page.find("viewBox=\"0 -24 "), std::string::npos);
}

}  // namespace
}  // namespace scengen
