#pragma once

// BridgeOutputValue: what the motor controller's output bridge is doing. A
// small value holding the enumerator's number; any int may be stored, and a
// number that names no enumerator prints as "Invalid Value". The named
// constants below are the whole table. Copy it freely; it holds no resources
// and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class BridgeOutputValue : public ISerializable {
 public:
  /// Bridge open, motor coasting.
  static constexpr int Coast = 0;
  /// Windings shorted for neutral brake.
  static constexpr int Brake = 1;
  /// Six-step commutation (duty-cycle and voltage control).
  static constexpr int Trapezoidal = 2;
  /// Field-oriented commutation (torque-current control).
  static constexpr int FieldOriented = 3;
  /// Playing a tone.
  static constexpr int MusicTone = 4;
  /// Braking because of a fault.
  static constexpr int FaultBrake = 5;
  /// Coasting because of a fault.
  static constexpr int FaultCoast = 6;
  /// Holding still under the static brake request.
  static constexpr int ActiveBrake = 7;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr BridgeOutputValue(int value = Coast) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const BridgeOutputValue& a, const BridgeOutputValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const BridgeOutputValue& v);

}  // namespace kvor::zephrin6::signals
