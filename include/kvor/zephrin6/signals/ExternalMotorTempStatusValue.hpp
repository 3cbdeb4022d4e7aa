#pragma once

// ExternalMotorTempStatusValue: the state of the temperature sensor of the
// motor a rapax w drives. A small value holding the enumerator's number; any
// int may be stored, and a number that names no enumerator prints as "Invalid
// Value". The named constants below are the whole table. Copy it freely; it
// holds no resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class ExternalMotorTempStatusValue : public ISerializable {
 public:
  /// The connected motor has no temperature sensor.
  static constexpr int NotUsed = 0;
  /// Still measuring after start-up.
  static constexpr int Collecting = 1;
  /// Reading a plausible temperature.
  static constexpr int Normal = 2;
  /// The motor is too hot; output is limited.
  static constexpr int TooHot = 3;
  /// The sensor was expected but is not connected.
  static constexpr int Disconnected = 4;
  /// The reading is implausible: a short or a sensor of another kind.
  static constexpr int ShortedOrWrongSensor = 5;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr ExternalMotorTempStatusValue(int value = NotUsed) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const ExternalMotorTempStatusValue& a, const ExternalMotorTempStatusValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const ExternalMotorTempStatusValue& v);

}  // namespace kvor::zephrin6::signals
