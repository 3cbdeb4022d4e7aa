#pragma once

// Harness view of the thread-priority requests and usage reports the runtime
// received. For tests, examples and tools; the product never includes this
// header. Thread-safe; Reset() forgets everything.

#include <string>
#include <thread>
#include <vector>

#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// One SetThreadSchedPriority call, as received.
struct ZEPHRIN_RUNTIME_API ThreadPriorityRequest {
  std::thread::id thread;  ///< the thread whose priority was asked for
  int priority = 0;
  bool enabled = false;
};

/// One FRC_Report call, as received.
struct ZEPHRIN_RUNTIME_API UsageReport {
  int resource = 0;
  int instance = 0;
  std::string context;
  int a = 0;
  int b = 0;
  std::string feature;
};

/// Every priority request since the last Reset, oldest first (the last 1,000).
ZEPHRIN_RUNTIME_API std::vector<ThreadPriorityRequest> ThreadPriorityRequests();
/// Every usage report since the last Reset, oldest first (the last 1,000).
ZEPHRIN_RUNTIME_API std::vector<UsageReport> UsageReports();

}  // namespace kvor::zephrin::runtime::harness
