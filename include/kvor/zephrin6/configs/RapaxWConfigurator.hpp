#pragma once

// RapaxWConfigurator: applies configuration groups to a rapax w motor controller and the external
// motor it drives, reads them back and requests its one-shot actions (sticky-fault clears). Every
// operation blocks in the runtime for at most its timeout (the default timeout of 0.1 s when none
// is given) and returns the runtime's status; failures are reported once. The device owns its
// configurator and hands out references. Thread-safe: calls of one configurator run one at a time;
// configurators of different devices do not block each other.

#include <kvor/zephrin6/configs/CommonRapaxConfigurator.hpp>
#include <kvor/zephrin6/configs/RapaxWConfiguration.hpp>

namespace kvor::zephrin6::configs {

class RapaxWConfigurator : public CommonRapaxConfigurator {
 public:
  /// The configurator of device `id`, with a default timeout of 0.1 s.
  explicit RapaxWConfigurator(hardware::DeviceIdentifier id) : CommonRapaxConfigurator(std::move(id)) {}

  using CommonRapaxConfigurator::Apply;
  using CommonRapaxConfigurator::Refresh;

  /// Writes the whole configuration to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const RapaxWConfiguration& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const RapaxWConfiguration& configs) const;
  /// Reads the whole configuration back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(RapaxWConfiguration& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(RapaxWConfiguration& configs) const;
  /// Writes the ExternalFeedback group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const ExternalFeedbackConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const ExternalFeedbackConfigs& configs) const;
  /// Reads the ExternalFeedback group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(ExternalFeedbackConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(ExternalFeedbackConfigs& configs) const;
  /// Clears the sticky fault BridgeShort (StickyFault_BridgeShort), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_BridgeShort(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_BridgeShort with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_BridgeShort() const;
  /// Clears the sticky fault HallSensorMissing (StickyFault_HallSensorMissing), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_HallSensorMissing(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_HallSensorMissing with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_HallSensorMissing() const;
  /// Clears the sticky fault DriveDisabledHallSensor (StickyFault_DriveDisabledHallSensor), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_DriveDisabledHallSensor(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_DriveDisabledHallSensor with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_DriveDisabledHallSensor() const;
  /// Clears the sticky fault MotorTempSensorMissing (StickyFault_MotorTempSensorMissing), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_MotorTempSensorMissing(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_MotorTempSensorMissing with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_MotorTempSensorMissing() const;
  /// Clears the sticky fault MotorTempSensorTooHot (StickyFault_MotorTempSensorTooHot), waiting at most
  /// `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_MotorTempSensorTooHot(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_MotorTempSensorTooHot with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_MotorTempSensorTooHot() const;
};

}  // namespace kvor::zephrin6::configs
