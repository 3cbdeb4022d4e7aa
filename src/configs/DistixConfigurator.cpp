#include <kvor/zephrin6/configs/DistixConfigurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode DistixConfigurator::Apply(const DistixConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode DistixConfigurator::Apply(const DistixConfiguration& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode DistixConfigurator::Refresh(DistixConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode DistixConfigurator::Refresh(DistixConfiguration& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode DistixConfigurator::Apply(const ProximityParamsConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode DistixConfigurator::Apply(const ProximityParamsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode DistixConfigurator::Refresh(ProximityParamsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode DistixConfigurator::Refresh(ProximityParamsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode DistixConfigurator::Apply(const FovParamsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode DistixConfigurator::Apply(const FovParamsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode DistixConfigurator::Refresh(FovParamsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode DistixConfigurator::Refresh(FovParamsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode DistixConfigurator::ClearStickyFaults(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFaults, 0.0, timeoutSeconds);
}
StatusCode DistixConfigurator::ClearStickyFaults() const { return ClearStickyFaults(DefaultTimeout()); }

StatusCode DistixConfigurator::ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Hardware, 0.0, timeoutSeconds);
}
StatusCode DistixConfigurator::ClearStickyFault_Hardware() const { return ClearStickyFault_Hardware(DefaultTimeout()); }

StatusCode DistixConfigurator::ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Undervoltage, 0.0, timeoutSeconds);
}
StatusCode DistixConfigurator::ClearStickyFault_Undervoltage() const {
  return ClearStickyFault_Undervoltage(DefaultTimeout());
}

StatusCode DistixConfigurator::ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootDuringEnable, 0.0, timeoutSeconds);
}
StatusCode DistixConfigurator::ClearStickyFault_BootDuringEnable() const {
  return ClearStickyFault_BootDuringEnable(DefaultTimeout());
}

}  // namespace kvor::zephrin6::configs
