#pragma once

// GravityTypeValue: how the gravity feed-forward kG of a closed-loop slot is
// applied. A small value holding the enumerator's number; any int may be
// stored, and a number that names no enumerator prints as "Invalid Value".
// The named constants below are the whole table. Copy it freely; it holds no
// resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class GravityTypeValue : public ISerializable {
 public:
  /// kG is a constant, as for a lift or elevator.
  static constexpr int Elevator_Static = 0;
  /// kG is scaled by the cosine of the mechanism position, as for an arm (position 0 is horizontal).
  static constexpr int Arm_Cosine = 1;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr GravityTypeValue(int value = Elevator_Static) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const GravityTypeValue& a, const GravityTypeValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const GravityTypeValue& v);

}  // namespace kvor::zephrin6::signals
