#include "watch/page_server.h"

#include <gtest/gtest.h>
// A build without cpp-httplib serves no page (see page_server.cpp): nothing to test there.
#if __has_include(<httplib.h>)
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace scengen {
namespace {

using namespace std::chrono_literals;

class Served : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    const auto bound = server.start(0, error);
    ASSERT_TRUE(bound) << error;
    port = *bound;
  }

  httplib::Result get(const std::string& path) {
    httplib::Client client("127.0.0.1", port);
    return client.Get(path.c_str());
  }

  PageServer server{"Ponte_Alto_2101"};
  int port = 0;
};

TEST_F(Served, OnlyItsOwnPathsAreFound) {
  PageState state;
  state.map = "<svg>map</svg>";
  state.profile = "<svg>profile</svg>";
  server.publish(state);
  struct Case {
    const char* path;
    int status;
    const char* type;
  };
  const Case cases[] = {
      {"/", 200, "text/html; charset=utf-8"},
      {"/map.svg", 200, "image/svg+xml"},
      {"/profile.svg", 200, "image/svg+xml"},
      {"/state", 200, "application/json"},
      {"/index.html", 404, "text/plain"},
      {"/mapxsvg", 404, "text/plain"},
      {"//map.svg", 404, "text/plain"},
      {"/map.svg/", 404, "text/plain"},
      {"/../map.svg", 404, "text/plain"},
      {"/../../../../etc/passwd", 404, "text/plain"},
      {"/%2e%2e/%2e%2e/etc/passwd", 404, "text/plain"},
      {"/state/../map.svg", 404, "text/plain"},
      {"/..%2fmap.svg", 404, "text/plain"},
      {"/map.svg%00", 404, "text/plain"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const auto result = get(c.path);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.status);
    EXPECT_EQ(result->get_header_value("Content-Type"), c.type);
  }
  EXPECT_EQ(get("/map.svg")->body, "<svg>map</svg>");
  EXPECT_EQ(get("/profile.svg")->body, "<svg>profile</svg>");
}

TEST_F(Served, TheTitleIsEscapedIntoThePage) {
  PageServer odd("A<b>&_1");
  std::string error;
  const auto other = odd.start(0, error);
  ASSERT_TRUE(other);
  httplib::Client client("127.0.0.1", *other);
  const std::string page = client.Get("/")->body;
  EXPECT_NE(page.find("<title>scengen watch: A&lt;b&gt;&amp;_1</title>"), std::string::npos);
}

TEST_F(Served, AFailedCompileKeepsTheLastGoodPicturesMarkedStale) {
  PageState good;
  good.map = "<svg>good map</svg>";
  good.profile = "<svg>good profile</svg>";
  good.outcome = "Compiled without errors.";
  server.publish(good);
  PageState failed;
  failed.diagnostics = "a_linea.txt:2:1: error 25: bad\n";
  failed.outcome = "Compiled with error 25.";
  failed.stale = true;
  server.publish(failed);
  EXPECT_EQ(get("/map.svg")->body, "<svg>good map</svg>");
  EXPECT_EQ(get("/profile.svg")->body, "<svg>good profile</svg>");
  EXPECT_EQ(get("/state")->body,
            R"({"diagnostics":"a_linea.txt:2:1: error 25: bad\n","generation":2,)"
            R"("outcome":"Compiled with error 25.","pictures":1,"stale":true})");
}

TEST_F(Served, EachPublishIsAnEventOnEveryOpenStream) {
  std::mutex mutex;
  std::condition_variable arrived;
  std::string received;
  std::thread listener([&] {
    httplib::Client client("127.0.0.1", port);
    client.Get("/events", [&](const char* data, size_t length) {
      std::lock_guard lock(mutex);
      received.append(data, length);
      arrived.notify_all();
      return received.find("data: 2") == std::string::npos;
    });
  });
  const auto wait_for = [&](const std::string& text) {
    std::unique_lock lock(mutex);
    return arrived.wait_for(lock, 5s, [&] { return received.find(text) != std::string::npos; });
  };
  // A page that opens its stream hears of the latest compile at once.
  EXPECT_TRUE(wait_for("data: 0\n\n"));
  server.publish({});
  EXPECT_TRUE(wait_for("data: 1\n\n"));
  server.publish({});
  EXPECT_TRUE(wait_for("data: 2\n\n"));
  listener.join();
  EXPECT_EQ(received, "data: 0\n\ndata: 1\n\ndata: 2\n\n");
}

TEST_F(Served, StopEndsAnOpenStream) {
  std::thread listener([&] {
    httplib::Client client("127.0.0.1", port);
    client.Get("/events", [](const char*, size_t) { return true; });
  });
  std::this_thread::sleep_for(200ms);
  const auto start = std::chrono::steady_clock::now();
  server.stop();
  listener.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST_F(Served, APortInUseIsRefusedWithItsReason) {
  PageServer second("B_1");
  std::string error;
  EXPECT_FALSE(second.start(port, error));
  EXPECT_EQ(error, "Address already in use");
}

}  // namespace
}  // namespace scengen
#endif
