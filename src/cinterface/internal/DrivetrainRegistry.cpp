#include "cinterface/internal/DrivetrainRegistry.hpp"

#include <condition_variable>
#include <cstdlib>
#include <limits>
#include <optional>
#include <span>
#include <thread>

namespace kvor::zephrin6::cinterface {

namespace {

void StopAllAtExit() { DrivetrainRegistry::Instance().StopAllForExit(); }

}  // namespace

DrivetrainRegistry& DrivetrainRegistry::Instance() {
  // Never destroyed: see the header. Still reachable through this pointer,
  // so leak checkers do not count it.
  static DrivetrainRegistry* const registry = new DrivetrainRegistry();
  return *registry;
}

swerve::sim::SimSwerveDrivetrain& DrivetrainRegistry::Entry::Sim() {
  kvor::zephrin::LockGuard lock(simMutex);
  if (sim == nullptr) {
    sim = std::make_unique<swerve::sim::SimSwerveDrivetrain>(
        *drivetrain, std::span<const swerve::sim::SimSwerveDrivetrain::ModuleSettings>(simSettings));
  }
  return *sim;
}

void DrivetrainRegistry::Entry::StopSim() {
  kvor::zephrin::LockGuard lock(simMutex);
  if (sim != nullptr) sim->StopThread();
}

void DrivetrainRegistry::Entry::Release() {
  {
    kvor::zephrin::LockGuard lock(simMutex);
    sim.reset();
  }
  drivetrain.reset();
}

int DrivetrainRegistry::Add(SwerveDrivetrainPtr drivetrain, SimSettings simSettings) {
  auto entry = std::make_shared<Entry>(std::move(drivetrain), std::move(simSettings));
  // An entry that finds no ID is destroyed here, after the lock.
  int id = 0;
  {
    kvor::zephrin::LockGuard lock(mutex_);
    if (!exiting_.load() && lastId_ != std::numeric_limits<int>::max()) {
      id = ++lastId_;
      drivetrains_.emplace(id, std::move(entry));
    }
  }
  // Installed after the first drivetrain was built, which started the device
  // runtime and so installed the runtime's own exit handler first: handlers
  // run in reverse, so the threads stop before the runtime completes its log.
  if (id != 0) std::call_once(exitHandler_, [] { std::atexit(&StopAllAtExit); });
  return id;
}

void DrivetrainRegistry::Destroy(int id) {
  std::shared_ptr<Entry> entry;
  {
    kvor::zephrin::LockGuard lock(mutex_);
    auto node = drivetrains_.extract(id);
    if (!node.empty()) entry = std::move(node.mapped());
  }
  if (entry == nullptr) return;
  if (exiting_.load()) {
    // The thread may be stuck in a callback that never returns; destroy the
    // drivetrain only if it stops in time and no call still uses it.
    const auto deadline = std::chrono::steady_clock::now() + kExitStopBound;
    bool idle = StopBy({entry}, deadline, false);
    while (idle && entry->users.load() != 0) {
      if (std::chrono::steady_clock::now() >= deadline) idle = false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!idle) {
      Abandon(std::move(entry));
      return;
    }
  }
  for (int users = entry->users.load(); users != 0; users = entry->users.load()) entry->users.wait(users);
  entry->Release();
}

std::size_t DrivetrainRegistry::Size() const {
  kvor::zephrin::SharedLockGuard lock(mutex_);
  return drivetrains_.size();
}

void DrivetrainRegistry::StartOdometry(int id) {
  // Held shared across the start, so that the exit's flag is either seen
  // here or set only after this thread is running (and then stopped).
  kvor::zephrin::SharedLockGuard lock(exitMutex_);
  if (exiting_.load()) return;
  With(id, [](swerve::impl::SwerveDrivetrainImpl& drivetrain) { drivetrain.GetOdometryThread().Start(); });
}

void DrivetrainRegistry::StopAllForExit() {
  {
    // A start stuck behind a stuck thread must not hold the exit up: past
    // the bound the flag is set without the lock (the flag is atomic; the
    // lock only orders it after starts).
    const bool locked = exitMutex_.TryLockFor(kExitStopBound);
    const bool begun = exiting_.exchange(true, std::memory_order_acq_rel);
    if (locked) exitMutex_.Unlock();
    if (begun) return;
  }
  // Marked in use, as a look-up would, so that a Destroy that began before
  // the exit waits for the stop instead of freeing the drivetrain under it.
  std::vector<std::shared_ptr<Entry>> entries;
  {
    kvor::zephrin::SharedLockGuard lock(mutex_);
    entries.reserve(drivetrains_.size());
    for (const auto& [id, entry] : drivetrains_) {
      entry->users.fetch_add(1);
      entries.push_back(entry);
    }
  }
  // Each helper ends its entry's use once the thread has stopped; a helper
  // left waiting for a stuck thread keeps the drivetrain in use for good.
  (void)StopBy(entries, std::chrono::steady_clock::now() + kExitStopBound, true);  // what did not stop stays behind
}

bool DrivetrainRegistry::StopBy(const std::vector<std::shared_ptr<Entry>>& entries,
                                std::chrono::steady_clock::time_point deadline, bool inUse) {
  struct Progress {
    kvor::zephrin::Mutex mutex;
    std::condition_variable done;
    std::size_t stopped ZEPHRIN_GUARDED_BY(mutex) = 0;
  };
  auto progress = std::make_shared<Progress>();
  std::vector<std::thread> helpers;
  helpers.reserve(entries.size());
  for (const auto& entry : entries) {
    // Stop joins the thread, which may never end; a helper does the joining
    // so that this thread can give up on it.
    helpers.emplace_back([progress, entry, inUse] {
      std::optional<Use> use;
      if (inUse) use.emplace(*entry);
      entry->StopSim();
      entry->drivetrain->GetOdometryThread().Stop();
      kvor::zephrin::LockGuard lock(progress->mutex);
      ++progress->stopped;
      progress->done.notify_all();
    });
  }
  bool allStopped = false;
  {
    kvor::zephrin::UniqueLock lock(progress->mutex);
    allStopped = lock.WaitUntil(progress->done, deadline, [&]() ZEPHRIN_REQUIRES(progress->mutex) {
      return progress->stopped == entries.size();
    });
  }
  for (std::thread& helper : helpers) {
    if (allStopped) {
      helper.join();
    } else {
      helper.detach();
    }
  }
  return allStopped;
}

std::shared_ptr<DrivetrainRegistry::Entry> DrivetrainRegistry::Find(int id) const {
  kvor::zephrin::SharedLockGuard lock(mutex_);
  const auto found = drivetrains_.find(id);
  if (found == drivetrains_.end()) return nullptr;
  found->second->users.fetch_add(1);
  return found->second;
}

void DrivetrainRegistry::Abandon(std::shared_ptr<Entry> entry) {
  kvor::zephrin::LockGuard lock(abandonedMutex_);
  abandoned_.push_back(std::move(entry));
}

}  // namespace kvor::zephrin6::cinterface
