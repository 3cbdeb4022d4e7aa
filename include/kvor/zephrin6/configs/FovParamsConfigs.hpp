#pragma once

// FovParamsConfigs: the distix's field of view. A plain value with public fields and fluent With
// setters; Serialize, Deserialize and ToString go through the runtime's config text one field at
// a time (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not
// synchronised, so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class FovParamsConfigs : public ParentConfiguration {
 public:
  /// Centre of the field of view along X, degrees. Default 0.0 deg.
  units::angle::degree_t FOVCenterX = units::angle::degree_t{0.0};
  /// Centre of the field of view along Y, degrees. Default 0.0 deg.
  units::angle::degree_t FOVCenterY = units::angle::degree_t{0.0};
  /// Width of the field of view along X, degrees. Default 27.0 deg.
  units::angle::degree_t FOVRangeX = units::angle::degree_t{27.0};
  /// Width of the field of view along Y, degrees. Default 27.0 deg.
  units::angle::degree_t FOVRangeY = units::angle::degree_t{27.0};

  /// Sets FOVCenterX and returns this group for chaining.
  FovParamsConfigs& WithFOVCenterX(units::angle::degree_t newValue) {
    FOVCenterX = newValue;
    return *this;
  }
  /// Sets FOVCenterY and returns this group for chaining.
  FovParamsConfigs& WithFOVCenterY(units::angle::degree_t newValue) {
    FOVCenterY = newValue;
    return *this;
  }
  /// Sets FOVRangeX and returns this group for chaining.
  FovParamsConfigs& WithFOVRangeX(units::angle::degree_t newValue) {
    FOVRangeX = newValue;
    return *this;
  }
  /// Sets FOVRangeY and returns this group for chaining.
  FovParamsConfigs& WithFOVRangeY(units::angle::degree_t newValue) {
    FOVRangeY = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: FovParams" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
