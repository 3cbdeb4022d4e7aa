#pragma once

// RobotCentric drives the robot with velocities given in its own frame:
// VelocityX is always the way the robot faces. Useful for aiming at
// something the robot sees, or when the heading is not trusted. Each sample
// the command goes through the deadbands, becomes module states about
// CenterOfRotation, and is scaled down when a wheel would exceed the top
// speed; there is no discretisation. A plain value with fluent With...
// setters, meant to be changed every loop and handed to the drivetrain's
// SetControl; see SwerveRequest. Defaults: no motion, no deadband, rotation
// about the robot centre, open-loop voltage drive, position steering,
// desaturation on.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/requests/ModuleCommandFields.hpp>
#include <kvor/zephrin6/swerve/requests/VelocityFields.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API RobotCentric : public SwerveRequest,
                                  public VelocityFields<RobotCentric>,
                                  public ModuleCommandFields<RobotCentric> {
 public:
  // VelocityX, VelocityY, RotationalRate, Deadband and RotationalDeadband
  // come from VelocityFields (the velocities are robot-relative here);
  // CenterOfRotation, DriveRequestType, SteerRequestType and
  // DesaturateWheelSpeeds from ModuleCommandFields.

  /// Commands every module for this sample. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
