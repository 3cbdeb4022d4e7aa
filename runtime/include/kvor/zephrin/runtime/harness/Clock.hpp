#pragma once

#include <kvor/zephrin/platform/Export.hpp>

// Harness control of the runtime's time base and state. For tests, examples
// and tools; the product never includes this header.
//
// On the manual clock, time moves only when a test calls SetTime or
// AdvanceTime; every runtime wait (signal waits, config timeouts, replay
// pacing) then ends exactly when time passes its deadline or its data
// arrives, so time rules are tested without sleeping. A test that needs a
// wait to be in progress before it advances time calls AwaitBlockedWaiters.

namespace kvor::zephrin::runtime::harness {

/// Returns every runtime service to the state of a fresh process (no devices,
/// no injected failures, no reports, real clock, no log loaded or written).
ZEPHRIN_RUNTIME_API void Reset();

/// Switches to the manual clock, starting at `startSeconds`.
ZEPHRIN_RUNTIME_API void UseManualClock(double startSeconds = 1.0);
/// Switches back to the steady wall clock.
ZEPHRIN_RUNTIME_API void UseRealClock();
/// Whether the manual clock is in use: a caller about to block on a runtime
/// wait then knows that time moves only when someone moves it.
ZEPHRIN_RUNTIME_API bool IsManualClock();
/// Sets the manual clock (no effect on the real clock) and wakes waiters.
ZEPHRIN_RUNTIME_API void SetTime(double seconds);
/// Moves the manual clock forward by `seconds` and wakes waiters.
ZEPHRIN_RUNTIME_API void AdvanceTime(double seconds);
/// The runtime's current time, seconds.
ZEPHRIN_RUNTIME_API double Now();

/// Blocks until at least `count` threads are waiting inside the runtime.
ZEPHRIN_RUNTIME_API void AwaitBlockedWaiters(int count);

}  // namespace kvor::zephrin::runtime::harness
