#pragma once

// LimitSwitchSourceValue: where a motor controller reads a hardware limit
// switch. A small value holding the enumerator's number; any int may be
// stored, and a number that names no enumerator prints as "Invalid Value".
// The named constants below are the whole table. Copy it freely; it holds no
// resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class LimitSwitchSourceValue : public ISerializable {
 public:
  /// The limit-switch input of the motor controller itself.
  static constexpr int LimitSwitchPin = 0;
  /// The same limit input of a remote rapax q.
  static constexpr int RemoteRapaxQ = 1;
  /// Input S1 of a remote portis.
  static constexpr int RemotePortisS1 = 2;
  /// No limit switch.
  static constexpr int Disabled = 3;
  /// A remote angulon's magnet-health state (limit closed when the magnet is lost).
  static constexpr int RemoteAngulon = 4;
  /// Input S2 of a remote portis.
  static constexpr int RemotePortisS2 = 5;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr LimitSwitchSourceValue(int value = LimitSwitchPin) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const LimitSwitchSourceValue& a, const LimitSwitchSourceValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const LimitSwitchSourceValue& v);

}  // namespace kvor::zephrin6::signals
