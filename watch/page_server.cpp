#include "watch/page_server.h"

// Debian's cpp-httplib is a Linux library with a header of declarations: a cross build for
// Windows does not find it, and its watch serves no page.
#if __has_include(<httplib.h>)
#include <httplib.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <nlohmann/json.hpp>
#include <system_error>
#include <thread>

namespace scengen {

struct PageServer::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  PageState state;
  std::string page;
  int generation = 0;  // one more each publish: the number an event carries
  int pictures = 0;    // one more each time new pictures come
  bool stopping = false;
  httplib::Server server;
  std::thread thread;
};

namespace {

using namespace std::chrono_literals;

// An open page hears at least this often, so a page that went away is noticed.
constexpr auto kKeepAlive = 15s;

std::string state_json(const PageServer::Shared& shared) {
  const nlohmann::json state = {{"generation", shared.generation},
                                {"pictures", shared.pictures},
                                {"stale", shared.state.stale},
                                {"outcome", shared.state.outcome},
                                {"diagnostics", shared.state.diagnostics}};
  // A text line shown as it was read may hold bytes that are no UTF-8.
  return state.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Each open page's event stream: the current generation at once, then each new one.
void serve_events(const std::shared_ptr<PageServer::Shared>& shared, httplib::Response& res) {
  res.set_header("Cache-Control", "no-store");
  auto sent = std::make_shared<int>(-1);
  res.set_chunked_content_provider(
      "text/event-stream", [shared, sent](size_t, httplib::DataSink& sink) {
        std::unique_lock lock(shared->mutex);
        shared->changed.wait_for(lock, kKeepAlive,
                                 [&] { return shared->stopping || shared->generation != *sent; });
        if (shared->stopping) {
          lock.unlock();
          sink.done();
          return true;
        }
        std::string message = ": still here\n\n";
        if (shared->generation != *sent) {
          *sent = shared->generation;
          message = "data: " + std::to_string(*sent) + "\n\n";
        }
        lock.unlock();
        return sink.write(message.data(), message.size());
      });
}

// The fixed list of what is served; any other path, whatever it holds, is not found.
void serve(const std::shared_ptr<PageServer::Shared>& shared, const httplib::Request& req,
           httplib::Response& res) {
  if (req.path == "/events") return serve_events(shared, res);
  std::lock_guard lock(shared->mutex);
  res.set_header("Cache-Control", "no-store");
  if (req.path == "/") {
    res.set_content(shared->page, "text/html; charset=utf-8");
  } else if (req.path == "/state") {
    res.set_content(state_json(*shared), "application/json");
  } else if (req.path == "/map.svg") {
    res.set_content(shared->state.map, "image/svg+xml");
  } else if (req.path == "/profile.svg") {
    res.set_content(shared->state.profile, "image/svg+xml");
  } else {
    res.status = 404;
    res.set_content("not found\n", "text/plain");
  }
}

}  // namespace

PageServer::PageServer(const std::string& title) : shared_(std::make_shared<Shared>()) {
  shared_->page = watch_page_html(title);
  shared_->server.new_task_queue = [] { return new httplib::ThreadPool(16); };
  // The library's default shares a port with whoever holds it (SO_REUSEPORT): a port in use must
  // be refused instead.
  shared_->server.set_socket_options([](socket_t sock) {
    int yes = 1;
#ifdef _WIN32
    setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
               sizeof yes);
#else
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
  });
  std::weak_ptr<Shared> weak = shared_;
  shared_->server.Get(".*", [weak](const httplib::Request& req, httplib::Response& res) {
    if (auto shared = weak.lock()) serve(shared, req, res);
  });
}

PageServer::~PageServer() {
  stop();
}

std::optional<int> PageServer::start(int port, std::string& error) {
  httplib::Server& server = shared_->server;
  errno = 0;
  const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1")
                              : (server.bind_to_port("127.0.0.1", port) ? port : -1);
  if (bound < 0) {
    error = errno != 0 ? std::generic_category().message(errno) : "the port is refused";
    return std::nullopt;
  }
  shared_->thread = std::thread([&server] { server.listen_after_bind(); });
  return bound;
}

void PageServer::publish(PageState state) {
  {
    std::lock_guard lock(shared_->mutex);
    if (!state.map.empty()) ++shared_->pictures;
    if (state.map.empty() && !shared_->state.map.empty()) {
      // A failed compile keeps the last good pictures on show.
      state.map = std::move(shared_->state.map);
      state.profile = std::move(shared_->state.profile);
    }
    shared_->state = std::move(state);
    ++shared_->generation;
  }
  shared_->changed.notify_all();
}

void PageServer::stop() {
  using namespace std::chrono_literals;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
  }
  shared_->changed.notify_all();
  // A stop before the thread listens would be lost, and the join would wait for ever.
  for (int i = 0; i < 1000 && shared_->thread.joinable() && !shared_->server.is_running(); ++i) {
    std::this_thread::sleep_for(1ms);
  }
  shared_->server.stop();
  if (shared_->thread.joinable()) shared_->thread.join();
}

}  // namespace scengen
#else

namespace scengen {

struct PageServer::Shared {};

PageServer::PageServer(const std::string&) {}

PageServer::~PageServer() = default;

std::optional<int> PageServer::start(int, std::string& error) {
  error = "this build of scengen has no page server (give --no-serve)";
  return std::nullopt;
}

void PageServer::publish(PageState) {}

void PageServer::stop() {}

}  // namespace scengen
#endif
