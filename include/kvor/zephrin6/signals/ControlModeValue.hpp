#pragma once

// ControlModeValue: which control request the motor controller is currently
// following; every request of the library has its mode. A small value holding
// the enumerator's number; any int may be stored, and a number that names no
// enumerator prints as "Invalid Value". The named constants below are the
// whole table. Copy it freely; it holds no resources and is safe to read from
// several threads.

#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::signals {

class ControlModeValue : public ISerializable {
 public:
  /// The device is disabled; no request is active.
  static constexpr int DisabledOutput = 0;
  /// NeutralOut: output neutral per the configured neutral mode.
  static constexpr int NeutralOut = 1;
  /// StaticBrake: windings shorted.
  static constexpr int StaticBrake = 2;
  /// CoastOut: bridge open.
  static constexpr int CoastOut = 3;
  /// DutyCycleOut.
  static constexpr int DutyCycleOut = 4;
  /// PositionDutyCycle.
  static constexpr int PositionDutyCycle = 5;
  /// VelocityDutyCycle.
  static constexpr int VelocityDutyCycle = 6;
  /// KinetraDutyCycle.
  static constexpr int KinetraDutyCycle = 7;
  /// KinetraVelocityDutyCycle.
  static constexpr int KinetraVelocityDutyCycle = 8;
  /// KinetraExpoDutyCycle.
  static constexpr int KinetraExpoDutyCycle = 9;
  /// DynamicKinetraDutyCycle.
  static constexpr int DynamicKinetraDutyCycle = 10;
  /// VoltageOut.
  static constexpr int VoltageOut = 11;
  /// PositionVoltage.
  static constexpr int PositionVoltage = 12;
  /// VelocityVoltage.
  static constexpr int VelocityVoltage = 13;
  /// KinetraVoltage.
  static constexpr int KinetraVoltage = 14;
  /// KinetraVelocityVoltage.
  static constexpr int KinetraVelocityVoltage = 15;
  /// KinetraExpoVoltage.
  static constexpr int KinetraExpoVoltage = 16;
  /// DynamicKinetraVoltage.
  static constexpr int DynamicKinetraVoltage = 17;
  /// TorqueCurrentFOC.
  static constexpr int TorqueCurrentFOC = 18;
  /// PositionTorqueCurrentFOC.
  static constexpr int PositionTorqueCurrentFOC = 19;
  /// VelocityTorqueCurrentFOC.
  static constexpr int VelocityTorqueCurrentFOC = 20;
  /// KinetraTorqueCurrentFOC.
  static constexpr int KinetraTorqueCurrentFOC = 21;
  /// KinetraVelocityTorqueCurrentFOC.
  static constexpr int KinetraVelocityTorqueCurrentFOC = 22;
  /// KinetraExpoTorqueCurrentFOC.
  static constexpr int KinetraExpoTorqueCurrentFOC = 23;
  /// DynamicKinetraTorqueCurrentFOC.
  static constexpr int DynamicKinetraTorqueCurrentFOC = 24;
  /// Follower.
  static constexpr int Follower = 25;
  /// StrictFollower.
  static constexpr int StrictFollower = 26;
  /// DifferentialFollower.
  static constexpr int DifferentialFollower = 27;
  /// DifferentialStrictFollower.
  static constexpr int DifferentialStrictFollower = 28;
  /// DifferentialDutyCycle.
  static constexpr int DifferentialDutyCycle = 29;
  /// DifferentialVoltage.
  static constexpr int DifferentialVoltage = 30;
  /// DifferentialPositionDutyCycle.
  static constexpr int DifferentialPositionDutyCycle = 31;
  /// DifferentialPositionVoltage.
  static constexpr int DifferentialPositionVoltage = 32;
  /// DifferentialVelocityDutyCycle.
  static constexpr int DifferentialVelocityDutyCycle = 33;
  /// DifferentialVelocityVoltage.
  static constexpr int DifferentialVelocityVoltage = 34;
  /// DifferentialKinetraDutyCycle.
  static constexpr int DifferentialKinetraDutyCycle = 35;
  /// DifferentialKinetraVoltage.
  static constexpr int DifferentialKinetraVoltage = 36;
  /// MusicTone.
  static constexpr int MusicTone = 37;
  /// A request that needs a feature the device does not have; the output is neutral.
  static constexpr int UnsupportedFeature = 38;

  /// The enumerator's number, or any other int the device reported.
  int value;

  /// Holds `value` unchanged (also numbers that name no enumerator).
  constexpr ControlModeValue(int value = DisabledOutput) : value{value} {}  // implicit by design

  /// "u_" followed by the number in decimal, for example "u_1".
  std::string Serialize() const override;
  /// The enumerator's name, or "Invalid Value" for any other number.
  std::string ToString() const;

  /// Equal when the numbers are equal (also for numbers that name no enumerator).
  friend constexpr bool operator==(const ControlModeValue& a, const ControlModeValue& b) {
    return a.value == b.value;
  }
};

/// Writes ToString() to `os`.
std::ostream& operator<<(std::ostream& os, const ControlModeValue& v);

}  // namespace kvor::zephrin6::signals
