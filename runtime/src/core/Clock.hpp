#pragma once

// The runtime's one time base. It runs on the steady wall clock by default;
// tests switch it to a manual clock that only moves when the harness says so,
// and replay installs its own time source. Waiting code never sleeps on its
// own: it waits on its condition variable through WaitUntil, and the clock
// wakes every registered waiter whenever manual time moves, so a wait on the
// manual clock ends exactly when the test advances past its deadline.
// Owned by the Runtime; a shut-down clock ends every wait at once, so no
// thread stays blocked inside a runtime that is going away. Thread-safe.
//
// Simulated time on the manual clock passes through a stepper (the simulated
// firmware): every forward move first lets the stepper compute each step
// between the old and the new time, so that nobody reads a time whose
// simulation has not been computed yet, and only then wakes the waiters.

#include <kvor/zephrin/Mutex.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kvor::zephrin::runtime {

class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;

  /// Seconds on the current time base.
  double Now() const;
  /// Seconds on the wall reference: the manual time on the manual clock,
  /// the steady clock otherwise; never the replay time. Replay paces itself
  /// on it, so a test on the manual clock drives playback with AdvanceTime.
  double WallNow() const;

  void UseRealTime();
  void UseManualTime(double startSeconds);
  bool IsManual() const { return manual_.load(std::memory_order_acquire); }
  /// Sets the manual time (ignored on real time) and wakes waiters; a move
  /// forward runs through the stepper.
  void SetManualTime(double seconds) ZEPHRIN_EXCLUDES(moveMutex_);
  /// Moves the manual time forward by `seconds` through the stepper and wakes waiters.
  void AdvanceManualTime(double seconds) ZEPHRIN_EXCLUDES(moveMutex_);

  /// Installs the stepper (an empty function removes it). On the manual
  /// clock each forward move from `from` to `to` seconds calls
  /// `advance(from, to)` before the time reaches `to`; the stepper may move
  /// the time forward within the move with StepManualTime as it goes. Moves
  /// are serialised; the stepper must not move the clock itself otherwise.
  void SetStepper(std::function<void(double from, double to)> advance) ZEPHRIN_EXCLUDES(moveMutex_);
  /// From inside the stepper only: makes the manual time `seconds` (within
  /// the move in progress) without waking anyone.
  void StepManualTime(double seconds);

  /// Installs a time source that replaces the wall clock (replay). An empty
  /// function removes it. The owner calls NotifyTimeChanged when its time
  /// moves by steps rather than continuously.
  void SetTimeSource(std::function<double()> source);
  bool HasTimeSource() const;

  /// Registers a callback run after every manual time change. Returns a
  /// handle for RemoveListener.
  int AddListener(std::function<void()> listener);
  /// Registers a callback that wakes the caller's condition variable for
  /// threads in WaitUntil or WaitUntilWall: run after a time change only
  /// while some thread is inside one of those (a simulation moving the
  /// manual clock every millisecond mostly has nobody waiting). Returns a
  /// handle for RemoveListener.
  int AddWaiterListener(std::function<void()> wake);
  void RemoveListener(int handle);
  /// Runs the listeners (time moved).
  void NotifyTimeChanged();

  /// Wakes the threads waiting on `cv` in WaitUntil / WaitUntilWall, and
  /// stops counting them as blocked at once rather than when they get to run:
  /// a test that waits for blocked waiters and then moves the clock must not
  /// mistake a woken thread, still about to look at the time, for one that
  /// waits. Every notification of a condition variable used with WaitUntil
  /// goes through here.
  void WakeWaiters(std::condition_variable& cv);

  /// Waits on `cv` (with `lock` held) until `ready()` is true or the clock
  /// reaches `deadline` seconds. Returns ready()'s last value. The caller's
  /// condition variable must be woken by a listener (AddWaiterListener) so
  /// that time changes wake it. `ready` runs with the lock held: a lambda that reads
  /// guarded fields says so with ZEPHRIN_REQUIRES.
  template <class Ready>
  bool WaitUntil(UniqueLock& lock, std::condition_variable& cv, double deadline, Ready ready);

  /// Like WaitUntil, with `wallDeadline` on the wall reference (WallNow):
  /// for waits measured in wall time whatever the replay does.
  template <class Ready>
  bool WaitUntilWall(UniqueLock& lock, std::condition_variable& cv, double wallDeadline, Ready ready);

  /// Ends every wait now and from now on (WaitUntil returns ready()'s value
  /// at once): the owning runtime is shutting down.
  void Shutdown();
  bool IsShutDown() const { return shutDown_.load(std::memory_order_acquire); }

  /// Time differences below this count as none: a manual clock advanced in
  /// float steps (0.05 + 0.05) must reach a deadline or frame set at 0.1.
  /// Every comparison of the runtime clock with a deadline or a frame time
  /// uses it, so a wait never ends early for one test and late for another.
  static constexpr double kTolerance = 1e-9;
  /// Whether `now` has reached `deadline`, within kTolerance.
  static bool Reached(double now, double deadline) { return now >= deadline - kTolerance; }

  /// Number of threads currently blocked in WaitUntil and not yet woken.
  int BlockedWaiters() const;
  /// Blocks (on a condition variable) until at least `count` threads wait.
  void AwaitBlockedWaiters(int count);

 private:
  // One thread inside WaitUntil, linked into the clock's list while it waits
  // so that WakeWaiters can find the waiters of a condition variable.
  struct Waiter {
    const std::condition_variable* cv = nullptr;
    bool blocked = false;
    Waiter* next = nullptr;
    Waiter* previous = nullptr;
  };
  // Counts a thread inside WaitUntil or WaitUntilWall from before its first
  // look at the time or at the caller's state until it returns; see
  // NotifyTimeChanged for why both sides change the count.
  class InsideWait {
   public:
    explicit InsideWait(Clock& clock) : clock_(clock) {
      clock_.insideWaits_.fetch_add(1, std::memory_order_acq_rel);
    }
    ~InsideWait() { clock_.insideWaits_.fetch_sub(1, std::memory_order_release); }
    InsideWait(const InsideWait&) = delete;
    InsideWait& operator=(const InsideWait&) = delete;

   private:
    Clock& clock_;
  };
  void WaiterEntered(Waiter& waiter, const std::condition_variable& cv);
  void WaiterLeft(Waiter& waiter);
  double SteadySeconds() const;

  /// Moves the manual time to `to` through the stepper.
  void MoveManualTime(double to) ZEPHRIN_REQUIRES(moveMutex_);

  std::atomic<bool> manual_{false};
  std::atomic<double> manualTime_{0.0};
  Mutex moveMutex_;  // one manual move (and its stepping) at a time
  std::function<void(double, double)> stepper_ ZEPHRIN_GUARDED_BY(moveMutex_);
  mutable Mutex sourceMutex_;
  std::function<double()> source_ ZEPHRIN_GUARDED_BY(sourceMutex_);
  std::atomic<bool> hasSource_{false};
  std::atomic<bool> shutDown_{false};

  // The listeners are replaced as a whole when one is added or removed, so
  // that a notification (every move of the manual clock) takes the current
  // list without copying or allocating.
  struct Listener {
    int handle;
    bool wakesWaiters;  // skipped while no thread is inside a wait
    std::function<void()> call;
  };
  using Listeners = std::vector<Listener>;
  int AddListener(std::function<void()> listener, bool wakesWaiters);
  mutable Mutex listenerMutex_;
  std::shared_ptr<const Listeners> listeners_ ZEPHRIN_GUARDED_BY(listenerMutex_) =
      std::make_shared<const Listeners>();
  int nextListener_ ZEPHRIN_GUARDED_BY(listenerMutex_) = 1;

  mutable Mutex waiterMutex_;
  std::condition_variable waiterCv_;
  // Changed only under waiterMutex_; WakeWaiters reads it without the lock
  // to skip the list when nobody is blocked, as at nearly every move of the
  // manual clock.
  std::atomic<int> blocked_{0};
  std::atomic<int> insideWaits_{0};
  Waiter* waiters_ ZEPHRIN_GUARDED_BY(waiterMutex_) = nullptr;
};

// The analysis cannot tell that `ready` runs under the caller's lock: a
// generic wait cannot name the caller's mutex. Both waits hold `lock`
// whenever they call `ready`, and a `ready` that reads guarded fields is
// checked on its own through its ZEPHRIN_REQUIRES.

template <class Ready>
bool Clock::WaitUntil(UniqueLock& lock, std::condition_variable& cv, double deadline, Ready ready)
    ZEPHRIN_NO_THREAD_SAFETY_ANALYSIS {
  const InsideWait inside(*this);
  while (!ready()) {
    double now = Now();
    if (Reached(now, deadline) || IsShutDown()) return false;
    Waiter waiter;
    WaiterEntered(waiter, cv);
    if (IsManual()) {
      lock.Wait(cv);
    } else if (HasTimeSource()) {
      // A replay clock moves continuously while playing and in steps while
      // paused; it notifies on steps, and a short bounded wait catches the rest.
      lock.WaitFor(cv, std::chrono::milliseconds(2));
    } else {
      lock.WaitFor(cv, std::chrono::duration<double>(deadline - now));
    }
    WaiterLeft(waiter);
  }
  return true;
}

template <class Ready>
bool Clock::WaitUntilWall(UniqueLock& lock, std::condition_variable& cv, double wallDeadline, Ready ready)
    ZEPHRIN_NO_THREAD_SAFETY_ANALYSIS {
  const InsideWait inside(*this);
  while (!ready()) {
    double now = WallNow();
    if (Reached(now, wallDeadline) || IsShutDown()) return false;
    Waiter waiter;
    WaiterEntered(waiter, cv);
    if (IsManual()) {
      lock.Wait(cv);
    } else {
      lock.WaitFor(cv, std::chrono::duration<double>(wallDeadline - now));
    }
    WaiterLeft(waiter);
  }
  return true;
}

}  // namespace kvor::zephrin::runtime
