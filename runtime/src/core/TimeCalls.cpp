// The time and compliancy calls of the platform boundary, and the harness's
// control of the clock and of the runtime's lifetime.

#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/runtime/harness/Clock.hpp>

#include "core/Clock.hpp"
#include "core/Runtime.hpp"

namespace kvor::zephrin6::utils {
double GetCurrentTimeSeconds() { return kvor::zephrin::runtime::Runtime::Acquire()->GetClock().Now(); }
}  // namespace kvor::zephrin6::utils

namespace kvor::zephrin::unmanaged {
// The compliancy number of this API generation; simulated devices report it.
int GetApiCompliancy() { return 26; }
}  // namespace kvor::zephrin::unmanaged

namespace kvor::zephrin::runtime::harness {
void Reset() { Runtime::Rebuild(); }
void UseManualClock(double startSeconds) { Runtime::Acquire()->GetClock().UseManualTime(startSeconds); }
void UseRealClock() { Runtime::Acquire()->GetClock().UseRealTime(); }
bool IsManualClock() { return Runtime::Acquire()->GetClock().IsManual(); }
void SetTime(double seconds) { Runtime::Acquire()->GetClock().SetManualTime(seconds); }
void AdvanceTime(double seconds) { Runtime::Acquire()->GetClock().AdvanceManualTime(seconds); }
double Now() { return Runtime::Acquire()->GetClock().Now(); }
void AwaitBlockedWaiters(int count) { Runtime::Acquire()->GetClock().AwaitBlockedWaiters(count); }
}  // namespace kvor::zephrin::runtime::harness
