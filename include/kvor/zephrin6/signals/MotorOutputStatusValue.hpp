#pragma once

// MotorOutputStatusValue: what the motor is doing with the power it is given.
// A small value holding the enumerator's number; any int may be stored, and a
// number that names no enumerator prints as "Invalid Value". The named
// constants below are the whole table. Copy it freely; it holds no resources
// and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class MotorOutputStatusValue : public ISerializable {
 public:
  /// No output.
  static constexpr int Off = 0;
  /// Driving the motor in the direction it turns.
  static constexpr int Motoring = 1;
  /// Braking the motor, returning energy to the supply.
  static constexpr int RegenerativeBraking = 2;
  /// Holding the motor with shorted windings.
  static constexpr int StaticBraking = 3;
  /// Driving against the direction the motor turns.
  static constexpr int DiscordantMotoring = 4;
  /// The state cannot be determined.
  static constexpr int Unknown = 5;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr MotorOutputStatusValue(int value = Off) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const MotorOutputStatusValue& a, const MotorOutputStatusValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const MotorOutputStatusValue& v);

}  // namespace kvor::zephrin6::signals
