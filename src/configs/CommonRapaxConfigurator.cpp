#include <kvor/zephrin6/configs/CommonRapaxConfigurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode CommonRapaxConfigurator::Apply(const MotorOutputConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const MotorOutputConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(MotorOutputConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(MotorOutputConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const CurrentLimitsConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const CurrentLimitsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(CurrentLimitsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(CurrentLimitsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const VoltageConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const VoltageConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(VoltageConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(VoltageConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const DifferentialSensorsConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const DifferentialSensorsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(DifferentialSensorsConfigs& configs,
                                            units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(DifferentialSensorsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const DifferentialConstantsConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const DifferentialConstantsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(DifferentialConstantsConfigs& configs,
                                            units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(DifferentialConstantsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const OpenLoopRampsConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const OpenLoopRampsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(OpenLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(OpenLoopRampsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const ClosedLoopRampsConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const ClosedLoopRampsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(ClosedLoopRampsConfigs& configs,
                                            units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(ClosedLoopRampsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const HardwareLimitSwitchConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const HardwareLimitSwitchConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(HardwareLimitSwitchConfigs& configs,
                                            units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(HardwareLimitSwitchConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const AudioConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const AudioConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(AudioConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(AudioConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const SoftwareLimitSwitchConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const SoftwareLimitSwitchConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(SoftwareLimitSwitchConfigs& configs,
                                            units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(SoftwareLimitSwitchConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const KinetraConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const KinetraConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(KinetraConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(KinetraConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const Slot0Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const Slot0Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(Slot0Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(Slot0Configs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const Slot1Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const Slot1Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(Slot1Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(Slot1Configs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const Slot2Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const Slot2Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(Slot2Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(Slot2Configs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const ClosedLoopGeneralConfigs& configs,
                                          units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const ClosedLoopGeneralConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(ClosedLoopGeneralConfigs& configs,
                                            units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(ClosedLoopGeneralConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::Apply(const SlotConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Apply(const SlotConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode CommonRapaxConfigurator::Refresh(SlotConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::Refresh(SlotConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::SetPosition(units::angle::turn_t newValue,
                                                units::time::second_t timeoutSeconds) const {
  return SendAction(ids::SetPosition, newValue.value(), timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::SetPosition(units::angle::turn_t newValue) const {
  return SetPosition(newValue, DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFaults(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFaults, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFaults() const { return ClearStickyFaults(DefaultTimeout()); }

StatusCode CommonRapaxConfigurator::ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Hardware, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_Hardware() const {
  return ClearStickyFault_Hardware(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_ProcTemp(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ProcTemp, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_ProcTemp() const {
  return ClearStickyFault_ProcTemp(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_DeviceTemp(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_DeviceTemp, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_DeviceTemp() const {
  return ClearStickyFault_DeviceTemp(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Undervoltage, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_Undervoltage() const {
  return ClearStickyFault_Undervoltage(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootDuringEnable, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_BootDuringEnable() const {
  return ClearStickyFault_BootDuringEnable(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_BridgeBrownout(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BridgeBrownout, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_BridgeBrownout() const {
  return ClearStickyFault_BridgeBrownout(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_RemoteSensorReset(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorReset, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_RemoteSensorReset() const {
  return ClearStickyFault_RemoteSensorReset(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_MissingDifferentialQ(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingDifferentialQ, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_MissingDifferentialQ() const {
  return ClearStickyFault_MissingDifferentialQ(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_RemoteSensorPosOverflow(
    units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorPosOverflow, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_RemoteSensorPosOverflow() const {
  return ClearStickyFault_RemoteSensorPosOverflow(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_OverSupplyV(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_OverSupplyV, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_OverSupplyV() const {
  return ClearStickyFault_OverSupplyV(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_UnstableSupplyV(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_UnstableSupplyV, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_UnstableSupplyV() const {
  return ClearStickyFault_UnstableSupplyV(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_ReverseHardLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ReverseHardLimit, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_ReverseHardLimit() const {
  return ClearStickyFault_ReverseHardLimit(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_ForwardHardLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ForwardHardLimit, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_ForwardHardLimit() const {
  return ClearStickyFault_ForwardHardLimit(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_ReverseSoftLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ReverseSoftLimit, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_ReverseSoftLimit() const {
  return ClearStickyFault_ReverseSoftLimit(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_ForwardSoftLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ForwardSoftLimit, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_ForwardSoftLimit() const {
  return ClearStickyFault_ForwardSoftLimit(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_MissingSoftLimitRemote(
    units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingSoftLimitRemote, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_MissingSoftLimitRemote() const {
  return ClearStickyFault_MissingSoftLimitRemote(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_MissingHardLimitRemote(
    units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingHardLimitRemote, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_MissingHardLimitRemote() const {
  return ClearStickyFault_MissingHardLimitRemote(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_RemoteSensorDataInvalid(
    units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorDataInvalid, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_RemoteSensorDataInvalid() const {
  return ClearStickyFault_RemoteSensorDataInvalid(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_FusedSensorOutOfSync(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_FusedSensorOutOfSync, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_FusedSensorOutOfSync() const {
  return ClearStickyFault_FusedSensorOutOfSync(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_StatorCurrLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_StatorCurrLimit, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_StatorCurrLimit() const {
  return ClearStickyFault_StatorCurrLimit(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_SupplyCurrLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_SupplyCurrLimit, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_SupplyCurrLimit() const {
  return ClearStickyFault_SupplyCurrLimit(DefaultTimeout());
}

StatusCode CommonRapaxConfigurator::ClearStickyFault_StaticBrakeDisabled(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_StaticBrakeDisabled, 0.0, timeoutSeconds);
}
StatusCode CommonRapaxConfigurator::ClearStickyFault_StaticBrakeDisabled() const {
  return ClearStickyFault_StaticBrakeDisabled(DefaultTimeout());
}

}  // namespace kvor::zephrin6::configs
