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

StatusCode RapaxWConfigurator::Apply(const MotorOutputConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const MotorOutputConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(MotorOutputConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(MotorOutputConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const CurrentLimitsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const CurrentLimitsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(CurrentLimitsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(CurrentLimitsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const VoltageConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const VoltageConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(VoltageConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(VoltageConfigs& configs) const {
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

StatusCode RapaxWConfigurator::Apply(const DifferentialSensorsConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const DifferentialSensorsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(DifferentialSensorsConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(DifferentialSensorsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const DifferentialConstantsConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const DifferentialConstantsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(DifferentialConstantsConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(DifferentialConstantsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const OpenLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const OpenLoopRampsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(OpenLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(OpenLoopRampsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const ClosedLoopRampsConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const ClosedLoopRampsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(ClosedLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(ClosedLoopRampsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const HardwareLimitSwitchConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const HardwareLimitSwitchConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(HardwareLimitSwitchConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(HardwareLimitSwitchConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const AudioConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const AudioConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(AudioConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(AudioConfigs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxWConfigurator::Apply(const SoftwareLimitSwitchConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const SoftwareLimitSwitchConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(SoftwareLimitSwitchConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(SoftwareLimitSwitchConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const KinetraConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const KinetraConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(KinetraConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(KinetraConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const Slot0Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const Slot0Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(Slot0Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(Slot0Configs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxWConfigurator::Apply(const Slot1Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const Slot1Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(Slot1Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(Slot1Configs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxWConfigurator::Apply(const Slot2Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const Slot2Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(Slot2Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(Slot2Configs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxWConfigurator::Apply(const ClosedLoopGeneralConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const ClosedLoopGeneralConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(ClosedLoopGeneralConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(ClosedLoopGeneralConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxWConfigurator::Apply(const SlotConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Apply(const SlotConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxWConfigurator::Refresh(SlotConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxWConfigurator::Refresh(SlotConfigs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxWConfigurator::SetPosition(units::angle::turn_t newValue, units::time::second_t timeoutSeconds) const {
  return SendAction(ids::SetPosition, newValue.value(), timeoutSeconds);
}
StatusCode RapaxWConfigurator::SetPosition(units::angle::turn_t newValue) const {
  return SetPosition(newValue, DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFaults(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFaults, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFaults() const { return ClearStickyFaults(DefaultTimeout()); }

StatusCode RapaxWConfigurator::ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Hardware, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_Hardware() const { return ClearStickyFault_Hardware(DefaultTimeout()); }

StatusCode RapaxWConfigurator::ClearStickyFault_ProcTemp(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ProcTemp, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_ProcTemp() const { return ClearStickyFault_ProcTemp(DefaultTimeout()); }

StatusCode RapaxWConfigurator::ClearStickyFault_DeviceTemp(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_DeviceTemp, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_DeviceTemp() const {
  return ClearStickyFault_DeviceTemp(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Undervoltage, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_Undervoltage() const {
  return ClearStickyFault_Undervoltage(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootDuringEnable, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_BootDuringEnable() const {
  return ClearStickyFault_BootDuringEnable(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_BridgeBrownout(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BridgeBrownout, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_BridgeBrownout() const {
  return ClearStickyFault_BridgeBrownout(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_RemoteSensorReset(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorReset, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_RemoteSensorReset() const {
  return ClearStickyFault_RemoteSensorReset(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_MissingDifferentialQ(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingDifferentialQ, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_MissingDifferentialQ() const {
  return ClearStickyFault_MissingDifferentialQ(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_RemoteSensorPosOverflow(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorPosOverflow, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_RemoteSensorPosOverflow() const {
  return ClearStickyFault_RemoteSensorPosOverflow(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_OverSupplyV(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_OverSupplyV, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_OverSupplyV() const {
  return ClearStickyFault_OverSupplyV(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_UnstableSupplyV(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_UnstableSupplyV, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_UnstableSupplyV() const {
  return ClearStickyFault_UnstableSupplyV(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_ReverseHardLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ReverseHardLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_ReverseHardLimit() const {
  return ClearStickyFault_ReverseHardLimit(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_ForwardHardLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ForwardHardLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_ForwardHardLimit() const {
  return ClearStickyFault_ForwardHardLimit(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_ReverseSoftLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ReverseSoftLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_ReverseSoftLimit() const {
  return ClearStickyFault_ReverseSoftLimit(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_ForwardSoftLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ForwardSoftLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_ForwardSoftLimit() const {
  return ClearStickyFault_ForwardSoftLimit(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_MissingSoftLimitRemote(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingSoftLimitRemote, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_MissingSoftLimitRemote() const {
  return ClearStickyFault_MissingSoftLimitRemote(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_MissingHardLimitRemote(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingHardLimitRemote, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_MissingHardLimitRemote() const {
  return ClearStickyFault_MissingHardLimitRemote(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_RemoteSensorDataInvalid(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorDataInvalid, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_RemoteSensorDataInvalid() const {
  return ClearStickyFault_RemoteSensorDataInvalid(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_FusedSensorOutOfSync(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_FusedSensorOutOfSync, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_FusedSensorOutOfSync() const {
  return ClearStickyFault_FusedSensorOutOfSync(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_StatorCurrLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_StatorCurrLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_StatorCurrLimit() const {
  return ClearStickyFault_StatorCurrLimit(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_SupplyCurrLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_SupplyCurrLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_SupplyCurrLimit() const {
  return ClearStickyFault_SupplyCurrLimit(DefaultTimeout());
}

StatusCode RapaxWConfigurator::ClearStickyFault_StaticBrakeDisabled(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_StaticBrakeDisabled, 0.0, timeoutSeconds);
}
StatusCode RapaxWConfigurator::ClearStickyFault_StaticBrakeDisabled() const {
  return ClearStickyFault_StaticBrakeDisabled(DefaultTimeout());
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
