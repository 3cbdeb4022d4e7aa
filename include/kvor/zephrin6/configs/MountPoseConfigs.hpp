#pragma once

// MountPoseConfigs: how the auklet 2 is mounted on the robot. A plain value with public fields
// and fluent With setters; Serialize, Deserialize and ToString go through the runtime's config
// text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it freely;
// it is not synchronised, so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class MountPoseConfigs : public ParentConfiguration {
 public:
  /// Yaw of the mounting, degrees. Default 0.0 deg.
  units::angle::degree_t MountPoseYaw = units::angle::degree_t{0.0};
  /// Pitch of the mounting, degrees. Default 0.0 deg.
  units::angle::degree_t MountPosePitch = units::angle::degree_t{0.0};
  /// Roll of the mounting, degrees. Default 0.0 deg.
  units::angle::degree_t MountPoseRoll = units::angle::degree_t{0.0};

  /// Sets MountPoseYaw and returns this group for chaining.
  MountPoseConfigs& WithMountPoseYaw(units::angle::degree_t newValue) {
    MountPoseYaw = newValue;
    return *this;
  }
  /// Sets MountPosePitch and returns this group for chaining.
  MountPoseConfigs& WithMountPosePitch(units::angle::degree_t newValue) {
    MountPosePitch = newValue;
    return *this;
  }
  /// Sets MountPoseRoll and returns this group for chaining.
  MountPoseConfigs& WithMountPoseRoll(units::angle::degree_t newValue) {
    MountPoseRoll = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: MountPose" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
