#pragma once

// BaseStatusSignal is everything about a device signal that does not depend
// on its value type: the owning device's identifier, the signal ID, the units
// text, the three timestamps of the last sample, the value (always held as a
// double), the status of the last read, the name, and the check the owning
// device runs before every read. StatusSignal<T> adds the typed view.
//
// Signals are created and owned by their device (ParentDevice); programs hold
// references that stay valid as long as the device lives. A signal is a
// copyable value (a copy carries the check too). Signals hold no lock: two
// threads must not refresh the same signal object at once.
//
// The static operations read or configure many signals in one runtime call.
// Groups of up to 64 signals use stack storage and allocate nothing.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/hardware/DeviceIdentifier.hpp>
#include <kvor/zephrin6/signals/SignalTimestampSet.hpp>

#include <units.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6 {

namespace hardware {
class ParentDevice;
}

template <typename T>
class StatusSignal;

class BaseStatusSignal;

/// A signal object or a pointer to one, as the multi-signal operations take them.
template <typename S>
concept SignalOrPointer = std::is_base_of_v<BaseStatusSignal, std::remove_cvref_t<S>> ||
                          std::is_convertible_v<S, BaseStatusSignal*>;

class ZEPHRIN6_API BaseStatusSignal {
 public:
  /// Follows the units of the ID a read reported (mode-dependent signals).
  virtual void UpdateUnits(uint16_t reportedId) = 0;
  virtual ~BaseStatusSignal() = 0;

  /// The signal's name, e.g. "Velocity" ("Invalid" for an error signal).
  const std::string& GetName() const noexcept { return signalName_; }
  /// The units text of the value, e.g. "turns/s"; "" for plain numbers.
  const std::string& GetUnits() const noexcept { return units_; }
  /// The last value as the double the runtime delivered, in the signal's units.
  double GetValueAsDouble() const noexcept { return baseValue_; }
  /// The three timestamps of the last read.
  const SignalTimestampSet& GetAllTimestamps() const noexcept { return timestamps_; }
  /// The best timestamp of the last read (device, else Bustrel, else system).
  const SignalTimestamp& GetTimestamp() const noexcept { return timestamps_.GetBestTimestamp(); }
  /// Status of the last read; -1200 SigNotUpdated before the first one.
  kvor::zephrin::StatusCode GetStatus() const noexcept { return error_; }
  /// The signal's ID in its device's signal space.
  uint16_t GetSignalId() const noexcept { return spn_; }
  /// The identifier of the owning device.
  const hardware::DeviceIdentifier& GetDeviceIdentifier() const noexcept { return deviceIdentifier_; }

  /// Asks the device to publish this signal at `frequency` (0 Hz stops it;
  /// the runtime limits others to 4..1000 Hz).
  /// @param timeout how long the device may take to confirm, seconds.
  /// @return the runtime's status (-1003 RxTimeout for an absent device).
  [[nodiscard]] kvor::zephrin::StatusCode SetUpdateFrequency(
      units::frequency::hertz_t frequency, units::time::second_t timeout = units::time::second_t{0.1});
  /// The frequency the signal currently publishes at, hertz.
  units::frequency::hertz_t GetAppliedUpdateFrequency() const;

  // ---- Several signals at once ----

  /// The guarded multi-signal read: reports and returns -1002 for an empty
  /// list and -10001 InvalidNetwork when the signals are not all on one bus
  /// (nothing is read then); otherwise runs every signal's check, waits up to
  /// `timeout` for a new frame of every signal in one runtime call and fills
  /// all of them. A status that is not OK is reported with `location`.
  /// @return the runtime's overall status (-1003 RxTimeout when a signal
  ///         brought no new frame in time, -10002 when the bus cannot
  ///         synchronise signals); each signal keeps its own status.
  [[nodiscard]] static kvor::zephrin::StatusCode WaitForAllImpl(const char* location, units::time::second_t timeout,
                                                                std::span<BaseStatusSignal* const> signals);
  /// As above, for a vector of signal pointers.
  [[nodiscard]] static kvor::zephrin::StatusCode WaitForAllImpl(const char* location, units::time::second_t timeout,
                                                                const std::vector<BaseStatusSignal*>& signals);

  /// Waits up to `timeout` seconds until every signal has a new frame and
  /// fills them all from one runtime call (see WaitForAllImpl). Signals are
  /// passed as objects or pointers; their order is the order of the call.
  template <SignalOrPointer... Signals>
  [[nodiscard]] static kvor::zephrin::StatusCode WaitForAll(units::time::second_t timeout, Signals&&... signals) {
    std::array<BaseStatusSignal*, sizeof...(Signals)> list{AsPointer(signals)...};
    return WaitForAllImpl(kWaitForAllLocation, timeout, std::span<BaseStatusSignal* const>(list));
  }
  /// As above, for a list of signal pointers.
  [[nodiscard]] static kvor::zephrin::StatusCode WaitForAll(units::time::second_t timeout,
                                                            std::span<BaseStatusSignal* const> signals);
  /// As above, for a vector of signal pointers.
  [[nodiscard]] static kvor::zephrin::StatusCode WaitForAll(units::time::second_t timeout,
                                                            const std::vector<BaseStatusSignal*>& signals);

  /// Reads the latest frame of every signal in one runtime call, without
  /// waiting (WaitForAllImpl with a timeout of 0).
  template <SignalOrPointer... Signals>
  [[nodiscard]] static kvor::zephrin::StatusCode RefreshAll(Signals&&... signals) {
    std::array<BaseStatusSignal*, sizeof...(Signals)> list{AsPointer(signals)...};
    return WaitForAllImpl(kRefreshAllLocation, units::time::second_t{0}, std::span<BaseStatusSignal* const>(list));
  }
  /// As above, for a list of signal pointers.
  [[nodiscard]] static kvor::zephrin::StatusCode RefreshAll(std::span<BaseStatusSignal* const> signals);
  /// As above, for a vector of signal pointers.
  [[nodiscard]] static kvor::zephrin::StatusCode RefreshAll(const std::vector<BaseStatusSignal*>& signals);

  /// Sets the update frequency of every signal in one runtime call. Nothing
  /// is validated or reported.
  /// @return the runtime's status (the first failing signal's).
  template <SignalOrPointer... Signals>
  [[nodiscard]] static kvor::zephrin::StatusCode SetUpdateFrequencyForAll(units::frequency::hertz_t frequency,
                                                                          Signals&&... signals) {
    std::array<BaseStatusSignal*, sizeof...(Signals)> list{AsPointer(signals)...};
    return Status_SetUpdateFrequencyForAll(list.data(), list.size(), frequency.value(), kDefaultTimeoutSeconds);
  }
  /// As above, for a vector of signal pointers.
  [[nodiscard]] static kvor::zephrin::StatusCode SetUpdateFrequencyForAll(
      units::frequency::hertz_t frequency, const std::vector<BaseStatusSignal*>& signals);

  /// The value of `signal` extrapolated to now along `slope` (for example a
  /// position along its velocity): value + slope x latency, where latency is
  /// the age of the signal's best timestamp on the runtime clock, capped at
  /// `maxLatency` (not clamped below). Neither status is consulted. The
  /// result is in the signal's unit. Defined in StatusSignal.hpp.
  template <typename U, typename USlope>
  static U GetLatencyCompensatedValue(const StatusSignal<U>& signal, const StatusSignal<USlope>& slope,
                                      units::time::second_t maxLatency = units::time::second_t{0.3});

  // ---- Runtime wrappers (values passed through unchanged) ----

  /// Reads one signal (waiting for a new frame when asked) and fills it from
  /// the record. @return the runtime call's status.
  [[nodiscard]] static kvor::zephrin::StatusCode Status_Get(BaseStatusSignal& signal, const char* network,
                                                            bool waitForUpdate, double timeoutSeconds);
  /// The unguarded multi-signal read: one runtime call for `count` signals on
  /// `network`, waiting up to `timeoutSeconds`; fills every signal whatever
  /// the outcome. @return the runtime's overall status.
  [[nodiscard]] static kvor::zephrin::StatusCode Status_WaitForAll(BaseStatusSignal* const* signals, size_t count,
                                                                   const char* network, double timeoutSeconds);
  /// Sets one signal's update frequency (hertz). @return the runtime's status.
  [[nodiscard]] static kvor::zephrin::StatusCode Status_SetUpdateFrequency(const char* network, uint32_t deviceHash,
                                                                           uint16_t signalId, double frequencyHz,
                                                                           double timeoutSeconds);
  /// Sets the update frequency (hertz) of `count` signals in one call (count
  /// 0 still calls the runtime). @return the runtime's status.
  [[nodiscard]] static kvor::zephrin::StatusCode Status_SetUpdateFrequencyForAll(BaseStatusSignal* const* signals,
                                                                                 size_t count, double frequencyHz,
                                                                                 double timeoutSeconds);
  /// The applied update frequency of a signal, hertz.
  static double Status_GetAppliedUpdateFrequency(const char* network, uint32_t deviceHash, uint16_t signalId);
  /// A copy of the units text of a signal ID ("" when the runtime has none).
  static std::string Status_GetUnits(uint16_t signalId);

  /// The runtime's 64-bit key of this signal: device hash low, signal ID high.
  uint64_t GetSignalKey() const noexcept {
    return static_cast<uint64_t>(deviceIdentifier_.GetDeviceHash()) | (static_cast<uint64_t>(spn_) << 32);
  }

 protected:
  /// A device signal: units from the runtime, status -1200 until the first read.
  BaseStatusSignal(hardware::DeviceIdentifier deviceIdentifier, uint16_t signalId, std::string signalName,
                   std::function<void()> checkFirmVersFunction);
  /// An error signal: no device, ID 0, no units, value 0, name "Invalid", the
  /// given status and a check that does nothing.
  explicit BaseStatusSignal(kvor::zephrin::StatusCode error);
  BaseStatusSignal(const BaseStatusSignal&) = default;
  BaseStatusSignal& operator=(const BaseStatusSignal&) = default;

  /// The one read primitive: runs the check, reads through the runtime
  /// (waiting up to `timeout` when asked), stores the status and, when
  /// `reportError` is set and the status is not OK, reports it with the
  /// location "<device> Status Signal <name>".
  /// @return the stored status.
  kvor::zephrin::StatusCode RefreshValue(bool waitForUpdate, units::time::second_t timeout, bool reportError);

  hardware::DeviceIdentifier deviceIdentifier_;
  uint16_t spn_ = 0;
  std::string units_;
  SignalTimestampSet timestamps_;
  double baseValue_ = 0.0;
  kvor::zephrin::StatusCode error_{kvor::zephrin::StatusCode::SigNotUpdated};
  std::string signalName_;
  std::function<void()> checkFirmVersFunction_;

 private:
  friend class hardware::ParentDevice;

  static constexpr const char* kWaitForAllLocation = "kvor::zephrin6::BaseStatusSignal::WaitForAll";
  static constexpr const char* kRefreshAllLocation = "kvor::zephrin6::BaseStatusSignal::RefreshAll";
  static constexpr double kDefaultTimeoutSeconds = 0.1;

  /// Takes one sample of the runtime (value, reported ID, times in seconds,
  /// status) and lets the units follow the reported ID.
  void TakeSample(double value, uint16_t reportedId, double systemSeconds, double bustrelSeconds,
                  double deviceSeconds, int32_t status);

  static BaseStatusSignal* AsPointer(BaseStatusSignal& signal) noexcept { return &signal; }
  static BaseStatusSignal* AsPointer(BaseStatusSignal* signal) noexcept { return signal; }
};

}  // namespace kvor::zephrin6
