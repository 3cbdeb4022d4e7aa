#include "swerve/internal/DrivetrainRegistry.hpp"

#include <limits>

namespace kvor::zephrin6::swerve::internal {

DrivetrainRegistry& DrivetrainRegistry::Instance() {
  static DrivetrainRegistry registry;
  return registry;
}

int DrivetrainRegistry::Add(SwerveDrivetrainPtr drivetrain) {
  // A drivetrain that finds no ID is destroyed here, after the lock.
  SwerveDrivetrainPtr refused;
  return drivetrains_.Write([&](std::map<int, SwerveDrivetrainPtr>& drivetrains) {
    if (lastId_ == std::numeric_limits<int>::max()) {
      refused = std::move(drivetrain);
      return 0;
    }
    const int id = ++lastId_;
    drivetrains.emplace(id, std::move(drivetrain));
    return id;
  });
}

SwerveDrivetrainPtr DrivetrainRegistry::Remove(int id) {
  return drivetrains_.Write([&](std::map<int, SwerveDrivetrainPtr>& drivetrains) -> SwerveDrivetrainPtr {
    auto node = drivetrains.extract(id);
    return node.empty() ? nullptr : std::move(node.mapped());
  });
}

}  // namespace kvor::zephrin6::swerve::internal
