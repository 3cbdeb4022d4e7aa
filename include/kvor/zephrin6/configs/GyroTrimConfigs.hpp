#pragma once

// GyroTrimConfigs: scale corrections of the auklet 2's gyroscope axes. A plain value with public
// fields and fluent With setters; Serialize, Deserialize and ToString go through the runtime's
// config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it
// freely; it is not synchronised, so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>

namespace kvor::zephrin6::configs {

class GyroTrimConfigs : public ParentConfiguration {
 public:
  /// Correction of the X axis, degrees per full rotation. Default 0.0 deg per rotation.
  double GyroScalarX = 0.0;
  /// Correction of the Y axis, degrees per full rotation. Default 0.0 deg per rotation.
  double GyroScalarY = 0.0;
  /// Correction of the Z axis, degrees per full rotation. Default 0.0 deg per rotation.
  double GyroScalarZ = 0.0;

  /// Sets GyroScalarX and returns this group for chaining.
  GyroTrimConfigs& WithGyroScalarX(double newValue) {
    GyroScalarX = newValue;
    return *this;
  }
  /// Sets GyroScalarY and returns this group for chaining.
  GyroTrimConfigs& WithGyroScalarY(double newValue) {
    GyroScalarY = newValue;
    return *this;
  }
  /// Sets GyroScalarZ and returns this group for chaining.
  GyroTrimConfigs& WithGyroScalarZ(double newValue) {
    GyroScalarZ = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: GyroTrim" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
