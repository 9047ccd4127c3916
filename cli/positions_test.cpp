// Route positions on the command line: what the one reading accepts, and that dump and render
// take the same words for the same place.
#include "cli/positions.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "testing/scengen_process.h"
#include "testing/svg_reading.h"

namespace scengen {
namespace {

using Json = nlohmann::json;
using testing::ProcessResult;

TEST(RoutePosition, PlainNumbersAreMetresAndUnitsAreRead) {
  struct Case {
    const char* text;
    int32_t metres;
  };
  const Case cases[] = {
      // Metres: plain, with m, in any case.
      {"30", 30}, {"30000", 30000}, {"30000m", 30000}, {"30M", 30}, {"0", 0}, {"12.0", 12},
      // Kilometres, to the metre.
      {"30km", 30000}, {"5.2km", 5200}, {"1.75KM", 1750}, {"1.003Km", 1003}, {"1.0000km", 1000},
      // Blanks around the number and before the unit.
      {" 30 km ", 30000}, {"5200 m", 5200}, {"\t7", 7},
      // The largest position a route has.
      {"2147483647", 2147483647}, {"2147483.647km", 2147483647},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parse_route_position(c.text), c.metres) << "'" << c.text << "'";
  }
}

TEST(RoutePosition, AnythingButWholeMetresIsRefused) {
  const char* const refused[] = {
      // A part of a metre.
      "12.5", "12.5m", "1.0005km",
      // Past the largest position.
      "2147483648", "2147484km", "99999999999999999999",
      // Not a number of metres.
      "", "m", "km", "-5", "+5", "5.", ".5km", "5..2km", "1e3", "0x10", "inf", "5,2km", "3 0",
      "30 kmh", "30mm", "thirty", "12 furlongs",
  };
  for (const char* text : refused) {
    EXPECT_EQ(parse_route_position(text), std::nullopt) << "'" << text << "'";
  }
}

TEST(RoutePosition, AWrongValueIsOneLineNamingTheOptionAndTheValue) {
  struct Case {
    std::optional<std::string> value;
    bool read;
    std::optional<int32_t> position;
    const char* err;
  };
  const Case cases[] = {
      {std::nullopt, true, std::nullopt, ""},
      {"30km", true, 30000, ""},
      {"30 miles", false, std::nullopt,
       "scengen render: --from takes a route position in metres (5200, 5200m) or kilometres "
       "(5.2km), not '30 miles'\n"},
      // The value is shown as it is, but no byte of it acts on the terminal.
      {"3\x1b[2J", false, std::nullopt,
       "scengen render: --from takes a route position in metres (5200, 5200m) or kilometres "
       "(5.2km), not '3\\x1b[2J'\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    Console console{out, err};
    std::optional<int32_t> position = 99;  // whatever it held before
    EXPECT_EQ(read_position_option("render", "--from", c.value, position, console), c.read);
    EXPECT_EQ(position, c.position);
    EXPECT_EQ(err.str(), c.err);
    EXPECT_EQ(out.str(), "");
  }
}

// The built-in scenario's compiled files, for dump and render to look at the same stretch.
class SamePlaceEverywhere : public testing::ScengenFolder {
 protected:
  void SetUp() override {
    ScengenFolder::SetUp();
    ASSERT_EQ(scengen({"run", "--out", "."}).status, 0);
  }

  // The station names dump finds in the scenario table between `from` and `to`.
  std::vector<std::string> dumped_stations(const std::string& from, const std::string& to) {
    const ProcessResult r = scengen({"dump", "Veltrano_Quarnelo_58316.sim", "--only", "stations",
                                     "--describe", "--from", from, "--to", to, "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    const Json slots = Json::parse(r.out)["slots"];
    std::vector<std::string> names;
    for (const Json& slot : slots) names.push_back(slot["station"]["name"]);
    return names;
  }

  // The signals dump finds in the compiled track between `from` and `to`.
  size_t dumped_signals(const std::string& from, const std::string& to) {
    const ProcessResult r = scengen({"dump", "Veltrano_Quarnelo_58316.dat", "--only", "signals",
                                     "--from", from, "--to", to, "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    return Json::parse(r.out)["cells"].size();
  }

  // The route profile render draws of the stretch from `from` to `to`.
  std::string rendered_profile(const std::string& from, const std::string& to) {
    const std::string folder = "render " + from + " " + to;
    std::filesystem::create_directory(at(folder));
    const ProcessResult r = scengen({"render", "--from", from, "--to", to, "--out", folder});
    EXPECT_EQ(r.status, 0) << r.err;
    return read(folder + "/Veltrano_Quarnelo_58316_profile.svg");
  }
};

TEST_F(SamePlaceEverywhere, DumpAndRenderShowTheSameStretchForTheSameWords) {
  const std::pair<std::string, std::string> spellings[] = {
      {"30km", "40km"}, {"30000", "40000"}, {"30000m", "40000m"}};
  const std::string profile = rendered_profile("30km", "40km");
  std::vector<std::string> drawn_stations;
  for (const auto& name : testing::of_class(profile, "text", "profile-station")) {
    drawn_stations.push_back(name.content);
  }
  const size_t drawn_signals = testing::of_class(profile, "path", "profile-signal").size();
  ASSERT_EQ(drawn_stations, std::vector<std::string>{"LODI"});
  ASSERT_EQ(drawn_signals, 6u);
  for (const auto& [from, to] : spellings) {
    SCOPED_TRACE(from + " to " + to);
    EXPECT_EQ(dumped_stations(from, to), drawn_stations);
    EXPECT_EQ(dumped_signals(from, to), drawn_signals);
    if (from != "30km") {
      EXPECT_EQ(rendered_profile(from, to), profile);
    }
  }
}

TEST_F(SamePlaceEverywhere, APlainNumberIsMetresToBoth) {
  // 30 m to 40 m: the start of the route, not 30 km; both commands agree on it.
  const ProcessResult dumped = scengen({"dump", "Veltrano_Quarnelo_58316.dat", "--from", "30",
                                        "--to", "40", "--json"});
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  EXPECT_EQ(Json::parse(dumped.out)["cells"].size(), 1u);  // cell 0, from 0 to 49 m
  EXPECT_EQ(Json::parse(dumped.out)["cells"][0]["cell"], 0);
  const ProcessResult past = scengen({"render", "--from", "80000"});
  EXPECT_EQ(past.status, 2);
  EXPECT_EQ(past.err,
            "scengen render: the stretch from 80000 to 72000 m is empty or lies beyond the "
            "route's end (72000 m)\n");
}

}  // namespace
}  // namespace scengen
