// The runtime clock's count of blocked waiters, which tests on the manual
// clock rely on to know that a thread has looked at the time and waits
// before they move the clock.
#include <kvor/zephrin/Mutex.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <thread>
#include <vector>

#include "core/Clock.hpp"

namespace {

using kvor::zephrin::LockGuard;
using kvor::zephrin::Mutex;
using kvor::zephrin::UniqueLock;
using kvor::zephrin::runtime::Clock;

// A thread woken by a notification (a device coming back, a new frame) is
// not waiting any more, even before it gets to run. Counting it as blocked
// let a test move the clock while the thread was still about to read the
// time, and the thread then saw a time from the middle of the move.
TEST(ClockTest, AWokenWaiterStopsCountingAsBlockedAtOnce) {
  Clock clock;
  clock.UseManualTime(1.0);
  Mutex mutex;
  std::condition_variable cv;
  bool ready = false;
  std::condition_variable other;
  std::thread waiter([&] {
    UniqueLock lock(mutex);
    static_cast<void>(clock.WaitUntil(lock, cv, 5.0, [&] { return ready; }));
  });
  clock.AwaitBlockedWaiters(1);
  {
    // Holding the waiter's mutex keeps it from running after the wake.
    LockGuard hold(mutex);
    clock.WakeWaiters(other);  // nobody waits there: the waiter stays counted
    EXPECT_EQ(clock.BlockedWaiters(), 1);
    clock.WakeWaiters(cv);
    EXPECT_EQ(clock.BlockedWaiters(), 0);
  }
  // It looks, finds nothing ready and waits again.
  clock.AwaitBlockedWaiters(1);
  {
    LockGuard hold(mutex);
    ready = true;
    clock.WakeWaiters(cv);
  }
  waiter.join();
  EXPECT_EQ(clock.BlockedWaiters(), 0);
}

// Several waiters on one condition variable come and go in any order; the
// list the clock keeps of them must stay whole.
TEST(ClockTest, WaitersLeavingInAnyOrderKeepTheCountRight) {
  Clock clock;
  clock.UseManualTime(1.0);
  Mutex mutex;
  std::condition_variable cv;
  int released = 0;
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&, i] {
      UniqueLock lock(mutex);
      static_cast<void>(clock.WaitUntil(lock, cv, 5.0, [&] { return released > i; }));
    });
  }
  clock.AwaitBlockedWaiters(3);
  for (int i = 0; i < 3; ++i) {
    {
      LockGuard hold(mutex);
      ++released;
      clock.WakeWaiters(cv);
      EXPECT_EQ(clock.BlockedWaiters(), 0);
    }
    clock.AwaitBlockedWaiters(2 - i);
  }
  for (std::thread& t : waiters) t.join();
  EXPECT_EQ(clock.BlockedWaiters(), 0);
  // The deadline still ends a wait with nobody waking it.
  UniqueLock lock(mutex);
  EXPECT_FALSE(clock.WaitUntil(lock, cv, 0.5, [] { return false; }));
}

// A move of the manual clock skips the listeners that only wake waiters
// while nobody waits, and still runs the others.
TEST(ClockTest, WaiterListenersRunOnlyWhileSomebodyWaits) {
  Clock clock;
  clock.UseManualTime(0.0);
  Mutex mutex;
  std::condition_variable cv;
  std::atomic<int> wakes{0};
  std::atomic<int> plain{0};
  const int waker = clock.AddWaiterListener([&] {
    ++wakes;
    LockGuard lock(mutex);
    clock.WakeWaiters(cv);
  });
  const int other = clock.AddListener([&] { ++plain; });
  clock.SetManualTime(0.1);
  EXPECT_EQ(wakes.load(), 0);
  EXPECT_EQ(plain.load(), 1);
  std::thread waiter([&] {
    UniqueLock lock(mutex);
    EXPECT_FALSE(clock.WaitUntil(lock, cv, 1.0, [] { return false; }));
  });
  clock.AwaitBlockedWaiters(1);
  clock.SetManualTime(1.0);  // the deadline: only the wake-up ends the wait
  waiter.join();
  EXPECT_GE(wakes.load(), 1);
  EXPECT_EQ(plain.load(), 2);
  clock.RemoveListener(waker);
  clock.RemoveListener(other);
}

}  // namespace
