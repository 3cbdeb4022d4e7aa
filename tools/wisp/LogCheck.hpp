#pragma once

// `wisp check`: an integrity report a team reads before trusting a log:
// chunks, time span, whether the writer stopped cleanly, where damage
// starts, dropped user samples, and every signal with its sample count and
// its gaps (intervals longer than three frame periods). The exit status
// says the verdict to scripts. Streams the log once (see LogScan), so any
// length checks in the same small memory. Not thread-safe.

#include <ostream>
#include <string>

namespace wisp_tool {

class LogCheck {
 public:
  /// Exit statuses.
  static constexpr int kIntact = 0;   ///< every byte read (a log the program did not stop is still intact)
  static constexpr int kDamaged = 1;  ///< readable up to the damage the report names
  static constexpr int kNotALog = 2;  ///< missing, unreadable, not a regular file or not a .wisp log

  /// Checks the log at `path`: the report goes to `out`, why a file is no
  /// log to `err`. Shows progress on standard error when `progress` is set.
  /// Returns one of the exit statuses above.
  static int Run(const std::string& path, std::ostream& out, std::ostream& err, bool progress);
};

}  // namespace wisp_tool
