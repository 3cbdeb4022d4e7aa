#include "core/Clock.hpp"

#include <algorithm>
#include <chrono>
#include <vector>

namespace kvor::zephrin::runtime {

double Clock::SteadySeconds() const {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double Clock::Now() const {
  if (hasSource_.load(std::memory_order_acquire)) {
    LockGuard lock(sourceMutex_);
    if (source_) return source_();
  }
  return WallNow();
}

double Clock::WallNow() const {
  if (manual_.load(std::memory_order_acquire)) return manualTime_.load(std::memory_order_acquire);
  return SteadySeconds();
}

void Clock::Shutdown() {
  {
    LockGuard lock(waiterMutex_);
    shutDown_.store(true, std::memory_order_release);
  }
  waiterCv_.notify_all();
  NotifyTimeChanged();
}

void Clock::UseRealTime() {
  manual_.store(false, std::memory_order_release);
  NotifyTimeChanged();
}

void Clock::UseManualTime(double startSeconds) {
  manualTime_.store(startSeconds, std::memory_order_release);
  manual_.store(true, std::memory_order_release);
  NotifyTimeChanged();
}

void Clock::MoveManualTime(double to) {
  const double from = manualTime_.load(std::memory_order_acquire);
  if (stepper_ && to > from) stepper_(from, to);
  manualTime_.store(to, std::memory_order_release);
}

void Clock::SetManualTime(double seconds) {
  if (!IsManual()) return;
  {
    LockGuard lock(moveMutex_);
    MoveManualTime(seconds);
  }
  NotifyTimeChanged();
}

void Clock::AdvanceManualTime(double seconds) {
  if (!IsManual()) return;
  {
    LockGuard lock(moveMutex_);
    MoveManualTime(manualTime_.load(std::memory_order_acquire) + seconds);
  }
  NotifyTimeChanged();
}

void Clock::SetStepper(std::function<void(double from, double to)> advance) {
  LockGuard lock(moveMutex_);
  stepper_ = std::move(advance);
}

void Clock::StepManualTime(double seconds) { manualTime_.store(seconds, std::memory_order_release); }

void Clock::SetTimeSource(std::function<double()> source) {
  {
    LockGuard lock(sourceMutex_);
    source_ = std::move(source);
    hasSource_.store(static_cast<bool>(source_), std::memory_order_release);
  }
  NotifyTimeChanged();
}

bool Clock::HasTimeSource() const { return hasSource_.load(std::memory_order_acquire); }

int Clock::AddListener(std::function<void()> listener) { return AddListener(std::move(listener), false); }

int Clock::AddWaiterListener(std::function<void()> wake) { return AddListener(std::move(wake), true); }

int Clock::AddListener(std::function<void()> listener, bool wakesWaiters) {
  LockGuard lock(listenerMutex_);
  auto next = std::make_shared<Listeners>(*listeners_);
  next->push_back({nextListener_, wakesWaiters, std::move(listener)});
  listeners_ = std::move(next);
  return nextListener_++;
}

void Clock::RemoveListener(int handle) {
  LockGuard lock(listenerMutex_);
  auto next = std::make_shared<Listeners>(*listeners_);
  std::erase_if(*next, [handle](const Listener& l) { return l.handle == handle; });
  listeners_ = std::move(next);
}

void Clock::NotifyTimeChanged() {
  // The caller changed the time (or what a time source reads) before this;
  // a waiter counts itself inside a wait (InsideWait) before it looks at the
  // time and at its own state. Both are read-modify-writes of one count, so
  // one comes first: either this reads the waiter counted, or the waiter's
  // count reads this one's and so sees the change, and needs no wake-up.
  // With nobody counted, the waking listeners may be skipped.
  const bool anyoneWaits = insideWaits_.fetch_add(0, std::memory_order_acq_rel) > 0;
  std::shared_ptr<const Listeners> listeners;
  {
    LockGuard lock(listenerMutex_);
    listeners = listeners_;
  }
  for (const Listener& l : *listeners) {
    if (anyoneWaits || !l.wakesWaiters) l.call();
  }
}

void Clock::WaiterEntered(Waiter& waiter, const std::condition_variable& cv) {
  {
    LockGuard lock(waiterMutex_);
    waiter.cv = &cv;
    waiter.blocked = true;
    waiter.next = waiters_;
    if (waiters_ != nullptr) waiters_->previous = &waiter;
    waiters_ = &waiter;
    ++blocked_;
  }
  waiterCv_.notify_all();
}

void Clock::WaiterLeft(Waiter& waiter) {
  LockGuard lock(waiterMutex_);
  // A spurious wake-up or a plain notify leaves the waiter counted until here.
  if (waiter.blocked) --blocked_;
  if (waiter.previous != nullptr) {
    waiter.previous->next = waiter.next;
  } else {
    waiters_ = waiter.next;
  }
  if (waiter.next != nullptr) waiter.next->previous = waiter.previous;
}

void Clock::WakeWaiters(std::condition_variable& cv) {
  // With nobody blocked (nearly every move of the manual clock) the list has
  // no waiter to mark, as a walk of it at this instant would find: a waiter
  // counts itself blocked under the mutex it shares with this notifier
  // before it lets go of it. The notification still goes out.
  if (blocked_.load(std::memory_order_acquire) > 0) {
    LockGuard lock(waiterMutex_);
    for (Waiter* waiter = waiters_; waiter != nullptr; waiter = waiter->next) {
      if (waiter->cv == &cv && waiter->blocked) {
        waiter->blocked = false;
        --blocked_;
      }
    }
  }
  cv.notify_all();
}

int Clock::BlockedWaiters() const {
  LockGuard lock(waiterMutex_);
  return blocked_;
}

void Clock::AwaitBlockedWaiters(int count) {
  UniqueLock lock(waiterMutex_);
  lock.Wait(waiterCv_, [&]() ZEPHRIN_REQUIRES(waiterMutex_) { return blocked_ >= count || IsShutDown(); });
}

}  // namespace kvor::zephrin::runtime
