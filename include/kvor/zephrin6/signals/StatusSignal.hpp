#pragma once

// StatusSignal<T> is the typed view of one device signal: a position in
// turns, a fault flag as bool, a control mode as ControlModeValue. T is
// double, int, bool, a unit quantity of <units.h> (the stored double is the
// value in that quantity's own unit, turns rather than radians), or any value
// class constructible from an int (the enumerations of signals/*Value.hpp).
//
// The owning device creates the signal on first lookup and keeps it for its
// lifetime; programs hold references. Mode-dependent signals (closed-loop
// outputs, references, errors) carry a units-by-ID table and follow whichever
// of their IDs the device currently reports. Like BaseStatusSignal, a signal
// is a copyable value without a lock of its own: do not refresh one object
// from two threads at once.

#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>

#include <cmath>
#include <concepts>
#include <limits>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>

namespace kvor::zephrin6 {

namespace internal {

/// The stored double truncated toward zero, saturated to the int range; a
/// not-a-number value gives 0.
inline int TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

/// Makes a T from the stored double (see StatusSignal::GetValue).
template <typename T>
T ValueFromDouble(double value) {
  if constexpr (std::is_same_v<T, bool>) {
    return value != 0.0;  // NaN compares unequal, so it reads as true
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(value);
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<T>(TruncateToInt(value));
  } else if constexpr (units::traits::is_unit_t<T>::value) {
    return T{value};
  } else {
    return T(TruncateToInt(value));
  }
}

}  // namespace internal

template <typename T>
class StatusSignal : public BaseStatusSignal {
 public:
  /// An error signal carrying `error` (see BaseStatusSignal).
  explicit StatusSignal(kvor::zephrin::StatusCode error) : BaseStatusSignal{error}, currentId_{0} {}

  /// A device signal; devices create these through ParentDevice::LookupCommon.
  /// @param checkFirmVersFunction run before every read (the device's
  ///        firmware compatibility check).
  StatusSignal(hardware::DeviceIdentifier deviceIdentifier, uint16_t signalId, std::string signalName,
               std::function<void()> checkFirmVersFunction)
      : BaseStatusSignal{std::move(deviceIdentifier), signalId, std::move(signalName),
                         std::move(checkFirmVersFunction)},
        currentId_{signalId} {}

  StatusSignal(const StatusSignal&) = default;
  StatusSignal& operator=(const StatusSignal&) = default;
  ~StatusSignal() override = default;

  /// The last value as T: an int truncated toward zero, a bool true unless
  /// the value is 0, a quantity in its own unit, an enumeration from the
  /// truncated int.
  T GetValue() const { return internal::ValueFromDouble<T>(baseValue_); }

  /// Reads the latest value without waiting.
  /// @param reportError report a read that is not OK ("<device> Status Signal <name>").
  /// @return this signal; its GetStatus() tells how the read went (e.g. -1003
  ///         RxTimeout when the device did not answer).
  StatusSignal& Refresh(bool reportError = true) {
    RefreshValue(false, units::time::second_t{0}, reportError);
    return *this;
  }

  /// Waits up to `timeout` (seconds) for a frame newer than the latest one,
  /// then reads it; after the timeout the status is -1003 RxTimeout.
  /// @param reportError report a read that is not OK.
  /// @return this signal.
  StatusSignal& WaitForUpdate(units::time::second_t timeout, bool reportError = true) {
    RefreshValue(true, timeout, reportError);
    return *this;
  }

  /// When a read reports another of this signal's IDs (the device changed
  /// control mode), takes that ID's units; an ID outside the table changes
  /// nothing.
  void UpdateUnits(uint16_t reportedId) override {
    if (reportedId == currentId_) return;
    auto it = unitsById_.find(reportedId);
    if (it == unitsById_.end()) return;
    units_ = it->second;
    currentId_ = reportedId;
  }

  /// The ID whose units the signal currently holds (its own ID unless a
  /// mode-dependent signal followed another).
  uint16_t GetCurrentUnitsId() const noexcept { return currentId_; }

  /// "<name>: <value> <units>", followed by the status name in brackets when
  /// the last read was not OK, e.g. "Velocity: 2.5 turns/s".
  std::string ToString() const {
    std::ostringstream out;
    out << *this;
    return out.str();
  }

  /// Writes ToString() to `os`.
  friend std::ostream& operator<<(std::ostream& os, const StatusSignal& signal) {
    os << signal.GetName() << ": ";
    if constexpr (std::is_same_v<T, bool>) {
      os << (signal.GetValue() ? "true" : "false");
    } else if constexpr (std::is_arithmetic_v<T>) {
      os << signal.GetValue();
    } else if constexpr (units::traits::is_unit_t<T>::value) {
      os << signal.GetValueAsDouble();
    } else if constexpr (requires(std::ostream& o, const T& v) { o << v; }) {
      os << signal.GetValue();
    } else {
      os << internal::TruncateToInt(signal.GetValueAsDouble());
    }
    if (!signal.GetUnits().empty()) os << ' ' << signal.GetUnits();
    if (!signal.GetStatus().IsOK()) os << " [" << signal.GetStatus().GetName() << ']';
    return os;
  }

 private:
  friend class hardware::ParentDevice;

  std::map<uint16_t, std::string> unitsById_;
  uint16_t currentId_;
};

template <typename U, typename USlope>
U BaseStatusSignal::GetLatencyCompensatedValue(const StatusSignal<U>& signal, const StatusSignal<USlope>& slope,
                                               units::time::second_t maxLatency) {
  units::time::second_t latency = signal.GetTimestamp().GetLatency();
  if (latency > maxLatency) latency = maxLatency;
  if constexpr (units::traits::is_unit_t<U>::value) {
    // Unit arithmetic checks that the slope really is the rate of the value.
    return signal.GetValue() + U{slope.GetValue() * latency};
  } else {
    return static_cast<U>(signal.GetValueAsDouble() + slope.GetValueAsDouble() * latency.value());
  }
}

}  // namespace kvor::zephrin6
