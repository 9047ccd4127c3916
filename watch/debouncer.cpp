#include "watch/debouncer.h"

#include <algorithm>

namespace scengen {

void Debouncer::note(Clock::time_point now) {
  if (!pending_) first_ = now;
  pending_ = true;
  last_ = now;
}

Debouncer::Clock::time_point Debouncer::due() const {
  return std::min(last_ + quiet_, first_ + longest_);
}

bool Debouncer::take(Clock::time_point now) {
  if (!pending_ || now < due()) return false;
  pending_ = false;
  return true;
}

}  // namespace scengen
