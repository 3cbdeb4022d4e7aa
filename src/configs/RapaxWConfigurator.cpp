#include <kvor/zephrin6/configs/RapaxWConfigurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode RapaxWConfigurator::Apply(const RapaxWConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const RapaxWConfiguration& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(RapaxWConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(RapaxWConfiguration& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const ExternalFeedbackConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const ExternalFeedbackConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(ExternalFeedbackConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(ExternalFeedbackConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_BridgeShort(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BridgeShort, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_BridgeShort() const {
  return ClearStickyFault_BridgeShort(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_HallSensorMissing(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_HallSensorMissing, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_HallSensorMissing() const {
  return ClearStickyFault_HallSensorMissing(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_DriveDisabledHallSensor(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_DriveDisabledHallSensor, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_DriveDisabledHallSensor() const {
  return ClearStickyFault_DriveDisabledHallSensor(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_MotorTempSensorMissing(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MotorTempSensorMissing, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_MotorTempSensorMissing() const {
  return ClearStickyFault_MotorTempSensorMissing(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_MotorTempSensorTooHot(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MotorTempSensorTooHot, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_MotorTempSensorTooHot() const {
  return ClearStickyFault_MotorTempSensorTooHot(DefaultTimeout());
}

}  // namespace kvor::zephrin6::configs
