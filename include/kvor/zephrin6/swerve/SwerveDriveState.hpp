#pragma once

// SwerveDriveState is the snapshot of a swerve drivetrain that its odometry
// thread publishes after every sample: the fused pose, the measured robot
// speeds, what each module measured, was told and has rolled, the raw gyro
// heading, and the sample's timing and acquisition counters. The drivetrain
// hands out copies (GetState) and passes its own to the telemetry callback
// by const reference, valid during the call only. A plain value; copying it
// copies three vectors of one entry per module.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>

#include <units.h>

#include <cstdint>
#include <vector>

namespace kvor::zephrin6::swerve {

struct SwerveDriveState {
  /// Fused pose estimate on the field.
  Pose2d Pose;
  /// Measured robot-relative speeds.
  ChassisSpeeds Speeds;
  /// Measured state of each module (speed in m/s, azimuth), in module order.
  std::vector<SwerveModuleState> ModuleStates;
  /// State each module was last told to reach, after its optimisation.
  std::vector<SwerveModuleState> ModuleTargets;
  /// Distance rolled and azimuth of each module.
  std::vector<SwerveModulePosition> ModulePositions;
  /// Gyro heading, latency-compensated, without the odometry's offset.
  Rotation2d RawHeading;
  /// Time of the sample, seconds on the runtime's time base.
  units::time::second_t Timestamp{0.0};
  /// Time between samples averaged over the last 50, seconds.
  units::time::second_t OdometryPeriod{0.0};
  /// Samples whose signals all arrived in time.
  int32_t SuccessfulDaqs = 0;
  /// Samples that ran with some signal late or missing.
  int32_t FailedDaqs = 0;
};

}  // namespace kvor::zephrin6::swerve
