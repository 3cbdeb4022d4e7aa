#pragma once

// MeasurementHealthValue: how trustworthy the distix's latest distance
// measurement is. A small value holding the enumerator's number; any int may
// be stored, and a number that names no enumerator prints as "Invalid Value".
// The named constants below are the whole table. Copy it freely; it holds no
// resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class MeasurementHealthValue : public ISerializable {
 public:
  /// The measurement is valid.
  static constexpr int Good = 0;
  /// The measurement is valid but noisy (weak signal or strong ambient light).
  static constexpr int Limited = 1;
  /// The measurement is not valid.
  static constexpr int Bad = 2;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr MeasurementHealthValue(int value = Good) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const MeasurementHealthValue& a, const MeasurementHealthValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const MeasurementHealthValue& v);

}  // namespace kvor::zephrin6::signals
