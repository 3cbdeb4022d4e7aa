#pragma once

// ClosedLoopRampsConfigs: how fast closed-loop outputs may rise from zero to full. A plain value
// with public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class ClosedLoopRampsConfigs : public ParentConfiguration {
 public:
  /// Time from 0 to full duty cycle, seconds; 0 disables the ramp. Default 0.0 s.
  units::time::second_t DutyCycleClosedLoopRampPeriod = units::time::second_t{0.0};
  /// Time from 0 to 12 V, seconds; 0 disables the ramp. Default 0.0 s.
  units::time::second_t VoltageClosedLoopRampPeriod = units::time::second_t{0.0};
  /// Time from 0 to 300 A, seconds; 0 disables the ramp. Default 0.0 s.
  units::time::second_t TorqueClosedLoopRampPeriod = units::time::second_t{0.0};

  /// Sets DutyCycleClosedLoopRampPeriod and returns this group for chaining.
  ClosedLoopRampsConfigs& WithDutyCycleClosedLoopRampPeriod(units::time::second_t newValue) {
    DutyCycleClosedLoopRampPeriod = newValue;
    return *this;
  }
  /// Sets VoltageClosedLoopRampPeriod and returns this group for chaining.
  ClosedLoopRampsConfigs& WithVoltageClosedLoopRampPeriod(units::time::second_t newValue) {
    VoltageClosedLoopRampPeriod = newValue;
    return *this;
  }
  /// Sets TorqueClosedLoopRampPeriod and returns this group for chaining.
  ClosedLoopRampsConfigs& WithTorqueClosedLoopRampPeriod(units::time::second_t newValue) {
    TorqueClosedLoopRampPeriod = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: ClosedLoopRamps" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
