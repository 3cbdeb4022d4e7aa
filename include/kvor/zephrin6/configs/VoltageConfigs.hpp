#pragma once

// VoltageConfigs: the output voltage limits and the filtering of the measured supply voltage. A
// plain value with public fields and fluent With setters; Serialize, Deserialize and ToString go
// through the runtime's config text one field at a time (config IDs in
// kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised, so a group
// shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class VoltageConfigs : public ParentConfiguration {
 public:
  /// Time constant of the low-pass filter on the supply voltage used for voltage control, seconds.
  /// Default 0.0 s.
  units::time::second_t SupplyVoltageTimeConstant = units::time::second_t{0.0};
  /// Largest forward output voltage, volts. Default 16.0 V.
  units::voltage::volt_t PeakForwardVoltage = units::voltage::volt_t{16.0};
  /// Largest reverse output voltage, volts. Default -16.0 V.
  units::voltage::volt_t PeakReverseVoltage = units::voltage::volt_t{-16.0};

  /// Sets SupplyVoltageTimeConstant and returns this group for chaining.
  VoltageConfigs& WithSupplyVoltageTimeConstant(units::time::second_t newValue) {
    SupplyVoltageTimeConstant = newValue;
    return *this;
  }
  /// Sets PeakForwardVoltage and returns this group for chaining.
  VoltageConfigs& WithPeakForwardVoltage(units::voltage::volt_t newValue) {
    PeakForwardVoltage = newValue;
    return *this;
  }
  /// Sets PeakReverseVoltage and returns this group for chaining.
  VoltageConfigs& WithPeakReverseVoltage(units::voltage::volt_t newValue) {
    PeakReverseVoltage = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: Voltage" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
