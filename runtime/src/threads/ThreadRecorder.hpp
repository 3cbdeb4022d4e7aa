#pragma once

// Keeps the thread-priority requests and usage reports the runtime received,
// for the harness, in two bounded lists (the last kKept of each). Owned by the
// Runtime. Thread-safe.

#include <cstddef>
#include <deque>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/runtime/harness/Threads.hpp>

namespace kvor::zephrin::runtime::threads {

class ThreadRecorder {
 public:
  static constexpr std::size_t kKept = 1000;

  void AddPriority(harness::ThreadPriorityRequest request);
  void AddUsage(harness::UsageReport report);
  std::vector<harness::ThreadPriorityRequest> Priorities() const;
  std::vector<harness::UsageReport> Usage() const;

 private:
  mutable Mutex mutex_;
  std::deque<harness::ThreadPriorityRequest> priorities_ ZEPHRIN_GUARDED_BY(mutex_);
  std::deque<harness::UsageReport> usage_ ZEPHRIN_GUARDED_BY(mutex_);
};

}  // namespace kvor::zephrin::runtime::threads
