#include <kvor/zephrin6/configs/HardwareLimitSwitchConfigs.hpp>

#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::HardwareLimitSwitch_ForwardLimitType, "ForwardLimitType", c.ForwardLimitType);
  v(ids::HardwareLimitSwitch_ForwardLimitAutosetPositionEnable, "ForwardLimitAutosetPositionEnable",
    c.ForwardLimitAutosetPositionEnable);
  v(ids::HardwareLimitSwitch_ForwardLimitAutosetPositionValue, "ForwardLimitAutosetPositionValue",
    c.ForwardLimitAutosetPositionValue, " turns");
  v(ids::HardwareLimitSwitch_ForwardLimitEnable, "ForwardLimitEnable", c.ForwardLimitEnable);
  v(ids::HardwareLimitSwitch_ForwardLimitSource, "ForwardLimitSource", c.ForwardLimitSource);
  v(ids::HardwareLimitSwitch_ForwardLimitRemoteSensorID, "ForwardLimitRemoteSensorID", c.ForwardLimitRemoteSensorID);
  v(ids::HardwareLimitSwitch_ReverseLimitType, "ReverseLimitType", c.ReverseLimitType);
  v(ids::HardwareLimitSwitch_ReverseLimitAutosetPositionEnable, "ReverseLimitAutosetPositionEnable",
    c.ReverseLimitAutosetPositionEnable);
  v(ids::HardwareLimitSwitch_ReverseLimitAutosetPositionValue, "ReverseLimitAutosetPositionValue",
    c.ReverseLimitAutosetPositionValue, " turns");
  v(ids::HardwareLimitSwitch_ReverseLimitEnable, "ReverseLimitEnable", c.ReverseLimitEnable);
  v(ids::HardwareLimitSwitch_ReverseLimitSource, "ReverseLimitSource", c.ReverseLimitSource);
  v(ids::HardwareLimitSwitch_ReverseLimitRemoteSensorID, "ReverseLimitRemoteSensorID", c.ReverseLimitRemoteSensorID);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(HardwareLimitSwitchConfigs, "HardwareLimitSwitch")

HardwareLimitSwitchConfigs& HardwareLimitSwitchConfigs::WithForwardLimitRemoteRapaxQ(
    const hardware::core::CoreRapaxQ& device) {
  ForwardLimitSource = signals::LimitSwitchSourceValue::RemoteRapaxQ;
  ForwardLimitRemoteSensorID = device.GetDeviceID();
  return *this;
}

HardwareLimitSwitchConfigs& HardwareLimitSwitchConfigs::WithForwardLimitRemoteAngulon(
    const hardware::core::CoreAngulon& device) {
  ForwardLimitSource = signals::LimitSwitchSourceValue::RemoteAngulon;
  ForwardLimitRemoteSensorID = device.GetDeviceID();
  return *this;
}

HardwareLimitSwitchConfigs& HardwareLimitSwitchConfigs::WithReverseLimitRemoteRapaxQ(
    const hardware::core::CoreRapaxQ& device) {
  ReverseLimitSource = signals::LimitSwitchSourceValue::RemoteRapaxQ;
  ReverseLimitRemoteSensorID = device.GetDeviceID();
  return *this;
}

HardwareLimitSwitchConfigs& HardwareLimitSwitchConfigs::WithReverseLimitRemoteAngulon(
    const hardware::core::CoreAngulon& device) {
  ReverseLimitSource = signals::LimitSwitchSourceValue::RemoteAngulon;
  ReverseLimitRemoteSensorID = device.GetDeviceID();
  return *this;
}

}  // namespace kvor::zephrin6::configs
