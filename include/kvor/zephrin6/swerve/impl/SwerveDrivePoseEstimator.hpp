#pragma once

// SwerveDrivePoseEstimator fuses odometry with delayed absolute pose
// measurements (from cameras, say). It records every odometry pose of the last
// 1.5 s; a measurement taken at an earlier time corrects the pose of that time
// by a fixed gain, and the odometry motion since then is replayed on top, so
// late measurements still help. Times are seconds on the runtime's time base.
// It keeps a pointer to the kinematics, which must outlive it. Not
// thread-safe: the drivetrain serialises every call under its state lock.
//
// Numbers that are not finite never enter the estimate: odometry samples,
// vision measurements and resets that carry one are refused with a warning
// report (for the streams of samples and measurements at most one per second
// of the runtime's clock, counting the refusals in between), so one bad
// reading cannot spoil the estimate for the rest of a match.

#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveOdometry.hpp>
#include <kvor/zephrin6/swerve/impl/TimeInterpolatableBuffer.hpp>
#include <kvor/zephrin6/swerve/impl/VisionUpdate.hpp>

#include <units.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve::impl {

class SwerveDriveKinematics;

class ZEPHRIN6_API SwerveDrivePoseEstimator {
 public:
  /// How far back odometry poses are kept for late measurements.
  static constexpr units::time::second_t kHistorySize{1.5};

  /// An estimator that starts at `initialPose` while the gyro reads
  /// `gyroAngle` and the modules are at `modulePositions`.
  /// `stateStdDevs` are how much odometry is trusted (x, y in metres, heading
  /// in radians) and `visionStdDevs` the same for measurements; smaller means
  /// more trusted. A state deviation that is not finite (or whose square
  /// overflows) is reported, and vision then never corrects that component;
  /// other values that are not finite are handled as by SwerveDriveOdometry.
  SwerveDrivePoseEstimator(const SwerveDriveKinematics& kinematics, const Rotation2d& gyroAngle,
                           std::vector<SwerveModulePosition> modulePositions, const Pose2d& initialPose,
                           const std::array<double, 3>& stateStdDevs, const std::array<double, 3>& visionStdDevs);

  /// Sets how much later measurements are trusted: x and y in metres, heading
  /// in radians. An infinite deviation makes that component ignored. A set
  /// holding a NaN is refused with a warning report; the previous deviations
  /// stay.
  void SetVisionMeasurementStdDevs(const std::array<double, 3>& visionStdDevs);

  /// Fuses `visionRobotPose`, measured at `timestamp` (seconds). Dropped
  /// silently when there is no odometry history yet or the measurement is
  /// older than the history. Corrections made after `timestamp` are
  /// discarded, since this one changes the past they were based on. A
  /// measurement whose pose or timestamp is not finite is refused with a
  /// warning report, at most one per second of the runtime's clock.
  void AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp);

  /// The fused pose at `timestamp` (seconds), clamped to the recorded span;
  /// empty when no odometry sample was recorded since construction or the
  /// last reset, or when `timestamp` is NaN.
  std::optional<Pose2d> SampleAt(units::time::second_t timestamp) const;

  /// Integrates one odometry sample taken at `timestamp` (seconds) and
  /// returns the new fused pose. A sample whose timestamp, gyro angle or
  /// module positions are not all finite is skipped (the next finite sample
  /// covers its motion; the estimate is returned unchanged) and reported as
  /// a warning at most once per second of the runtime's clock, with the
  /// number skipped. Allocates nothing once the history is full.
  const Pose2d& UpdateWithTime(units::time::second_t timestamp, const Rotation2d& gyroAngle,
                               std::span<const SwerveModulePosition> modulePositions);
  /// UpdateWithTime stamped with the runtime's current time.
  const Pose2d& Update(const Rotation2d& gyroAngle, std::span<const SwerveModulePosition> modulePositions);

  /// The odometry resets (see SwerveDriveOdometry); each also forgets the pose
  /// history and every vision correction. A reset given a value that is not
  /// finite changes nothing and is reported as a warning.
  void ResetPosition(const Rotation2d& gyroAngle, std::span<const SwerveModulePosition> modulePositions,
                     const Pose2d& pose);
  void ResetPose(const Pose2d& pose);
  void ResetTranslation(const Translation2d& translation);
  void ResetRotation(const Rotation2d& rotation);

  /// The fused pose estimate.
  const Pose2d& GetEstimatedPosition() const noexcept { return m_poseEstimate; }
  /// The pose from odometry alone.
  const Pose2d& GetOdometryPose() const noexcept { return m_odometry.GetPose(); }

 private:
  /// One fused measurement with its time (seconds) and the cosine and sine
  /// of its odometry heading negated, which carrying every later odometry
  /// pose over onto the correction needs; working them out once saves a
  /// sincos per sample.
  struct VisionEntry {
    double time = 0.0;
    VisionUpdate update;
    double backCos = 1.0;
    double backSin = 0.0;
    /// update.Compensate(pose), bit for bit.
    Pose2d Compensate(const Pose2d& pose) const noexcept;
  };

  /// Drops vision updates that no recorded odometry pose needs any more.
  void CleanUpVisionUpdates();
  /// Erases the dropped updates before m_visionFirst from the storage.
  void EraseDroppedVisionUpdates();
  /// The live vision updates, oldest first.
  std::vector<VisionEntry>::iterator VisionBegin() noexcept {
    return m_visionUpdates.begin() + static_cast<std::ptrdiff_t>(m_visionFirst);
  }
  std::vector<VisionEntry>::const_iterator VisionBegin() const noexcept {
    return m_visionUpdates.begin() + static_cast<std::ptrdiff_t>(m_visionFirst);
  }
  bool NoVisionUpdates() const noexcept { return VisionBegin() == m_visionUpdates.end(); }
  void ClearHistory();

  SwerveDriveOdometry m_odometry;
  std::array<double, 3> m_q{};
  /// Vision gain, row-major 3x3; only the diagonal is ever non-zero.
  std::array<double, 9> m_visionK{};
  TimeInterpolatableBuffer m_odometryPoseBuffer;
  /// Fused measurements in time order. Those before index m_visionFirst
  /// were dropped and wait to be erased in one go, once they are as many as
  /// the live ones or their room is needed, so that the usual drop of one
  /// measurement at a time moves nothing; the storage is reused, so a steady
  /// stream of measurements does not allocate.
  std::vector<VisionEntry> m_visionUpdates;
  std::size_t m_visionFirst = 0;
  Pose2d m_poseEstimate;
  /// Rate limits of the warnings for refused samples and measurements:
  /// runtime time from which the next one is reported (seconds) and how many
  /// were refused since the last.
  double m_nextOdometryReport = std::numeric_limits<double>::lowest();
  std::uint64_t m_refusedOdometry = 0;
  double m_nextVisionReport = std::numeric_limits<double>::lowest();
  std::uint64_t m_refusedVision = 0;
};

}  // namespace kvor::zephrin6::swerve::impl
