#include "compiler/track_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <tuple>

namespace scengen {
namespace {

// Every pack writes onto a cell whose other fields must survive it.
TrackCell busy_cell() {
  TrackCell cell;
  cell.Mark = 81;
  cell.Tunnel = 2;
  cell.SpeedLimit = 28;
  cell.Gradient = 97;
  cell.Adhesion = 96;
  return cell;
}

void expect_beside_fields_kept(const TrackCell& cell) {
  EXPECT_EQ(cell.Mark, 81);
  EXPECT_EQ(cell.Tunnel, 2);
  EXPECT_EQ(cell.SpeedLimit, 28);
  EXPECT_EQ(cell.Gradient, 97);
  EXPECT_EQ(cell.Adhesion, 96);
}

TEST(TrackLayout, SignalsRoundTripOverTheirRanges) {
  const SignalCell cases[] = {
      {},
      // "segnale, 1750, 2, 4, 1, 1, 0, 2, 3, 1, 1, 0" of the built-in text.
      {.sx = 2, .s1 = 4, .s2 = 1, .s3 = 1, .rapp = 0, .dx = 2, .d1 = 3, .d2 = 1, .d3 = 1},
      {.sx = 2,
       .s1 = 6,
       .s2 = 0,
       .s3 = 5,
       .rapp = 2,
       .dx = 0,
       .d1 = 4,
       .d2 = 9,
       .d3 = 0,
       .tempo = 101},
      // The limits: the widest s and rapp that fit 16 bits, the last digit, sx 3 with dx 0.
      {.sx = 3,
       .s1 = 3276,
       .s2 = 3276,
       .s3 = 0,
       .rapp = 3275,
       .dx = 0,
       .d1 = 7,
       .d2 = 0,
       .d3 = 9,
       .tempo = 255},
      {.sx = 2, .s1 = 1, .s2 = 2, .s3 = 3, .rapp = 3276, .dx = 1, .d1 = 9, .d2 = 9, .d3 = 9},
  };
  for (const SignalCell& signal : cases) {
    TrackCell cell = busy_cell();
    pack_signal(signal, cell);
    EXPECT_EQ(cell.Kind, kSignal);
    EXPECT_EQ(unpack_signal(cell), signal) << "s1 " << signal.s1 << " rapp " << signal.rapp;
    expect_beside_fields_kept(cell);
  }
}

TEST(TrackLayout, SignalPacksAsTheSimulatorReadsIt) {
  TrackCell cell;
  pack_signal({.sx = 2, .s1 = 4, .s2 = 1, .s3 = 1, .rapp = 0, .dx = 2, .d1 = 3, .d2 = 1, .d3 = 1},
              cell);
  EXPECT_EQ(cell.Param1, 43);
  EXPECT_EQ(cell.Param2, 11);
  EXPECT_EQ(cell.Param3, 11);
  EXPECT_EQ(cell.Param4, 8);
  EXPECT_EQ(cell.Param5, 0);
  // Values beyond 16 and 8 bits keep their low bits, as 16-bit and 8-bit arithmetic would.
  pack_signal({.s1 = 3277, .d1 = 0, .tempo = 300}, cell);
  EXPECT_EQ(cell.Param1, -32766);
  EXPECT_EQ(cell.Param5, 300 - 256);
}

TEST(TrackLayout, SlowOrdersAndTheirBoardsRoundTrip) {
  const SlowOrderCell orders[] = {{40, 30, 1}, {0, 0, 0}, {32767, -32768, 1}, {-5, 1, 32767}};
  for (const CellKind kind : {kSlowOrderEnd, kSlowOrderStart}) {
    for (const SlowOrderCell& order : orders) {
      TrackCell cell = busy_cell();
      pack_slow_order(kind, order, cell);
      EXPECT_EQ(cell.Kind, kind);
      EXPECT_EQ(unpack_slow_order(cell), order) << "v " << order.v;
      expect_beside_fields_kept(cell);
    }
  }
  for (const WarningBoardCell& board :
       {WarningBoardCell{40, 30}, WarningBoardCell{0, 0}, WarningBoardCell{32767, -32768}}) {
    TrackCell cell = busy_cell();
    pack_warning_board(board, cell);
    EXPECT_EQ(cell.Kind, kWarningBoard);
    EXPECT_EQ(unpack_warning_board(cell), board);
    expect_beside_fields_kept(cell);
  }
  for (int number = 1; number <= 4; ++number) {
    for (const bool with_d_v : {false, true}) {
      const ApproachBoardCell board{number, with_d_v};
      TrackCell cell = busy_cell();
      pack_approach_board(board, cell);
      EXPECT_EQ(cell.Kind, kApproachBoard);
      EXPECT_EQ(unpack_approach_board(cell), board);
      expect_beside_fields_kept(cell);
    }
  }
}

TEST(TrackLayout, ZeroDvLeavesTheSecondValueAsItWas) {
  TrackCell cell;
  cell.Param2 = 77;
  pack_slow_order(kSlowOrderStart, {40, 0, 1}, cell);
  EXPECT_EQ(cell.Param2, 77);
  pack_warning_board({40, 0}, cell);
  EXPECT_EQ(cell.Param2, 77);
  pack_approach_board({3, false}, cell);
  EXPECT_EQ(cell.Param2, 77);
}

TEST(TrackLayout, SpeedBoardsRoundTripOverTheirRanges) {
  const SpeedBoardCell cases[] = {
      {},
      {.left = {140, 160, 190}, .right = {140, 160, 180}, .strisces = 2, .strisced = 2},
      {.left = {110, 0, 0}, .right = {0, 0, 0}, .strisces = 0, .strisced = 1},
      // The limits: the largest packed value (left 1635, right 335) and the widest right speed.
      {.left = {1635, 0, 5}, .right = {335, 495, 495}, .strisces = 3275, .strisced = 9},
  };
  for (const SpeedBoardCell& board : cases) {
    TrackCell cell = busy_cell();
    ASSERT_TRUE(pack_speed_board(board, cell));
    EXPECT_EQ(cell.Kind, kSpeedBoard);
    EXPECT_EQ(unpack_speed_board(cell), board) << "left " << board.left[0];
    expect_beside_fields_kept(cell);
  }
}

TEST(TrackLayout, SpeedBoardPacksLeftInTheHundredsAndRefusesWhatDoesNotFit) {
  TrackCell cell;
  ASSERT_TRUE(pack_speed_board({.left = {140, 160, 190}, .right = {140, 160, 180}}, cell));
  EXPECT_EQ(cell.Param1, 2828);
  EXPECT_EQ(cell.Param2, 3232);
  EXPECT_EQ(cell.Param3, 3836);

  // Rank B does not fit: the Kind and rank A are written, the rest is left as it was.
  TrackCell partial;
  partial.Param3 = 5;
  EXPECT_FALSE(pack_speed_board({.left = {140, 1640, 0}, .right = {140, 0, 0}}, partial));
  EXPECT_EQ(partial.Kind, kSpeedBoard);
  EXPECT_EQ(partial.Param1, 2828);
  EXPECT_EQ(partial.Param2, 0);
  EXPECT_EQ(partial.Param3, 5);
}

TEST(TrackLayout, CodePointsRoundTripAndAnEmptyCodeHasItsOwnKind) {
  for (const int32_t code : {1, 180, 270, 32767}) {
    TrackCell cell = busy_cell();
    pack_code_point({code}, cell);
    EXPECT_EQ(cell.Kind, kCodePoint);
    EXPECT_EQ(unpack_code_point(cell).code, code);
    expect_beside_fields_kept(cell);
  }
  for (const int32_t code : {0, -270}) {
    TrackCell cell;
    cell.Param1 = 44;
    pack_code_point({code}, cell);
    EXPECT_EQ(cell.Kind, kCodePointWithoutCode);
    EXPECT_EQ(cell.Param1, 44);
    EXPECT_EQ(unpack_code_point(cell).code, 0);
  }
}

TEST(TrackLayout, SlotCellsRoundTrip) {
  for (const CellKind kind : {kStationMarker, kInformationBoard}) {
    for (const int32_t slot : {0, 1, 80}) {
      TrackCell cell = busy_cell();
      pack_slot_cell(kind, slot, cell);
      EXPECT_EQ(cell.Kind, kind);
      EXPECT_EQ(unpack_slot_cell(cell), slot);
      expect_beside_fields_kept(cell);
    }
  }
}

TEST(TrackLayout, ProfilesRoundTripAndKeepTheirLowBits) {
  for (const int per_mille : {-100, -3, 0, 5, 155}) {
    EXPECT_EQ(unpack_gradient(pack_gradient(per_mille)), per_mille);
  }
  EXPECT_EQ(pack_gradient(-3), 97);
  EXPECT_EQ(pack_gradient(-101), 255);
  for (const int kmh : {0, 5, 85, 1275}) {
    EXPECT_EQ(unpack_speed_limit(pack_speed_limit(kmh)), kmh);
  }
  // A speed between two steps goes to the nearer one.
  EXPECT_EQ(pack_speed_limit(87), 17);
  EXPECT_EQ(pack_speed_limit(88), 18);
}

TEST(TrackLayout, PositionsMapToCellsWithThePlacementsOffsets) {
  struct Case {
    int64_t metres;
    int offset;
    int64_t cell;
  };
  const Case cases[] = {
      {25, kStepOffset, 0},     {75, kStepOffset, 2},       {25, kFeatureOffset, 2},
      {75, kFeatureOffset, 2},  {1750, kFeatureOffset, 36}, {13650, kEndOffset, 272},
      {-50, kFeatureOffset, 0}, {0, kEndOffset, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cell_of(c.metres, c.offset), c.cell) << c.metres << " m, offset " << c.offset;
  }
  // A route of 72000 m has cells 0 to 1580.
  EXPECT_EQ(extended_length(72000), 79000);
  EXPECT_EQ(cell_count(extended_length(72000)), 1581);
  EXPECT_EQ(cell_start(1580), 79000);
}

TEST(TrackLayout, FeaturePositionInvertsTheCellOfEachKind) {
  for (const uint8_t kind :
       {kSignal, kSlowOrderEnd, kSlowOrderStart, kWarningBoard, kApproachBoard, kSpeedBoard,
        kInformationBoard, kCodePoint, kCodePointWithoutCode, kStationMarker}) {
    for (const int32_t metres : {0, 1750, 53750}) {
      const auto cell = static_cast<int32_t>(cell_of(metres, cell_offset(kind)));
      EXPECT_EQ(feature_position(kind, cell), metres) << kind_name(kind);
    }
  }
  EXPECT_EQ(cell_offset(kSignal), kFeatureOffset);
  EXPECT_EQ(cell_offset(kCodePoint), kStepOffset);
  EXPECT_EQ(cell_offset(kStationMarker), kEndOffset);
}

TEST(TrackLayout, MarksOfSignalsAndStations) {
  EXPECT_EQ(signal_mark(2, 2, 1), 81);
  EXPECT_EQ(signal_mark(2, 0, 4), 64);
  EXPECT_EQ(signal_mark(100, 0, 1), (3000 + 1) % 256);
  EXPECT_EQ(station_mark(1), 81);
  EXPECT_EQ(station_mark(kApproachMarks), 84);
}

TEST(TrackLayout, KindNames) {
  struct Case {
    uint8_t kind;
    const char* name;
  };
  const Case cases[] = {{kNothing, "nothing"},
                        {kSignal, "signal"},
                        {kSpeedBoard, "max-speed board"},
                        {7, "unused"},
                        {9, "unused"},
                        {kCodePointWithoutCode, "code point, no code"},
                        {kInformationBoard, "information board"},
                        {15, "unknown"},
                        {255, "unknown"}};
  for (const Case& c : cases) EXPECT_STREQ(kind_name(c.kind), c.name) << int{c.kind};
}

TEST(TrackLayout, StationSlotNamesTheEntryFields) {
  const ScenarioEntry entry{12, 9250, 9850, 9550, 1,  "ROGOREDO", 5, 6,
                            2,  1,    1,    3,    60, 4,          7, 8 * 3600 + 33 * 60};
  const StationSlot station = unpack_station(entry);
  EXPECT_EQ(station.area_start, 9250);
  EXPECT_EQ(station.area_end, 9850);
  EXPECT_EQ(station.position, 9550);
  EXPECT_EQ(station.type, 12);
  EXPECT_EQ(station.first_flag, 1);
  EXPECT_EQ(station.second_flag, 7);
  EXPECT_EQ(station.lengthens_end, 4);
  EXPECT_EQ(station.first_group, (std::array<int16_t, 2>{5, 6}));
  EXPECT_EQ(station.first_group_last, 3);
  EXPECT_EQ(station.second_group, (std::array<int16_t, 3>{2, 1, 1}));
  EXPECT_EQ(station.dwell_seconds, 60);
  EXPECT_EQ(station.time_seconds, 8 * 3600 + 33 * 60);
  EXPECT_EQ(station.name, "ROGOREDO");
}

// Every field of two entries, through the table's own field list.
bool same_entry(const ScenarioEntry& a, const ScenarioEntry& b) {
  return std::apply([&](auto... field) { return ((a.*field == b.*field) && ...); }, kEntryFields);
}

TEST(TrackLayout, StationsRoundTripThroughTheirSlot) {
  const StationSlot stations[] = {
      {},
      // The origin and the fourth station of the built-in text, as the reader leaves them.
      {.area_start = -600,
       .area_end = 600,
       .position = 0,
       .type = 8,
       .first_group = {1, 1},
       .second_group = {2, 4, 1},
       .dwell_seconds = 1,
       .time_seconds = 8 * 3600 + 20 * 60,
       .name = "VELTRA CENTRALE"},
      {.area_start = 9250,
       .area_end = 9850,
       .position = 9550,
       .type = 12,
       .first_flag = 1,
       .second_flag = 1,
       .first_group = {5, 6},
       .first_group_last = 1,
       .second_group = {2, 1, 1},
       .dwell_seconds = 60,
       .time_seconds = 8 * 3600 + 33 * 60,
       .name = "ROGOREDO"},
      // Every field at a limit of its width, each a different value so that no two swap unseen.
      {.area_start = INT32_MIN,
       .area_end = INT32_MAX,
       .position = -1,
       .type = 255,
       .first_flag = 254,
       .second_flag = 253,
       .lengthens_end = 252,
       .first_group = {-32768, 32767},
       .first_group_last = 251,
       .second_group = {-1, 1, -2},
       .dwell_seconds = 250,
       .time_seconds = -5,
       .name = std::string("S.\xE0 \"Z\"", 7)},
  };
  for (const StationSlot& station : stations) {
    EXPECT_EQ(unpack_station(pack_station(station)), station) << station.name;
    const ScenarioEntry entry = pack_station(station);
    EXPECT_TRUE(same_entry(pack_station(unpack_station(entry)), entry)) << station.name;
  }
  // The fields land where the simulator reads them.
  const ScenarioEntry entry = pack_station(stations[2]);
  EXPECT_EQ(entry.Tag, 12);
  EXPECT_EQ(entry.Num1, 9250);
  EXPECT_EQ(entry.Num2, 9850);
  EXPECT_EQ(entry.Num3, 9550);
  EXPECT_EQ(entry.Tag2, 1);
  EXPECT_EQ(entry.Flag4, 1);
  EXPECT_EQ(entry.Small1, 5);
  EXPECT_EQ(entry.Small2, 6);
  EXPECT_EQ(entry.Flag1, 1);
  EXPECT_EQ(entry.Small3, 2);
  EXPECT_EQ(entry.Flag2, 60);
  EXPECT_EQ(entry.Num4, 8 * 3600 + 33 * 60);
}

TEST(TrackLayout, StationTypesSetTheAreaAndHalts) {
  struct Case {
    uint8_t type;
    StationArea area;
    bool halt;
  };
  const Case cases[] = {{0, StationArea::Centred, false},     {4, StationArea::Centred, false},
                        {5, StationArea::BeforePoint, false}, {6, StationArea::BeforePoint, false},
                        {7, StationArea::BothSides, false},   {8, StationArea::BothSides, false},
                        {9, StationArea::Centred, false},     {24, StationArea::Centred, false},
                        {25, StationArea::Centred, true},     {255, StationArea::Centred, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(station_area(c.type), c.area) << int{c.type};
    EXPECT_EQ(is_halt(c.type), c.halt) << int{c.type};
  }
}

TEST(TrackLayout, TunnelKindsFromTheTextAndBack) {
  struct Case {
    int32_t text_kind;
    TunnelCell tunnel;
  };
  const Case cases[] = {{0, {0, false}}, {2, {2, false}},    {10, {10, false}},    {11, {1, true}},
                        {12, {2, true}}, {265, {255, true}}, {-246, {-246, false}}};
  for (const Case& c : cases) {
    EXPECT_EQ(tunnel_of_text_kind(c.text_kind), c.tunnel) << c.text_kind;
    EXPECT_EQ(text_kind_of_tunnel(c.tunnel), c.text_kind) << c.text_kind;
  }
  // An unmarked kind above 10 is written so that the reading does not take it for a marked one,
  // and it gives the cell the same byte.
  const TunnelCell unmarked{12, false};
  EXPECT_EQ(text_kind_of_tunnel(unmarked), 12 - 256);
  EXPECT_FALSE(tunnel_of_text_kind(text_kind_of_tunnel(unmarked)).marked);
  TrackCell cell;
  pack_tunnel(tunnel_of_text_kind(text_kind_of_tunnel(unmarked)), 1, cell);
  EXPECT_EQ(cell.Tunnel, 12);
}

TEST(TrackLayout, TunnelCellsTakeTheKindAndAMarkerEveryFourthEmptyCell) {
  struct Case {
    const char* name;
    TunnelCell tunnel;
    int64_t nth;
    uint8_t kind_before;
    TrackCell expected;  // Kind and Tunnel
  };
  const auto cell = [](uint8_t kind, uint8_t tunnel) {
    TrackCell c;
    c.Kind = kind;
    c.Tunnel = tunnel;
    return c;
  };
  const Case cases[] = {
      {"marked, fourth and empty", {2, true}, 4, kNothing, cell(kTunnelMarker, 2)},
      {"marked, eighth and empty", {2, true}, 8, kNothing, cell(kTunnelMarker, 2)},
      {"marked, third", {2, true}, 3, kNothing, cell(kNothing, 2)},
      {"marked, fourth holding a signal", {2, true}, 4, kSignal, cell(kSignal, 2)},
      {"unmarked, fourth", {2, false}, 4, kNothing, cell(kNothing, 2)},
      {"kind beyond 8 bits", {258, false}, 1, kNothing, cell(kNothing, 2)},
  };
  for (const Case& c : cases) {
    TrackCell track = busy_cell();
    track.Kind = c.kind_before;
    pack_tunnel(c.tunnel, c.nth, track);
    EXPECT_EQ(track.Kind, c.expected.Kind) << c.name;
    EXPECT_EQ(track.Tunnel, c.expected.Tunnel) << c.name;
    EXPECT_EQ(track.Mark, 81) << c.name;
    EXPECT_EQ(track.Adhesion, 96) << c.name;
  }
  // Round trip: a marker cell reads back marked, every cell its kind.
  TrackCell marker;
  pack_tunnel({7, true}, 4, marker);
  EXPECT_EQ(unpack_tunnel(marker), (TunnelCell{7, true}));
  TrackCell plain;
  pack_tunnel({7, true}, 5, plain);
  EXPECT_EQ(unpack_tunnel(plain), (TunnelCell{7, false}));
}

TEST(TrackLayout, KilometricReferencesRoundTripWithTheDirectionShift) {
  struct Case {
    KilometricReference reference;
    int32_t stored_progressive;
  };
  const Case cases[] = {
      // "uno" of the built-in text: direction 1 stores its progressive 100 m on.
      {{9550, 218300, 1}, 218400},    {{0, 0, 0}, 0},          {{3000, 150000, 0}, 150000},
      {{3000, 150000, 2}, 150000},    {{-50, -1000, 1}, -900}, {{1, INT32_MAX - 100, 1}, INT32_MAX},
      {{1, INT32_MAX, 0}, INT32_MAX},
  };
  for (const Case& c : cases) {
    ScenarioEntry entry;
    ASSERT_TRUE(pack_reference(c.reference, entry)) << c.reference.progressive;
    EXPECT_EQ(entry.Num1, c.reference.position);
    EXPECT_EQ(entry.Num2, c.stored_progressive);
    EXPECT_EQ(entry.Num3, c.reference.direction);
    EXPECT_EQ(unpack_reference(entry), c.reference) << c.reference.progressive;
  }
  // A shifted progressive past 32 bits is refused and nothing is written.
  ScenarioEntry entry;
  entry.Num2 = 7;
  EXPECT_FALSE(pack_reference({50, INT32_MAX - 99, 1}, entry));
  EXPECT_EQ(entry.Num1, 0);
  EXPECT_EQ(entry.Num2, 7);
}

TEST(TrackLayout, RecordsAndPlanElementsHaveTheStoredSizes) {
  EXPECT_EQ(kCellBytes, 15u);
  EXPECT_EQ(kEntryBytes, 34u);
  EXPECT_EQ(plan_element_bytes(PlanTag::Empty), 2u);
  EXPECT_EQ(plan_element_bytes(PlanTag::Integer), 4u);
  EXPECT_EQ(plan_element_bytes(PlanTag::Double), 10u);
  for (uint16_t tag = 0; tag < 300; ++tag)
    EXPECT_EQ(is_plan_tag(tag), tag == 0 || tag == 2 || tag == 5) << tag;
}

}  // namespace
}  // namespace scengen
