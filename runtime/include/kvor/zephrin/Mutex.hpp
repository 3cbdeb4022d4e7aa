#pragma once

// The mutexes and lock guards of both libraries, annotated so that clang's
// thread-safety analysis (-Wthread-safety) checks every locking rule at
// compile time: a field names the mutex that guards it (ZEPHRIN_GUARDED_BY),
// a function that needs a lock held says so (ZEPHRIN_REQUIRES), and a
// function that takes a lock itself may say that its caller must not hold
// it (ZEPHRIN_EXCLUDES), which catches a self-deadlock at the call. The
// annotations expand to nothing on other compilers; the types cost what the
// standard mutexes they wrap cost. Header only, with no symbols of its own,
// so that the library and the runtime can both use it without either one
// linking the other's internals.
//
// Recursive mutexes: clang's analysis has no notion of taking a capability
// again on the same thread. A RecursiveMutex is therefore declared like any
// other, and the functions that take one carry no ZEPHRIN_EXCLUDES: they may
// be entered again by a callback running under the lock, which the analysis
// cannot see through a std::function anyway. What it checks still holds:
// every guarded field is reached with the mutex held.
//
// Condition variables: UniqueLock hands its standard lock to
// std::condition_variable (Wait, WaitFor, WaitUntil). A predicate that reads
// guarded fields is a lambda of its own to the analysis; give it
// ZEPHRIN_REQUIRES(mutex) so that its body is checked as running under the
// lock, which the wait guarantees.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <shared_mutex>
#include <utility>

#if defined(__clang__)
#define ZEPHRIN_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define ZEPHRIN_THREAD_ANNOTATION(x)
#endif

/// A type that is a lock (a mutex).
#define ZEPHRIN_CAPABILITY(name) ZEPHRIN_THREAD_ANNOTATION(capability(name))
/// A lock guard: takes its mutexes in its constructor, releases them in its destructor.
#define ZEPHRIN_SCOPED_CAPABILITY ZEPHRIN_THREAD_ANNOTATION(scoped_lockable)
/// The field may be read or written only with `mutex` held.
#define ZEPHRIN_GUARDED_BY(mutex) ZEPHRIN_THREAD_ANNOTATION(guarded_by(mutex))
/// What the pointer points to may be used only with `mutex` held.
#define ZEPHRIN_PT_GUARDED_BY(mutex) ZEPHRIN_THREAD_ANNOTATION(pt_guarded_by(mutex))
/// Documents a lock order: this mutex is taken before the ones listed.
#define ZEPHRIN_ACQUIRED_BEFORE(...) ZEPHRIN_THREAD_ANNOTATION(acquired_before(__VA_ARGS__))
/// The caller must hold the mutexes (exclusively).
#define ZEPHRIN_REQUIRES(...) ZEPHRIN_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
/// The caller must hold the mutexes, shared or exclusively.
#define ZEPHRIN_REQUIRES_SHARED(...) ZEPHRIN_THREAD_ANNOTATION(requires_shared_capability(__VA_ARGS__))
/// The function takes the mutexes itself: the caller must not hold them.
#define ZEPHRIN_EXCLUDES(...) ZEPHRIN_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
/// The function returns holding the mutexes (none listed: the object itself).
#define ZEPHRIN_ACQUIRE(...) ZEPHRIN_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define ZEPHRIN_ACQUIRE_SHARED(...) ZEPHRIN_THREAD_ANNOTATION(acquire_shared_capability(__VA_ARGS__))
/// The function releases the mutexes (none listed: the object itself).
#define ZEPHRIN_RELEASE(...) ZEPHRIN_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define ZEPHRIN_RELEASE_SHARED(...) ZEPHRIN_THREAD_ANNOTATION(release_shared_capability(__VA_ARGS__))
/// The function holds the mutex afterwards when it returns `result`.
#define ZEPHRIN_TRY_ACQUIRE(...) ZEPHRIN_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
/// The function returns a reference to `mutex`, so that locking its result counts as locking `mutex`.
#define ZEPHRIN_RETURN_CAPABILITY(mutex) ZEPHRIN_THREAD_ANNOTATION(lock_returned(mutex))
/// Turns the analysis off for one function. Only where the analysis cannot
/// follow a correct rule, with a comment saying why the rule holds.
#define ZEPHRIN_NO_THREAD_SAFETY_ANALYSIS ZEPHRIN_THREAD_ANNOTATION(no_thread_safety_analysis)

namespace kvor::zephrin {

class UniqueLock;

/// An exclusive, non-recursive mutex.
class ZEPHRIN_CAPABILITY("mutex") Mutex {
 public:
  constexpr Mutex() noexcept = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void Lock() ZEPHRIN_ACQUIRE() { mutex_.lock(); }
  void Unlock() ZEPHRIN_RELEASE() { mutex_.unlock(); }
  /// Takes the mutex when it is free; true when taken.
  [[nodiscard]] bool TryLock() ZEPHRIN_TRY_ACQUIRE(true) { return mutex_.try_lock(); }

 private:
  friend class UniqueLock;
  std::mutex mutex_;
};

/// A mutex that the thread holding it may take again; see the header's note
/// on how the analysis treats it.
class ZEPHRIN_CAPABILITY("mutex") RecursiveMutex {
 public:
  RecursiveMutex() = default;
  RecursiveMutex(const RecursiveMutex&) = delete;
  RecursiveMutex& operator=(const RecursiveMutex&) = delete;

  void Lock() ZEPHRIN_ACQUIRE() { mutex_.lock(); }
  void Unlock() ZEPHRIN_RELEASE() { mutex_.unlock(); }

 private:
  std::recursive_mutex mutex_;
};

/// A reader-writer mutex: any number of shared holders or one exclusive
/// holder. A shared lock is retried while the system reports too many
/// readers for the moment; a deadlock report throws std::system_error.
class ZEPHRIN_CAPABILITY("mutex") SharedMutex {
 public:
  SharedMutex() = default;
  SharedMutex(const SharedMutex&) = delete;
  SharedMutex& operator=(const SharedMutex&) = delete;

  void Lock() ZEPHRIN_ACQUIRE() { mutex_.lock(); }
  void Unlock() ZEPHRIN_RELEASE() { mutex_.unlock(); }
  /// Takes the mutex exclusively, waiting at most `timeout`; true when taken.
  template <typename Rep, typename Period>
  [[nodiscard]] bool TryLockFor(const std::chrono::duration<Rep, Period>& timeout) ZEPHRIN_TRY_ACQUIRE(true) {
    return mutex_.try_lock_for(timeout);
  }
  void LockShared() ZEPHRIN_ACQUIRE_SHARED() { mutex_.lock_shared(); }
  void UnlockShared() ZEPHRIN_RELEASE_SHARED() { mutex_.unlock_shared(); }

 private:
  std::shared_timed_mutex mutex_;
};

/// Holds `MutexT` (Mutex, RecursiveMutex, or SharedMutex exclusively) for
/// its lifetime.
template <typename MutexT>
class ZEPHRIN_SCOPED_CAPABILITY LockGuard {
 public:
  explicit LockGuard(MutexT& mutex) ZEPHRIN_ACQUIRE(mutex) : mutex_(mutex) { mutex_.Lock(); }
  ~LockGuard() ZEPHRIN_RELEASE() { mutex_.Unlock(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  MutexT& mutex_;
};

/// Holds a SharedMutex shared for its lifetime.
class ZEPHRIN_SCOPED_CAPABILITY SharedLockGuard {
 public:
  explicit SharedLockGuard(SharedMutex& mutex) ZEPHRIN_ACQUIRE_SHARED(mutex) : mutex_(mutex) {
    mutex_.LockShared();
  }
  ~SharedLockGuard() ZEPHRIN_RELEASE() { mutex_.UnlockShared(); }
  SharedLockGuard(const SharedLockGuard&) = delete;
  SharedLockGuard& operator=(const SharedLockGuard&) = delete;

 private:
  SharedMutex& mutex_;
};

/// Holds a Mutex, with Unlock and Lock in between, a deferred or tried
/// start, and the waits of a std::condition_variable (which release the
/// mutex while they block and hold it again when they return).
class ZEPHRIN_SCOPED_CAPABILITY UniqueLock {
 public:
  explicit UniqueLock(Mutex& mutex) ZEPHRIN_ACQUIRE(mutex) : lock_(mutex.mutex_) {}
  /// Does not take `mutex` yet: call Lock or TryLock.
  UniqueLock(Mutex& mutex, std::defer_lock_t) ZEPHRIN_EXCLUDES(mutex) : lock_(mutex.mutex_, std::defer_lock) {}
  ~UniqueLock() ZEPHRIN_RELEASE() {}
  UniqueLock(const UniqueLock&) = delete;
  UniqueLock& operator=(const UniqueLock&) = delete;

  void Lock() ZEPHRIN_ACQUIRE() { lock_.lock(); }
  void Unlock() ZEPHRIN_RELEASE() { lock_.unlock(); }
  /// Takes the mutex when it is free; true when taken.
  [[nodiscard]] bool TryLock() ZEPHRIN_TRY_ACQUIRE(true) { return lock_.try_lock(); }

  /// Blocks until `cv` is notified (or wakes spuriously).
  void Wait(std::condition_variable& cv) { cv.wait(lock_); }
  /// Blocks until `ready()` is true.
  template <typename Ready>
  void Wait(std::condition_variable& cv, Ready ready) {
    cv.wait(lock_, std::move(ready));
  }
  /// Blocks until `cv` is notified or `timeout` has passed.
  template <typename Rep, typename Period>
  std::cv_status WaitFor(std::condition_variable& cv, const std::chrono::duration<Rep, Period>& timeout) {
    return cv.wait_for(lock_, timeout);
  }
  /// Blocks until `ready()` is true or `timeout` has passed; returns `ready()`.
  template <typename Rep, typename Period, typename Ready>
  bool WaitFor(std::condition_variable& cv, const std::chrono::duration<Rep, Period>& timeout, Ready ready) {
    return cv.wait_for(lock_, timeout, std::move(ready));
  }
  /// Blocks until `ready()` is true or `deadline`; returns `ready()`.
  template <typename ClockT, typename Duration, typename Ready>
  bool WaitUntil(std::condition_variable& cv, const std::chrono::time_point<ClockT, Duration>& deadline,
                 Ready ready) {
    return cv.wait_until(lock_, deadline, std::move(ready));
  }

 private:
  std::unique_lock<std::mutex> lock_;
};

}  // namespace kvor::zephrin
