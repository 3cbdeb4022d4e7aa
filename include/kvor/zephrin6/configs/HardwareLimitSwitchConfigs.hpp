#pragma once

// HardwareLimitSwitchConfigs: the forward and reverse hardware limit switches: wiring, source
// and automatic position reset. A plain value with public fields and fluent With setters;
// Serialize, Deserialize and ToString go through the runtime's config text one field at a time
// (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised,
// so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/LimitSwitchSourceValue.hpp>
#include <kvor/zephrin6/signals/LimitSwitchTypeValue.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::hardware::core {
class CoreAngulon;
class CoreRapaxQ;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::configs {

class HardwareLimitSwitchConfigs : public ParentConfiguration {
 public:
  /// How the forward switch is wired. Default NormallyOpen.
  signals::LimitSwitchTypeValue ForwardLimitType = signals::LimitSwitchTypeValue::NormallyOpen;
  /// Whether reaching the forward limit sets the position to ForwardLimitAutosetPositionValue.
  /// Default false.
  bool ForwardLimitAutosetPositionEnable = false;
  /// Position set when the forward limit is reached, turns. Default 0.0 turns.
  units::angle::turn_t ForwardLimitAutosetPositionValue = units::angle::turn_t{0.0};
  /// Whether the forward limit blocks forward output. Default true.
  bool ForwardLimitEnable = true;
  /// Where the forward switch is read. Default LimitSwitchPin.
  signals::LimitSwitchSourceValue ForwardLimitSource = signals::LimitSwitchSourceValue::LimitSwitchPin;
  /// Device ID of the remote forward switch. Default 0.
  int ForwardLimitRemoteSensorID = 0;
  /// How the reverse switch is wired. Default NormallyOpen.
  signals::LimitSwitchTypeValue ReverseLimitType = signals::LimitSwitchTypeValue::NormallyOpen;
  /// Whether reaching the reverse limit sets the position to ReverseLimitAutosetPositionValue.
  /// Default false.
  bool ReverseLimitAutosetPositionEnable = false;
  /// Position set when the reverse limit is reached, turns. Default 0.0 turns.
  units::angle::turn_t ReverseLimitAutosetPositionValue = units::angle::turn_t{0.0};
  /// Whether the reverse limit blocks reverse output. Default true.
  bool ReverseLimitEnable = true;
  /// Where the reverse switch is read. Default LimitSwitchPin.
  signals::LimitSwitchSourceValue ReverseLimitSource = signals::LimitSwitchSourceValue::LimitSwitchPin;
  /// Device ID of the remote reverse switch. Default 0.
  int ReverseLimitRemoteSensorID = 0;

  /// Sets ForwardLimitType and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithForwardLimitType(signals::LimitSwitchTypeValue newValue) {
    ForwardLimitType = newValue;
    return *this;
  }
  /// Sets ForwardLimitAutosetPositionEnable and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithForwardLimitAutosetPositionEnable(bool newValue) {
    ForwardLimitAutosetPositionEnable = newValue;
    return *this;
  }
  /// Sets ForwardLimitAutosetPositionValue and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithForwardLimitAutosetPositionValue(units::angle::turn_t newValue) {
    ForwardLimitAutosetPositionValue = newValue;
    return *this;
  }
  /// Sets ForwardLimitEnable and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithForwardLimitEnable(bool newValue) {
    ForwardLimitEnable = newValue;
    return *this;
  }
  /// Sets ForwardLimitSource and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithForwardLimitSource(signals::LimitSwitchSourceValue newValue) {
    ForwardLimitSource = newValue;
    return *this;
  }
  /// Sets ForwardLimitRemoteSensorID and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithForwardLimitRemoteSensorID(int newValue) {
    ForwardLimitRemoteSensorID = newValue;
    return *this;
  }
  /// Sets ReverseLimitType and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithReverseLimitType(signals::LimitSwitchTypeValue newValue) {
    ReverseLimitType = newValue;
    return *this;
  }
  /// Sets ReverseLimitAutosetPositionEnable and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithReverseLimitAutosetPositionEnable(bool newValue) {
    ReverseLimitAutosetPositionEnable = newValue;
    return *this;
  }
  /// Sets ReverseLimitAutosetPositionValue and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithReverseLimitAutosetPositionValue(units::angle::turn_t newValue) {
    ReverseLimitAutosetPositionValue = newValue;
    return *this;
  }
  /// Sets ReverseLimitEnable and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithReverseLimitEnable(bool newValue) {
    ReverseLimitEnable = newValue;
    return *this;
  }
  /// Sets ReverseLimitSource and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithReverseLimitSource(signals::LimitSwitchSourceValue newValue) {
    ReverseLimitSource = newValue;
    return *this;
  }
  /// Sets ReverseLimitRemoteSensorID and returns this group for chaining.
  HardwareLimitSwitchConfigs& WithReverseLimitRemoteSensorID(int newValue) {
    ReverseLimitRemoteSensorID = newValue;
    return *this;
  }

  /// Reads the forward limit from the rapax q `device` (ForwardLimitSource
  /// RemoteRapaxQ, ForwardLimitRemoteSensorID its device ID) and returns this group.
  HardwareLimitSwitchConfigs& WithForwardLimitRemoteRapaxQ(const hardware::core::CoreRapaxQ& device);
  /// Reads the forward limit from the angulon `device` (RemoteAngulon) and returns this group.
  HardwareLimitSwitchConfigs& WithForwardLimitRemoteAngulon(const hardware::core::CoreAngulon& device);
  /// Reads the reverse limit from the rapax q `device` (ReverseLimitSource
  /// RemoteRapaxQ, ReverseLimitRemoteSensorID its device ID) and returns this group.
  HardwareLimitSwitchConfigs& WithReverseLimitRemoteRapaxQ(const hardware::core::CoreRapaxQ& device);
  /// Reads the reverse limit from the angulon `device` (RemoteAngulon) and returns this group.
  HardwareLimitSwitchConfigs& WithReverseLimitRemoteAngulon(const hardware::core::CoreAngulon& device);

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: HardwareLimitSwitch" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
