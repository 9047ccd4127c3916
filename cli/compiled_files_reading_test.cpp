// Reading a compiled scenario's files: the defaults beside the track, the route plan's
// outcomes, and each refusal in one line with its status.
#include "cli/compiled_files_reading.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/unreadable_plan_test.h"
#include "compiler/output_files.h"
#include "compiler/track_layout.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "testing/file_faults.h"
#include "testing/models.h"
#include "testing/scratch_folder.h"

namespace scengen {
namespace {

// A folder holding the files of route Ponte, train 7: R_7.dat, R_7.sim and Ponte_linea.dat.
class CompiledFilesReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cells_.assign(3, TrackCell{});
    cells_[2].Kind = 1;
    table_[kRouteIdSlot].Text = "Ponte";
    TrackPlan plan;
    testing::start_plan(plan, 4);
    plan_ = encode_route_plan(plan);
    folder_.write("R_7.dat", encode_track_cells(cells_));
    folder_.write("R_7.sim", *encode_scenario_table(table_));
    folder_.write("Ponte_linea.dat", plan_);
  }

  std::string path(const char* name) const { return folder_.at(name).string(); }

  // Reads the files named, keeping what was said.
  CompiledFilesReading read(const CompiledFileNames& names,
                            FileLayer& file_layer = system_files()) {
    Console console{out_, err_};
    return read_compiled_files(names, console, file_layer);
  }

  testing::ScratchFolder folder_{"compiled-files"};
  std::vector<TrackCell> cells_;
  ScenarioTable table_;
  std::string plan_;
  std::ostringstream out_, err_;
};

TEST_F(CompiledFilesReadingTest, TableAndPlanAreFoundBesideTheTrack) {
  const CompiledFilesReading r = read({path("R_7.dat")});
  ASSERT_TRUE(r.files) << err_.str();
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.files->cells.size(), 3u);
  EXPECT_EQ(r.files->cells[2].Kind, 1);
  EXPECT_EQ(r.files->table[kRouteIdSlot].Text, "Ponte");
  EXPECT_EQ(r.files->plan, plan_);
  EXPECT_EQ(r.plan, PlanPresence::Present);
  EXPECT_EQ(r.table_path, folder_.at("R_7.sim"));
  EXPECT_EQ(r.plan_path, folder_.at("Ponte_linea.dat"));
  EXPECT_EQ(err_.str(), "");
}

TEST_F(CompiledFilesReadingTest, AnUpperCaseTrackFindsItsUpperCaseTable) {
  folder_.write("R_8.DAT", encode_track_cells(cells_));
  folder_.write("R_8.SIM", *encode_scenario_table(table_));
  const CompiledFilesReading r = read({path("R_8.DAT")});
  ASSERT_TRUE(r.files) << err_.str();
  EXPECT_EQ(r.table_path, folder_.at("R_8.SIM"));
}

TEST_F(CompiledFilesReadingTest, APlanNotBesideIsAbsentAndOneLeftOutIsNotLookedFor) {
  std::filesystem::rename(folder_.at("Ponte_linea.dat"), folder_.at("elsewhere.dat"));
  const CompiledFilesReading absent = read({path("R_7.dat")});
  ASSERT_TRUE(absent.files) << err_.str();
  EXPECT_EQ(absent.plan, PlanPresence::Absent);
  EXPECT_EQ(absent.plan_path, folder_.at("Ponte_linea.dat"));
  EXPECT_FALSE(absent.files->plan);

  const CompiledFilesReading given = read({path("R_7.dat"), std::nullopt, path("elsewhere.dat")});
  ASSERT_TRUE(given.files) << err_.str();
  EXPECT_EQ(given.plan, PlanPresence::Present);
  EXPECT_EQ(given.files->plan, plan_);

  const CompiledFilesReading left_out =
      read({path("R_7.dat"), std::nullopt, path("elsewhere.dat"), /*no_plan=*/true});
  ASSERT_TRUE(left_out.files) << err_.str();
  EXPECT_EQ(left_out.plan, PlanPresence::LeftOut);
  EXPECT_TRUE(left_out.plan_path.empty());
  EXPECT_FALSE(left_out.files->plan);
  EXPECT_EQ(err_.str(), "");
}

// A name that must be escaped when shown; Windows names cannot hold a control byte.
#ifdef _WIN32
constexpr char kOddTable[] = "bad.sim";
#else
constexpr char kOddTable[] = "bad\x01.sim";
#endif

TEST_F(CompiledFilesReadingTest, EachRefusalIsOneLineWithItsStatus) {
  folder_.write("short.dat", std::string(31, '\0'));
  folder_.write(kOddTable, "x");
  struct Case {
    CompiledFileNames names;
    int status;
    PlanPresence plan;
    std::string line;
  };
  const auto quoted = [&](const char* name) { return printable_path(folder_.at(name)); };
  const Case cases[] = {
      {{path("missing.dat")}, kExitFileFailed, PlanPresence::LeftOut,
       "scengen: cannot read " + quoted("missing.dat") + ": No such file or directory"},
      {{path("short.dat")}, kExitCompileError, PlanPresence::LeftOut,
       "scengen: " + quoted("short.dat") +
           " is not a compiled track: a compiled track is a whole number of 15-byte cells; this "
           "file has 31 bytes"},
      // The name shown cannot act on the terminal.
      {{path("R_7.dat"), path(kOddTable)}, kExitCompileError, PlanPresence::LeftOut,
       "scengen: " + quoted(kOddTable) +
           " is not a scenario table: a scenario table holds 87 records; this file ends inside "
           "record 0 (1 bytes)"},
      {{path("R_7.dat"), std::nullopt, path("missing_linea.dat")}, kExitFileFailed,
       PlanPresence::Unreadable,
       "scengen: cannot read " + quoted("missing_linea.dat") + ": No such file or directory"},
      {{path("R_7.dat"), std::nullopt, path("R_7.sim")}, kExitCompileError,
       PlanPresence::Unreadable,
       "scengen: " + quoted("R_7.sim") + " is not a route plan: " +
           check_route_plan(folder_.read("R_7.sim")).error},
  };
  for (const Case& c : cases) {
    err_.str("");
    const CompiledFilesReading r = read(c.names);
    EXPECT_FALSE(r.files) << c.line;
    EXPECT_EQ(r.status, c.status) << c.line;
    EXPECT_EQ(r.plan, c.plan) << c.line;
    EXPECT_EQ(err_.str(), c.line + "\n");
  }
#ifndef _WIN32
  EXPECT_NE(quoted(kOddTable).find("bad\\x01.sim"), std::string::npos);
#endif
  EXPECT_EQ(out_.str(), "");
}

// A plan beside the track that is there but cannot be read is no absent plan: the reading fails.
class UnreadablePlanBeside : public CompiledFilesReadingTest,
                             public ::testing::WithParamInterface<testing::PlanFault> {};

TEST_P(UnreadablePlanBeside, FailsWithOneLineAndStatus4) {
  if (auto why = testing::plan_fault_unavailable(GetParam())) GTEST_SKIP() << *why;
  std::filesystem::remove(folder_.at("Ponte_linea.dat"));
  testing::make_plan_fault(GetParam(), folder_.at("Ponte_linea.dat"), plan_);
  const CompiledFilesReading r = read({path("R_7.dat")});
  EXPECT_FALSE(r.files);
  EXPECT_EQ(r.status, kExitFileFailed);
  EXPECT_EQ(r.plan, PlanPresence::Unreadable);
  EXPECT_EQ(err_.str(), "scengen: cannot read " + printable_path(folder_.at("Ponte_linea.dat")) +
                            ": " + testing::plan_fault_reason(GetParam()) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Faults, UnreadablePlanBeside, ::testing::ValuesIn(testing::kPlanFaults),
                         [](const auto& info) { return testing::plan_fault_name(info.param); });

// What the read itself reports decides, not an earlier look: a device error is a failure, and a
// plan gone by the time it is read is absent.
TEST_F(CompiledFilesReadingTest, TheReadOfThePlanTellsAbsentFromUnreadable) {
  struct Case {
    testing::TroubledText::Trouble trouble;
    PlanPresence plan;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {testing::TroubledText::DeviceError, PlanPresence::Unreadable, kExitFileFailed,
       "scengen: cannot read " + printable_path(folder_.at("Ponte_linea.dat")) +
           ": Input/output error\n"},
      {testing::TroubledText::Vanishes, PlanPresence::Absent, kExitOk, ""},
  };
  for (const Case& c : cases) {
    err_.str("");
    folder_.write("Ponte_linea.dat", plan_);
    testing::TroubledText troubled("Ponte_linea.dat", c.trouble);
    const CompiledFilesReading r = read({path("R_7.dat")}, troubled);
    EXPECT_EQ(r.plan, c.plan) << c.err;
    EXPECT_EQ(r.status, c.status) << c.err;
    EXPECT_EQ(r.files.has_value(), c.status == kExitOk) << c.err;
    EXPECT_EQ(err_.str(), c.err);
  }
}

}  // namespace
}  // namespace scengen
