// The annotated mutexes both libraries lock with: each must exclude (or
// share) exactly as the standard mutex it wraps, since the compiler's lock
// checking assumes so. Whether a wrong lock fails to compile is checked by
// scripts/check-thread-safety.sh.
#include <kvor/zephrin/Mutex.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <thread>

namespace {

using kvor::zephrin::LockGuard;
using kvor::zephrin::Mutex;
using kvor::zephrin::RecursiveMutex;
using kvor::zephrin::SharedLockGuard;
using kvor::zephrin::SharedMutex;
using kvor::zephrin::UniqueLock;

// Whether another thread could take `mutex` now.
bool FreeElsewhere(Mutex& mutex) {
  return std::async(std::launch::async, [&mutex] {
           if (!mutex.TryLock()) return false;
           mutex.Unlock();
           return true;
         }).get();
}

TEST(MutexTest, GuardsExcludeOtherThreadsUntilReleased) {
  Mutex mutex;
  {
    LockGuard lock(mutex);
    EXPECT_FALSE(FreeElsewhere(mutex));
  }
  EXPECT_TRUE(FreeElsewhere(mutex));

  UniqueLock lock(mutex);
  EXPECT_FALSE(FreeElsewhere(mutex));
  lock.Unlock();
  EXPECT_TRUE(FreeElsewhere(mutex));
  lock.Lock();
  EXPECT_FALSE(FreeElsewhere(mutex));

  // The thread holding a recursive mutex takes it again; released as often
  // as taken, another thread gets it.
  RecursiveMutex recursive;
  {
    LockGuard outer(recursive);
    LockGuard inner(recursive);
  }
  std::async(std::launch::async, [&recursive] { LockGuard lock(recursive); }).get();
}

TEST(MutexTest, SharedHoldersShareAndAWriterWaitsForThem) {
  SharedMutex mutex;
  {
    SharedLockGuard reader(mutex);
    std::async(std::launch::async, [&mutex] { SharedLockGuard other(mutex); }).get();
    EXPECT_FALSE(std::async(std::launch::async, [&mutex] {
                   if (!mutex.TryLockFor(std::chrono::milliseconds(1))) return false;
                   mutex.Unlock();
                   return true;
                 }).get());
  }
  ASSERT_TRUE(mutex.TryLockFor(std::chrono::milliseconds(1)));
  mutex.Unlock();
}

TEST(MutexTest, WaitReturnsOnceTheGuardedConditionHolds) {
  struct Shared {
    Mutex mutex;
    std::condition_variable changed;
    int value ZEPHRIN_GUARDED_BY(mutex) = 0;
  } shared;
  std::thread writer([&shared] {
    LockGuard lock(shared.mutex);
    shared.value = 3;
    shared.changed.notify_all();
  });
  UniqueLock lock(shared.mutex);
  lock.Wait(shared.changed, [&]() ZEPHRIN_REQUIRES(shared.mutex) { return shared.value == 3; });
  EXPECT_EQ(shared.value, 3);
  lock.Unlock();
  writer.join();
}

}  // namespace
