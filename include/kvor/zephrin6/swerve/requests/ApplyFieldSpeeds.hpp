#pragma once

// ApplyFieldSpeeds drives the robot at chassis speeds given in the field's
// frame, as a field-relative path follower computes them, optionally with a
// force per wheel, also in the field's frame, that the drive motors add as a
// feed-forward. Each sample the speeds (and forces) are turned into the
// robot's frame with the current pose estimate (from the operator's
// perspective when ForwardPerspective says so), corrected for turning while
// translating, become module states about CenterOfRotation and are scaled
// down when a wheel would exceed the top speed. The force vectors hold one
// entry per module in module order; a module without an entry in both gets
// no force. A plain value with fluent With... setters; see SwerveRequest.
// Defaults: no motion, no forces, rotation about the robot centre, open-loop
// voltage drive, position steering, desaturation on, operator perspective.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/requests/ModuleCommandFields.hpp>
#include <kvor/zephrin6/swerve/requests/SpeedsFields.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API ApplyFieldSpeeds : public SwerveRequest,
                                      public SpeedsFields<ApplyFieldSpeeds>,
                                      public ModuleCommandFields<ApplyFieldSpeeds> {
 public:
  // Speeds, WheelForceFeedforwardsX and WheelForceFeedforwardsY come from
  // SpeedsFields (the speeds and forces are field-relative here);
  // CenterOfRotation, DriveRequestType, SteerRequestType and
  // DesaturateWheelSpeeds from ModuleCommandFields.

  /// Which way is forward.
  ForwardPerspectiveValue ForwardPerspective = ForwardPerspectiveValue::OperatorPerspective;

  /// Sets ForwardPerspective. @return this request, for chaining.
  ApplyFieldSpeeds& WithForwardPerspective(ForwardPerspectiveValue perspective) {
    ForwardPerspective = perspective;
    return *this;
  }

  /// Commands every module for this sample. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
