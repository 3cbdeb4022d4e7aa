#pragma once

// AppliedRotorPolarityValue: the rotation direction the motor controller
// currently treats as positive, after inversion and following. A small value
// holding the enumerator's number; any int may be stored, and a number that
// names no enumerator prints as "Invalid Value". The named constants below
// are the whole table. Copy it freely; it holds no resources and is safe to
// read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class AppliedRotorPolarityValue : public ISerializable {
 public:
  /// Positive output turns the rotor counter-clockwise.
  static constexpr int PositiveIsCounterClockwise = 0;
  /// Positive output turns the rotor clockwise.
  static constexpr int PositiveIsClockwise = 1;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr AppliedRotorPolarityValue(int value = PositiveIsCounterClockwise) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const AppliedRotorPolarityValue& a, const AppliedRotorPolarityValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const AppliedRotorPolarityValue& v);

}  // namespace kvor::zephrin6::signals
