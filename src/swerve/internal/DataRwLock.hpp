#pragma once

// DataRwLock pairs a value with the reader-writer lock that guards it, so
// that the value can only be reached with the lock held: Read runs a
// function on a const view under the shared lock, Write on a mutable one
// under the exclusive lock. Readers run side by side; a writer waits until
// none is left.
//
// Keep the functions short and take no other lock in them: the lock then
// never takes part in a lock-order cycle. A function must not Read or Write
// the same object again.
//
// Locking retries while the lock reports that it is busy for the moment
// (too many readers) and throws std::system_error when it reports a
// deadlock; both come from std::shared_mutex.

#include <mutex>
#include <shared_mutex>
#include <utility>

namespace kvor {

template <typename T>
class DataRwLock {
 public:
  DataRwLock() = default;
  DataRwLock(const DataRwLock&) = delete;
  DataRwLock& operator=(const DataRwLock&) = delete;

  /// Runs `function(const T&)` under the shared lock and returns its result.
  template <typename Function>
  decltype(auto) Read(Function&& function) const {
    std::shared_lock lock(mutex_);
    return std::forward<Function>(function)(std::as_const(data_));
  }

  /// Runs `function(T&)` under the exclusive lock and returns its result.
  template <typename Function>
  decltype(auto) Write(Function&& function) {
    std::unique_lock lock(mutex_);
    return std::forward<Function>(function)(data_);
  }

 private:
  mutable std::shared_mutex mutex_;
  T data_{};
};

}  // namespace kvor
