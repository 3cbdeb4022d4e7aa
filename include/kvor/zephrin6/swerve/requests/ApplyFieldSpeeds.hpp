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
#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

#include <units.h>

#include <utility>
#include <vector>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API ApplyFieldSpeeds : public SwerveRequest {
 public:
  /// Field-relative speeds to drive at.
  ChassisSpeeds Speeds;
  /// Force each wheel should push with along the field's x axis, newtons.
  std::vector<units::force::newton_t> WheelForceFeedforwardsX;
  /// Force each wheel should push with along the field's y axis, newtons.
  std::vector<units::force::newton_t> WheelForceFeedforwardsY;
  /// Point the robot turns about, metres in the robot frame.
  Translation2d CenterOfRotation;
  /// How the wheels are driven.
  swerve::DriveRequestType DriveRequestType = swerve::DriveRequestType::OpenLoopVoltage;
  /// How the azimuths are turned.
  swerve::SteerRequestType SteerRequestType = swerve::SteerRequestType::Position;
  /// Scale every wheel speed down together when one would exceed the
  /// drivetrain's top speed.
  bool DesaturateWheelSpeeds = true;
  /// Which way is forward.
  ForwardPerspectiveValue ForwardPerspective = ForwardPerspectiveValue::OperatorPerspective;

  /// Sets Speeds. @return this request, for chaining.
  ApplyFieldSpeeds& WithSpeeds(const ChassisSpeeds& speeds) {
    Speeds = speeds;
    return *this;
  }
  /// Sets WheelForceFeedforwardsX (newtons, one per module). @return this request, for chaining.
  ApplyFieldSpeeds& WithWheelForceFeedforwardsX(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsX = std::move(forces);
    return *this;
  }
  /// Sets WheelForceFeedforwardsY (newtons, one per module). @return this request, for chaining.
  ApplyFieldSpeeds& WithWheelForceFeedforwardsY(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsY = std::move(forces);
    return *this;
  }
  /// Sets CenterOfRotation (metres). @return this request, for chaining.
  ApplyFieldSpeeds& WithCenterOfRotation(const Translation2d& center) {
    CenterOfRotation = center;
    return *this;
  }
  /// Sets DriveRequestType. @return this request, for chaining.
  ApplyFieldSpeeds& WithDriveRequestType(swerve::DriveRequestType type) {
    DriveRequestType = type;
    return *this;
  }
  /// Sets SteerRequestType. @return this request, for chaining.
  ApplyFieldSpeeds& WithSteerRequestType(swerve::SteerRequestType type) {
    SteerRequestType = type;
    return *this;
  }
  /// Sets DesaturateWheelSpeeds. @return this request, for chaining.
  ApplyFieldSpeeds& WithDesaturateWheelSpeeds(bool desaturate) {
    DesaturateWheelSpeeds = desaturate;
    return *this;
  }
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
