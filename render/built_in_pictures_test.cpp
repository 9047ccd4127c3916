// The built-in scenario's pictures, drawn from its compiled model.
#include <gtest/gtest.h>

#include "compiler/compile.h"
#include "render/scenario_pictures.h"
#include "render/svg_testing.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

class BuiltInRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    model_ = new Compilation;
    model_->RouteId = "Veltrano_Quarnelo";
    model_->TrainNumber = "58316";
    MemoryTexts texts(emit_line_list(line_description_lines()),
                      emit_line_list(train_description_lines()));
    compile_scenario(*model_, texts, 1);
    pictures_ = new ScenarioPictures(draw_scenario(*model_, "Compiled without errors.", {}));
    // xmllint reads files.
    folder_ = new fs::path(testing::fresh_folder("built-in"));
    testing::write_file(*folder_ / "Veltrano_Quarnelo_map.svg", pictures_->map);
    testing::write_file(*folder_ / "Veltrano_Quarnelo_58316_profile.svg", pictures_->profile);
  }
  static void TearDownTestSuite() {
    fs::remove_all(*folder_);
    delete folder_;
    delete pictures_;
    delete model_;
  }
  static std::string file(const std::string& name) { return testing::read_file(*folder_ / name); }

  static inline Compilation* model_ = nullptr;
  static inline ScenarioPictures* pictures_ = nullptr;
  static inline fs::path* folder_ = nullptr;
};

TEST_F(BuiltInRender, BothPicturesAreWellFormedXml) {
  EXPECT_EQ(testing::xmllint_complaints(*folder_ / "Veltrano_Quarnelo_map.svg"), "");
  EXPECT_EQ(testing::xmllint_complaints(*folder_ / "Veltrano_Quarnelo_58316_profile.svg"), "");
}

TEST_F(BuiltInRender, TheProfileNamesThe18StationsInOrder) {
  const auto names =
      testing::of_class(file("Veltrano_Quarnelo_58316_profile.svg"), "text", "profile-station");
  std::vector<std::string> found;
  for (const auto& n : names) found.push_back(n.content);
  EXPECT_EQ(found,
            (std::vector<std::string>{"VELTRA CENTRALE", "Cabina B", "VELTRA LAMBRATE", "ROGOREDO",
                                      "S. DONATO VEL.", "DOPPIO BIVIO S.DONATO", "BORGOLOMBARDO",
                                      "S. GIULIANO VEL.", "MELEGNANO", "BIVIO SORDIO",
                                      "S.ZENONE AL LAMBRO", "TAVAZZANO", "LODI", "SECUGNAGO",
                                      "CASALPUSTERLENGO", "CODOGNO", "S.STEFANO L.", "QUARNELO"}));
}

TEST_F(BuiltInRender, TheProfileShowsTheScenariosFeatures) {
  const std::string svg = file("Veltrano_Quarnelo_58316_profile.svg");
  EXPECT_EQ(testing::of_class(svg, "path", "profile-signal").size(), 41u);
  EXPECT_EQ(testing::of_class(svg, "rect", "profile-speed-board").size(), 31u);
  EXPECT_EQ(testing::of_class(svg, "rect", "profile-information-board").size(), 8u);
  EXPECT_EQ(testing::of_class(svg, "line", "profile-tunnel").size(), 2u);
  // The slow order at 53750 m, 40 km/h over 400 m, its warning 1200 m before.
  const auto slow = testing::of_class(svg, "line", "profile-slow-order");
  ASSERT_EQ(slow.size(), 1u);
  EXPECT_EQ(slow[0].attributes.at("data-m"), "53750");
  EXPECT_NE(svg.find(">slow order 40 km/h<"), std::string::npos);
  const auto warning = testing::of_class(svg, "path", "profile-warning-board");
  ASSERT_EQ(warning.size(), 1u);
  EXPECT_EQ(warning[0].attributes.at("data-m"), "52550");
  // 88 code points of the train text, more from the finishing pass around the slow order.
  const auto codes = testing::of_class(svg, "line", "profile-code-point");
  EXPECT_GT(codes.size(), 88u);
  EXPECT_EQ(codes.front().attributes.at("data-m"), "10000");
  EXPECT_EQ(codes.front().attributes.at("data-code"), "270");
  // The adhesion drops to 70 at 53950 m and is 90 from 55000 to 57000 m.
  const auto adhesion = testing::of_class(svg, "rect", "profile-adhesion");
  ASSERT_EQ(adhesion.size(), 2u);
  EXPECT_EQ(adhesion[0].attributes.at("data-m"), "53950");
  EXPECT_EQ(adhesion[1].attributes.at("data-m"), "55000");
  EXPECT_NE(svg.find(">progressive km 218+400<"), std::string::npos);
  EXPECT_NE(svg.find(">C.C. Km / 196.436<"), std::string::npos);
  EXPECT_NE(svg.find(">Sottopasso / S.S. n\xC2\xB0"
                     "9<"),
            std::string::npos);
}

TEST_F(BuiltInRender, NoLabelOverlapsAnother) {
  EXPECT_EQ(testing::overlapping_texts(file("Veltrano_Quarnelo_map.svg")),
            std::vector<std::string>{});
  EXPECT_EQ(testing::overlapping_texts(file("Veltrano_Quarnelo_58316_profile.svg")),
            std::vector<std::string>{});
}

TEST_F(BuiltInRender, ThePageHoldsBothPicturesInline) {
  const std::string& page = pictures_->page;
  EXPECT_NE(page.find("id=\"map-route\""), std::string::npos);
  EXPECT_NE(page.find("class=\"profile-station\""), std::string::npos);
  EXPECT_EQ(page.find("<?xml"), std::string::npos);  // the pictures are inline elements
  EXPECT_EQ(pictures_->map.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg", 0), 0u);
  EXPECT_EQ(pictures_->profile.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg", 0), 0u);
}

}  // namespace
}  // namespace scengen
