#pragma once

// ModuleCommandFields is the part of the moving swerve requests
// (FieldCentric, RobotCentric, ApplyRobotSpeeds, ApplyFieldSpeeds) that says
// how the modules carry the motion out: the centre of rotation, how the
// wheels are driven and the azimuths turned, and whether wheel speeds are
// scaled to the top speed, each with a fluent With... setter that returns
// the request itself. A mix-in inherited after the request's motion fields,
// so that the fields keep their documented order. Values only; not
// synchronised.

#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>

namespace kvor::zephrin6::swerve::requests {

template <typename Derived>
class ModuleCommandFields {
 public:
  /// Point the robot turns about, metres in the robot frame.
  Translation2d CenterOfRotation;
  /// How the wheels are driven.
  swerve::DriveRequestType DriveRequestType = swerve::DriveRequestType::OpenLoopVoltage;
  /// How the azimuths are turned.
  swerve::SteerRequestType SteerRequestType = swerve::SteerRequestType::Position;
  /// Scale every wheel speed down together when one would exceed the
  /// drivetrain's top speed, keeping the direction of motion.
  bool DesaturateWheelSpeeds = true;

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
