#include <kvor/zephrin6/configs/PortisConfigurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode PortisConfigurator::Apply(const PortisConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Apply(const PortisConfiguration& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode PortisConfigurator::Refresh(PortisConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Refresh(PortisConfiguration& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode PortisConfigurator::Apply(const DigitalInputsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Apply(const DigitalInputsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode PortisConfigurator::Refresh(DigitalInputsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Refresh(DigitalInputsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode PortisConfigurator::Apply(const QuadratureConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Apply(const QuadratureConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode PortisConfigurator::Refresh(QuadratureConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Refresh(QuadratureConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode PortisConfigurator::Apply(const PulseWidthConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Apply(const PulseWidthConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode PortisConfigurator::Refresh(PulseWidthConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode PortisConfigurator::Refresh(PulseWidthConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode PortisConfigurator::SetQuadraturePosition(units::angle::turn_t newValue,
                                                     units::time::second_t timeoutSeconds) const {
  return SendAction(ids::Portis_SetQuadraturePosition, newValue.value(), timeoutSeconds);
}
StatusCode PortisConfigurator::SetQuadraturePosition(units::angle::turn_t newValue) const {
  return SetQuadraturePosition(newValue, DefaultTimeout());
}

StatusCode PortisConfigurator::ClearStickyFaults(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFaults, 0.0, timeoutSeconds);
}
StatusCode PortisConfigurator::ClearStickyFaults() const { return ClearStickyFaults(DefaultTimeout()); }

StatusCode PortisConfigurator::ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Hardware, 0.0, timeoutSeconds);
}
StatusCode PortisConfigurator::ClearStickyFault_Hardware() const { return ClearStickyFault_Hardware(DefaultTimeout()); }

StatusCode PortisConfigurator::ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Undervoltage, 0.0, timeoutSeconds);
}
StatusCode PortisConfigurator::ClearStickyFault_Undervoltage() const {
  return ClearStickyFault_Undervoltage(DefaultTimeout());
}

StatusCode PortisConfigurator::ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootDuringEnable, 0.0, timeoutSeconds);
}
StatusCode PortisConfigurator::ClearStickyFault_BootDuringEnable() const {
  return ClearStickyFault_BootDuringEnable(DefaultTimeout());
}

StatusCode PortisConfigurator::ClearStickyFault_5V(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_5V, 0.0, timeoutSeconds);
}
StatusCode PortisConfigurator::ClearStickyFault_5V() const { return ClearStickyFault_5V(DefaultTimeout()); }

}  // namespace kvor::zephrin6::configs
