// scengen render as a driver: what it reads, the files it writes, what it says and its status.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/commands.h"
#include "run/printable_text.h"
#include "testing/scratch_folder.h"
#include "testing/svg_reading.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

// The lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The driver prints everything on its error stream.
int render_to(const RenderOptions& options, std::ostringstream& err) {
  std::ostringstream out;
  Console console{out, err};
  const int status = render_scenario(options, console);
  EXPECT_EQ(out.str(), "");
  return status;
}

class BuiltInRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testing::ScratchFolder("built-in");
    RenderOptions options;
    options.out = folder_->path().string();
    status_ = render_to(options, err_);
  }
  static void TearDownTestSuite() { delete folder_; }
  static std::string file(const std::string& name) { return folder_->read(name); }

  static inline testing::ScratchFolder* folder_ = nullptr;
  static inline int status_ = -1;
  static inline std::ostringstream err_;
};

TEST_F(BuiltInRender, WritesThreeFilesAndNothingElse) {
  EXPECT_EQ(status_, 0) << err_.str();
  std::vector<std::string> expected{"Veltrano_Quarnelo_58316.html",
                                    "Veltrano_Quarnelo_58316_profile.svg",
                                    "Veltrano_Quarnelo_map.svg"};
#ifdef _WIN32
  // Windows keeps the output folder's lock file between runs.
  expected.insert(expected.begin(), ".scengen.lock");
#endif
  EXPECT_EQ(folder_->names(), expected);
}

TEST_F(BuiltInRender, BothPicturesAreWellFormedXml) {
  EXPECT_EQ(testing::xmllint_complaints(folder_->path() / "Veltrano_Quarnelo_map.svg"), "");
  EXPECT_EQ(testing::xmllint_complaints(folder_->path() / "Veltrano_Quarnelo_58316_profile.svg"),
            "");
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

// The values of one attribute over the elements of one class, as numbers.
std::vector<int> data_m(const std::string& svg, const std::string& element,
                        const std::string& css_class) {
  std::vector<int> found;
  for (const auto& e : testing::of_class(svg, element, css_class)) {
    found.push_back(static_cast<int>(e.number("data-m")));
  }
  return found;
}

TEST(StretchRender, From30To40KmDrawsOnlyWhatStandsThere) {
  const testing::ScratchFolder folder("stretch");
  RenderOptions options;
  options.out = folder.path().string();
  options.from = "30km";
  options.to = "40000";
  std::ostringstream err;
  ASSERT_EQ(render_to(options, err), 0) << err.str();
  const std::string profile = folder.read("Veltrano_Quarnelo_58316_profile.svg");
  EXPECT_EQ(testing::xmllint_complaints(folder.path() / "Veltrano_Quarnelo_58316_profile.svg"), "");
  EXPECT_EQ(testing::xmllint_complaints(folder.path() / "Veltrano_Quarnelo_map.svg"), "");
  // LODI (35600 m) is the only station between 30 and 40 km; six signals stand there.
  const auto names = testing::of_class(profile, "text", "profile-station");
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].content, "LODI");
  EXPECT_EQ(data_m(profile, "path", "profile-signal"),
            (std::vector<int>{31500, 32900, 34550, 37100, 38400, 39800}));
  for (const int m : data_m(profile, "line", "profile-code-point")) {
    EXPECT_TRUE(m >= 30000 && m <= 40000) << m;
  }
  // The axis is the stretch's own: its labels run from 30 to 40 km.
  EXPECT_NE(profile.find(">30<"), std::string::npos);
  EXPECT_NE(profile.find(">40<"), std::string::npos);
  EXPECT_NE(profile.find("shown from 30 to 40 km"), std::string::npos);

  const std::string map = folder.read("Veltrano_Quarnelo_map.svg");
  const auto map_names = testing::of_class(map, "text", "map-station-name");
  ASSERT_EQ(map_names.size(), 1u);
  EXPECT_EQ(map_names[0].content, "LODI");
  EXPECT_EQ(testing::of_class(map, "circle", "map-station").size(), 1u);
  EXPECT_EQ(testing::of_class(map, "circle", "map-halt").size(), 0u);
  EXPECT_GE(testing::route_points(map).size(), 2u);
  // The page shows the pictures of the stretch.
  const std::string page = folder.read("Veltrano_Quarnelo_58316.html");
  EXPECT_NE(page.find("From 30 km"), std::string::npos);
  EXPECT_NE(page.find("To 40 km"), std::string::npos);
}

TEST(StretchRender, AStretchOutsideTheRouteOrNotANumberIsRefused) {
  const testing::ScratchFolder folder("stretch");
  struct Case {
    const char* from;
    const char* to;
    const char* line;
  };
  const Case cases[] = {
      {"40km", "30km",
       "scengen render: the stretch from 40000 to 30000 m is empty or lies beyond the route's end "
       "(72000 m)"},
      {"80km", nullptr,
       "scengen render: the stretch from 80000 to 72000 m is empty or lies beyond the route's end "
       "(72000 m)"},
      {"thirty", "40km",
       "scengen render: --from takes a route position in metres (5200, 5200m) or kilometres "
       "(5.2km), not 'thirty'"},
      {nullptr, "-1",
       "scengen render: --to takes a route position in metres (5200, 5200m) or kilometres "
       "(5.2km), not '-1'"},
  };
  for (const Case& c : cases) {
    RenderOptions options;
    options.out = folder.path().string();
    if (c.from) options.from = c.from;
    if (c.to) options.to = c.to;
    std::ostringstream err;
    EXPECT_EQ(render_to(options, err), 2) << c.line;
    EXPECT_EQ(err.str(), std::string(c.line) + "\n");
  }
  EXPECT_TRUE(folder.names().empty());
}

class AuthorRender : public ::testing::Test {
 protected:
  int render(const std::string& line, const std::string& train, const std::string& line_name,
             const std::string& train_name, RenderOptions options = {}) {
    testing::write_file(folder_ / line_name, line);
    testing::write_file(folder_ / train_name, train);
    options.line_text = (folder_ / line_name).string();
    options.train_text = (folder_ / train_name).string();
    options.out = folder_.string();
    return render_to(options, err_);
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
  // After the warnings about the texts, one line for the files written.
  const std::vector<std::string> lines = lines_of(err_.str());
  ASSERT_GE(lines.size(), 1u) << err_.str();
  EXPECT_EQ(lines.back(), "scengen: wrote 3 files to " + printable_path(folder_ / ""));
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
  EXPECT_EQ(err_.str(),
            "scengen render: the texts are not named ROUTE_linea.txt and ROUTE_TRAIN-.txt: give "
            "--route and --train\n");
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
  // Read on after the error, the text warns too (it has no speed step): the error is the line
  // that says "error".
  const std::vector<std::string> lines = lines_of(err_.str());
  const auto error = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find(": error ") != std::string::npos;
  });
  ASSERT_NE(error, lines.end()) << err_.str();
  EXPECT_EQ(*error,
            (folder_ / "Prova_7-.txt").string() +
                ":7:1: error 7: a code point's cell is not free (at 2000 m): cell 40 (2000 to "
                "2050 m) holds a code point, placed by 'abbattimento' at line 6 of the train "
                "description (scengen explain 7)");
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
  options.line_text = (folder_ / "Nulla_linea.txt").string();
  options.train_text = (folder_ / "Nulla_1-.txt").string();
  options.out = folder_.string();
  EXPECT_EQ(render_to(options, err_), 4);
  EXPECT_EQ(err_.str(), "scengen: cannot read " + printable_path(folder_ / "Nulla_linea.txt") +
                           ": No such file or directory\n");

  RenderOptions one;
  one.line_text = (folder_ / "Nulla_linea.txt").string();
  EXPECT_EQ(render_to(one, err_), 2);

  // A missing folder is made; a file in its place cannot be.
  testing::write_file(folder_ / "plain", "x");
  RenderOptions nowhere;
  nowhere.out = (folder_ / "plain").string();
  err_.str("");
  EXPECT_EQ(render_to(nowhere, err_), 4);
  EXPECT_EQ(err_.str(), "scengen: cannot create the folder " + printable_path(folder_ / "plain") +
                           ": a file of that name is there\n");
}

TEST_F(AuthorRender, NoFolderGivenIsTheCurrentOne) {
  testing::write_file(folder_ / "Qui_linea.txt", kLine);
  testing::write_file(folder_ / "Qui_1-.txt", kTrain);
  RenderOptions options;
  options.line_text = "Qui_linea.txt";
  options.train_text = "Qui_1-.txt";
  const fs::path saved = fs::current_path();
  fs::current_path(folder_);
  const int status = render_to(options, err_);
  fs::current_path(saved);
  EXPECT_EQ(status, 0) << err_.str();
  EXPECT_TRUE(fs::exists(folder_ / "Qui_map.svg"));
  EXPECT_TRUE(fs::exists(folder_ / "Qui_1.html"));
}

}  // namespace
}  // namespace scengen
