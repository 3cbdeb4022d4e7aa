#pragma once

// SoftwareLimitSwitchConfigs: position limits the motor controller enforces on its own. A plain
// value with public fields and fluent With setters; Serialize, Deserialize and ToString go
// through the runtime's config text one field at a time (config IDs in
// kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised, so a group
// shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class SoftwareLimitSwitchConfigs : public ParentConfiguration {
 public:
  /// Whether forward output stops at ForwardSoftLimitThreshold. Default false.
  bool ForwardSoftLimitEnable = false;
  /// Whether reverse output stops at ReverseSoftLimitThreshold. Default false.
  bool ReverseSoftLimitEnable = false;
  /// Forward position limit, turns of the mechanism. Default 0.0 turns.
  units::angle::turn_t ForwardSoftLimitThreshold = units::angle::turn_t{0.0};
  /// Reverse position limit, turns of the mechanism. Default 0.0 turns.
  units::angle::turn_t ReverseSoftLimitThreshold = units::angle::turn_t{0.0};

  /// Sets ForwardSoftLimitEnable and returns this group for chaining.
  SoftwareLimitSwitchConfigs& WithForwardSoftLimitEnable(bool newValue) {
    ForwardSoftLimitEnable = newValue;
    return *this;
  }
  /// Sets ReverseSoftLimitEnable and returns this group for chaining.
  SoftwareLimitSwitchConfigs& WithReverseSoftLimitEnable(bool newValue) {
    ReverseSoftLimitEnable = newValue;
    return *this;
  }
  /// Sets ForwardSoftLimitThreshold and returns this group for chaining.
  SoftwareLimitSwitchConfigs& WithForwardSoftLimitThreshold(units::angle::turn_t newValue) {
    ForwardSoftLimitThreshold = newValue;
    return *this;
  }
  /// Sets ReverseSoftLimitThreshold and returns this group for chaining.
  SoftwareLimitSwitchConfigs& WithReverseSoftLimitThreshold(units::angle::turn_t newValue) {
    ReverseSoftLimitThreshold = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: SoftwareLimitSwitch" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
