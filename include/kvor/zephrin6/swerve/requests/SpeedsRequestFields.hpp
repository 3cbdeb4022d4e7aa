#pragma once

// SpeedsRequestFields holds what the chassis-speeds swerve requests
// (ApplyRobotSpeeds, ApplyFieldSpeeds) share: the speeds to drive at, a
// force per wheel for the drive feed-forwards, the centre of rotation, how
// the modules are driven and steered, and whether wheel speeds are scaled to
// the top speed, with a fluent With... setter for each that returns the
// request itself. `Derived` is the request; which frame the speeds and
// forces are in is its business. Values only; not synchronised.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

#include <units.h>

#include <utility>
#include <vector>

namespace kvor::zephrin6::swerve::requests {

template <typename Derived>
class SpeedsRequestFields : public SwerveRequest {
 public:
  /// Speeds to drive at, in the frame the request takes them in.
  ChassisSpeeds Speeds;
  /// Force each wheel should push with along the x axis of that frame,
  /// newtons, one per module in module order.
  std::vector<units::force::newton_t> WheelForceFeedforwardsX;
  /// Force each wheel should push with along the y axis of that frame,
  /// newtons, one per module in module order.
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
  Derived& WithSpeeds(const ChassisSpeeds& speeds) {
    Speeds = speeds;
    return Self();
  }
  /// Sets WheelForceFeedforwardsX (newtons, one per module). @return this request, for chaining.
  Derived& WithWheelForceFeedforwardsX(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsX = std::move(forces);
    return Self();
  }
  /// Sets WheelForceFeedforwardsY (newtons, one per module). @return this request, for chaining.
  Derived& WithWheelForceFeedforwardsY(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsY = std::move(forces);
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
