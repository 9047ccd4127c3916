#include "render/render_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "compiler/compile.h"
#include "testing/svg_reading.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;
using testing::PlanPoint;
using testing::route_points;

class BuiltInRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testing::ScratchFolder("built-in");
    RenderOptions options;
    options.out = folder_->path();
    status_ = render_command(options, system_files(), err_);
  }
  static void TearDownTestSuite() { delete folder_; }
  static std::string file(const std::string& name) { return folder_->read(name); }

  static inline testing::ScratchFolder* folder_ = nullptr;
  static inline int status_ = -1;
  static inline std::ostringstream err_;
};

TEST_F(BuiltInRender, WritesThreeFilesAndNothingElse) {
  EXPECT_EQ(status_, 0) << err_.str();
  EXPECT_EQ(folder_->names(), (std::vector<std::string>{"Veltrano_Quarnelo_58316.html",
                                                        "Veltrano_Quarnelo_58316_profile.svg",
                                                        "Veltrano_Quarnelo_map.svg"}));
}

TEST_F(BuiltInRender, BothPicturesAreWellFormedXml) {
  EXPECT_EQ(testing::xmllint_complaints(folder_->path() / "Veltrano_Quarnelo_map.svg"), "");
  EXPECT_EQ(testing::xmllint_complaints(folder_->path() / "Veltrano_Quarnelo_58316_profile.svg"),
            "");
}

TEST_F(BuiltInRender, TheMapPathHasThePlansShape) {
  const auto points = route_points(file("Veltrano_Quarnelo_map.svg"));
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
  Compilation c;
  c.RouteId = "Veltrano_Quarnelo";
  c.TrainNumber = "58316";
  MemoryTexts texts(emit_line_list(line_description_lines()),
                    emit_line_list(train_description_lines()));
  compile_scenario(c, texts, 1);
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

TEST_F(BuiltInRender, ThePageHoldsBothPicturesAndTheThreeDocuments) {
  const std::string page = file("Veltrano_Quarnelo_58316.html");
  EXPECT_NE(page.find("id=\"map-route\""), std::string::npos);
  EXPECT_NE(page.find("class=\"profile-station\""), std::string::npos);
  EXPECT_NE(page.find("Veltrano_Quarnelo_58316_scheda_treno.txt"), std::string::npos);
  EXPECT_NE(page.find("Veltrano_Quarnelo_58316_rallentamenti.txt"), std::string::npos);
  EXPECT_NE(page.find("Veltrano_Quarnelo_58316_note.txt"), std::string::npos);
  EXPECT_EQ(page.find("<?xml"), std::string::npos);  // the pictures are inline elements
  // Decoded from Windows-1252: no byte of the page is a lone high byte.
  for (size_t i = 0; i < page.size(); ++i) {
    const auto byte = static_cast<uint8_t>(page[i]);
    if (byte < 0x80) continue;
    ASSERT_GE(byte, 0xC2) << "at byte " << i;
    const size_t length = byte >= 0xE0 ? 3 : 2;
    for (size_t k = 1; k < length; ++k) {
      ASSERT_EQ(static_cast<uint8_t>(page[i + k]) & 0xC0, 0x80) << "at byte " << i + k;
    }
    i += length - 1;
  }
}

class AuthorRender : public ::testing::Test {
 protected:
  int render(const std::string& line, const std::string& train, const std::string& line_name,
             const std::string& train_name, RenderOptions options = {}) {
    testing::write_file(folder_ / line_name, line);
    testing::write_file(folder_ / train_name, train);
    options.line_text = folder_ / line_name;
    options.train_text = folder_ / train_name;
    options.out = folder_;
    return render_command(options, system_files(), err_);
  }

  testing::ScratchFolder scratch_{"author"};
  const fs::path& folder_ = scratch_.path();
  std::ostringstream err_;
};

const std::string kLine =
    "[generale]\r\nlunghezza percorso,    10000\r\n[curve]\r\ncurvad6,  1000,  300\r\n"
    "[pendenze]\r\npendenza,  0,   0\r\npendenza,  2000,   5\r\n[fine]\r\n";
const std::string kTrain =
    "[generale]\r\n[stazioni]\r\n"
    "stazione,       0,  8,  600,  0, 1, 0,  1,1,0,  2,4,1,    1,   8,20, 0, ALFA\r\n"
    "stazione,    9000,  2,  700,  1, 1, 0,  1,1,0,  2,1,1,    0,   9,33, 0, OMEGA\r\n"
    "[codici]\r\nabbattimento,   2000,   270\r\n[fine]\r\n";

TEST_F(AuthorRender, DrawsTheTextsUnderTheirOwnNamesAndLeavesThemAsTheyWere) {
  testing::write_file(folder_ / "Prova_7_note.txt", "NOTE \xE8\r\n");
  EXPECT_EQ(render(kLine, kTrain, "Prova_linea.txt", "Prova_7-.txt"), 0) << err_.str();
  EXPECT_NE(err_.str().find("wrote"), std::string::npos);
  EXPECT_NE(err_.str().find("Prova_7.html"), std::string::npos);
  EXPECT_EQ(testing::read_file(folder_ / "Prova_linea.txt"), kLine);
  EXPECT_EQ(testing::read_file(folder_ / "Prova_7-.txt"), kTrain);
  EXPECT_EQ(testing::xmllint_complaints(folder_ / "Prova_map.svg"), "");
  const std::string profile = testing::read_file(folder_ / "Prova_7_profile.svg");
  const auto names = testing::of_class(profile, "text", "profile-station");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].content, "ALFA");
  EXPECT_EQ(names[1].content, "OMEGA");
  // The page holds the one document found beside the texts.
  const std::string page = testing::read_file(folder_ / "Prova_7.html");
  EXPECT_NE(page.find("NOTE \xC3\xA8"), std::string::npos);
  EXPECT_EQ(page.find("Prova_7_scheda_treno.txt"), std::string::npos);
}

TEST_F(AuthorRender, OtherNamesNeedTheIdentityGiven) {
  EXPECT_EQ(render(kLine, kTrain, "line.txt", "train.txt"), 2);
  EXPECT_NE(err_.str().find("--route"), std::string::npos);
  RenderOptions outside;
  outside.route = "../Fuori";
  outside.train = "9";
  EXPECT_EQ(render(kLine, kTrain, "line.txt", "train.txt", outside), 2);
  EXPECT_FALSE(fs::exists(folder_.parent_path() / "Fuori_map.svg"));
  RenderOptions options;
  options.route = "Mia";
  options.train = "9";
  EXPECT_EQ(render(kLine, kTrain, "line.txt", "train.txt", options), 0) << err_.str();
  EXPECT_TRUE(fs::exists(folder_ / "Mia_map.svg"));
  EXPECT_TRUE(fs::exists(folder_ / "Mia_9_profile.svg"));
  EXPECT_TRUE(fs::exists(folder_ / "Mia_9.html"));
}

TEST_F(AuthorRender, ACompileErrorIsReportedAndTheModelStillDrawn) {
  const std::string train = kTrain.substr(0, kTrain.size() - 8) +
                            "abbattimento,   2000,   280\r\n[fine]\r\n";  // the same cell again
  EXPECT_EQ(render(kLine, train, "Prova_linea.txt", "Prova_7-.txt"), 1);
  EXPECT_NE(err_.str().find("error 7"), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("2000 m"), std::string::npos) << err_.str();
  EXPECT_TRUE(fs::exists(folder_ / "Prova_map.svg"));
  EXPECT_NE(testing::read_file(folder_ / "Prova_7.html").find("error 7"), std::string::npos);
}

TEST_F(AuthorRender, NoTrackMeansNothingIsWritten) {
  EXPECT_EQ(render("[generale]\r\n[fine]\r\n", kTrain, "Prova_linea.txt", "Prova_7-.txt"), 3);
  EXPECT_FALSE(fs::exists(folder_ / "Prova_map.svg"));
  EXPECT_FALSE(fs::exists(folder_ / "Prova_7.html"));
}

TEST_F(AuthorRender, MissingTextsAndAnUnwritableFolderEachSayWhat) {
  RenderOptions options;
  options.line_text = folder_ / "Nulla_linea.txt";
  options.train_text = folder_ / "Nulla_1-.txt";
  options.out = folder_;
  EXPECT_EQ(render_command(options, system_files(), err_), 4);
  EXPECT_NE(err_.str().find("cannot read"), std::string::npos);
  EXPECT_NE(err_.str().find("Nulla_linea.txt"), std::string::npos);

  RenderOptions one;
  one.line_text = folder_ / "Nulla_linea.txt";
  EXPECT_EQ(render_command(one, system_files(), err_), 2);

  RenderOptions nowhere;
  nowhere.out = folder_ / "missing" / "folder";
  err_.str("");
  EXPECT_EQ(render_command(nowhere, system_files(), err_), 4);
  EXPECT_NE(err_.str().find("cannot write"), std::string::npos);
}

TEST_F(AuthorRender, NoFolderGivenIsTheCurrentOne) {
  testing::write_file(folder_ / "Qui_linea.txt", kLine);
  testing::write_file(folder_ / "Qui_1-.txt", kTrain);
  RenderOptions options;
  options.line_text = "Qui_linea.txt";
  options.train_text = "Qui_1-.txt";
  const fs::path saved = fs::current_path();
  fs::current_path(folder_);
  const int status = render_command(options, system_files(), err_);
  fs::current_path(saved);
  EXPECT_EQ(status, 0) << err_.str();
  EXPECT_TRUE(fs::exists(folder_ / "Qui_map.svg"));
  EXPECT_TRUE(fs::exists(folder_ / "Qui_1.html"));
}

TEST(IdentityFromNames, TakesTheRouteAndTheTrainFromTheTextNames) {
  struct Case {
    const char* line;
    const char* train;
    const char* route;
    const char* number;
  };
  const Case cases[] = {
      {"dir/Veltrano_Quarnelo_linea.txt", "dir/Veltrano_Quarnelo_58316-.txt", "Veltrano_Quarnelo",
       "58316"},
      {"A_linea.txt", "other/A_9-.txt", "A", "9"},
      {"A_linea.txt", "B_9-.txt", "", ""},  // the train text names another route
      {"A_linea.txt", "A_-.txt", "", ""},   // no train number
      {"_linea.txt", "_9-.txt", "", ""},    // no route
      {"A_line.txt", "A_9-.txt", "", ""},
      {"A_linea.txt", "A_9.txt", "", ""},  // the hyphen is missing
  };
  for (const Case& c : cases) {
    const auto [route, number] = identity_from_names(c.line, c.train);
    EXPECT_EQ(route, c.route) << c.line << " " << c.train;
    EXPECT_EQ(number, c.number) << c.line << " " << c.train;
  }
}

}  // namespace
}  // namespace scengen
