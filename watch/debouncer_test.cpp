#include "watch/debouncer.h"

#include <gtest/gtest.h>

namespace scengen {
namespace {

using std::chrono::milliseconds;

// Events at these times (ms); the debouncer asked at each `ask` time.
struct Case {
  const char* name;
  std::vector<int> events;
  std::vector<int> asks;
  std::vector<bool> taken;
};

TEST(Debouncer, ActsOnceABurstIsQuietOrHasLastedTooLong) {
  const Case cases[] = {
      {"nothing seen, nothing due", {}, {0, 100}, {false, false}},
      {"one event, due once quiet", {0}, {29, 30, 31}, {false, true, false}},
      {"a burst is one rebuild", {0, 10, 20}, {40, 50, 60}, {false, true, false}},
      {"a stream rebuilds at the longest", {0, 25, 50, 75, 100}, {99, 100}, {false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = Debouncer::Clock::time_point{};
    Debouncer debouncer(milliseconds(30), milliseconds(100));
    for (int at : c.events) debouncer.note(start + milliseconds(at));
    for (size_t i = 0; i < c.asks.size(); ++i) {
      EXPECT_EQ(debouncer.take(start + milliseconds(c.asks[i])), c.taken[i]) << c.asks[i];
    }
  }
}

}  // namespace
}  // namespace scengen
