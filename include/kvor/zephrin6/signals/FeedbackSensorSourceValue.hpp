#pragma once

// FeedbackSensorSourceValue: which sensor a motor controller uses for its
// position and velocity feedback. A small value holding the enumerator's
// number; any int may be stored, and a number that names no enumerator prints
// as "Invalid Value". The named constants below are the whole table. Copy it
// freely; it holds no resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class FeedbackSensorSourceValue : public ISerializable {
 public:
  /// The motor's own rotor sensor.
  static constexpr int RotorSensor = 0;
  /// The position of a remote angulon, read over the bus.
  static constexpr int RemoteAngulon = 1;
  /// The quadrature position of a remote portis.
  static constexpr int RemotePortisQuadrature = 2;
  /// The pulse-width position S1 of a remote portis.
  static constexpr int RemotePortisPWM1 = 3;
  /// The pulse-width position S2 of a remote portis.
  static constexpr int RemotePortisPWM2 = 4;
  /// A remote angulon fused with the rotor sensor (absolute and fast).
  static constexpr int FusedAngulon = 5;
  /// The rotor sensor, re-synchronised to a remote angulon when they drift apart.
  static constexpr int SyncAngulon = 6;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr FeedbackSensorSourceValue(int value = RotorSensor) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const FeedbackSensorSourceValue& a, const FeedbackSensorSourceValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const FeedbackSensorSourceValue& v);

}  // namespace kvor::zephrin6::signals
