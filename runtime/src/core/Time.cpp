#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/runtime/harness/Clock.hpp>

#include "core/Clock.hpp"
#include "core/ResetRegistry.hpp"

namespace kvor::zephrin6::utils {
double GetCurrentTimeSeconds() { return kvor::zephrin::runtime::Clock::Instance().Now(); }
}  // namespace kvor::zephrin6::utils

namespace kvor::zephrin::unmanaged {
// The compliancy number of this API generation; simulated devices report it.
int GetApiCompliancy() { return 26; }
}  // namespace kvor::zephrin::unmanaged

namespace kvor::zephrin::runtime::harness {
void Reset() { ResetAll(); }
void UseManualClock(double startSeconds) { Clock::Instance().UseManualTime(startSeconds); }
void UseRealClock() { Clock::Instance().UseRealTime(); }
void SetTime(double seconds) { Clock::Instance().SetManualTime(seconds); }
void AdvanceTime(double seconds) { Clock::Instance().AdvanceManualTime(seconds); }
double Now() { return Clock::Instance().Now(); }
void AwaitBlockedWaiters(int count) { Clock::Instance().AwaitBlockedWaiters(count); }
}  // namespace kvor::zephrin::runtime::harness
