#pragma once

// DrivetrainRegistry holds the drivetrains created through the C interface,
// keyed by the integer IDs handed to its callers. IDs count up from 1 and are
// never reused, so a stale ID can only ever find nothing. One process-wide
// instance (Instance) owns the drivetrains until they are destroyed.
//
// Thread safety: every member may be called from any thread. The map sits
// behind a reader-writer lock that is held only to find or change an entry,
// never while a drivetrain is used: a look-up marks the drivetrain as in use
// for the caller's whole function instead. Holding the lock through the call
// would order it before the drivetrain's own locks on one thread and after
// them on the odometry thread, whose callbacks look drivetrains up too.
// Destroy takes the entry out of the map, waits until no call is using it,
// then destroys it (stopping and joining its odometry thread) with no lock
// held.

#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>

#include <atomic>
#include <map>
#include <memory>
#include <utility>

#include "swerve/internal/DataRwLock.hpp"

namespace kvor::zephrin6::swerve::internal {

using SwerveDrivetrainPtr = std::unique_ptr<impl::SwerveDrivetrainImpl>;

class DrivetrainRegistry {
 public:
  /// The registry of the process. Destroyed at exit, which destroys (and
  /// stops) the drivetrains still in it.
  static DrivetrainRegistry& Instance();

  /// Registers `drivetrain` under the next ID. @return the ID, or 0 (the
  ///         drivetrain is destroyed) once every positive int has been used.
  int Add(SwerveDrivetrainPtr drivetrain);
  /// Unregisters drivetrain `id`, waits until no call uses it and destroys
  /// it. Nothing for an unknown ID. Must not be called from inside With.
  void Destroy(int id);

  /// Runs `function(SwerveDrivetrainImpl&)` on drivetrain `id`, which cannot
  /// be destroyed meanwhile. @return its result, or `absent` for an unknown ID.
  template <typename Result, typename Function>
  Result With(int id, Result absent, Function&& function) const {
    const std::shared_ptr<Entry> entry = Find(id);
    if (entry == nullptr) return absent;
    const Use use(*entry);
    return std::forward<Function>(function)(*entry->drivetrain);
  }
  /// As above for a function without a result.
  template <typename Function>
  void With(int id, Function&& function) const {
    const std::shared_ptr<Entry> entry = Find(id);
    if (entry == nullptr) return;
    const Use use(*entry);
    std::forward<Function>(function)(*entry->drivetrain);
  }

 private:
  struct Entry {
    explicit Entry(SwerveDrivetrainPtr owned) : drivetrain(std::move(owned)) {}
    SwerveDrivetrainPtr drivetrain;
    /// Calls using the drivetrain now. Only raised with the map's lock
    /// held, so it cannot rise once the entry has left the map.
    std::atomic<int> users{0};
  };
  /// Marks an entry in use for its lifetime (the entry is raised already).
  class Use {
   public:
    explicit Use(Entry& entry) : entry_(entry) {}
    ~Use() {
      if (entry_.users.fetch_sub(1) == 1) entry_.users.notify_all();
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

   private:
    Entry& entry_;
  };

  /// The entry of `id`, marked in use, or null.
  std::shared_ptr<Entry> Find(int id) const;

  // Entries are shared so that a call still holding one after its entry
  // left the map (to signal that it is done) keeps it alive.
  DataRwLock<std::map<int, std::shared_ptr<Entry>>> drivetrains_;
  // The last ID handed out; written under the exclusive lock only.
  int lastId_ = 0;
};

}  // namespace kvor::zephrin6::swerve::internal
