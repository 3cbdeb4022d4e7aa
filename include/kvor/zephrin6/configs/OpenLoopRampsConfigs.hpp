#pragma once

// OpenLoopRampsConfigs: how fast open-loop outputs may rise from zero to full. A plain value
// with public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class OpenLoopRampsConfigs : public ParentConfiguration {
 public:
  /// Time from 0 to full duty cycle, seconds; 0 disables the ramp. Default 0.0 s.
  units::time::second_t DutyCycleOpenLoopRampPeriod = units::time::second_t{0.0};
  /// Time from 0 to 12 V, seconds; 0 disables the ramp. Default 0.0 s.
  units::time::second_t VoltageOpenLoopRampPeriod = units::time::second_t{0.0};
  /// Time from 0 to 300 A, seconds; 0 disables the ramp. Default 0.0 s.
  units::time::second_t TorqueOpenLoopRampPeriod = units::time::second_t{0.0};

  /// Sets DutyCycleOpenLoopRampPeriod and returns this group for chaining.
  OpenLoopRampsConfigs& WithDutyCycleOpenLoopRampPeriod(units::time::second_t newValue) {
    DutyCycleOpenLoopRampPeriod = newValue;
    return *this;
  }
  /// Sets VoltageOpenLoopRampPeriod and returns this group for chaining.
  OpenLoopRampsConfigs& WithVoltageOpenLoopRampPeriod(units::time::second_t newValue) {
    VoltageOpenLoopRampPeriod = newValue;
    return *this;
  }
  /// Sets TorqueOpenLoopRampPeriod and returns this group for chaining.
  OpenLoopRampsConfigs& WithTorqueOpenLoopRampPeriod(units::time::second_t newValue) {
    TorqueOpenLoopRampPeriod = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: OpenLoopRamps" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
