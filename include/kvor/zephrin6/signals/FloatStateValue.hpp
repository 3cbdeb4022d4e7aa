#pragma once

// FloatStateValue: how a portis signal input behaves when nothing drives it.
// A small value holding the enumerator's number; any int may be stored, and a
// number that names no enumerator prints as "Invalid Value". The named
// constants below are the whole table. Copy it freely; it holds no resources
// and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class FloatStateValue : public ISerializable {
 public:
  /// The input is left floating and the portis reports it as floating.
  static constexpr int FloatDetect = 0;
  /// The input is pulled high.
  static constexpr int PullHigh = 1;
  /// The input is pulled low.
  static constexpr int PullLow = 2;
  /// The input keeps its last driven state.
  static constexpr int BusKeeper = 3;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr FloatStateValue(int value = FloatDetect) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const FloatStateValue& a, const FloatStateValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const FloatStateValue& v);

}  // namespace kvor::zephrin6::signals
