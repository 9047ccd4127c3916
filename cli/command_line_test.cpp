// The command line as a user meets it: usage, help, version, files that cannot be read or written.
#include <gtest/gtest.h>

#include "testing/scengen_process.h"

namespace scengen {
namespace {

using testing::kBelowAPlainFile;
using testing::kSeparator;
using testing::ProcessResult;
using CommandLine = testing::ScengenFolder;

TEST_F(CommandLine, UsageErrorsGiveOneLineAndStatus2) {
  write("R_linea.txt", "[generale]\r\n");
  write("R_7-.txt", "[generale]\r\n");
  struct Case {
    std::vector<std::string> args;
    const char* says;  // a piece of the one line
  };
  const Case cases[] = {
      {{"bogus"}, "bogus"},
      {{"--out", "x"}, "--out"},
      {{"run", "extra"}, "extra"},
      {{"run", "--out"}, "--out"},
      {{"compile", "R_linea.txt"}, "TRAIN_TEXT"},
      {{"compile", "R_linea.txt", "R_7-.txt", "--frob"}, "--frob"},
      {{"compile", "line.txt", "R_7-.txt"}, "give --route"},
      {{"compile", "R_linea.txt", "S_7-.txt"}, "give --train"},
      {{"compile", "R_linea.txt", "R_7-.txt", "--route", "a/b"}, "'a/b'"},
      {{"compile", "R_linea.txt", "R_7-.txt", "--train", ""}, "''"},
      {{"check", "R_linea.txt"}, "TRAIN_TEXT"},
      {{"check", "R_linea.txt", "R_7-.txt", "--out", "x"}, "--out"},
      {{"dump"}, "FILE"},
      {{"dump", "x.dat", "--kind", "cells"}, "cells"},
      {{"dump", "x.bin"}, "give --kind"},
      {{"dump", "x.dat", "--cells", "9:3"}, "9:3"},
      {{"dump", "x.dat", "--cells", "a:b"}, "a:b"},
      {{"texts", "R_linea.txt"}, "R_linea.txt"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = scengen(c.args);
    const std::string shown = c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : "");
    EXPECT_EQ(r.status, 2) << shown;
    ASSERT_EQ(r.err_lines().size(), 1u) << shown << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("scengen", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << shown;
  }
  // Nothing was read or written by any of them.
  EXPECT_EQ(read("R_linea.txt"), "[generale]\r\n");
  EXPECT_FALSE(exists("x.dat"));
}

TEST_F(CommandLine, EveryCommandHasHelpEndingWithExamples) {
  for (const char* command : {"run", "compile", "check", "dump", "texts", "render"}) {
    const ProcessResult r = scengen({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_NE(r.out.find(std::string("Usage: scengen ") + command), std::string::npos) << r.out;
    const size_t examples = r.out.find("Examples:\n");
    ASSERT_NE(examples, std::string::npos) << r.out;
    EXPECT_NE(r.out.find(std::string("  scengen ") + command, examples), std::string::npos);
    EXPECT_EQ(r.err, "");
  }
  const ProcessResult top = scengen({"--help"});
  EXPECT_EQ(top.status, 0);
  for (const char* command : {"run", "compile", "check", "dump", "texts", "render"}) {
    EXPECT_NE(top.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
  }
  EXPECT_NE(top.out.find("Examples:\n"), std::string::npos);
  // Help writes nothing into the folder.
  EXPECT_TRUE(std::filesystem::is_empty(folder()));
}

TEST_F(CommandLine, VersionIsOneLine) {
  const ProcessResult r = scengen({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("scengen ", 0), 0u) << r.out;
  EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
}

TEST_F(CommandLine, InputThatCannotBeReadGivesOneLineAndStatus4) {
  write("R_linea.txt", "[generale]\r\n");
  write("R_7-.txt", "[generale]\r\n");
  std::filesystem::create_directory(at("folder_linea.txt"));
  struct Case {
    std::vector<std::string> args;
    const char* line;
  };
  const Case cases[] = {
      {{"check", "missing_linea.txt", "R_7-.txt"},
       "scengen: cannot read 'missing_linea.txt': No such file or directory"},
      {{"check", "R_linea.txt", "R_8-.txt"},
       "scengen: cannot read 'R_8-.txt': No such file or directory"},
      {{"compile", "R_linea.txt", "R_8-.txt"},
       "scengen: cannot read 'R_8-.txt': No such file or directory"},
      {{"compile", "folder_linea.txt", "R_7-.txt", "--route", "R"},
       "scengen: cannot read 'folder_linea.txt': Is a directory"},
      {{"dump", "R_7.dat"}, "scengen: cannot read 'R_7.dat': No such file or directory"},
      {{"dump", "folder_linea.txt", "--kind", "plan"},
       "scengen: cannot read 'folder_linea.txt': Is a directory"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = scengen(c.args);
    EXPECT_EQ(r.status, 4) << c.line;
    EXPECT_EQ(r.err, std::string(c.line) + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(exists("R_7.sim"));
  EXPECT_FALSE(exists("R_7.dat"));
}

TEST_F(CommandLine, UnwritableOutGivesOneLineAndStatus4) {
  write("plain_file", "x");
  for (const char* command : {"texts", "run"}) {
    const ProcessResult r = scengen({command, "--out", "plain_file"});
    EXPECT_EQ(r.status, 4) << command;
    EXPECT_EQ(r.err, "scengen: cannot write 'plain_file" + kSeparator +
                         "Veltrano_Quarnelo_linea.txt': " + kBelowAPlainFile + "\n")
        << command;
    const ProcessResult missing = scengen({command, "--out", "no/such/folder"});
    EXPECT_EQ(missing.status, 4) << command;
    EXPECT_EQ(missing.err, "scengen: cannot write 'no/such/folder" + kSeparator +
                               "Veltrano_Quarnelo_linea.txt': No such file or directory\n")
        << command;
  }
}

}  // namespace
}  // namespace scengen
