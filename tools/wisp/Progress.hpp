#pragma once

// Progress of a long job on standard error, for people watching a terminal:
// nothing for the first second (short jobs stay silent), then a line
// rewritten at most ten times a second, erased when the job ends. Off when
// standard error is not a terminal, so scripts and logs never see it.
// Not thread-safe.

#include <chrono>
#include <cstdint>
#include <string>

namespace wisp_tool {

class Progress {
 public:
  /// `what` leads the line ("exporting"); `enabled` is usually
  /// Progress::ToTerminal().
  Progress(std::string what, bool enabled);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  /// True when standard error is a terminal.
  static bool ToTerminal();

  /// `done` of `total` units of work are done (bytes).
  void Update(uint64_t done, uint64_t total);
  /// Erases the line, if one was shown.
  void Finish();

 private:
  std::string what_;
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastShown_;
};

}  // namespace wisp_tool
