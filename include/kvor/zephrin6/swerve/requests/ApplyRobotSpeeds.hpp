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
#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

#include <units.h>

#include <utility>
#include <vector>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API ApplyRobotSpeeds : public SwerveRequest {
 public:
  /// Robot-relative speeds to drive at.
  ChassisSpeeds Speeds;
  /// Force each wheel should push with along the robot's x axis, newtons.
  std::vector<units::force::newton_t> WheelForceFeedforwardsX;
  /// Force each wheel should push with along the robot's y axis, newtons.
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

  /// Sets Speeds. @return this request, for chaining.
  ApplyRobotSpeeds& WithSpeeds(const ChassisSpeeds& speeds) {
    Speeds = speeds;
    return *this;
  }
  /// Sets WheelForceFeedforwardsX (newtons, one per module). @return this request, for chaining.
  ApplyRobotSpeeds& WithWheelForceFeedforwardsX(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsX = std::move(forces);
    return *this;
  }
  /// Sets WheelForceFeedforwardsY (newtons, one per module). @return this request, for chaining.
  ApplyRobotSpeeds& WithWheelForceFeedforwardsY(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsY = std::move(forces);
    return *this;
  }
  /// Sets CenterOfRotation (metres). @return this request, for chaining.
  ApplyRobotSpeeds& WithCenterOfRotation(const Translation2d& center) {
    CenterOfRotation = center;
    return *this;
  }
  /// Sets DriveRequestType. @return this request, for chaining.
  ApplyRobotSpeeds& WithDriveRequestType(swerve::DriveRequestType type) {
    DriveRequestType = type;
    return *this;
  }
  /// Sets SteerRequestType. @return this request, for chaining.
  ApplyRobotSpeeds& WithSteerRequestType(swerve::SteerRequestType type) {
    SteerRequestType = type;
    return *this;
  }
  /// Sets DesaturateWheelSpeeds. @return this request, for chaining.
  ApplyRobotSpeeds& WithDesaturateWheelSpeeds(bool desaturate) {
    DesaturateWheelSpeeds = desaturate;
    return *this;
  }

  /// Commands every module for this sample. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
