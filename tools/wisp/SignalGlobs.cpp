#include "SignalGlobs.hpp"

#include <fnmatch.h>

#include <algorithm>
#include <numeric>

namespace wisp_tool {

namespace {

// A log with at most this many signals is listed whole.
constexpr std::size_t kListAll = 12;
constexpr std::size_t kClosest = 5;

// Edits that turn `name` into a match of `glob`: '*' takes any run of
// characters and '?' any one for free, every other character costs one
// edit when it differs, is missing or is extra. So "*/Velocty" is one edit
// from ".../Velocity" however long the path before it.
std::size_t Distance(const std::string& glob, const std::string& name) {
  std::vector<std::size_t> row(name.size() + 1), next(name.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (char p : glob) {
    next[0] = p == '*' ? row[0] : row[0] + 1;
    for (std::size_t j = 1; j <= name.size(); ++j) {
      if (p == '*') {
        next[j] = std::min(row[j], next[j - 1]);
      } else {
        const std::size_t substitute = row[j - 1] + (p == '?' || p == name[j - 1] ? 0 : 1);
        next[j] = std::min({substitute, row[j] + 1, next[j - 1] + 1});
      }
    }
    row.swap(next);
  }
  return row.back();
}

// A pattern without '/' names a signal on any device: "Position" is
// "*/Position" ('*' takes '/' too).
std::string FullPattern(const std::string& glob) { return glob.find('/') == std::string::npos ? "*/" + glob : glob; }

// A name as printed is always taken as itself, although the brackets of
// "ClosedLoopFeedForward [V]" would make a glob of it that does not match it.
bool Matches(const std::string& glob, const std::string& pattern, const std::string& name) {
  if (::fnmatch(pattern.c_str(), name.c_str(), 0) == 0 || name == glob) return true;
  return pattern.size() != glob.size() && name.size() > glob.size() && name.ends_with(glob) &&
         name[name.size() - glob.size() - 1] == '/';
}

}  // namespace

SignalSelection SelectSignals(const std::vector<std::string>& globs, const std::vector<std::string>& names) {
  SignalSelection selection;
  selection.picked.assign(names.size(), globs.empty());
  for (const std::string& glob : globs) {
    const std::string pattern = FullPattern(glob);
    bool any = false;
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (Matches(glob, pattern, names[i])) {
        selection.picked[i] = true;
        any = true;
      }
    }
    if (!any) selection.unmatched.push_back(glob);
  }
  return selection;
}

std::string NoMatchText(const std::string& glob, const std::vector<std::string>& names) {
  if (names.empty()) return "  (the log holds no signal with samples)\n";
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::string text;
  if (names.size() <= kListAll) {
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
    text = "  the log's signals are:\n";
  } else {
    std::vector<std::size_t> distance(names.size());
    const std::string pattern = FullPattern(glob);
    for (std::size_t i = 0; i < names.size(); ++i) distance[i] = Distance(pattern, names[i]);
    std::partial_sort(order.begin(), order.begin() + kClosest, order.end(), [&](std::size_t a, std::size_t b) {
      return distance[a] != distance[b] ? distance[a] < distance[b] : names[a] < names[b];
    });
    order.resize(kClosest);
    text = "  the closest of the log's " + std::to_string(names.size()) + " signals are:\n";
  }
  for (std::size_t i : order) text += "    " + names[i] + "\n";
  return text;
}

}  // namespace wisp_tool
