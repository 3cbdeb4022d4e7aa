#pragma once

// Auklet2Configuration: every configuration group of an auklet 2 inertial measurement unit in one
// value, so a program can set up the whole device with one Apply and read it back with one Refresh.
// Its text is the plain concatenation of its groups' texts. A plain value; copy it freely; it is
// not synchronised.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/configs/MountPoseConfigs.hpp>
#include <kvor/zephrin6/configs/GyroTrimConfigs.hpp>
#include <kvor/zephrin6/configs/Auklet2FeaturesConfigs.hpp>

namespace kvor::zephrin6::configs {

class Auklet2Configuration : public ParentConfiguration {
 public:
  /// The MountPose group.
  MountPoseConfigs MountPose;
  /// The GyroTrim group.
  GyroTrimConfigs GyroTrim;
  /// The Auklet2Features group.
  Auklet2FeaturesConfigs Auklet2Features;

  /// Replaces the MountPose group and returns this configuration for chaining.
  Auklet2Configuration& WithMountPose(const MountPoseConfigs& newValue) {
    MountPose = newValue;
    return *this;
  }
  /// Replaces the GyroTrim group and returns this configuration for chaining.
  Auklet2Configuration& WithGyroTrim(const GyroTrimConfigs& newValue) {
    GyroTrim = newValue;
    return *this;
  }
  /// Replaces the Auklet2Features group and returns this configuration for chaining.
  Auklet2Configuration& WithAuklet2Features(const Auklet2FeaturesConfigs& newValue) {
    Auklet2Features = newValue;
    return *this;
  }

  /// The config text of every group, in the order above.
  std::string Serialize() const override;
  /// The text of every group, each starting with its "Config Group:" line,
  /// after the line "Configuration: auklet 2".
  std::string ToString() const override;
  /// Reads every group from `text`; values absent from it are kept. Returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
