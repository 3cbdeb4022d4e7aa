#include <kvor/zephrin6/configs/AngulonConfigurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode AngulonConfigurator::Apply(const AngulonConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode AngulonConfigurator::Apply(const AngulonConfiguration& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode AngulonConfigurator::Refresh(AngulonConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode AngulonConfigurator::Refresh(AngulonConfiguration& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode AngulonConfigurator::Apply(const MagnetSensorConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode AngulonConfigurator::Apply(const MagnetSensorConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode AngulonConfigurator::Refresh(MagnetSensorConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode AngulonConfigurator::Refresh(MagnetSensorConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode AngulonConfigurator::SetPosition(units::angle::turn_t newValue, units::time::second_t timeoutSeconds) const {
  return SendAction(ids::Angulon_SetPosition, newValue.value(), timeoutSeconds);
}
StatusCode AngulonConfigurator::SetPosition(units::angle::turn_t newValue) const {
  return SetPosition(newValue, DefaultTimeout());
}

StatusCode AngulonConfigurator::ClearStickyFaults(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFaults, 0.0, timeoutSeconds);
}
StatusCode AngulonConfigurator::ClearStickyFaults() const { return ClearStickyFaults(DefaultTimeout()); }

StatusCode AngulonConfigurator::ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Hardware, 0.0, timeoutSeconds);
}
StatusCode AngulonConfigurator::ClearStickyFault_Hardware() const {
  return ClearStickyFault_Hardware(DefaultTimeout());
}

StatusCode AngulonConfigurator::ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Undervoltage, 0.0, timeoutSeconds);
}
StatusCode AngulonConfigurator::ClearStickyFault_Undervoltage() const {
  return ClearStickyFault_Undervoltage(DefaultTimeout());
}

StatusCode AngulonConfigurator::ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootDuringEnable, 0.0, timeoutSeconds);
}
StatusCode AngulonConfigurator::ClearStickyFault_BootDuringEnable() const {
  return ClearStickyFault_BootDuringEnable(DefaultTimeout());
}

StatusCode AngulonConfigurator::ClearStickyFault_BadMagnet(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BadMagnet, 0.0, timeoutSeconds);
}
StatusCode AngulonConfigurator::ClearStickyFault_BadMagnet() const {
  return ClearStickyFault_BadMagnet(DefaultTimeout());
}

}  // namespace kvor::zephrin6::configs
