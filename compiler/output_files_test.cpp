#include "compiler/output_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "testing/bytes.h"
#include "testing/models.h"

namespace scengen {
namespace {

using testing::bytes;

TEST(ScenarioTableFile, ClearedTableWithIdentityHas87RecordsOf34BytesPlusTexts) {
  ScenarioTable table;
  table[85].Text = "Veltrano_Quarnelo";
  table[86].Text = "58316";
  const auto image = encode_scenario_table(table);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->size(), 2958u + 17u + 5u);
  // Slot 0 is 34 zero bytes; slot 85's text follows its 14-byte head after 85 empty records.
  EXPECT_EQ(image->substr(0, 34), std::string(34, '\0'));
  const size_t slot85 = 85 * 34;
  EXPECT_EQ(image->substr(slot85 + 14, 2), bytes({17, 0}));
  EXPECT_EQ(image->substr(slot85 + 16, 17), "Veltrano_Quarnelo");
  const size_t slot86 = slot85 + 34 + 17;
  EXPECT_EQ(image->substr(slot86 + 14, 2 + 5), bytes({5, 0}) + "58316");
}

TEST(ScenarioTableFile, RecordLayoutIsLittleEndianFieldAfterField) {
  ScenarioTable table;
  ScenarioEntry& e = table[0];
  e.Tag = 0x12;
  e.Num1 = -600;
  e.Num2 = 0x01020304;
  e.Num3 = 9550;
  e.Tag2 = 0xFE;
  e.Text = "ROGORED n\xB0";  // 10 bytes: the degree sign counts once
  e.Small1 = -2;
  e.Small2 = 0x0506;
  e.Small3 = 8;
  e.Small4 = 33;
  e.Small5 = 0;
  e.Flag1 = 1;
  e.Flag2 = 60;
  e.Flag3 = 2;
  e.Flag4 = 255;
  e.Num4 = 30780;
  const auto image = encode_scenario_table(table);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->size(), 2958u + 10u);
  const std::string expected =
      bytes({0x12, 0xA8, 0xFD, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0x4E, 0x25, 0, 0, 0xFE, 10, 0}) +
      "ROGORED n\xB0" +
      bytes({0xFE, 0xFF, 0x06, 0x05, 8, 0, 33, 0, 0, 0, 1, 60, 2, 255, 0x3C, 0x78, 0, 0});
  EXPECT_EQ(image->substr(0, 44), expected);
  EXPECT_EQ(image->substr(44, 34), std::string(34, '\0'));  // the next slot, empty
}

TEST(ScenarioTableFile, TextTooLongForItsLengthIsRefused) {
  ScenarioTable table;
  table[3].Text.assign(65535, 'x');
  EXPECT_TRUE(encode_scenario_table(table));
  table[3].Text.push_back('x');
  EXPECT_FALSE(encode_scenario_table(table));
}

TEST(TrackFile, CellIs15BytesInDeclaredOrder) {
  std::vector<TrackCell> cells(3);
  TrackCell& c = cells[1];
  c.Kind = 1;
  c.Param1 = 5121;
  c.Param2 = -1;
  c.Param3 = 0x0A0B;
  c.Param4 = 8;
  c.Param5 = 101;
  c.Mark = 81;
  c.Tunnel = 2;
  c.SpeedLimit = 26;
  c.Gradient = 97;
  c.Adhesion = 96;
  const std::string image = encode_track_cells(cells);
  ASSERT_EQ(image.size(), 45u);
  EXPECT_EQ(image.substr(15, 15),
            bytes({1, 0x01, 0x14, 0xFF, 0xFF, 0x0B, 0x0A, 8, 0, 101, 81, 2, 26, 97, 96}));
  EXPECT_EQ(image.substr(0, 15), std::string(15, '\0'));
  EXPECT_EQ(image.substr(30, 15), std::string(15, '\0'));
}

TEST(TrackFile, NarrowFieldsKeepTheLowBitsOfWhatIsAssigned) {
  std::vector<TrackCell> cells(1);
  const int gradient = -101 + 100;
  const int wide = 70000;
  cells[0].Gradient = static_cast<uint8_t>(gradient);
  cells[0].Param1 = static_cast<int16_t>(wide);
  const std::string image = encode_track_cells(cells);
  EXPECT_EQ(static_cast<uint8_t>(image[13]), 255);
  EXPECT_EQ(image.substr(1, 2), bytes({0x70, 0x11}));  // 70000 - 65536 = 4464 = 0x1170
}

TEST(RoutePlanFile, TagsAndValuesWithTheFirstIndexFastest) {
  TrackPlan plan;
  testing::start_plan(plan, 2);
  plan.set_double(2, 1, 0.5);
  // Point 2's coordinate 0 stays empty.
  const std::string image = encode_route_plan(plan);
  const std::string half_le = bytes({0, 0, 0, 0, 0, 0, 0xE0, 0x3F});    // 0.5, little-endian
  const std::string expected = bytes({2, 0, 0, 0, 2, 0, 0, 0, 0, 0}) +  // (0,0) (1,0) (2,0)
                               bytes({2, 0, 0, 0, 2, 0, 1, 0, 5, 0}) + half_le;
  EXPECT_EQ(image, expected);
}

// The plan file image written out element by element, little-endian, as the layout states it.
std::string expected_plan_image(const TrackPlan& plan) {
  std::string out;
  const auto put = [&](uint64_t v, int n) {
    out += testing::little_endian(static_cast<int64_t>(v), n);
  };
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    for (int32_t point = 0; point <= plan.last_point(); ++point) {
      const double value = plan.value(point, coordinate);
      switch (plan.tag(point, coordinate)) {
        case PlanTag::Empty:
          put(0, 2);
          break;
        case PlanTag::Integer:
          put(2, 2);
          put(static_cast<uint16_t>(static_cast<int16_t>(value)), 2);
          break;
        case PlanTag::Double: {
          uint64_t bits;
          std::memcpy(&bits, &value, sizeof bits);
          put(5, 2);
          put(bits, 8);
          break;
        }
      }
    }
  }
  return out;
}

// However the plan was made, walked or set element by element, its pieces make exactly the image
// of the layout, each byte once.
TEST(RoutePlanFile, PiecesMakeTheImageWhateverTheMixOfElements) {
  struct Case {
    const char* name;
    int32_t last_point;
    int period;   // an integer every `period` points, an empty element after it; 0: none
    bool walked;  // points 2 to last - 2 walked, in turns straight and curved, instead of set
  };
  const Case cases[] = {
      {"a walked route: two integers, doubles, two empty points", 200000, 0, true},
      {"the same points set one by one", 200000, 0, false},
      {"an element of each kind in turn", 20000, 3, false},
      {"an integer and an empty element now and then", 50000, 997, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TrackPlan plan;
    plan.create(test.last_point);
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      plan.set_integer(0, coordinate, 0);
      plan.set_integer(1, coordinate, static_cast<int16_t>(1 - coordinate));
    }
    if (test.walked) {
      for (int32_t first = 2; first <= test.last_point - 2; first += 700) {
        plan.extend(first, std::min(first + 699, test.last_point - 2), first % 1400 ? 0.0 : 0.002);
      }
    } else {
      for (int coordinate = 0; coordinate < 2; ++coordinate) {
        for (int32_t p = 2; p <= test.last_point - 2; ++p) {
          if (test.period != 0 && p % test.period == 0) {
            plan.set_integer(p, coordinate, static_cast<int16_t>(p));
            ++p;  // stays empty
          } else {
            plan.set_double(p, coordinate, p * 0.25 - coordinate);
          }
        }
      }
    }
    std::string placed(static_cast<size_t>(route_plan_file_size(plan)), '\x7F');
    std::vector<int> covered(placed.size(), 0);
    std::vector<std::pair<uint64_t, uint64_t>> ranges;
    encode_route_plan(plan, [&](uint64_t offset, std::string_view piece) {
      ASSERT_LE(offset + piece.size(), placed.size());
      placed.replace(static_cast<size_t>(offset), piece.size(), piece);
      for (size_t i = 0; i < piece.size(); ++i) ++covered[static_cast<size_t>(offset) + i];
      ranges.emplace_back(offset, offset + piece.size());
    });
    const std::string expected = expected_plan_image(plan);
    // Pieces begin and end at multiples of 64 KiB, whole pages of the file, except where a
    // coordinate's part begins or ends.
    const uint64_t second = expected.size() / 2;  // both parts are the same size here
    for (const auto& [begin, end] : ranges) {
      EXPECT_TRUE(begin % 65536 == 0 || begin == second) << begin;
      EXPECT_TRUE(end % 65536 == 0 || end == second || end == expected.size()) << end;
    }
    const size_t pieces = ranges.size();
    EXPECT_EQ(placed, expected);
    EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), static_cast<long>(covered.size()));
    EXPECT_EQ(encode_route_plan(plan), expected);
    // Never a piece per element.
    EXPECT_LT(pieces, expected.size() / 1000);
  }
}

TEST(RoutePlanFile, NoPlanNoBytes) {
  size_t pieces = 0;
  encode_route_plan(TrackPlan{}, [&](uint64_t, std::string_view) { ++pieces; });
  EXPECT_EQ(pieces, 0u);
  EXPECT_EQ(route_plan_file_size(TrackPlan{}), 0u);
  EXPECT_EQ(encode_route_plan(TrackPlan{}), "");
}

TEST(RoutePlanFile, FileNamesFollowTheIdentity) {
  Compilation c;
  c.RouteId = "Veltrano_Quarnelo";
  c.TrainNumber = "58316";
  EXPECT_EQ(route_plan_file_name(c), "Veltrano_Quarnelo_linea.dat");
  EXPECT_EQ(scenario_table_file_name(c), "Veltrano_Quarnelo_58316.sim");
  EXPECT_EQ(track_file_name(c), "Veltrano_Quarnelo_58316.dat");
}

TEST(Nearest, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double x;
    int64_t expected;
  };
  const Case cases[] = {{0.5, 0},
                        {1.5, 2},
                        {2.5, 2},
                        {-0.5, 0},
                        {-1.5, -2},
                        {0.49, 0},
                        {0.51, 1},
                        {25.0 / 50, 0},
                        {75.0 / 50, 2},
                        {25.0 / 50 + 1, 2},
                        {75.0 / 50 + 1, 2},
                        {-2.5, -2},
                        {1e9 + 0.5, 1000000000}};
  for (const Case& c : cases) EXPECT_EQ(nearest(c.x), c.expected) << c.x;
}

}  // namespace
}  // namespace scengen
