#pragma once

// ForwardLimitValue: the state of the forward limit switch. A small value
// holding the enumerator's number; any int may be stored, and a number that
// names no enumerator prints as "Invalid Value". The named constants below
// are the whole table. Copy it freely; it holds no resources and is safe to
// read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class ForwardLimitValue : public ISerializable {
 public:
  /// The forward limit is not reached.
  static constexpr int Open = 0;
  /// The forward limit is reached; forward output is blocked.
  static constexpr int Closed = 1;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr ForwardLimitValue(int value = Open) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const ForwardLimitValue& a, const ForwardLimitValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const ForwardLimitValue& v);

}  // namespace kvor::zephrin6::signals
