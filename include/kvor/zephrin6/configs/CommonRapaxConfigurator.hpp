#pragma once

// CommonRapaxConfigurator: the configuration operations both motor controllers share (their
// common groups, the generic slot, SetPosition and the common sticky-fault clears), so that
// RapaxQConfigurator and RapaxWConfigurator only add what their model has of its own. Every
// operation blocks in the runtime for at most its timeout (the default timeout of 0.1 s when none
// is given) and returns the runtime's status; failures are reported once. Only the model
// configurators are constructed; the device owns its configurator and hands out references.
// Thread-safe: calls of one configurator run one at a time.

#include <kvor/zephrin6/configs/ParentConfigurator.hpp>
#include <kvor/zephrin6/configs/MotorOutputConfigs.hpp>
#include <kvor/zephrin6/configs/CurrentLimitsConfigs.hpp>
#include <kvor/zephrin6/configs/VoltageConfigs.hpp>
#include <kvor/zephrin6/configs/DifferentialSensorsConfigs.hpp>
#include <kvor/zephrin6/configs/DifferentialConstantsConfigs.hpp>
#include <kvor/zephrin6/configs/OpenLoopRampsConfigs.hpp>
#include <kvor/zephrin6/configs/ClosedLoopRampsConfigs.hpp>
#include <kvor/zephrin6/configs/HardwareLimitSwitchConfigs.hpp>
#include <kvor/zephrin6/configs/AudioConfigs.hpp>
#include <kvor/zephrin6/configs/SoftwareLimitSwitchConfigs.hpp>
#include <kvor/zephrin6/configs/KinetraConfigs.hpp>
#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/configs/Slot1Configs.hpp>
#include <kvor/zephrin6/configs/Slot2Configs.hpp>
#include <kvor/zephrin6/configs/ClosedLoopGeneralConfigs.hpp>
#include <kvor/zephrin6/configs/SlotConfigs.hpp>

namespace kvor::zephrin6::configs {

class CommonRapaxConfigurator : public ParentConfigurator {
 protected:
  /// The configurator of device `id`, with a default timeout of 0.1 s.
  explicit CommonRapaxConfigurator(hardware::DeviceIdentifier id) : ParentConfigurator(std::move(id)) {}
  ~CommonRapaxConfigurator() = default;

 public:
  /// Writes the MotorOutput group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const MotorOutputConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const MotorOutputConfigs& configs) const;
  /// Reads the MotorOutput group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(MotorOutputConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(MotorOutputConfigs& configs) const;
  /// Writes the CurrentLimits group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const CurrentLimitsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const CurrentLimitsConfigs& configs) const;
  /// Reads the CurrentLimits group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(CurrentLimitsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(CurrentLimitsConfigs& configs) const;
  /// Writes the Voltage group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const VoltageConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const VoltageConfigs& configs) const;
  /// Reads the Voltage group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(VoltageConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(VoltageConfigs& configs) const;
  /// Writes the DifferentialSensors group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const DifferentialSensorsConfigs& configs,
                                  units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const DifferentialSensorsConfigs& configs) const;
  /// Reads the DifferentialSensors group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(DifferentialSensorsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(DifferentialSensorsConfigs& configs) const;
  /// Writes the DifferentialConstants group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const DifferentialConstantsConfigs& configs,
                                  units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const DifferentialConstantsConfigs& configs) const;
  /// Reads the DifferentialConstants group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(DifferentialConstantsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(DifferentialConstantsConfigs& configs) const;
  /// Writes the OpenLoopRamps group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const OpenLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const OpenLoopRampsConfigs& configs) const;
  /// Reads the OpenLoopRamps group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(OpenLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(OpenLoopRampsConfigs& configs) const;
  /// Writes the ClosedLoopRamps group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const ClosedLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const ClosedLoopRampsConfigs& configs) const;
  /// Reads the ClosedLoopRamps group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(ClosedLoopRampsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(ClosedLoopRampsConfigs& configs) const;
  /// Writes the HardwareLimitSwitch group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const HardwareLimitSwitchConfigs& configs,
                                  units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const HardwareLimitSwitchConfigs& configs) const;
  /// Reads the HardwareLimitSwitch group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(HardwareLimitSwitchConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(HardwareLimitSwitchConfigs& configs) const;
  /// Writes the Audio group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const AudioConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const AudioConfigs& configs) const;
  /// Reads the Audio group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(AudioConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(AudioConfigs& configs) const;
  /// Writes the SoftwareLimitSwitch group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const SoftwareLimitSwitchConfigs& configs,
                                  units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const SoftwareLimitSwitchConfigs& configs) const;
  /// Reads the SoftwareLimitSwitch group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(SoftwareLimitSwitchConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(SoftwareLimitSwitchConfigs& configs) const;
  /// Writes the Kinetra group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const KinetraConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const KinetraConfigs& configs) const;
  /// Reads the Kinetra group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(KinetraConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(KinetraConfigs& configs) const;
  /// Writes the Slot0 group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const Slot0Configs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const Slot0Configs& configs) const;
  /// Reads the Slot0 group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(Slot0Configs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(Slot0Configs& configs) const;
  /// Writes the Slot1 group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const Slot1Configs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const Slot1Configs& configs) const;
  /// Reads the Slot1 group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(Slot1Configs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(Slot1Configs& configs) const;
  /// Writes the Slot2 group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const Slot2Configs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const Slot2Configs& configs) const;
  /// Reads the Slot2 group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(Slot2Configs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(Slot2Configs& configs) const;
  /// Writes the ClosedLoopGeneral group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const ClosedLoopGeneralConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const ClosedLoopGeneralConfigs& configs) const;
  /// Reads the ClosedLoopGeneral group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(ClosedLoopGeneralConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(ClosedLoopGeneralConfigs& configs) const;
  /// Writes the gains of slot `configs.SlotNumber` (throws std::out_of_range for a slot other than 0, 1 or 2, before
  /// anything is sent) to the device, waiting at most `timeoutSeconds` (the default timeout without it). Returns the
  /// runtime's status: 0, -10032 TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const SlotConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const SlotConfigs& configs) const;
  /// Reads the gains of slot `configs.SlotNumber` (throws std::out_of_range for a slot other than 0, 1 or 2, before
  /// anything is sent) back from the device into `configs`, waiting at most `timeoutSeconds`; values the device does
  /// not report are kept. Returns the runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(SlotConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(SlotConfigs& configs) const;
  /// Sets the mechanism position the device reports (Position) to `newValue`, turns, waiting at most `timeoutSeconds`.
  /// Returns the runtime's status; failures other than -10032 are reported with " Apply Config".
  kvor::zephrin::StatusCode SetPosition(units::angle::turn_t newValue, units::time::second_t timeoutSeconds) const;
  /// As SetPosition with a timeout, using the default timeout.
  kvor::zephrin::StatusCode SetPosition(units::angle::turn_t newValue) const;
  /// Clears every sticky fault of the device, waiting at most `timeoutSeconds`.
  /// Returns the runtime's status; failures other than -10032 are reported.
  kvor::zephrin::StatusCode ClearStickyFaults(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFaults with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFaults() const;
  /// Clears the sticky fault Hardware (StickyFault_Hardware), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_Hardware with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_Hardware() const;
  /// Clears the sticky fault ProcTemp (StickyFault_ProcTemp), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_ProcTemp(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_ProcTemp with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_ProcTemp() const;
  /// Clears the sticky fault DeviceTemp (StickyFault_DeviceTemp), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_DeviceTemp(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_DeviceTemp with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_DeviceTemp() const;
  /// Clears the sticky fault Undervoltage (StickyFault_Undervoltage), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_Undervoltage with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_Undervoltage() const;
  /// Clears the sticky fault BootDuringEnable (StickyFault_BootDuringEnable), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BootDuringEnable with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BootDuringEnable() const;
  /// Clears the sticky fault BridgeBrownout (StickyFault_BridgeBrownout), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BridgeBrownout(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BridgeBrownout with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BridgeBrownout() const;
  /// Clears the sticky fault RemoteSensorReset (StickyFault_RemoteSensorReset), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_RemoteSensorReset(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_RemoteSensorReset with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_RemoteSensorReset() const;
  /// Clears the sticky fault MissingDifferentialQ (StickyFault_MissingDifferentialQ), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_MissingDifferentialQ(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_MissingDifferentialQ with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_MissingDifferentialQ() const;
  /// Clears the sticky fault RemoteSensorPosOverflow (StickyFault_RemoteSensorPosOverflow), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_RemoteSensorPosOverflow(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_RemoteSensorPosOverflow with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_RemoteSensorPosOverflow() const;
  /// Clears the sticky fault OverSupplyV (StickyFault_OverSupplyV), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_OverSupplyV(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_OverSupplyV with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_OverSupplyV() const;
  /// Clears the sticky fault UnstableSupplyV (StickyFault_UnstableSupplyV), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_UnstableSupplyV(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_UnstableSupplyV with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_UnstableSupplyV() const;
  /// Clears the sticky fault ReverseHardLimit (StickyFault_ReverseHardLimit), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_ReverseHardLimit(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_ReverseHardLimit with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_ReverseHardLimit() const;
  /// Clears the sticky fault ForwardHardLimit (StickyFault_ForwardHardLimit), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_ForwardHardLimit(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_ForwardHardLimit with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_ForwardHardLimit() const;
  /// Clears the sticky fault ReverseSoftLimit (StickyFault_ReverseSoftLimit), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_ReverseSoftLimit(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_ReverseSoftLimit with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_ReverseSoftLimit() const;
  /// Clears the sticky fault ForwardSoftLimit (StickyFault_ForwardSoftLimit), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_ForwardSoftLimit(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_ForwardSoftLimit with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_ForwardSoftLimit() const;
  /// Clears the sticky fault MissingSoftLimitRemote (StickyFault_MissingSoftLimitRemote), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_MissingSoftLimitRemote(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_MissingSoftLimitRemote with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_MissingSoftLimitRemote() const;
  /// Clears the sticky fault MissingHardLimitRemote (StickyFault_MissingHardLimitRemote), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_MissingHardLimitRemote(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_MissingHardLimitRemote with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_MissingHardLimitRemote() const;
  /// Clears the sticky fault RemoteSensorDataInvalid (StickyFault_RemoteSensorDataInvalid), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_RemoteSensorDataInvalid(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_RemoteSensorDataInvalid with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_RemoteSensorDataInvalid() const;
  /// Clears the sticky fault FusedSensorOutOfSync (StickyFault_FusedSensorOutOfSync), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_FusedSensorOutOfSync(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_FusedSensorOutOfSync with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_FusedSensorOutOfSync() const;
  /// Clears the sticky fault StatorCurrLimit (StickyFault_StatorCurrLimit), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_StatorCurrLimit(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_StatorCurrLimit with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_StatorCurrLimit() const;
  /// Clears the sticky fault SupplyCurrLimit (StickyFault_SupplyCurrLimit), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_SupplyCurrLimit(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_SupplyCurrLimit with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_SupplyCurrLimit() const;
  /// Clears the sticky fault StaticBrakeDisabled (StickyFault_StaticBrakeDisabled), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_StaticBrakeDisabled(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_StaticBrakeDisabled with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_StaticBrakeDisabled() const;
};

}  // namespace kvor::zephrin6::configs
