#pragma once

// Auklet2FeaturesConfigs: the optional behaviour of the auklet 2's sensor fusion. A plain value
// with public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>

namespace kvor::zephrin6::configs {

class Auklet2FeaturesConfigs : public ParentConfiguration {
 public:
  /// Fuse the magnetometer into the yaw (only away from motors and steel). Default false.
  bool EnableCompass = false;
  /// Turn off the gyroscope's temperature compensation. Default false.
  bool DisableTemperatureCompensation = false;
  /// Turn off the gyroscope's recalibration while the robot stands still. Default false.
  bool DisableNoMotionCalibration = false;

  /// Sets EnableCompass and returns this group for chaining.
  Auklet2FeaturesConfigs& WithEnableCompass(bool newValue) {
    EnableCompass = newValue;
    return *this;
  }
  /// Sets DisableTemperatureCompensation and returns this group for chaining.
  Auklet2FeaturesConfigs& WithDisableTemperatureCompensation(bool newValue) {
    DisableTemperatureCompensation = newValue;
    return *this;
  }
  /// Sets DisableNoMotionCalibration and returns this group for chaining.
  Auklet2FeaturesConfigs& WithDisableNoMotionCalibration(bool newValue) {
    DisableNoMotionCalibration = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: Auklet2Features" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
