#pragma once

// DrivetrainRegistry holds the drivetrains created through the C interface,
// keyed by the integer IDs handed to its callers. IDs count up from 1 and are
// never reused, so a stale ID can only ever find nothing. One process-wide
// instance (Instance) owns the drivetrains until they are removed.
//
// Thread safety: every member may be called from any thread. Look-ups hold
// the shared lock for the whole of the caller's function, so a drivetrain in
// use cannot be removed; Add and Remove take the exclusive lock, and a
// removed drivetrain is destroyed by the caller after the lock is released
// (its destruction joins the odometry thread, which may itself be waiting to
// look a drivetrain up).

#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>

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
  /// Unregisters drivetrain `id`. @return it, or null for an unknown ID.
  SwerveDrivetrainPtr Remove(int id);

  /// Runs `function(SwerveDrivetrainImpl&)` on drivetrain `id` with the
  /// shared lock held. @return its result, or `absent` for an unknown ID.
  template <typename Result, typename Function>
  Result With(int id, Result absent, Function&& function) const {
    return drivetrains_.Read([&](const std::map<int, SwerveDrivetrainPtr>& drivetrains) -> Result {
      const auto found = drivetrains.find(id);
      if (found == drivetrains.end()) return absent;
      return std::forward<Function>(function)(*found->second);
    });
  }
  /// As above for a function without a result.
  template <typename Function>
  void With(int id, Function&& function) const {
    drivetrains_.Read([&](const std::map<int, SwerveDrivetrainPtr>& drivetrains) {
      const auto found = drivetrains.find(id);
      if (found != drivetrains.end()) std::forward<Function>(function)(*found->second);
    });
  }

 private:
  DataRwLock<std::map<int, SwerveDrivetrainPtr>> drivetrains_;
  // The last ID handed out; written under the exclusive lock only.
  int lastId_ = 0;
};

}  // namespace kvor::zephrin6::swerve::internal
