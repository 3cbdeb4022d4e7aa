#include "Progress.hpp"

#include <unistd.h>

#include <cstdio>

namespace wisp_tool {

namespace {
constexpr auto kQuietFor = std::chrono::seconds(1);
constexpr auto kRefresh = std::chrono::milliseconds(100);
}  // namespace

Progress::Progress(std::string what, bool enabled)
    : what_(std::move(what)), enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

Progress::~Progress() { Finish(); }

bool Progress::ToTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void Progress::Update(uint64_t done, uint64_t total) {
  if (!enabled_ || total == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < kQuietFor || (shown_ && now - lastShown_ < kRefresh)) return;
  lastShown_ = now;
  shown_ = true;
  std::fprintf(stderr, "\rwisp: %s %3d%% (%.1f of %.1f MB)", what_.c_str(), static_cast<int>(100.0 * done / total),
               done / 1e6, total / 1e6);
  std::fflush(stderr);
}

void Progress::Finish() {
  if (!shown_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace wisp_tool
