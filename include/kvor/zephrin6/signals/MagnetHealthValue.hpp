#pragma once

// MagnetHealthValue: how well the angulon sees its magnet. A small value
// holding the enumerator's number; any int may be stored, and a number that
// names no enumerator prints as "Invalid Value". The named constants below
// are the whole table. Copy it freely; it holds no resources and is safe to
// read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class MagnetHealthValue : public ISerializable {
 public:
  /// The magnet is well placed; readings are accurate.
  static constexpr int Good = 0;
  /// The magnet is a little too close or too far; readings may be less accurate.
  static constexpr int Marginal = 1;
  /// The magnet is badly placed; readings are unreliable.
  static constexpr int Bad = 2;
  /// No magnet is seen.
  static constexpr int Missing = 3;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr MagnetHealthValue(int value = Good) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const MagnetHealthValue& a, const MagnetHealthValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const MagnetHealthValue& v);

}  // namespace kvor::zephrin6::signals
