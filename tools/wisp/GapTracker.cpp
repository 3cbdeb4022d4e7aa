#include "GapTracker.hpp"

#include <algorithm>
#include <cmath>

namespace wisp_tool {

double GapTracker::Period() const {
  std::array<double, kWindow> sorted = intervals_;
  const auto end = sorted.begin() + static_cast<std::ptrdiff_t>(count_);
  const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(count_ / 2);
  std::nth_element(sorted.begin(), middle, end);
  return *middle;
}

void GapTracker::Add(double time) {
  if (!std::isfinite(time)) return;
  if (!started_) {
    started_ = true;
    last_ = time;
    return;
  }
  if (!(time > last_)) return;
  const double interval = time - last_;
  if (count_ >= kMinIntervals) {
    // The median is never below the shortest interval: most samples are
    // ruled out by that cheap test before the median is worked out.
    const auto window = intervals_.begin() + static_cast<std::ptrdiff_t>(count_);
    const double shortest = *std::min_element(intervals_.begin(), window);
    if (interval > kGapPeriods * shortest && interval > kGapPeriods * Period()) {
      ++gaps_;
      if (interval > longest_) {
        longest_ = interval;
        longestStart_ = last_;
      }
    }
  }
  intervals_[next_] = interval;
  next_ = (next_ + 1) % kWindow;
  count_ = std::min(count_ + 1, kWindow);
  last_ = time;
}

}  // namespace wisp_tool
