// The thread-priority and usage-report calls of the platform boundary, and
// their harness view.

#include <kvor/zephrin/platform/Threads.hpp>

#include <pthread.h>
#include <sched.h>

#include "core/ResetRegistry.hpp"
#include "threads/ThreadRecorder.hpp"

namespace kvor::zephrin::runtime {
namespace {

threads::ThreadRecorder& Recorder() {
  static threads::ThreadRecorder recorder;
  return recorder;
}

const bool kRegistered = (RegisterReset([] { Recorder().Clear(); }), true);

constexpr int kOk = 0;
constexpr int kInvalidParamValue = -1002;

}  // namespace

int SetThreadSchedPriority(std::thread& thread, int priority, bool enabled) {
  if (!thread.joinable() || priority < 1 || priority > 99) return kInvalidParamValue;
  Recorder().AddPriority({thread.get_id(), priority, enabled});
  // Real-time scheduling needs a privilege most development machines do not
  // grant; without it the thread keeps the normal policy, as documented.
  sched_param param{};
  param.sched_priority = enabled ? priority : 0;
  (void)pthread_setschedparam(thread.native_handle(), enabled ? SCHED_FIFO : SCHED_OTHER, &param);
  return kOk;
}

}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::platform {

int FRC_Report(int resource, int instance, std::string_view context, int a, int b, const char* feature) {
  runtime::Recorder().AddUsage({resource, instance, std::string(context), a, b, feature != nullptr ? feature : ""});
  return runtime::kOk;
}

}  // namespace kvor::zephrin::platform

namespace kvor::zephrin::runtime::harness {
std::vector<ThreadPriorityRequest> ThreadPriorityRequests() { return Recorder().Priorities(); }
std::vector<UsageReport> UsageReports() { return Recorder().Usage(); }
}  // namespace kvor::zephrin::runtime::harness
