#pragma once

// ExternalFeedbackSensorSourceValue: which sensor a rapax w uses for its
// position and velocity feedback. A small value holding the enumerator's
// number; any int may be stored, and a number that names no enumerator prints
// as "Invalid Value". The named constants below are the whole table. Copy it
// freely; it holds no resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class ExternalFeedbackSensorSourceValue : public ISerializable {
 public:
  /// The commutation sensor of the connected brushless motor.
  static constexpr int Commutation = 0;
  /// The position of a remote angulon, read over the bus.
  static constexpr int RemoteAngulon = 1;
  /// A quadrature encoder wired to the rapax w.
  static constexpr int Quadrature = 2;
  /// A pulse-width encoder wired to the rapax w.
  static constexpr int PulseWidth = 3;
  /// The quadrature position of a remote portis.
  static constexpr int RemotePortisQuadrature = 4;
  /// A remote angulon fused with the commutation sensor.
  static constexpr int FusedAngulon = 5;
  /// The commutation sensor, re-synchronised to a remote angulon.
  static constexpr int SyncAngulon = 6;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr ExternalFeedbackSensorSourceValue(int value = Commutation) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const ExternalFeedbackSensorSourceValue& a, const ExternalFeedbackSensorSourceValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const ExternalFeedbackSensorSourceValue& v);

}  // namespace kvor::zephrin6::signals
