// The watch's page on 127.0.0.1: the pictures and the diagnostics of the last compile, updated in
// the open page through server-sent events.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace scengen {

/// What the page shows after one compile.
struct PageState {
  std::string map;          // the route map file (SVG); empty: keep the last good one on show
  std::string profile;      // the route profile file (SVG), likewise
  std::string diagnostics;  // what the compile printed, as printed
  std::string outcome;      // one line: the compile's result in words
  bool stale = false;       // the pictures are an earlier compile's: this one failed
};

/// Serves the page and its few resources from threads of its own; every other path is 404.
class PageServer {
 public:
  /// `title` heads the page (the scenario's name).
  explicit PageServer(const std::string& title);
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;
  /// Stops serving.
  ~PageServer();

  /// Listens on 127.0.0.1:`port` (0: any free port) and serves; the port listened on, or
  /// nothing with `error` saying why.
  std::optional<int> start(int port, std::string& error);
  /// Replaces what the page shows and tells every open page to fetch it.
  void publish(PageState state);
  /// Ends every open event stream and stops listening; waits for the threads.
  void stop();

  /// The state the serving threads share with the watch (the page's text, the last state).
  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

/// The page: one HTML document whose script follows /events and swaps in the new pictures and
/// diagnostics, keeping the view's place (scroll and zoom).
std::string watch_page_html(const std::string& title);

}  // namespace scengen
