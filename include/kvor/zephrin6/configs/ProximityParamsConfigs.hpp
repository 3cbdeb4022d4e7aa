#pragma once

// ProximityParamsConfigs: when the distix reports that something is detected. A plain value with
// public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class ProximityParamsConfigs : public ParentConfiguration {
 public:
  /// Distance below which an object counts as detected, metres. Default 0.4 m.
  units::length::meter_t ProximityThreshold = units::length::meter_t{0.4};
  /// Hysteresis around the threshold, metres. Default 0.01 m.
  units::length::meter_t ProximityHysteresis = units::length::meter_t{0.01};
  /// Weakest signal strength that still gives a valid measurement. Default 2500.0 scalar.
  double MinSignalStrengthForValidMeasurement = 2500.0;

  /// Sets ProximityThreshold and returns this group for chaining.
  ProximityParamsConfigs& WithProximityThreshold(units::length::meter_t newValue) {
    ProximityThreshold = newValue;
    return *this;
  }
  /// Sets ProximityHysteresis and returns this group for chaining.
  ProximityParamsConfigs& WithProximityHysteresis(units::length::meter_t newValue) {
    ProximityHysteresis = newValue;
    return *this;
  }
  /// Sets MinSignalStrengthForValidMeasurement and returns this group for chaining.
  ProximityParamsConfigs& WithMinSignalStrengthForValidMeasurement(double newValue) {
    MinSignalStrengthForValidMeasurement = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: ProximityParams" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
