#pragma once

// PortisConfigurator: applies configuration groups to a portis digital-input and encoder interface,
// reads them back and requests its one-shot actions (sticky-fault clears, position set). Every
// operation blocks in the runtime for at most its timeout (the default timeout of 0.1 s when none
// is given) and returns the runtime's status; failures are reported once. The device owns its
// configurator and hands out references. Thread-safe: calls of one configurator run one at a time;
// configurators of different devices do not block each other.

#include <kvor/zephrin6/configs/ParentConfigurator.hpp>
#include <kvor/zephrin6/configs/PortisConfiguration.hpp>

namespace kvor::zephrin6::configs {

class PortisConfigurator : public ParentConfigurator {
 public:
  /// The configurator of device `id`, with a default timeout of 0.1 s.
  explicit PortisConfigurator(hardware::DeviceIdentifier id) : ParentConfigurator(std::move(id)) {}

  /// Writes the whole configuration to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const PortisConfiguration& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const PortisConfiguration& configs) const;
  /// Reads the whole configuration back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(PortisConfiguration& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(PortisConfiguration& configs) const;
  /// Writes the DigitalInputs group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const DigitalInputsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const DigitalInputsConfigs& configs) const;
  /// Reads the DigitalInputs group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(DigitalInputsConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(DigitalInputsConfigs& configs) const;
  /// Writes the Quadrature group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const QuadratureConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const QuadratureConfigs& configs) const;
  /// Reads the Quadrature group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(QuadratureConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(QuadratureConfigs& configs) const;
  /// Writes the PulseWidth group to the device, waiting at most `timeoutSeconds`
  /// (the default timeout without it). Returns the runtime's status: 0, -10032
  /// TimeoutCannotBeZero (not reported), or a failure reported with " Apply Config".
  kvor::zephrin::StatusCode Apply(const PulseWidthConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Apply with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Apply(const PulseWidthConfigs& configs) const;
  /// Reads the PulseWidth group back from the device into `configs`, waiting at most
  /// `timeoutSeconds`; values the device does not report are kept. Returns the
  /// runtime's status; any failure is reported with " Refresh Config".
  kvor::zephrin::StatusCode Refresh(PulseWidthConfigs& configs, units::time::second_t timeoutSeconds) const;
  /// As Refresh with a timeout, using the default timeout.
  kvor::zephrin::StatusCode Refresh(PulseWidthConfigs& configs) const;
  /// Sets the position the quadrature input reports (QuadraturePosition) to `newValue`, turns, waiting at most
  /// `timeoutSeconds`. Returns the runtime's status; failures other than -10032 are reported with " Apply Config".
  kvor::zephrin::StatusCode SetQuadraturePosition(units::angle::turn_t newValue,
                                                  units::time::second_t timeoutSeconds) const;
  /// As SetQuadraturePosition with a timeout, using the default timeout.
  kvor::zephrin::StatusCode SetQuadraturePosition(units::angle::turn_t newValue) const;
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
  /// Clears the sticky fault 5V (StickyFault_5V), waiting at most `timeoutSeconds`.
  kvor::zephrin::StatusCode ClearStickyFault_5V(units::time::second_t timeoutSeconds) const;
  /// As ClearStickyFault_5V with a timeout, using the default timeout.
  kvor::zephrin::StatusCode ClearStickyFault_5V() const;
};

}  // namespace kvor::zephrin6::configs
