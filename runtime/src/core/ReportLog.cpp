#include "core/ReportLog.hpp"

#include <cstdio>

#include "core/Clock.hpp"

namespace kvor::zephrin::runtime {

std::size_t ReportLog::KeyHash::operator()(const KeyView& key) const {
  return std::hash<std::string_view>{}(key.location) ^ (static_cast<std::size_t>(key.code) * 0x9e3779b97f4a7c15ull);
}

ReportLog::ReportLog(const Clock& clock) : clock_(clock) { ring_.resize(kCapacity); }

bool ReportLog::ShouldPrint(int code, std::string_view location, uint64_t& suppressed) {
  const double now = clock_.Now();
  auto it = printed_.find(KeyView{code, location});
  if (it == printed_.end()) {
    if (printed_.size() >= kMaxTrackedPairs) printed_.clear();
    printed_.emplace(Key{code, std::string(location)}, PrintState{now, 0});
    suppressed = 0;
    return true;
  }
  PrintState& state = it->second;
  // A clock that went back (a replay rewound, a reset manual clock) must not
  // silence a pair for good.
  if (now - state.lastShown < kPrintInterval && now >= state.lastShown) {
    ++state.suppressed;
    return false;
  }
  suppressed = state.suppressed;
  state.suppressed = 0;
  state.lastShown = now;
  return true;
}

void ReportLog::Add(bool isError, int code, std::string_view details, std::string_view location,
                    std::string_view callStack) {
  LockGuard lock(mutex_);
  harness::Report& slot = ring_[next_];
  next_ = (next_ + 1) % kCapacity;
  if (count_ < kCapacity) ++count_;
  // assign() keeps the slot's capacity: no allocation once the ring is warm.
  slot.isError = isError;
  slot.code = code;
  slot.details.assign(details);
  slot.location.assign(location);
  slot.callStack.assign(callStack);

  uint64_t suppressed = 0;
  if (!echo_ || !ShouldPrint(code, location, suppressed)) return;
  // One fputs per block so that reports from two threads do not interleave.
  std::string block = std::string(isError ? "[zephrin] Error " : "[zephrin] Warning ") + std::to_string(code) +
                      ": " + std::string(details);
  if (suppressed > 0) block += " (" + std::to_string(suppressed) + " more since last shown)";
  block += "\n  at: " + std::string(location) + "\n";
  if (!callStack.empty()) block += "  stack:\n" + std::string(callStack);
  std::fputs(block.c_str(), stderr);
}

std::vector<harness::Report> ReportLog::Snapshot() const {
  LockGuard lock(mutex_);
  std::vector<harness::Report> out;
  out.reserve(count_);
  const std::size_t first = (next_ + kCapacity - count_) % kCapacity;
  for (std::size_t i = 0; i < count_; ++i) out.push_back(ring_[(first + i) % kCapacity]);
  return out;
}

void ReportLog::Clear() {
  LockGuard lock(mutex_);
  next_ = count_ = 0;
  printed_.clear();
}

void ReportLog::SetEcho(bool echo) {
  LockGuard lock(mutex_);
  echo_ = echo;
}

}  // namespace kvor::zephrin::runtime
