#pragma once

// ConnectedMotorValue: which kind of motor the motor controller detects on
// its output. A small value holding the enumerator's number; any int may be
// stored, and a number that names no enumerator prints as "Invalid Value".
// The named constants below are the whole table. Copy it freely; it holds no
// resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class ConnectedMotorValue : public ISerializable {
 public:
  /// No motor detected yet.
  static constexpr int Unknown = 0;
  /// The motor built into a rapax q.
  static constexpr int Integrated = 1;
  /// A brushed DC motor on a rapax w.
  static constexpr int BrushedDC = 2;
  /// A brushless motor with hall sensors on a rapax w.
  static constexpr int BrushlessHall = 3;
  /// A brushless motor without hall sensors on a rapax w.
  static constexpr int BrushlessSensorless = 4;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr ConnectedMotorValue(int value = Unknown) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const ConnectedMotorValue& a, const ConnectedMotorValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const ConnectedMotorValue& v);

}  // namespace kvor::zephrin6::signals
