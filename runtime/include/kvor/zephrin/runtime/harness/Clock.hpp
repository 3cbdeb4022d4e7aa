#pragma once

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
void Reset();

/// Switches to the manual clock, starting at `startSeconds`.
void UseManualClock(double startSeconds = 1.0);
/// Switches back to the steady wall clock.
void UseRealClock();
/// Sets the manual clock (no effect on the real clock) and wakes waiters.
void SetTime(double seconds);
/// Moves the manual clock forward by `seconds` and wakes waiters.
void AdvanceTime(double seconds);
/// The runtime's current time, seconds.
double Now();

/// Blocks until at least `count` threads are waiting inside the runtime.
void AwaitBlockedWaiters(int count);

}  // namespace kvor::zephrin::runtime::harness
