#include "texts/line_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/text_lines.h"

namespace scengen {
namespace {

using testing::ScratchFolder;

LineList list_of(const std::vector<std::string>& entries) {
  LineList list;
  for (std::size_t i = 0; i < entries.size(); ++i) list[i] = entries[i];
  return list;
}

TEST(EmitLineList, WritesEachEntryWithCrLfUpToTheMarker) {
  const std::string marker(kEndMarker);
  struct Case {
    const char* name;
    std::vector<std::string> entries;
    std::string bytes;
  };
  const Case cases[] = {
      {"marker first", {marker, "after"}, ""},
      {"lines and an empty entry", {"a", "", "b", marker}, "a\r\n\r\nb\r\n"},
      {"entries after the marker", {"a", marker, "b", marker, "c"}, "a\r\n"},
      {"bytes kept as they are", {"n\xB0", "velocit\xE0", marker}, "n\xB0\r\nvelocit\xE0\r\n"},
      {"capital letter", {"Riferimento fine del file", marker}, "Riferimento fine del file\r\n"},
      {"trailing blank", {marker + " ", marker}, marker + " \r\n"},
      {"leading blank", {" " + marker, marker}, " " + marker + "\r\n"},
      {"shorter", {"riferimento fine del fil", marker}, "riferimento fine del fil\r\n"},
      {"inside a line", {"x" + marker + "x", marker}, "x" + marker + "x\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(emit_line_list(list_of(c.entries)), c.bytes) << c.name;
  }
}

TEST(EmitLineList, ListWithoutMarkerGivesAllEntries) {
  LineList list;
  list[1000] = "last";
  std::string expected;
  for (int i = 0; i < 1000; ++i) expected += "\r\n";
  EXPECT_EQ(emit_line_list(list), expected + "last\r\n");
}

TEST(MakeLineList, PutsLinesFromEntryZeroAndTheMarkerAfterThem) {
  static constexpr std::string_view kLines[] = {"uno", "", "tre"};
  const LineList list = make_line_list(kLines);
  EXPECT_EQ(list[0], "uno");
  EXPECT_EQ(list[1], "");
  EXPECT_EQ(list[2], "tre");
  EXPECT_EQ(list[3], kEndMarker);
  for (std::size_t i = 4; i < list.size(); ++i) EXPECT_TRUE(list[i].empty()) << i;
}

TEST(WriteLineList, ReplacesALongerEarlierFileWithExactlyTheNewBytes) {
  ScratchFolder folder;
  const std::string name = "Veltrano_Quarnelo_linea.txt";
  system_files().write_replacing(folder.path() / name, std::string(10000, 'x') + "\r\n");

  write_line_list(folder.place(), name,
                  list_of({"[generale]", "", "[fine]", std::string(kEndMarker)}));

  EXPECT_EQ(folder.read(name), "[generale]\r\n\r\n[fine]\r\n");
  // Nothing but the file itself: no temporary is left beside it.
  EXPECT_EQ(folder.names(), std::vector<std::string>{name});
}

TEST(WriteLineList, WritingTwiceGivesTheSameBytes) {
  ScratchFolder folder;
  const LineList list = list_of({"a", "b", std::string(kEndMarker)});
  write_line_list(folder.place(), "f.txt", list);
  const std::string first = folder.read("f.txt");
  write_line_list(folder.place(), "f.txt", list);
  EXPECT_EQ(folder.read("f.txt"), first);
  EXPECT_EQ(first, "a\r\nb\r\n");
}

TEST(WriteLineList, AFolderThatCannotBeWrittenFailsNamingTheFile) {
  ScratchFolder folder;
  const std::filesystem::path missing = folder.path() / "missing";
  const OutputPlace out{system_files(), missing, "Veltrano_Quarnelo", "58316"};
  try {
    write_line_list(out, "f.txt", list_of({"a", std::string(kEndMarker)}));
    FAIL() << "no failure";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), join_output_path(missing, "f.txt"));
  }
  EXPECT_TRUE(folder.names().empty());
}

// Records the one write it is asked for, so that the exact path can be seen.
class RecordingFiles : public FileLayer {
 public:
  void write_replacing(const std::filesystem::path& path, std::string_view bytes) override {
    written_path = path;
    written_bytes = std::string(bytes);
  }
  FileRead read_whole(const std::filesystem::path&) override { return {}; }
  void remove(const std::filesystem::path&) override {}

  std::filesystem::path written_path;
  std::string written_bytes;
};

TEST(WriteLineList, InsertsTheSeparatorEvenAfterOneAlreadyThere) {
  RecordingFiles files;
  const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
  const OutputPlace out{files, std::filesystem::path("out" + sep), "R", "T"};
  write_line_list(out, "f.txt", list_of({"a", std::string(kEndMarker)}));
  EXPECT_EQ(files.written_path.string(), "out" + sep + sep + "f.txt");
  EXPECT_EQ(files.written_bytes, "a\r\n");
}

}  // namespace
}  // namespace scengen
