#pragma once

// VelocityRequestFields holds what the velocity-driven swerve requests
// (FieldCentric, RobotCentric) share: the velocities and turning rate to
// drive at, their deadbands, the centre of rotation, how the modules are
// driven and steered, and whether wheel speeds are scaled to the top speed,
// with a fluent With... setter for each that returns the request itself.
// `Derived` is the request; whether the velocities are field- or
// robot-relative is its business. Values only; not synchronised.

#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

#include <units.h>

namespace kvor::zephrin6::swerve::requests {

template <typename Derived>
class VelocityRequestFields : public SwerveRequest {
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
  /// Point the robot turns about, metres in the robot frame.
  Translation2d CenterOfRotation;
  /// How the wheels are driven.
  swerve::DriveRequestType DriveRequestType = swerve::DriveRequestType::OpenLoopVoltage;
  /// How the azimuths are turned.
  swerve::SteerRequestType SteerRequestType = swerve::SteerRequestType::Position;
  /// Scale every wheel speed down together when one would exceed the
  /// drivetrain's top speed, keeping the direction of motion.
  bool DesaturateWheelSpeeds = true;

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
  /// Sets CenterOfRotation (metres). @return this request, for chaining.
  Derived& WithCenterOfRotation(const Translation2d& center) {
    CenterOfRotation = center;
    return Self();
  }
  /// Sets DriveRequestType. @return this request, for chaining.
  Derived& WithDriveRequestType(swerve::DriveRequestType type) {
    DriveRequestType = type;
    return Self();
  }
  /// Sets SteerRequestType. @return this request, for chaining.
  Derived& WithSteerRequestType(swerve::SteerRequestType type) {
    SteerRequestType = type;
    return Self();
  }
  /// Sets DesaturateWheelSpeeds. @return this request, for chaining.
  Derived& WithDesaturateWheelSpeeds(bool desaturate) {
    DesaturateWheelSpeeds = desaturate;
    return Self();
  }

 private:
  Derived& Self() { return static_cast<Derived&>(*this); }
};

}  // namespace kvor::zephrin6::swerve::requests
