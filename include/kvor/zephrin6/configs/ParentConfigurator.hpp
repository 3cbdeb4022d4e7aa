#pragma once

// ParentConfigurator holds what every device's configurator shares: the
// device it talks to, its default timeout, the lock that lets one config call
// of the device run at a time, and the watch that warns a program calling
// configs periodically (config calls block, so they belong in start-up code).
// The model configurators (RapaxQConfigurator, ...) add the typed Apply,
// Refresh and action operations on top. It copies the device identifier and
// holds no runtime resources. Not copyable (it owns a mutex); the owning
// device hands out references. Thread-safe; reports are made after the lock
// is released, so a report callback may itself use the configurator.

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/hardware/DeviceIdentifier.hpp>

#include <string>

#include <units.h>

namespace kvor::zephrin6::configs {

class ParentConfiguration;

class ZEPHRIN6_API ParentConfigurator {
 public:
  ParentConfigurator(const ParentConfigurator&) = delete;
  ParentConfigurator& operator=(const ParentConfigurator&) = delete;

  /// Writes `configText` to the device, blocking for at most `timeoutSeconds`.
  /// `firstFlag` and `actionFlag` reach the runtime unchanged (actionFlag is
  /// true for one-shot actions, false for settings). Runs the frequency watch.
  /// Returns the runtime's status; it is reported with " Apply Config" unless
  /// it is 0 or -10032 TimeoutCannotBeZero.
  [[nodiscard]] kvor::zephrin::StatusCode SetConfigsPrivate(const std::string& configText, units::time::second_t timeoutSeconds,
                                              bool firstFlag, bool actionFlag) const ZEPHRIN_EXCLUDES(lock_);
  /// Reads the device's config text into `configText`, blocking for at most
  /// `timeoutSeconds`; `configText` is replaced only when a text comes back.
  /// Runs the frequency watch. Returns the runtime's status; any non-zero
  /// status (-10032 for a zero timeout included) is reported with " Refresh Config".
  [[nodiscard]] kvor::zephrin::StatusCode GetConfigsPrivate(std::string& configText, units::time::second_t timeoutSeconds) const
      ZEPHRIN_EXCLUDES(lock_);
  /// The frequency watch: counts this as a config call and reports warning
  /// 10002 FrequentConfigCalls (location " Config") when calls less than 1 s
  /// apart have gone on for more than 3 s. Calls in the first 5 s after
  /// construction never count.
  void ReportIfFrequent() const ZEPHRIN_EXCLUDES(lock_);

  /// The timeout of the operations called without one, seconds.
  units::time::second_t DefaultTimeout() const { return defaultTimeout_; }
  /// The device this configurator talks to.
  const hardware::DeviceIdentifier& GetDeviceIdentifier() const { return deviceIdentifier_; }

 protected:
  /// A configurator of device `id` with the default timeout `defaultTimeout`;
  /// creation and last call times are the runtime's current time.
  explicit ParentConfigurator(hardware::DeviceIdentifier id,
                              units::time::second_t defaultTimeout = units::time::second_t{0.1});
  ~ParentConfigurator() = default;

  /// Applies a group: SetConfigsPrivate(configs.Serialize(), timeout, false, false).
  [[nodiscard]] kvor::zephrin::StatusCode ApplyConfig(const ParentConfiguration& configs,
                                                      units::time::second_t timeoutSeconds) const;
  /// Refreshes a group: GetConfigsPrivate, then configs.Deserialize of the text.
  [[nodiscard]] kvor::zephrin::StatusCode RefreshConfig(ParentConfiguration& configs,
                                                        units::time::second_t timeoutSeconds) const;
  /// Sends the action `configId` with `value` (in the action's unit) as one
  /// double piece with the action flag set.
  [[nodiscard]] kvor::zephrin::StatusCode SendAction(int configId, double value,
                                                     units::time::second_t timeoutSeconds) const;

 private:
  // Updates the watch for a call at `now`; true when the warning is due.
  bool CountCall(double now) const ZEPHRIN_REQUIRES(lock_);
  void ReportFrequent() const;

  units::time::second_t defaultTimeout_;
  hardware::DeviceIdentifier deviceIdentifier_;
  mutable kvor::zephrin::Mutex lock_;
  double creationTime_;  // seconds, runtime clock
  // Seconds; starts at creationTime_.
  mutable double lastCallTime_ ZEPHRIN_GUARDED_BY(lock_);
  // Seconds; 0 while no run of close calls is going on.
  mutable double streakStart_ ZEPHRIN_GUARDED_BY(lock_) = 0;
};

}  // namespace kvor::zephrin6::configs
