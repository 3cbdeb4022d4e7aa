#pragma once

// ApplyRobotSpeeds drives the robot at chassis speeds given in its own frame,
// as a path follower or a controller computes them, optionally with a force
// per wheel that the drive motors add as a feed-forward (for example from a
// trajectory's accelerations). The speeds are used as they are (no deadband,
// no discretisation), become module states about CenterOfRotation and are
// scaled down when a wheel would exceed the top speed. The force vectors
// hold one entry per module in module order; a module without an entry in
// both gets no force. A plain value with fluent With... setters; see
// SwerveRequest. Defaults: no motion, no forces, rotation about the robot
// centre, open-loop voltage drive, position steering, desaturation on.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/requests/ModuleCommandFields.hpp>
#include <kvor/zephrin6/swerve/requests/SpeedsFields.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API ApplyRobotSpeeds : public SwerveRequest,
                                      public SpeedsFields<ApplyRobotSpeeds>,
                                      public ModuleCommandFields<ApplyRobotSpeeds> {
 public:
  // Speeds, WheelForceFeedforwardsX and WheelForceFeedforwardsY come from
  // SpeedsFields (the speeds and forces are robot-relative here);
  // CenterOfRotation, DriveRequestType, SteerRequestType and
  // DesaturateWheelSpeeds from ModuleCommandFields.

  /// Commands every module for this sample. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
