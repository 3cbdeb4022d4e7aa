#pragma once

// DifferentialSensorSourceValue: where a differential mechanism reads its
// difference sensor. A small value holding the enumerator's number; any int
// may be stored, and a number that names no enumerator prints as "Invalid
// Value". The named constants below are the whole table. Copy it freely; it
// holds no resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class DifferentialSensorSourceValue : public ISerializable {
 public:
  /// No difference sensor; differential control is unavailable.
  static constexpr int Disabled = 0;
  /// The difference of this motor controller and a remote rapax q.
  static constexpr int RemoteRapaxQ_Diff = 1;
  /// The yaw of a remote auklet 2.
  static constexpr int RemoteAuklet2_Yaw = 2;
  /// The pitch of a remote auklet 2.
  static constexpr int RemoteAuklet2_Pitch = 3;
  /// The roll of a remote auklet 2.
  static constexpr int RemoteAuklet2_Roll = 4;
  /// The position of a remote angulon.
  static constexpr int RemoteAngulon = 5;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr DifferentialSensorSourceValue(int value = Disabled) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const DifferentialSensorSourceValue& a, const DifferentialSensorSourceValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const DifferentialSensorSourceValue& v);

}  // namespace kvor::zephrin6::signals
