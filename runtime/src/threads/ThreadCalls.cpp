// The thread-priority and usage-report calls of the platform boundary, and
// their harness view.

#include <kvor/zephrin/platform/Threads.hpp>

#include <pthread.h>
#include <sched.h>

#include "core/Runtime.hpp"
#include "core/Status.hpp"
#include "threads/ThreadRecorder.hpp"

namespace kvor::zephrin::runtime {

int SetThreadSchedPriority(std::thread& thread, int priority, bool enabled) {
  if (!thread.joinable() || priority < 1 || priority > 99) return kInvalidParamValue;
  Runtime::Acquire()->Threads().AddPriority({thread.get_id(), priority, enabled});
  // Real-time scheduling needs a privilege most development machines do not
  // grant; without it the thread keeps the normal policy, as documented.
  sched_param param{};
  param.sched_priority = enabled ? priority : 0;
  (void)pthread_setschedparam(thread.native_handle(), enabled ? SCHED_FIFO : SCHED_OTHER, &param);
  return kOK;
}

}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::platform {

int FRC_Report(int resource, int instance, std::string_view context, int a, int b, const char* feature) {
  runtime::Runtime::Acquire()->Threads().AddUsage({resource, instance, std::string(context), a, b, feature != nullptr ? feature : ""});
  return runtime::kOK;
}

}  // namespace kvor::zephrin::platform

namespace kvor::zephrin::runtime::harness {
std::vector<ThreadPriorityRequest> ThreadPriorityRequests() { return Runtime::Acquire()->Threads().Priorities(); }
std::vector<UsageReport> UsageReports() { return Runtime::Acquire()->Threads().Usage(); }
}  // namespace kvor::zephrin::runtime::harness
