#pragma once

// AngulonConfiguration: every configuration group of an angulon magnetic absolute encoder in one
// value, so a program can set up the whole device with one Apply and read it back with one Refresh.
// Its text is the plain concatenation of its groups' texts. A plain value; copy it freely; it is
// not synchronised.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/configs/MagnetSensorConfigs.hpp>

namespace kvor::zephrin6::configs {

class AngulonConfiguration : public ParentConfiguration {
 public:
  /// The MagnetSensor group.
  MagnetSensorConfigs MagnetSensor;

  /// Replaces the MagnetSensor group and returns this configuration for chaining.
  AngulonConfiguration& WithMagnetSensor(const MagnetSensorConfigs& newValue) {
    MagnetSensor = newValue;
    return *this;
  }

  /// The config text of every group, in the order above.
  std::string Serialize() const override;
  /// The text of every group, each starting with its "Config Group:" line,
  /// after the line "Configuration: angulon".
  std::string ToString() const override;
  /// Reads every group from `text`; values absent from it are kept. Returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
