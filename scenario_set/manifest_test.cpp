// The manifest: read back as written whatever the names hold, refused when damaged, and a file's
// stamp telling an edit from a mere touch.
#include "scenario_set/manifest.h"

#include <gtest/gtest.h>

#include <thread>

#include "testing/scratch_folder.h"

namespace scengen {
namespace {

Manifest sample() {
  Manifest m;
  m.program = "1.0.0 (commit abc1234) build 00ff";
  m.routes.push_back({"Ponte Alto", 0xfedcba9876543210u, {"Ponte Alto_linea.dat", 12, -5, 7}});
  ScenarioRecord r;
  r.route = "Ponte Alto";
  r.train = "50%\nx";  // a blank, a percent sign and a line end in a name
  r.line_hash = 1;
  r.train_hash = 2;
  r.documents_hash = 3;
  r.code = 16;
  r.position = 2000;
  r.stopped = true;
  r.warnings = 2;
  r.pictures = true;
  r.length = 5000;
  r.stations = 0;
  r.files = {{"a.sim", 1, 2, 3}, {"", 0, 0, 0}};
  m.scenarios.push_back(r);
  return m;
}

TEST(Manifest, ReadsBackWhatItWrote) {
  const Manifest m = sample();
  const auto back = parse_manifest(manifest_text(m));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(manifest_text(*back), manifest_text(m));
  EXPECT_EQ(back->scenarios.at(0).train, "50%\nx");
  EXPECT_EQ(back->routes.at(0).line_hash, 0xfedcba9876543210u);
}

TEST(Manifest, DamagedTextIsRefused) {
  const std::string good = manifest_text(sample());
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"another heading", "scengen-build 2\n" + good.substr(good.find('\n') + 1)},
      {"cut short in a line", good.substr(0, good.size() - 3)},
      {"an unknown record", good + "plan x\n"},
      {"a field too many", good.substr(0, good.size() - 1) + " 1\n"},
      {"a bad escape", good + "program a%4\n"},
      {"a number that is not one", good + "route r 12x a 1 2 3\n"},
  };
  for (const auto& c : cases) EXPECT_FALSE(parse_manifest(c.text).has_value()) << c.what;
}

TEST(FileStamp, TellsAnEditFromATouch) {
  const testing::ScratchFolder scratch("stamp");
  scratch.write("a.dat", "bytes");
  auto stamp = stamp_file(scratch.path(), "a.dat", content_hash("bytes"));
  ASSERT_TRUE(stamp.has_value());
  EXPECT_TRUE(file_is_as_stamped(scratch.path(), *stamp));

  // Touched: the bytes are the same, and the stamp takes the new time.
  const auto later =
      std::filesystem::last_write_time(scratch.at("a.dat")) + std::chrono::seconds(5);
  std::filesystem::last_write_time(scratch.at("a.dat"), later);
  EXPECT_TRUE(file_is_as_stamped(scratch.path(), *stamp));
  EXPECT_EQ(stamp->modified, later.time_since_epoch().count());

  scratch.write("a.dat", "BYTES");  // the same size, another content
  EXPECT_FALSE(file_is_as_stamped(scratch.path(), *stamp));
  scratch.write("a.dat", "bytes!");
  EXPECT_FALSE(file_is_as_stamped(scratch.path(), *stamp));
  std::filesystem::remove(scratch.at("a.dat"));
  EXPECT_FALSE(file_is_as_stamped(scratch.path(), *stamp));
  EXPECT_FALSE(stamp_file(scratch.path(), "a.dat", 0).has_value());
}

TEST(ContentHash, IsFnv1a64) {
  EXPECT_EQ(content_hash(""), 0xcbf29ce484222325u);
  EXPECT_EQ(content_hash("a"), 0xaf63dc4c8601ec8cu);
  EXPECT_EQ(content_hash("foobar"), 0x85944171f73967e8u);
}

}  // namespace
}  // namespace scengen
