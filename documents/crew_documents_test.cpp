#include "documents/crew_documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/text_lines.h"

namespace scengen {
namespace {

using testing::ScratchFolder;

struct Writer {
  void (*write)(const OutputPlace&);
  const char* suffix;  // after RouteId + "_" + TrainNumber
};

const Writer kWriters[] = {
    {write_scenario_notes, "_note.txt"},
    {write_slow_order_notice, "_rallentamenti.txt"},
    {write_train_card, "_scheda_treno.txt"},
};

// The identity names the file and nothing else: the documents' texts are constants.
TEST(CrewDocuments, TheIdentityChangesOnlyTheFileName) {
  for (const Writer& w : kWriters) {
    ScratchFolder built_in;
    ScratchFolder other;
    w.write(built_in.place());
    w.write(other.place("Altra_Linea", "12345"));
    const std::string built_in_name = std::string("Veltrano_Quarnelo_58316") + w.suffix;
    const std::string other_name = std::string("Altra_Linea_12345") + w.suffix;
    EXPECT_EQ(built_in.names(), std::vector<std::string>{built_in_name});
    EXPECT_EQ(other.names(), std::vector<std::string>{other_name});
    const std::string bytes = built_in.read(built_in_name);
    EXPECT_FALSE(bytes.empty()) << w.suffix;
    EXPECT_EQ(other.read(other_name), bytes) << w.suffix;
  }
}

TEST(CrewDocuments, RewritingOverALongerEarlierFileLeavesExactlyTheDocument) {
  for (const Writer& w : kWriters) {
    ScratchFolder fresh;
    ScratchFolder reused;
    const std::string name = std::string("Veltrano_Quarnelo_58316") + w.suffix;
    system_files().write_replacing(reused.path() / name, std::string(20000, 'z'));
    w.write(fresh.place());
    w.write(reused.place());
    EXPECT_EQ(reused.read(name), fresh.read(name)) << w.suffix;
    EXPECT_EQ(reused.names(), std::vector<std::string>{name}) << w.suffix;
  }
}

TEST(CrewDocuments, ListsCloseWithTheMarkerAfterTheirLastLine) {
  struct Case {
    LineList (*lines)();
    std::size_t count;
  };
  const Case cases[] = {
      {scenario_notes_lines, 22}, {slow_order_notice_lines, 47}, {train_card_lines, 46}};
  for (const Case& c : cases) {
    const LineList list = c.lines();
    EXPECT_EQ(list[c.count], kEndMarker) << c.count;
    for (std::size_t i = 0; i < c.count; ++i) EXPECT_NE(list[i], kEndMarker) << i;
  }
}

}  // namespace
}  // namespace scengen
