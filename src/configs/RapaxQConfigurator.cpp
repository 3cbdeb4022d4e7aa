#include <kvor/zephrin6/configs/RapaxQConfigurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode RapaxQConfigurator::Apply(const RapaxQConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const RapaxQConfiguration& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(RapaxQConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(RapaxQConfiguration& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const MotorOutputConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const MotorOutputConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(MotorOutputConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(MotorOutputConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const CurrentLimitsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const CurrentLimitsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(CurrentLimitsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(CurrentLimitsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const VoltageConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const VoltageConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(VoltageConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(VoltageConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const TorqueCurrentConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const TorqueCurrentConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(TorqueCurrentConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(TorqueCurrentConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const FeedbackConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const FeedbackConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(FeedbackConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(FeedbackConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const DifferentialSensorsConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const DifferentialSensorsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(DifferentialSensorsConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(DifferentialSensorsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const DifferentialConstantsConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const DifferentialConstantsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(DifferentialConstantsConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(DifferentialConstantsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const OpenLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const OpenLoopRampsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(OpenLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(OpenLoopRampsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const ClosedLoopRampsConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const ClosedLoopRampsConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(ClosedLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(ClosedLoopRampsConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const HardwareLimitSwitchConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const HardwareLimitSwitchConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(HardwareLimitSwitchConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(HardwareLimitSwitchConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const AudioConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const AudioConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(AudioConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(AudioConfigs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxQConfigurator::Apply(const SoftwareLimitSwitchConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const SoftwareLimitSwitchConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(SoftwareLimitSwitchConfigs& configs,
                                       units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(SoftwareLimitSwitchConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const KinetraConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const KinetraConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(KinetraConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(KinetraConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const Slot0Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const Slot0Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(Slot0Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(Slot0Configs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxQConfigurator::Apply(const Slot1Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const Slot1Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(Slot1Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(Slot1Configs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxQConfigurator::Apply(const Slot2Configs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const Slot2Configs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(Slot2Configs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(Slot2Configs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxQConfigurator::Apply(const ClosedLoopGeneralConfigs& configs,
                                     units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const ClosedLoopGeneralConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(ClosedLoopGeneralConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(ClosedLoopGeneralConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const SlotConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const SlotConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(SlotConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(SlotConfigs& configs) const { return RefreshConfig(configs, DefaultTimeout()); }

StatusCode RapaxQConfigurator::SetPosition(units::angle::turn_t newValue, units::time::second_t timeoutSeconds) const {
  return SendAction(ids::SetPosition, newValue.value(), timeoutSeconds);
}
StatusCode RapaxQConfigurator::SetPosition(units::angle::turn_t newValue) const {
  return SetPosition(newValue, DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFaults(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFaults, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFaults() const { return ClearStickyFaults(DefaultTimeout()); }

StatusCode RapaxQConfigurator::ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Hardware, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_Hardware() const { return ClearStickyFault_Hardware(DefaultTimeout()); }

StatusCode RapaxQConfigurator::ClearStickyFault_ProcTemp(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ProcTemp, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_ProcTemp() const { return ClearStickyFault_ProcTemp(DefaultTimeout()); }

StatusCode RapaxQConfigurator::ClearStickyFault_DeviceTemp(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_DeviceTemp, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_DeviceTemp() const {
  return ClearStickyFault_DeviceTemp(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_Undervoltage, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_Undervoltage() const {
  return ClearStickyFault_Undervoltage(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BootDuringEnable, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_BootDuringEnable() const {
  return ClearStickyFault_BootDuringEnable(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_BridgeBrownout(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_BridgeBrownout, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_BridgeBrownout() const {
  return ClearStickyFault_BridgeBrownout(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_RemoteSensorReset(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorReset, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_RemoteSensorReset() const {
  return ClearStickyFault_RemoteSensorReset(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_MissingDifferentialQ(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingDifferentialQ, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_MissingDifferentialQ() const {
  return ClearStickyFault_MissingDifferentialQ(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_RemoteSensorPosOverflow(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorPosOverflow, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_RemoteSensorPosOverflow() const {
  return ClearStickyFault_RemoteSensorPosOverflow(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_OverSupplyV(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_OverSupplyV, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_OverSupplyV() const {
  return ClearStickyFault_OverSupplyV(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_UnstableSupplyV(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_UnstableSupplyV, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_UnstableSupplyV() const {
  return ClearStickyFault_UnstableSupplyV(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_ReverseHardLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ReverseHardLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_ReverseHardLimit() const {
  return ClearStickyFault_ReverseHardLimit(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_ForwardHardLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ForwardHardLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_ForwardHardLimit() const {
  return ClearStickyFault_ForwardHardLimit(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_ReverseSoftLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ReverseSoftLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_ReverseSoftLimit() const {
  return ClearStickyFault_ReverseSoftLimit(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_ForwardSoftLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_ForwardSoftLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_ForwardSoftLimit() const {
  return ClearStickyFault_ForwardSoftLimit(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_MissingSoftLimitRemote(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingSoftLimitRemote, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_MissingSoftLimitRemote() const {
  return ClearStickyFault_MissingSoftLimitRemote(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_MissingHardLimitRemote(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_MissingHardLimitRemote, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_MissingHardLimitRemote() const {
  return ClearStickyFault_MissingHardLimitRemote(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_RemoteSensorDataInvalid(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_RemoteSensorDataInvalid, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_RemoteSensorDataInvalid() const {
  return ClearStickyFault_RemoteSensorDataInvalid(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_FusedSensorOutOfSync(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_FusedSensorOutOfSync, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_FusedSensorOutOfSync() const {
  return ClearStickyFault_FusedSensorOutOfSync(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_StatorCurrLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_StatorCurrLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_StatorCurrLimit() const {
  return ClearStickyFault_StatorCurrLimit(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_SupplyCurrLimit(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_SupplyCurrLimit, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_SupplyCurrLimit() const {
  return ClearStickyFault_SupplyCurrLimit(DefaultTimeout());
}

StatusCode RapaxQConfigurator::ClearStickyFault_StaticBrakeDisabled(units::time::second_t timeoutSeconds) const {
  return SendAction(ids::ClearStickyFault_StaticBrakeDisabled, 0.0, timeoutSeconds);
}
StatusCode RapaxQConfigurator::ClearStickyFault_StaticBrakeDisabled() const {
  return ClearStickyFault_StaticBrakeDisabled(DefaultTimeout());
}

}  // namespace kvor::zephrin6::configs
