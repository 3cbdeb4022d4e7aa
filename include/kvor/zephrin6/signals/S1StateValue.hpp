#pragma once

// S1StateValue: the electrical state of the portis signal input S1. A small
// value holding the enumerator's number; any int may be stored, and a number
// that names no enumerator prints as "Invalid Value". The named constants
// below are the whole table. Copy it freely; it holds no resources and is
// safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class S1StateValue : public ISerializable {
 public:
  /// Nothing drives the input.
  static constexpr int Floating = 0;
  /// The input is driven low.
  static constexpr int Low = 1;
  /// The input is driven high.
  static constexpr int High = 2;
  /// The input toggles faster than it can be classified.
  static constexpr int Oscillating = 3;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr S1StateValue(int value = Floating) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const S1StateValue& a, const S1StateValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const S1StateValue& v);

}  // namespace kvor::zephrin6::signals
