#pragma once

// DeviceEnableValue: whether the robot has enabled the device's output. A
// small value holding the enumerator's number; any int may be stored, and a
// number that names no enumerator prints as "Invalid Value". The named
// constants below are the whole table. Copy it freely; it holds no resources
// and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class DeviceEnableValue : public ISerializable {
 public:
  /// Output disabled.
  static constexpr int Disabled = 0;
  /// Output enabled.
  static constexpr int Enabled = 1;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr DeviceEnableValue(int value = Disabled) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const DeviceEnableValue& a, const DeviceEnableValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const DeviceEnableValue& v);

}  // namespace kvor::zephrin6::signals
