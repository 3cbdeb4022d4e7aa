#include <kvor/zephrin6/swerve/impl/SwerveDriveOdometry.hpp>

#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>

#include <algorithm>
#include <string_view>
#include <utility>

#include "swerve/internal/FiniteInputs.hpp"
#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve::impl {

namespace {
constexpr std::string_view kLocation = "SwerveDriveOdometry";
constexpr std::string_view kPoseUnchanged = "the pose is unchanged";
}  // namespace

SwerveDriveOdometry::SwerveDriveOdometry(const SwerveDriveKinematics& kinematics, const Rotation2d& gyroAngle,
                                         std::vector<SwerveModulePosition> modulePositions, const Pose2d& initialPose)
    : m_kinematics(&kinematics),
      m_pose(internal::FiniteOrOrigin(initialPose)),
      m_previousModulePositions(std::move(modulePositions)),
      m_previousAngle(m_pose.Rotation()),
      m_gyroOffset(m_pose.Rotation() - internal::FiniteOrZero(gyroAngle)),
      m_deltas(kinematics.NumModules()) {
  // A start that is not finite would make every later pose NaN; the values
  // that are not are replaced by zero, so the first update may jump but the
  // odometry works and says why.
  if (const internal::NonFiniteInput bad = internal::FindNonFinite(gyroAngle, m_previousModulePositions, initialPose)) {
    internal::ReportRefused(kLocation, "odometry start", bad, "values that are not finite start from zero");
    m_previousModulePositions = internal::FiniteOrZero(std::move(m_previousModulePositions));
  }
}

const Pose2d& SwerveDriveOdometry::Update(const Rotation2d& gyroAngle,
                                          std::span<const SwerveModulePosition> modulePositions) {
  if (!internal::AllFinite(gyroAngle, modulePositions)) {
    internal::ReportRefusedLimited(m_nextRefusalReport, m_refusedUpdates, kLocation, "odometry update",
                                   internal::FindNonFinite(gyroAngle, modulePositions),
                                   "the next finite update covers its motion");
    return m_pose;
  }
  return Advance(gyroAngle, modulePositions);
}

const Pose2d& SwerveDriveOdometry::Advance(const Rotation2d& gyroAngle,
                                           std::span<const SwerveModulePosition> modulePositions) {
  const Rotation2d angle = gyroAngle + m_gyroOffset;

  const std::size_t count = std::min({m_deltas.size(), modulePositions.size(), m_previousModulePositions.size()});
  for (std::size_t i = 0; i < count; ++i) {
    m_deltas[i] = {modulePositions[i].distance - m_previousModulePositions[i].distance, modulePositions[i].angle};
  }
  std::fill(m_deltas.begin() + static_cast<std::ptrdiff_t>(count), m_deltas.end(), SwerveModulePosition{});

  Twist2d twist = m_kinematics->ToTwist2d(m_deltas);
  twist.dtheta = units::angle::radian_t{internal::AngleBetween(angle, m_previousAngle)};
  // Only the translation of m_pose.Exp(twist) is kept (the gyro gives the
  // heading), so the rotation it would build is skipped.
  const internal::RelativeMotion motion = internal::TwistMotion(twist);
  const Translation2d moved = internal::MovedTranslation(m_pose, motion.x, motion.y);

  m_previousModulePositions.assign(modulePositions.begin(), modulePositions.end());
  m_previousAngle = angle;
  m_pose = Pose2d(moved, angle);
  return m_pose;
}

void SwerveDriveOdometry::ResetPosition(const Rotation2d& gyroAngle,
                                        std::span<const SwerveModulePosition> modulePositions, const Pose2d& pose) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite(gyroAngle, modulePositions, pose)) {
    internal::ReportRefused(kLocation, "position reset", bad, kPoseUnchanged);
    return;
  }
  m_pose = pose;
  m_previousAngle = pose.Rotation();
  m_gyroOffset = pose.Rotation() - gyroAngle;
  m_previousModulePositions.assign(modulePositions.begin(), modulePositions.end());
}

void SwerveDriveOdometry::ResetPose(const Pose2d& pose) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite(pose)) {
    internal::ReportRefused(kLocation, "pose reset", bad, kPoseUnchanged);
    return;
  }
  m_gyroOffset = m_gyroOffset + (pose.Rotation() - m_pose.Rotation());
  m_pose = pose;
  m_previousAngle = pose.Rotation();
}

void SwerveDriveOdometry::ResetTranslation(const Translation2d& translation) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite(translation)) {
    internal::ReportRefused(kLocation, "translation reset", bad, kPoseUnchanged);
    return;
  }
  m_pose = Pose2d(translation, m_pose.Rotation());
}

void SwerveDriveOdometry::ResetRotation(const Rotation2d& rotation) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite("rotation", rotation)) {
    internal::ReportRefused(kLocation, "rotation reset", bad, kPoseUnchanged);
    return;
  }
  m_gyroOffset = m_gyroOffset + (rotation - m_pose.Rotation());
  m_pose = Pose2d(m_pose.Translation(), rotation);
  m_previousAngle = rotation;
}

}  // namespace kvor::zephrin6::swerve::impl
