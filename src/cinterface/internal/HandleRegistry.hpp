#pragma once

// HandleRegistry<T> holds objects created through a C interface (devices,
// mechanisms, orchestras), keyed by the integer handles handed to callers:
// 1, 2, ... never reused, so a stale handle finds nothing.
//
// Thread safety: every member may be called from any thread. The map sits
// behind a reader-writer lock held only to find or change an entry; callers
// keep the object's shared pointer for their whole call, so an object is
// destroyed when its last call returns, never under a reader.
//
// Process exit: Instance() is never destroyed. Objects a program did not
// release stay in memory until the process ends rather than being torn down
// after the runtime they would talk to.

#include <kvor/zephrin/Mutex.hpp>

#include <map>
#include <memory>
#include <utility>

namespace kvor::zephrin6::cinterface {

template <class T>
class HandleRegistry {
 public:
  /// The process-wide registry of T (never destroyed).
  static HandleRegistry& Instance() {
    static HandleRegistry& registry = *new HandleRegistry;
    return registry;
  }

  /// Adds `object` and returns its new handle.
  int Add(std::shared_ptr<T> object) ZEPHRIN_EXCLUDES(mutex_) {
    kvor::zephrin::LockGuard lock(mutex_);
    const int handle = nextHandle_++;
    objects_.emplace(handle, std::move(object));
    return handle;
  }

  /// Takes the object of `handle` out; it is destroyed once no call holds it.
  void Remove(int handle) ZEPHRIN_EXCLUDES(mutex_) {
    std::shared_ptr<T> removed;  // declared first, so destroyed after the lock is released
    kvor::zephrin::LockGuard lock(mutex_);
    auto it = objects_.find(handle);
    if (it == objects_.end()) return;
    removed = std::move(it->second);
    objects_.erase(it);
  }

  /// The object of `handle`, or null.
  std::shared_ptr<T> Find(int handle) const ZEPHRIN_EXCLUDES(mutex_) {
    kvor::zephrin::SharedLockGuard lock(mutex_);
    auto it = objects_.find(handle);
    return it == objects_.end() ? nullptr : it->second;
  }

 private:
  HandleRegistry() = default;

  mutable kvor::zephrin::SharedMutex mutex_;
  std::map<int, std::shared_ptr<T>> objects_ ZEPHRIN_GUARDED_BY(mutex_);
  int nextHandle_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
};

}  // namespace kvor::zephrin6::cinterface
