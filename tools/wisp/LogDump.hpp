#pragma once

// `wisp dump`: every frame and user sample of a log, one row each, as an
// aligned table under a header or as CSV. Signals carry the names `wisp
// check` and `wisp export` print (`/drivebus/rapax q 2/Position`,
// `/user/Demo/Odometry`), and `--signal` picks rows by those names or by
// globs on them; a pattern without '/' picks that signal of every device
// (see SignalGlobs). Times are seconds with microsecond resolution, values
// exact in their shortest form, arrays in brackets.
//
// The log is streamed like an export (see LogScan): one read learns the
// names, a second writes the rows chunk by chunk, in time order within each
// chunk. Memory stays at one chunk plus the signal table whatever the log's
// length. Not thread-safe.

#include <ostream>
#include <string>
#include <vector>

namespace wisp_tool {

struct DumpOptions {
  std::vector<std::string> globs;  ///< only signals whose name matches one; empty for all
  bool csv = false;                ///< CSV with a header row instead of the aligned table
};

class LogDump {
 public:
  /// Exit statuses.
  static constexpr int kDumped = 0;     ///< rows written (a damaged log: those before the damage)
  static constexpr int kNotDumped = 1;  ///< not a readable log, or a pattern matches no signal

  explicit LogDump(DumpOptions options) : options_(std::move(options)) {}

  /// Writes the rows of the log at `path` to `out`; why it could not, a
  /// pattern that matches nothing with the closest names, and damage go to
  /// `err`. Returns one of the exit statuses above.
  int Run(const std::string& path, std::ostream& out, std::ostream& err) const;

 private:
  DumpOptions options_;
};

}  // namespace wisp_tool
