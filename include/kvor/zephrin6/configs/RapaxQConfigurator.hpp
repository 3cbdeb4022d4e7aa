#pragma once

// RapaxQConfigurator: applies configuration groups to a rapax q motor controller, reads them back
// and requests its one-shot actions (sticky-fault clears). Every operation blocks in the runtime
// for at most its timeout (the default timeout of 0.1 s when none is given) and returns the
// runtime's status; failures are reported once. The device owns its configurator and hands out
// references. Thread-safe: calls of one configurator run one at a time; configurators of different
// devices do not block each other.

#include <kvor/zephrin6/configs/CommonRapaxConfigurator.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>

namespace kvor::zephrin6::configs {

class RapaxQConfigurator : public CommonRapaxConfigurator {
 public:
  /// The configurator of device `id`, with a default timeout of 0.1 s.
  explicit RapaxQConfigurator(hardware::DeviceIdentifier id) : CommonRapaxConfigurator(std::move(id)) {}

  using CommonRapaxConfigurator::Apply;
  using CommonRapaxConfigurator::Refresh;

  /// Writes the whole configuration to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const RapaxQConfiguration& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const RapaxQConfiguration& configs) const;
  /// Reads the whole configuration back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(RapaxQConfiguration& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(RapaxQConfiguration& configs) const;
  /// Writes the TorqueCurrent group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const TorqueCurrentConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const TorqueCurrentConfigs& configs) const;
  /// Reads the TorqueCurrent group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(TorqueCurrentConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(TorqueCurrentConfigs& configs) const;
  /// Writes the Feedback group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const FeedbackConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const FeedbackConfigs& configs) const;
  /// Reads the Feedback group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(FeedbackConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(FeedbackConfigs& configs) const;
};

}  // namespace kvor::zephrin6::configs
