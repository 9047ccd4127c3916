// scengen fmt: texts laid out in place, named with --check, shown with --diff, through standard
// input; a layout that would change the compiled bytes is refused, and every failure has its
// status and one line.
#include "cli/fmt_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "testing/check_fixture.h"
#include "testing/file_faults.h"
#include "testing/scengen_process.h"
#include "testing/scratch_folder.h"

namespace scengen {
namespace {

using testing::crlf_text;
using testing::ProcessResult;
using Fmt = testing::ScengenFolder;

// The check tests' texts as authors write them, and laid out.
const std::string kLine = crlf_text(testing::kCheckLine);
const std::string kTrain = crlf_text(testing::kCheckTrain);
const std::string kLaidLine = crlf_text({
    "[generale]",
    "lunghezza percorso,    5000",
    "progressiva chilometrica uno,    1000,    2000,    1",
    "ripetizione segnali 9 codici,    0,    4000",
    "[pendenze]",
    "pendenza,  0,   0",
    "pendenza,  1500,   3",
    "[cartelli]",
    "cartello_indicatore,  2500,   (P.B.A.)",
    "[fine]",
});
const std::string kLaidTrain = crlf_text({
    "[generale]",
    "velocita,   0,    30",
    "aderenza,       0,    96",
    "stazione,    1000, 12,  600,  0, 0, 0,  0,0,0,  0,0,0,    0,   8, 0, 0, ALFA",
    "segnale,    2000,   2, 2, 3,  1, 1,    2,  2,1,1, 0",
    "stazione,    3000, 12,  600,  0, 0, 0,  0,0,0,  0,0,0,   60,   8, 5, 0, BETA",
    "[fine]",
});

TEST_F(Fmt, LaysOutInPlaceKeepingTheCompiledFiles) {
  write("Ponte_linea.txt", kLine);
  write("Ponte_7-.txt", kTrain);
  ASSERT_EQ(scengen({"compile", "Ponte_linea.txt", "Ponte_7-.txt", "--out", "before"}).status, 0);

  const ProcessResult r = scengen({"fmt", "Ponte_linea.txt", "Ponte_7-.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read("Ponte_linea.txt"), kLaidLine);
  EXPECT_EQ(read("Ponte_7-.txt"), kLaidTrain);
  ASSERT_EQ(scengen({"compile", "Ponte_linea.txt", "Ponte_7-.txt", "--out", "after"}).status, 0);
  for (const char* name : {"Ponte_linea.dat", "Ponte_7.sim", "Ponte_7.dat"}) {
    EXPECT_TRUE(read(std::string("before/") + name) == read(std::string("after/") + name)) << name;
  }
  // A second time nothing changes, and --check agrees; no temporary or lock file stays.
  EXPECT_EQ(scengen({"fmt", "Ponte_linea.txt", "Ponte_7-.txt"}).status, 0);
  EXPECT_EQ(read("Ponte_linea.txt"), kLaidLine);
  const ProcessResult check = scengen({"fmt", "--check", "Ponte_linea.txt", "Ponte_7-.txt"});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected{"Ponte_7-.txt", "Ponte_linea.txt", "after", "before"};
#ifdef _WIN32
  // Windows keeps the folder's lock file between runs.
  expected.insert(expected.begin(), ".scengen.lock");
#endif
  EXPECT_EQ(names, expected);
}

TEST_F(Fmt, CheckNamesTheTextsThatWouldChangeAndWritesNothing) {
  write("Ponte_linea.txt", kLine);
  write("Ponte_7-.txt", kLaidTrain);
  const ProcessResult r = scengen({"fmt", "--check", "Ponte_7-.txt", "Ponte_linea.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Ponte_linea.txt\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read("Ponte_linea.txt"), kLine);
}

TEST_F(Fmt, DiffShowsWhatWouldChange) {
  const std::string text = crlf_text({"[generale]", "sabbia, 300", "[aderenze]", "", "-- a note",
                                      "aderenza,       0,    96", "[vel_limite]", "[stazioni]",
                                      "aderenza, 53950,70", "[fine]"});
  write("Ponte_7-.txt", text);
  const ProcessResult r = scengen({"fmt", "--diff", "Ponte_7-.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "--- Ponte_7-.txt\n+++ Ponte_7-.txt\n"
            "@@ -1,5 +1,5 @@\n"
            " [generale]\r\n-sabbia, 300\r\n+sabbia,    300\r\n [aderenze]\r\n \r\n -- a note\r\n"
            "@@ -6,5 +6,5 @@\n"
            " aderenza,       0,    96\r\n [vel_limite]\r\n [stazioni]\r\n"
            "-aderenza, 53950,70\r\n+aderenza,   53950,    70\r\n [fine]\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read("Ponte_7-.txt"), text);
}

TEST_F(Fmt, AKindItsNameDoesNotTellIsAskedFor) {
  write("notes.txt", kLine);
  const ProcessResult r = scengen({"fmt", "Ponte_linea.txt", "notes.txt"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err_lines(),
            std::vector<std::string>{
                "scengen fmt: cannot tell the kind of 'notes.txt' from its name (not "
                "ROUTE_linea.txt or ROUTE_TRAIN-.txt): give --kind"});
  const ProcessResult input = scengen({"fmt", "-"});
  EXPECT_EQ(input.status, 2);
  EXPECT_EQ(input.err, "scengen fmt: cannot tell the kind of standard input: give --kind\n");
  // --kind tells it; and standard input goes alone.
  EXPECT_EQ(scengen({"fmt", "--kind", "line", "notes.txt"}).status, 0);
  EXPECT_EQ(read("notes.txt"), kLaidLine);
  const ProcessResult both = scengen({"fmt", "--kind", "line", "-", "notes.txt"});
  EXPECT_EQ(both.status, 2);
  EXPECT_EQ(both.err, "scengen fmt: - (standard input) must be the only FILE\n");
}

TEST_F(Fmt, ATextThatCannotBeReadIsNamedAndTheOthersAreLaidOut) {
  write("Ponte_7-.txt", kTrain);
  const ProcessResult r = scengen({"fmt", "Ponte_linea.txt", "Ponte_7-.txt"});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "scengen: cannot read 'Ponte_linea.txt': No such file or directory\n");
  EXPECT_EQ(read("Ponte_7-.txt"), kLaidTrain);
}

// The command in this process, with standard input and the layout of the test's choice.
class FmtHere : public ::testing::Test {
 protected:
  using Layout = std::string (*)(std::string_view, format::TextKind);

  int fmt(const FmtOptions& options, Layout layout = format::format_text,
          FileLayer& files = system_files()) {
    out_.str("");
    err_.str("");
    Console console{out_, err_};
    return format_texts(options, console, {files, in_, layout});
  }
  std::string path(const char* name) const { return folder_.at(name).string(); }
  std::string quoted(const char* name) const { return "'" + path(name) + "'"; }

  testing::ScratchFolder folder_{"fmt"};
  std::istringstream in_;
  std::ostringstream out_;
  std::ostringstream err_;
};

FmtOptions options_for(std::vector<std::string> files, std::optional<std::string> kind = {},
                       bool check = false) {
  FmtOptions options;
  options.files = std::move(files);
  options.kind = std::move(kind);
  options.check = check;
  return options;
}

// A layout gone wrong: the last "9999" of a text becomes "99999".
std::string faulty_layout(std::string_view text, format::TextKind) {
  std::string changed(text);
  const size_t at = changed.rfind("9999");
  if (at != std::string::npos) changed.insert(at, "9");
  return changed;
}

TEST_F(FmtHere, StandardInputGoesToStandardOutput) {
  in_.str(kTrain);
  EXPECT_EQ(fmt(options_for({"-"}, "train")), 0);
  EXPECT_EQ(out_.str(), kLaidTrain);
  EXPECT_EQ(err_.str(), "");

  in_.clear();
  in_.str(kTrain);
  EXPECT_EQ(fmt(options_for({"-"}, "train", /*check=*/true)), 1);
  EXPECT_EQ(out_.str(), "-\n");

  // Refused, the text comes back as it was.
  const std::string text = kTrain + "numero vetture, 9999\r\n";
  in_.clear();
  in_.str(text);
  EXPECT_EQ(fmt(options_for({"-"}, "train"), faulty_layout), 1);
  EXPECT_EQ(out_.str(), text);
  EXPECT_EQ(err_.str(),
            "scengen fmt: standard input is left as it is: laid out, it would change the scenario "
            "table\n");
}

TEST_F(FmtHere, ALayoutThatChangesTheCompiledBytesIsRefused) {
  struct Case {
    const char* name;
    std::string text;
    const char* difference;
  };
  const Case cases[] = {
      {"Ponte_linea.txt", kLine + "pendenza, 4000, 9999\r\n", "the compiled track"},
      {"Ponte_7-.txt", kTrain + "numero vetture, 9999\r\n", "the scenario table"},
      {"Ponte_7-.txt", kTrain + "sabbia, 9999\r\n", "the compile's status"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    folder_.write(c.name, c.text);
    EXPECT_EQ(fmt(options_for({path(c.name)}), faulty_layout), 1);
    EXPECT_EQ(err_.str(), "scengen fmt: " + quoted(c.name) +
                              " is left as it is: laid out, it would change " + c.difference +
                              "\n");
    EXPECT_EQ(folder_.read(c.name), c.text);
    folder_.empty_out();
  }
}

TEST_F(FmtHere, ATrainTextIsComparedWithTheLineTextOfItsRoute) {
  // The line text's track ends before 20000 m: the reading stops there, and a change past it
  // compiles to the same files. Without that line text beside it the train text is read whole.
  const std::string train =
      "[generale]\r\nvelocita, 20000, 30\r\nnumero vetture, 9999\r\n[fine]\r\n";
  for (const bool beside : {true, false}) {
    SCOPED_TRACE(beside);
    folder_.empty_out();
    if (beside) folder_.write("Ponte_Alto_linea.txt", kLine);
    folder_.write("Ponte_Alto_7-.txt", train);
    EXPECT_EQ(fmt(options_for({path("Ponte_Alto_7-.txt")}), faulty_layout), beside ? 0 : 1);
    EXPECT_EQ(folder_.read("Ponte_Alto_7-.txt").find("99999") != std::string::npos, beside);
  }
}

TEST_F(FmtHere, ATextThatCannotBeWrittenIsNamed) {
  folder_.write("Ponte_7-.txt", kTrain);
  testing::RefusingFolder refusing;
  EXPECT_EQ(fmt(options_for({path("Ponte_7-.txt")}), format::format_text, refusing), 4);
  EXPECT_EQ(err_.str(),
            "scengen: cannot write " + quoted("Ponte_7-.txt") + ": Permission denied\n");
  EXPECT_EQ(folder_.read("Ponte_7-.txt"), kTrain);
}

}  // namespace
}  // namespace scengen
