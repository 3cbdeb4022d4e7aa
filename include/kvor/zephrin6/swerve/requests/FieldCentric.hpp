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
#include <kvor/zephrin6/swerve/requests/ModuleCommandFields.hpp>
#include <kvor/zephrin6/swerve/requests/VelocityFields.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API FieldCentric : public SwerveRequest,
                                  public VelocityFields<FieldCentric>,
                                  public ModuleCommandFields<FieldCentric> {
 public:
  // VelocityX, VelocityY, RotationalRate, Deadband and RotationalDeadband
  // come from VelocityFields (the velocities are field-relative here);
  // CenterOfRotation, DriveRequestType, SteerRequestType and
  // DesaturateWheelSpeeds from ModuleCommandFields.

  /// Which way is forward.
  ForwardPerspectiveValue ForwardPerspective = ForwardPerspectiveValue::OperatorPerspective;

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
