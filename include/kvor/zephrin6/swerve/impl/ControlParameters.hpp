#pragma once

// ControlParameters is what a swerve drivetrain hands its current request
// every odometry sample: the kinematics to turn chassis speeds into module
// states, the module locations, the top speed, the operator's forward
// direction and this sample's measured speeds, pose, time and period. The
// drivetrain owns it and rewrites it every sample; a request reads it during
// its Apply only (the pointers stay valid as long as the drivetrain lives).
// Requests run under the drivetrain's state lock, which also guards the
// kinematics behind the pointer.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>

#include <units.h>

namespace kvor::zephrin6::swerve::impl {

class SwerveDriveKinematics;

struct ControlParameters {
  /// The drivetrain's kinematics; requests call its inverse direction.
  SwerveDriveKinematics* kinematics = nullptr;
  /// The first of the module locations (metres), one per module in order.
  const Translation2d* moduleLocations = nullptr;
  /// Top speed: the smallest SpeedAt12Volts over the modules, m/s.
  units::velocity::meters_per_second_t kMaxSpeed{0.0};
  /// The field direction the operator calls forward.
  Rotation2d operatorForwardDirection;
  /// Measured robot-relative speeds of this sample.
  ChassisSpeeds currentChassisSpeed;
  /// Fused pose estimate of this sample.
  Pose2d currentPose;
  /// Time of this sample, seconds on the runtime's time base.
  units::time::second_t timestamp{0.0};
  /// Control period: 1 / the odometry frequency, seconds.
  units::time::second_t updatePeriod{0.0};
};

}  // namespace kvor::zephrin6::swerve::impl
