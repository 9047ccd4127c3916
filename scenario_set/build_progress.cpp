#include "scenario_set/build_progress.h"

#include <ostream>

namespace scengen {
namespace {

constexpr size_t kBarWidth = 24;
constexpr size_t kShownName = 40;

std::string minutes_and_seconds(long long seconds) {
  const long long minutes = seconds / 60;
  std::string text = std::to_string(minutes) + ":";
  if (seconds % 60 < 10) text += "0";
  return text + std::to_string(seconds % 60);
}

}  // namespace

std::string progress_line(size_t done, size_t total, const std::string& at_hand,
                          std::chrono::steady_clock::duration elapsed) {
  const size_t filled = total == 0 ? kBarWidth : done * kBarWidth / total;
  std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
                     std::to_string(done) + "/" + std::to_string(total);
  if (!at_hand.empty()) {
    line +=
        " " + (at_hand.size() > kShownName ? at_hand.substr(0, kShownName - 3) + "..." : at_hand);
  }
  if (done > 0 && done < total) {
    const auto each = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed) /
                      static_cast<long long>(done);
    const auto left = each * static_cast<long long>(total - done);
    line += ", " + minutes_and_seconds((left.count() + 999) / 1000) + " left";
  }
  return line;
}

BuildProgress::BuildProgress(std::ostream& err, bool terminal, size_t total)
    : err_(err), terminal_(terminal), total_(total), start_(std::chrono::steady_clock::now()) {}

void BuildProgress::started(const std::string& scenario) {
  const std::lock_guard lock(mutex_);
  at_hand_ = scenario;
  if (terminal_) redraw_locked();
}

void BuildProgress::ended(const std::string& scenario, const std::string& outcome,
                          const std::string& lines) {
  const std::lock_guard lock(mutex_);
  ++done_;
  // "\r" then the erase-line sequence: the bar gives way to the lines, then comes back under them.
  if (terminal_ && !lines.empty()) err_ << "\r\x1b[K";
  err_ << lines;
  if (terminal_) {
    if (at_hand_ == scenario) at_hand_.clear();
    redraw_locked();
  } else {
    err_ << "[" << done_ << "/" << total_ << "] " << scenario << ": " << outcome << '\n';
  }
}

void BuildProgress::finish() {
  const std::lock_guard lock(mutex_);
  if (terminal_) err_ << "\r\x1b[K" << std::flush;
}

void BuildProgress::redraw_locked() {
  err_ << "\r\x1b[K"
       << progress_line(done_, total_, at_hand_, std::chrono::steady_clock::now() - start_)
       << std::flush;
}

}  // namespace scengen
