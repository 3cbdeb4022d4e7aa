#pragma once

// CloseStateValue: which state of a portis signal input counts as closed
// (S1Closed, S2Closed, remote limit switches). A small value holding the
// enumerator's number; any int may be stored, and a number that names no
// enumerator prints as "Invalid Value". The named constants below are the
// whole table. Copy it freely; it holds no resources and is safe to read from
// several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class CloseStateValue : public ISerializable {
 public:
  /// Closed while driven high or low.
  static constexpr int CloseWhenNotFloating = 0;
  /// Closed while floating.
  static constexpr int CloseWhenFloating = 1;
  /// Closed unless driven high.
  static constexpr int CloseWhenNotHigh = 2;
  /// Closed while driven high.
  static constexpr int CloseWhenHigh = 3;
  /// Closed unless driven low.
  static constexpr int CloseWhenNotLow = 4;
  /// Closed while driven low.
  static constexpr int CloseWhenLow = 5;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr CloseStateValue(int value = CloseWhenNotFloating) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const CloseStateValue& a, const CloseStateValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const CloseStateValue& v);

}  // namespace kvor::zephrin6::signals
