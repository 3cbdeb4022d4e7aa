#pragma once

// CurrentLimitsConfigs: the stator and supply current limits that protect the motor, the
// controller and the robot's battery. A plain value with public fields and fluent With setters;
// Serialize, Deserialize and ToString go through the runtime's config text one field at a time
// (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised,
// so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class CurrentLimitsConfigs : public ParentConfiguration {
 public:
  /// Limit of the motor's stator current (and so of its torque), amperes. Default 120.0 A.
  units::current::ampere_t StatorCurrentLimit = units::current::ampere_t{120.0};
  /// Whether the stator current limit applies. Default true.
  bool StatorCurrentLimitEnable = true;
  /// Limit of the current drawn from the supply, amperes. Default 70.0 A.
  units::current::ampere_t SupplyCurrentLimit = units::current::ampere_t{70.0};
  /// Whether the supply current limits apply. Default true.
  bool SupplyCurrentLimitEnable = true;
  /// Supply current limit that takes over after SupplyCurrentLowerTime at the upper limit, amperes.
  /// Default 40.0 A.
  units::current::ampere_t SupplyCurrentLowerLimit = units::current::ampere_t{40.0};
  /// How long the supply current may stay at the upper limit before the lower limit applies,
  /// seconds. Default 1.0 s.
  units::time::second_t SupplyCurrentLowerTime = units::time::second_t{1.0};

  /// Sets StatorCurrentLimit and returns this group for chaining.
  CurrentLimitsConfigs& WithStatorCurrentLimit(units::current::ampere_t newValue) {
    StatorCurrentLimit = newValue;
    return *this;
  }
  /// Sets StatorCurrentLimitEnable and returns this group for chaining.
  CurrentLimitsConfigs& WithStatorCurrentLimitEnable(bool newValue) {
    StatorCurrentLimitEnable = newValue;
    return *this;
  }
  /// Sets SupplyCurrentLimit and returns this group for chaining.
  CurrentLimitsConfigs& WithSupplyCurrentLimit(units::current::ampere_t newValue) {
    SupplyCurrentLimit = newValue;
    return *this;
  }
  /// Sets SupplyCurrentLimitEnable and returns this group for chaining.
  CurrentLimitsConfigs& WithSupplyCurrentLimitEnable(bool newValue) {
    SupplyCurrentLimitEnable = newValue;
    return *this;
  }
  /// Sets SupplyCurrentLowerLimit and returns this group for chaining.
  CurrentLimitsConfigs& WithSupplyCurrentLowerLimit(units::current::ampere_t newValue) {
    SupplyCurrentLowerLimit = newValue;
    return *this;
  }
  /// Sets SupplyCurrentLowerTime and returns this group for chaining.
  CurrentLimitsConfigs& WithSupplyCurrentLowerTime(units::time::second_t newValue) {
    SupplyCurrentLowerTime = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: CurrentLimits" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
