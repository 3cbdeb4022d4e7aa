#pragma once

// FieldCentric drives the robot with velocities given in the field's frame:
// VelocityX always moves it away from the driver (or along the field's x
// axis, see ForwardPerspective) whichever way the robot faces, while it
// turns at RotationalRate. This is the usual teleoperated drive. Each sample
// the command goes through the deadbands, is turned into the robot's frame
// with the current pose estimate, is corrected for turning while translating
// (discretisation over the sample period), becomes module states about
// CenterOfRotation, and is scaled down when a wheel would exceed the top
// speed. A plain value with fluent With... setters, meant to be changed
// every loop and handed to the drivetrain's SetControl; see SwerveRequest.
// Defaults: no motion, no deadband, rotation about the robot centre,
// open-loop voltage drive, position steering, desaturation on, operator
// perspective.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

#include <units.h>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API FieldCentric : public SwerveRequest {
 public:
  /// Velocity along the forward field direction, metres per second.
  units::velocity::meters_per_second_t VelocityX{0.0};
  /// Velocity along the field direction left of forward, metres per second.
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
  /// Which way is forward.
  ForwardPerspectiveValue ForwardPerspective = ForwardPerspectiveValue::OperatorPerspective;

  /// Sets VelocityX (m/s). @return this request, for chaining.
  FieldCentric& WithVelocityX(units::velocity::meters_per_second_t velocity) {
    VelocityX = velocity;
    return *this;
  }
  /// Sets VelocityY (m/s). @return this request, for chaining.
  FieldCentric& WithVelocityY(units::velocity::meters_per_second_t velocity) {
    VelocityY = velocity;
    return *this;
  }
  /// Sets RotationalRate (rad/s). @return this request, for chaining.
  FieldCentric& WithRotationalRate(units::angular_velocity::radians_per_second_t rate) {
    RotationalRate = rate;
    return *this;
  }
  /// Sets Deadband (m/s). @return this request, for chaining.
  FieldCentric& WithDeadband(units::velocity::meters_per_second_t deadband) {
    Deadband = deadband;
    return *this;
  }
  /// Sets RotationalDeadband (rad/s). @return this request, for chaining.
  FieldCentric& WithRotationalDeadband(units::angular_velocity::radians_per_second_t deadband) {
    RotationalDeadband = deadband;
    return *this;
  }
  /// Sets CenterOfRotation (metres). @return this request, for chaining.
  FieldCentric& WithCenterOfRotation(const Translation2d& center) {
    CenterOfRotation = center;
    return *this;
  }
  /// Sets DriveRequestType. @return this request, for chaining.
  FieldCentric& WithDriveRequestType(swerve::DriveRequestType type) {
    DriveRequestType = type;
    return *this;
  }
  /// Sets SteerRequestType. @return this request, for chaining.
  FieldCentric& WithSteerRequestType(swerve::SteerRequestType type) {
    SteerRequestType = type;
    return *this;
  }
  /// Sets DesaturateWheelSpeeds. @return this request, for chaining.
  FieldCentric& WithDesaturateWheelSpeeds(bool desaturate) {
    DesaturateWheelSpeeds = desaturate;
    return *this;
  }
  /// Sets ForwardPerspective. @return this request, for chaining.
  FieldCentric& WithForwardPerspective(ForwardPerspectiveValue perspective) {
    ForwardPerspective = perspective;
    return *this;
  }

  /// Commands every module for this sample. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
