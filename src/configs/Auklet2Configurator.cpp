#include <kvor/zephrin6/configs/Auklet2Configurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode Auklet2Configurator::Apply(const Auklet2Configuration& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Apply(const Auklet2Configuration& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode Auklet2Configurator::Refresh(Auklet2Configuration& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Refresh(Auklet2Configuration& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode Auklet2Configurator::Apply(const MountPoseConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Apply(const MountPoseConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode Auklet2Configurator::Refresh(MountPoseConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Refresh(MountPoseConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode Auklet2Configurator::Apply(const GyroTrimConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Apply(const GyroTrimConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode Auklet2Configurator::Refresh(GyroTrimConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Refresh(GyroTrimConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode Auklet2Configurator::Apply(const Auklet2FeaturesConfigs& configs,
                                      units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Apply(const Auklet2FeaturesConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode Auklet2Configurator::Refresh(Auklet2FeaturesConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode Auklet2Configurator::Refresh(Auklet2FeaturesConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode Auklet2Configurator::SetYaw(units::angle::degree_t newValue, units::time::second_t timeoutSeconds) const {
  return SendAction(ids::Auklet2_SetYaw, newValue.value(), timeoutSeconds);
}
StatusCode Auklet2Configurator::SetYaw(units::angle::degree_t newValue) const {
  return SetYaw(newValue, DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFaults(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFaults, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFaults() const { return ClearStickyFaults(DefaultTimeout()); }

StatusCode Auklet2Configurator::ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Hardware, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_Hardware() const {
  return ClearStickyFault_Hardware(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Undervoltage, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_Undervoltage() const {
  return ClearStickyFault_Undervoltage(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootDuringEnable, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_BootDuringEnable() const {
  return ClearStickyFault_BootDuringEnable(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_BootupAccelerometer(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootupAccelerometer, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_BootupAccelerometer() const {
  return ClearStickyFault_BootupAccelerometer(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_BootupGyroscope(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootupGyroscope, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_BootupGyroscope() const {
  return ClearStickyFault_BootupGyroscope(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_BootupMagnetometer(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootupMagnetometer, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_BootupMagnetometer() const {
  return ClearStickyFault_BootupMagnetometer(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_BootIntoMotion(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootIntoMotion, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_BootIntoMotion() const {
  return ClearStickyFault_BootIntoMotion(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_DataAcquiredLate(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_DataAcquiredLate, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_DataAcquiredLate() const {
  return ClearStickyFault_DataAcquiredLate(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_LoopTimeSlow(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_LoopTimeSlow, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_LoopTimeSlow() const {
  return ClearStickyFault_LoopTimeSlow(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_SaturatedMagnetometer(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_SaturatedMagnetometer, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_SaturatedMagnetometer() const {
  return ClearStickyFault_SaturatedMagnetometer(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_SaturatedAccelerometer(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_SaturatedAccelerometer, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_SaturatedAccelerometer() const {
  return ClearStickyFault_SaturatedAccelerometer(DefaultTimeout());
}

StatusCode Auklet2Configurator::ClearStickyFault_SaturatedGyroscope(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_SaturatedGyroscope, 0.0, timeoutSeconds);
}
StatusCode Auklet2Configurator::ClearStickyFault_SaturatedGyroscope() const {
  return ClearStickyFault_SaturatedGyroscope(DefaultTimeout());
}

}  // namespace kvor::zephrin6::configs
