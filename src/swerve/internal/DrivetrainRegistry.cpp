#include "swerve/internal/DrivetrainRegistry.hpp"

#include <limits>

namespace kvor::zephrin6::swerve::internal {

DrivetrainRegistry& DrivetrainRegistry::Instance() {
  static DrivetrainRegistry registry;
  return registry;
}

int DrivetrainRegistry::Add(SwerveDrivetrainPtr drivetrain) {
  auto entry = std::make_shared<Entry>(std::move(drivetrain));
  // An entry that finds no ID is destroyed here, after the lock.
  return drivetrains_.Write([&](std::map<int, std::shared_ptr<Entry>>& drivetrains) {
    if (lastId_ == std::numeric_limits<int>::max()) return 0;
    const int id = ++lastId_;
    drivetrains.emplace(id, std::move(entry));
    return id;
  });
}

void DrivetrainRegistry::Destroy(int id) {
  std::shared_ptr<Entry> entry =
      drivetrains_.Write([&](std::map<int, std::shared_ptr<Entry>>& drivetrains) -> std::shared_ptr<Entry> {
        auto node = drivetrains.extract(id);
        return node.empty() ? nullptr : std::move(node.mapped());
      });
  if (entry == nullptr) return;
  for (int users = entry->users.load(); users != 0; users = entry->users.load()) entry->users.wait(users);
  entry->drivetrain.reset();
}

std::shared_ptr<DrivetrainRegistry::Entry> DrivetrainRegistry::Find(int id) const {
  return drivetrains_.Read([&](const std::map<int, std::shared_ptr<Entry>>& drivetrains) -> std::shared_ptr<Entry> {
    const auto found = drivetrains.find(id);
    if (found == drivetrains.end()) return nullptr;
    found->second->users.fetch_add(1);
    return found->second;
  });
}

}  // namespace kvor::zephrin6::swerve::internal
