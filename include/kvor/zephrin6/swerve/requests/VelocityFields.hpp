#pragma once

// VelocityFields is the part of a velocity-driven swerve request
// (FieldCentric, RobotCentric) that says how to move: the velocities and
// turning rate to drive at and their deadbands, each with a fluent With...
// setter that returns the request itself. A mix-in: `Derived` is the request
// that inherits it beside SwerveRequest and decides whether the velocities
// are field- or robot-relative. Values only; not synchronised.

#include <units.h>

namespace kvor::zephrin6::swerve::requests {

template <typename Derived>
class VelocityFields {
 public:
  /// Velocity forward, metres per second: along the field direction the
  /// request takes as forward, or the robot's own.
  units::velocity::meters_per_second_t VelocityX{0.0};
  /// Velocity to the left of forward, metres per second.
  units::velocity::meters_per_second_t VelocityY{0.0};
  /// Turning rate, radians per second, counter-clockwise positive.
  units::angular_velocity::radians_per_second_t RotationalRate{0.0};
  /// Translations slower than this (metres per second) are taken as none.
  units::velocity::meters_per_second_t Deadband{0.0};
  /// Turning rates slower than this (radians per second) are taken as none.
  units::angular_velocity::radians_per_second_t RotationalDeadband{0.0};

  /// Sets VelocityX (m/s). @return this request, for chaining.
  Derived& WithVelocityX(units::velocity::meters_per_second_t velocity) {
    VelocityX = velocity;
    return Self();
  }
  /// Sets VelocityY (m/s). @return this request, for chaining.
  Derived& WithVelocityY(units::velocity::meters_per_second_t velocity) {
    VelocityY = velocity;
    return Self();
  }
  /// Sets RotationalRate (rad/s). @return this request, for chaining.
  Derived& WithRotationalRate(units::angular_velocity::radians_per_second_t rate) {
    RotationalRate = rate;
    return Self();
  }
  /// Sets Deadband (m/s). @return this request, for chaining.
  Derived& WithDeadband(units::velocity::meters_per_second_t deadband) {
    Deadband = deadband;
    return Self();
  }
  /// Sets RotationalDeadband (rad/s). @return this request, for chaining.
  Derived& WithRotationalDeadband(units::angular_velocity::radians_per_second_t deadband) {
    RotationalDeadband = deadband;
    return Self();
  }

 private:
  Derived& Self() { return static_cast<Derived&>(*this); }
};

}  // namespace kvor::zephrin6::swerve::requests
