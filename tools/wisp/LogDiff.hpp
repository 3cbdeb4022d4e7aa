#pragma once

// `wisp diff`: compares two logs record by record. Every device frame and
// user sample of one log is paired with the sample of the same signal at
// the same time in the other (signals by the names `wisp export` gives
// them); a pair differs when its value, status, reported ID, bus or device
// timestamp, or a user sample's units or type differ, and a sample without
// a partner at its time is one log's only. A simulated run on the manual
// clock logs the same records every time, so two runs of one program diff
// as identical; a team also checks that its code replays what it did live
// by logging its outputs live and again in replay and diffing the two.
//
// Both logs are streamed chunk by chunk, each read once to learn its
// signals (LogScan) and once to compare, taking turns so that neither runs
// ahead of the other in log time: memory stays at a few chunks whatever the
// logs' length. Not thread-safe.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace wisp_tool {

struct DiffOptions {
  std::vector<std::string> globs;  ///< only signals whose exported name matches one; empty for all
  double tolerance = 0.0;          ///< largest difference of two values that counts as none
  bool progress = false;           ///< show progress on standard error
};

class LogDiff {
 public:
  /// Exit statuses.
  static constexpr int kIdentical = 0;
  static constexpr int kDifferent = 1;
  static constexpr int kNotALog = 2;  ///< either file is no readable log (or a glob picks nothing)
  /// Differences shown one by one; the rest are only counted.
  static constexpr uint64_t kShown = 20;

  explicit LogDiff(DiffOptions options) : options_(std::move(options)) {}

  /// Compares the logs at `a` and `b`: the verdict, the first differences
  /// and the count per signal go to `out`, why a file is no log and damage
  /// notes to `err`. Returns one of the exit statuses above.
  int Run(const std::string& a, const std::string& b, std::ostream& out, std::ostream& err) const;

 private:
  DiffOptions options_;
};

}  // namespace wisp_tool
