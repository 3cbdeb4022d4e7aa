#pragma once

// TorqueCurrentConfigs: the limits of field-oriented torque-current control (rapax q). A plain
// value with public fields and fluent With setters; Serialize, Deserialize and ToString go
// through the runtime's config text one field at a time (config IDs in
// kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised, so a group
// shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class TorqueCurrentConfigs : public ParentConfiguration {
 public:
  /// Largest forward torque current, amperes. Default 800.0 A.
  units::current::ampere_t PeakForwardTorqueCurrent = units::current::ampere_t{800.0};
  /// Largest reverse torque current, amperes. Default -800.0 A.
  units::current::ampere_t PeakReverseTorqueCurrent = units::current::ampere_t{-800.0};
  /// Torque currents closer to zero than this are treated as neutral, amperes. Default 0.0 A.
  units::current::ampere_t TorqueNeutralDeadband = units::current::ampere_t{0.0};

  /// Sets PeakForwardTorqueCurrent and returns this group for chaining.
  TorqueCurrentConfigs& WithPeakForwardTorqueCurrent(units::current::ampere_t newValue) {
    PeakForwardTorqueCurrent = newValue;
    return *this;
  }
  /// Sets PeakReverseTorqueCurrent and returns this group for chaining.
  TorqueCurrentConfigs& WithPeakReverseTorqueCurrent(units::current::ampere_t newValue) {
    PeakReverseTorqueCurrent = newValue;
    return *this;
  }
  /// Sets TorqueNeutralDeadband and returns this group for chaining.
  TorqueCurrentConfigs& WithTorqueNeutralDeadband(units::current::ampere_t newValue) {
    TorqueNeutralDeadband = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: TorqueCurrent" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
