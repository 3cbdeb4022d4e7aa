#pragma once

// The signal selection that `wisp dump`, `wisp export` and `wisp diff`
// share: which exported signal names the globs pick, and, for a glob that
// picks nothing, a message naming the signals it may have meant, so that a
// typo is never taken for an empty log. A glob without '/' is matched
// against the end of each name, so `Position` picks the Position signal of
// every device. Pure functions.

#include <string>
#include <vector>

namespace wisp_tool {

struct SignalSelection {
  /// Per name: picked by at least one glob (every name when there is no glob).
  std::vector<bool> picked;
  /// The globs that picked no name, in the order given.
  std::vector<std::string> unmatched;
};

/// Matches every glob (fnmatch rules, '*' taking '/' too) against every name.
SignalSelection SelectSignals(const std::vector<std::string>& globs, const std::vector<std::string>& names);

/// Why `glob` picked nothing: every name when there are only a few,
/// otherwise the few closest to it, one per line, indented.
std::string NoMatchText(const std::string& glob, const std::vector<std::string>& names);

}  // namespace wisp_tool
