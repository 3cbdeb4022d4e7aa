#pragma once

// SwerveDriveOdometry integrates wheel-distance changes and the gyro heading
// into a field pose. The wheels say how far the robot moved; the gyro alone
// decides how much it turned, because wheels slip when turning. It keeps a
// pointer to the kinematics, which it does not own and which must outlive it
// (the drivetrain owns both). Not thread-safe: one owner serialises every call.
//
// Inputs that are not finite (NaN or infinite readings, as a failing sensor
// may deliver) never enter the pose: updates and resets that carry one are
// refused with a warning report, so one bad sample cannot spoil every later
// pose.

#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>

#include <cstdint>
#include <limits>
#include <span>
#include <vector>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve::impl {

class SwerveDriveKinematics;

class ZEPHRIN6_API SwerveDriveOdometry {
 public:
  /// Odometry that starts at `initialPose` (metres, heading) while the gyro
  /// reads `gyroAngle` and the modules are at `modulePositions` (one per
  /// module, metres rolled and azimuth). Values that are not finite are
  /// reported and replaced by zero (the origin, the zero rotation).
  SwerveDriveOdometry(const SwerveDriveKinematics& kinematics, const Rotation2d& gyroAngle,
                      std::vector<SwerveModulePosition> modulePositions, const Pose2d& initialPose = Pose2d());

  /// Advances the pose by the module motion since the previous call and sets
  /// the heading to `gyroAngle` plus the offset fixed by the last reset.
  /// Module entries missing on either side count as no motion. Returns the
  /// new pose. An update whose gyro angle or module positions are not all
  /// finite is skipped (the next finite one covers its motion) and reported
  /// as a warning at most once per second of the runtime's clock, with the
  /// number skipped. Allocates nothing once the module count is stable.
  const Pose2d& Update(const Rotation2d& gyroAngle, std::span<const SwerveModulePosition> modulePositions);

  /// Sets the pose to `pose` and re-bases the gyro and the module distances on
  /// the given readings. Each reset that is given a value that is not finite
  /// changes nothing and is reported as a warning.
  void ResetPosition(const Rotation2d& gyroAngle, std::span<const SwerveModulePosition> modulePositions,
                     const Pose2d& pose);
  /// Sets the pose; later gyro readings turn relative to its heading.
  void ResetPose(const Pose2d& pose);
  /// Moves the pose to `translation` (metres), keeping the heading.
  void ResetTranslation(const Translation2d& translation);
  /// Sets the heading; later gyro readings turn relative to it.
  void ResetRotation(const Rotation2d& rotation);

  /// The current pose.
  const Pose2d& GetPose() const noexcept { return m_pose; }

 private:
  friend class SwerveDrivePoseEstimator;

  /// Update for readings already known to be finite: the estimator checks
  /// every sample before it gets here, so the check is not made twice.
  const Pose2d& Advance(const Rotation2d& gyroAngle, std::span<const SwerveModulePosition> modulePositions);

  const SwerveDriveKinematics* m_kinematics;
  Pose2d m_pose;
  std::vector<SwerveModulePosition> m_previousModulePositions;
  Rotation2d m_previousAngle;
  Rotation2d m_gyroOffset;
  /// Per-update scratch of module deltas, one per module, kept to avoid
  /// allocating on every sample.
  std::vector<SwerveModulePosition> m_deltas;
  /// Rate limit of the warning for skipped updates: runtime time from which
  /// the next one is reported (seconds) and updates skipped since the last.
  double m_nextRefusalReport = std::numeric_limits<double>::lowest();
  std::uint64_t m_refusedUpdates = 0;
};

}  // namespace kvor::zephrin6::swerve::impl
