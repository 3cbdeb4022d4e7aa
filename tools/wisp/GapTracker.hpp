#pragma once

// Finds the gaps in one signal's sample times for `wisp check`: an interval
// longer than kGapPeriods frame periods, where the frame period is the median
// of the signal's last few intervals, so that a signal whose frequency the
// program changes is judged by its new period after a few samples. Fixed
// size whatever the log's length; not thread-safe.

#include <array>
#include <cstdint>

namespace wisp_tool {

class GapTracker {
 public:
  /// An interval longer than this many frame periods is a gap.
  static constexpr double kGapPeriods = 3.0;

  /// Notes a sample at `time`, seconds. Times that do not advance (repeats,
  /// out of order, not finite) are ignored.
  void Add(double time);

  uint64_t Gaps() const { return gaps_; }
  /// Length of the longest gap and the time it started, seconds (0 when none).
  double LongestGap() const { return longest_; }
  double LongestGapStart() const { return longestStart_; }

 private:
  static constexpr std::size_t kWindow = 8;
  /// Intervals needed before a period is trusted.
  static constexpr std::size_t kMinIntervals = 3;

  double Period() const;

  std::array<double, kWindow> intervals_{};
  std::size_t count_ = 0;  // intervals seen, capped at kWindow for the median
  std::size_t next_ = 0;
  bool started_ = false;
  double last_ = 0.0;
  uint64_t gaps_ = 0;
  double longest_ = 0.0;
  double longestStart_ = 0.0;
};

}  // namespace wisp_tool
