#pragma once

// DifferentialControlModeValue: which control the difference axis of a
// differential mechanism is following (compound requests name it after their
// second part). A small value holding the enumerator's number; any int may be
// stored, and a number that names no enumerator prints as "Invalid Value".
// The named constants below are the whole table. Copy it freely; it holds no
// resources and is safe to read from several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class DifferentialControlModeValue : public ISerializable {
 public:
  /// No differential request is active.
  static constexpr int DisabledOutput = 0;
  /// Difference output neutral.
  static constexpr int NeutralOut = 1;
  /// Difference held by the static brake.
  static constexpr int StaticBrake = 2;
  /// Difference output coasting.
  static constexpr int CoastOut = 3;
  /// Open-loop duty cycle on the difference.
  static constexpr int DutyCycleOut = 4;
  /// Position loop on the difference, duty-cycle output.
  static constexpr int PositionDutyCycle = 5;
  /// Velocity loop on the difference, duty-cycle output.
  static constexpr int VelocityDutyCycle = 6;
  /// Profiled motion on the difference, duty-cycle output.
  static constexpr int KinetraDutyCycle = 7;
  /// Open-loop voltage on the difference.
  static constexpr int VoltageOut = 8;
  /// Position loop on the difference, voltage output.
  static constexpr int PositionVoltage = 9;
  /// Velocity loop on the difference, voltage output.
  static constexpr int VelocityVoltage = 10;
  /// Profiled motion on the difference, voltage output.
  static constexpr int KinetraVoltage = 11;
  /// Open-loop torque current on the difference.
  static constexpr int TorqueCurrentFOC = 12;
  /// Position loop on the difference, torque-current output.
  static constexpr int PositionTorqueCurrentFOC = 13;
  /// Velocity loop on the difference, torque-current output.
  static constexpr int VelocityTorqueCurrentFOC = 14;
  /// Profiled motion on the difference, torque-current output.
  static constexpr int KinetraTorqueCurrentFOC = 15;
  /// The difference follows another device.
  static constexpr int Follower = 16;
  /// The difference follows another device, ignoring its inversion.
  static constexpr int StrictFollower = 17;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr DifferentialControlModeValue(int value = DisabledOutput) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const DifferentialControlModeValue& a, const DifferentialControlModeValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const DifferentialControlModeValue& v);

}  // namespace kvor::zephrin6::signals
