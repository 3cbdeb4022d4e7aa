#pragma once

// Auklet2Configurator: applies configuration groups to an auklet 2 inertial measurement unit, reads
// them back and requests its one-shot actions (sticky-fault clears, yaw set). Every operation
// blocks in the runtime for at most its timeout (the default timeout of 0.1 s when none is given)
// and returns the runtime's status; failures are reported once. The device owns its configurator
// and hands out references. Thread-safe: calls of one configurator run one at a time; configurators
// of different devices do not block each other.

#include <kvor/zephrin6/configs/ParentConfigurator.hpp>
#include <kvor/zephrin6/configs/Auklet2Configuration.hpp>

namespace kvor::zephrin6::configs {

class Auklet2Configurator : public ParentConfigurator {
 public:
  /// The configurator of device `id`, with a default timeout of 0.1 s.
  explicit Auklet2Configurator(hardware::DeviceIdentifier id) : ParentConfigurator(std::move(id)) {}

  /// Writes the whole configuration to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const Auklet2Configuration& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const Auklet2Configuration& configs) const;
  /// Reads the whole configuration back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(Auklet2Configuration& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(Auklet2Configuration& configs) const;
  /// Writes the MountPose group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const MountPoseConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const MountPoseConfigs& configs) const;
  /// Reads the MountPose group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(MountPoseConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(MountPoseConfigs& configs) const;
  /// Writes the GyroTrim group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const GyroTrimConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const GyroTrimConfigs& configs) const;
  /// Reads the GyroTrim group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(GyroTrimConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(GyroTrimConfigs& configs) const;
  /// Writes the Auklet2Features group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const Auklet2FeaturesConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const Auklet2FeaturesConfigs& configs) const;
  /// Reads the Auklet2Features group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(Auklet2FeaturesConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(Auklet2FeaturesConfigs& configs) const;
  /// Sets the yaw the IMU reports (Yaw) to `newValue`, degrees, waiting at most `timeoutSeconds`. Returns the
  /// runtime's status; failures other than -10032 are reported with " Apply Config".
  kvor::zephrin::StatusCode SetYaw(units::angle::degree_t newValue, units::time::second_t timeoutSeconds) const;
  /// As SetYaw with a timeout, using the default timeout.
  kvor::zephrin::StatusCode SetYaw(units::angle::degree_t newValue) const;
  /// Clears every sticky fault of the device, waiting at most `timeoutSeconds`.
  /// Returns the runtime's status; failures other than -10032 are reported.
  kvor::zephrin::StatusCode ClearStickyFaults(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFaults with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFaults() const;
  /// Clears the sticky fault Hardware (StickyFault_Hardware), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_Hardware(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_Hardware with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_Hardware() const;
  /// Clears the sticky fault Undervoltage (StickyFault_Undervoltage), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_Undervoltage(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_Undervoltage with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_Undervoltage() const;
  /// Clears the sticky fault BootDuringEnable (StickyFault_BootDuringEnable), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BootDuringEnable(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BootDuringEnable with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BootDuringEnable() const;
  /// Clears the sticky fault BootupAccelerometer (StickyFault_BootupAccelerometer), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BootupAccelerometer(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BootupAccelerometer with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BootupAccelerometer() const;
  /// Clears the sticky fault BootupGyroscope (StickyFault_BootupGyroscope), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BootupGyroscope(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BootupGyroscope with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BootupGyroscope() const;
  /// Clears the sticky fault BootupMagnetometer (StickyFault_BootupMagnetometer), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BootupMagnetometer(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BootupMagnetometer with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BootupMagnetometer() const;
  /// Clears the sticky fault BootIntoMotion (StickyFault_BootIntoMotion), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BootIntoMotion(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BootIntoMotion with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BootIntoMotion() const;
  /// Clears the sticky fault DataAcquiredLate (StickyFault_DataAcquiredLate), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_DataAcquiredLate(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_DataAcquiredLate with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_DataAcquiredLate() const;
  /// Clears the sticky fault LoopTimeSlow (StickyFault_LoopTimeSlow), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_LoopTimeSlow(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_LoopTimeSlow with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_LoopTimeSlow() const;
  /// Clears the sticky fault SaturatedMagnetometer (StickyFault_SaturatedMagnetometer), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_SaturatedMagnetometer(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_SaturatedMagnetometer with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_SaturatedMagnetometer() const;
  /// Clears the sticky fault SaturatedAccelerometer (StickyFault_SaturatedAccelerometer), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_SaturatedAccelerometer(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_SaturatedAccelerometer with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_SaturatedAccelerometer() const;
  /// Clears the sticky fault SaturatedGyroscope (StickyFault_SaturatedGyroscope), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_SaturatedGyroscope(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_SaturatedGyroscope with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_SaturatedGyroscope() const;
};

}  // namespace kvor::zephrin6::configs
