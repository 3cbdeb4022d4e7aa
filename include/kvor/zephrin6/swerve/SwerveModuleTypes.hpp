#pragma once

// The small enumerations a swerve module is set up and commanded with: which
// motor controllers it has, how each motor's closed loop produces its output,
// and which kind of request drives the wheel and turns the azimuth. They are plain 32-bit integers at
// every boundary (the module constants, the C interface), so a value outside
// the named ones can arrive; the module then sends nothing to that motor, as
// its documentation says. Values only; nothing here is stateful.

#include <cstdint>

namespace kvor::zephrin6::swerve {

/// Which motor controller model a module's motor is. Any value other than
/// RapaxQ is taken as a rapax w.
enum class MotorControllerType : int32_t {
  RapaxQ = 0,
  RapaxW = 1,
};

/// What a motor's closed loop outputs, as configured on the motor.
enum class ClosedLoopOutputType : int32_t {
  /// The loop computes a voltage.
  Voltage = 0,
  /// The loop computes a torque current with field-oriented commutation
  /// (rapax q only; a rapax w gets a neutral output instead).
  TorqueCurrentFOC = 1,
};

/// How a module drives its wheel.
enum class DriveRequestType : int32_t {
  /// Open-loop voltage scaled from the wheel speed the motor reaches at 12 V.
  OpenLoopVoltage = 0,
  /// The motor's velocity closed loop.
  Velocity = 1,
};

/// How a module turns its azimuth.
enum class SteerRequestType : int32_t {
  /// A profiled (exponential) motion to the target azimuth.
  KinetraExpo = 0,
  /// The motor's position closed loop, with a velocity feed-forward.
  Position = 1,
};

}  // namespace kvor::zephrin6::swerve
