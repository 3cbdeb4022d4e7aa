#pragma once

// DifferentialConstantsConfigs: the output limits of the difference axis of a differential
// mechanism. A plain value with public fields and fluent With setters; Serialize, Deserialize
// and ToString go through the runtime's config text one field at a time (config IDs in
// kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised, so a group
// shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class DifferentialConstantsConfigs : public ParentConfiguration {
 public:
  /// Largest difference duty cycle, fractional (0 to 2). Default 2.0 fractional.
  double PeakDifferentialDutyCycle = 2.0;
  /// Largest difference voltage, volts. Default 32.0 V.
  units::voltage::volt_t PeakDifferentialVoltage = units::voltage::volt_t{32.0};
  /// Largest difference torque current, amperes. Default 1600.0 A.
  units::current::ampere_t PeakDifferentialTorqueCurrent = units::current::ampere_t{1600.0};

  /// Sets PeakDifferentialDutyCycle and returns this group for chaining.
  DifferentialConstantsConfigs& WithPeakDifferentialDutyCycle(double newValue) {
    PeakDifferentialDutyCycle = newValue;
    return *this;
  }
  /// Sets PeakDifferentialVoltage and returns this group for chaining.
  DifferentialConstantsConfigs& WithPeakDifferentialVoltage(units::voltage::volt_t newValue) {
    PeakDifferentialVoltage = newValue;
    return *this;
  }
  /// Sets PeakDifferentialTorqueCurrent and returns this group for chaining.
  DifferentialConstantsConfigs& WithPeakDifferentialTorqueCurrent(units::current::ampere_t newValue) {
    PeakDifferentialTorqueCurrent = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: DifferentialConstants" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
