#include <kvor/zephrin6/swerve/impl/SwerveDrivePoseEstimator.hpp>

#include <kvor/zephrin/platform/Time.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>
#include <utility>

#include "swerve/internal/FiniteInputs.hpp"
#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve::impl {

namespace {
constexpr std::string_view kLocation = "SwerveDrivePoseEstimator";
constexpr std::string_view kResetRefused = "the pose, its history and the vision corrections are unchanged";
constexpr const char* kComponentNames[3] = {"x", "y", "heading"};

// Kept out of line so that the finite path of every sample stays short.
[[gnu::noinline, gnu::cold]] void RefuseSample(double& nextReportTime, std::uint64_t& refused, double time,
                                               const Rotation2d& gyroAngle,
                                               std::span<const SwerveModulePosition> modulePositions) {
  internal::NonFiniteInput bad = internal::FindNonFinite("timestamp", time);
  if (!bad) bad = internal::FindNonFinite(gyroAngle, modulePositions);
  internal::ReportRefusedLimited(nextReportTime, refused, kLocation, "odometry sample", bad,
                                 "the estimate keeps its last finite pose");
}
/// The first of the updates [first, last) later than `t`.
template <class Iterator>
Iterator UpdatesAfter(Iterator first, Iterator last, double t) noexcept {
  return std::upper_bound(first, last, t, [](double time, const auto& entry) { return time < entry.time; });
}

/// The update of [first, last) in force at `t`: the newest at or before it,
/// or null when there is none. (A free function, so that the lookup is
/// inlined into its callers rather than called through the library's
/// exported symbols.)
template <class Iterator>
const auto* CorrectionAt(Iterator first, Iterator last, double t) noexcept {
  return first == last || first->time > t ? nullptr : &*std::prev(UpdatesAfter(first, last, t));
}
}  // namespace

SwerveDrivePoseEstimator::SwerveDrivePoseEstimator(const SwerveDriveKinematics& kinematics, const Rotation2d& gyroAngle,
                                                   std::vector<SwerveModulePosition> modulePositions,
                                                   const Pose2d& initialPose, const std::array<double, 3>& stateStdDevs,
                                                   const std::array<double, 3>& visionStdDevs)
    : m_odometry(kinematics, gyroAngle, std::move(modulePositions), initialPose),
      m_odometryPoseBuffer(kHistorySize, &Interpolate),
      m_poseEstimate(m_odometry.GetPose()) {
  for (std::size_t i = 0; i < 3; ++i) {
    m_q[i] = stateStdDevs[i] * stateStdDevs[i];
    // An infinite q would make the gain inf / inf; a zero one keeps vision
    // out of that component, and the warning says so.
    if (!std::isfinite(m_q[i])) {
      internal::ReportRefused(kLocation, "state standard deviation", {kComponentNames[i], -1, stateStdDevs[i]},
                              "vision measurements will not correct that component");
      m_q[i] = 0.0;
    }
  }
  SetVisionMeasurementStdDevs(visionStdDevs);
}

void SwerveDrivePoseEstimator::SetVisionMeasurementStdDevs(const std::array<double, 3>& visionStdDevs) {
  // Infinite deviations are meaningful (that component is ignored); NaN is not.
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::isnan(visionStdDevs[i])) {
      internal::ReportRefused(kLocation, "vision standard deviations", {kComponentNames[i], -1, visionStdDevs[i]},
                              "the previous ones stay (+inf ignores a component)");
      return;
    }
  }
  // The steady-state gain of a Kalman filter whose process and measurement
  // noise are both diagonal, one axis at a time.
  for (std::size_t i = 0; i < 3; ++i) {
    const double r = visionStdDevs[i] * visionStdDevs[i];
    const double q = m_q[i];
    m_visionK[4 * i] = q == 0.0 ? 0.0 : q / (q + std::sqrt(q * r));
  }
}

void SwerveDrivePoseEstimator::CleanUpVisionUpdates() {
  if (m_odometryPoseBuffer.Empty() || NoVisionUpdates()) return;
  const double oldest = m_odometryPoseBuffer.Front().time.value();
  // The newest update at or before the oldest pose still corrects that pose,
  // so it stays; everything before it is no longer reachable.
  const auto after = UpdatesAfter(VisionBegin(), m_visionUpdates.end(), oldest);
  if (after == VisionBegin()) return;
  m_visionFirst = static_cast<std::size_t>(after - m_visionUpdates.begin()) - 1;
  if (m_visionFirst >= m_visionUpdates.size() - m_visionFirst) EraseDroppedVisionUpdates();
}

void SwerveDrivePoseEstimator::EraseDroppedVisionUpdates() {
  m_visionUpdates.erase(m_visionUpdates.begin(), VisionBegin());
  m_visionFirst = 0;
}

Pose2d SwerveDrivePoseEstimator::VisionEntry::Compensate(const Pose2d& pose) const noexcept {
  // VisionUpdate::Compensate with the negated heading it would work out.
  return internal::CarryOver(update.visionPose, update.odometryPose, internal::Direction(backCos, backSin), pose);
}

void SwerveDrivePoseEstimator::AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp) {
  const double t = timestamp.value();
  // A NaN time would become a key of the ordered vision history, and a NaN
  // pose a correction that no later measurement undoes.
  internal::NonFiniteInput bad = internal::FindNonFinite("timestamp", t);
  if (!bad) bad = internal::FindNonFinite(visionRobotPose);
  if (bad) {
    internal::ReportRefusedLimited(m_nextVisionReport, m_refusedVision, kLocation, "vision measurement", bad,
                                   "the estimate is unchanged");
    return;
  }
  if (m_odometryPoseBuffer.Empty() || m_odometryPoseBuffer.Front().time.value() - kHistorySize.value() > t) return;

  CleanUpVisionUpdates();

  // The corrected pose at t is SampleAt(t): the odometry sample at t clamped
  // to the recorded span, corrected. Inside the span that sample is the
  // odometry sample itself, so the interpolation runs once.
  const double clamped =
      std::clamp(t, m_odometryPoseBuffer.Front().time.value(), m_odometryPoseBuffer.Back().time.value());
  const std::optional<Pose2d> odometrySample = m_odometryPoseBuffer.Sample(timestamp);
  const std::optional<Pose2d> clampedSample =
      clamped == t ? odometrySample : m_odometryPoseBuffer.Sample(units::time::second_t{clamped});
  if (!odometrySample || !clampedSample) return;
  const auto* correction = CorrectionAt(VisionBegin(), m_visionUpdates.end(), clamped);
  const Pose2d visionSample = correction ? correction->Compensate(*clampedSample) : *clampedSample;

  const Twist2d twist = visionSample.Log(visionRobotPose);
  const double error[3] = {twist.dx.value(), twist.dy.value(), twist.dtheta.value()};
  double scaled[3];
  for (std::size_t row = 0; row < 3; ++row) {
    scaled[row] = m_visionK[3 * row] * error[0] + m_visionK[3 * row + 1] * error[1] + m_visionK[3 * row + 2] * error[2];
  }
  const internal::Direction back = internal::Negated(odometrySample->Rotation());
  const VisionEntry entry{t,
                          {visionSample.Exp({units::length::meter_t{scaled[0]}, units::length::meter_t{scaled[1]},
                                             units::angle::radian_t{scaled[2]}}),
                           *odometrySample},
                          back.cos,
                          back.sin};

  // Corrections after t were based on the past this one changes: they go,
  // and t becomes the newest (replacing one of the same time).
  m_visionUpdates.erase(UpdatesAfter(VisionBegin(), m_visionUpdates.end(), t), m_visionUpdates.end());
  if (!NoVisionUpdates() && m_visionUpdates.back().time == t) {
    m_visionUpdates.back() = entry;
  } else {
    // Room taken by dropped updates is reused before the storage grows.
    if (m_visionUpdates.size() == m_visionUpdates.capacity()) EraseDroppedVisionUpdates();
    m_visionUpdates.push_back(entry);
  }
  m_poseEstimate = entry.Compensate(m_odometry.GetPose());
}

std::optional<Pose2d> SwerveDrivePoseEstimator::SampleAt(units::time::second_t timestamp) const {
  if (m_odometryPoseBuffer.Empty() || std::isnan(timestamp.value())) return std::nullopt;
  const double t = std::clamp(timestamp.value(), m_odometryPoseBuffer.Front().time.value(),
                              m_odometryPoseBuffer.Back().time.value());
  if (const auto* correction = CorrectionAt(VisionBegin(), m_visionUpdates.end(), t)) {
    return correction->Compensate(*m_odometryPoseBuffer.Sample(units::time::second_t{t}));
  }
  return m_odometryPoseBuffer.Sample(units::time::second_t{t});
}

const Pose2d& SwerveDrivePoseEstimator::UpdateWithTime(units::time::second_t timestamp, const Rotation2d& gyroAngle,
                                                       std::span<const SwerveModulePosition> modulePositions) {
  // A NaN time would sort first in the history and stop its pruning for
  // good; NaN readings would make every later pose NaN.
  if (!(std::isfinite(timestamp.value()) & internal::AllFinite(gyroAngle, modulePositions))) {
    RefuseSample(m_nextOdometryReport, m_refusedOdometry, timestamp.value(), gyroAngle, modulePositions);
    return m_poseEstimate;
  }
  const Pose2d& odometryPose = m_odometry.Advance(gyroAngle, modulePositions);
  m_odometryPoseBuffer.AddSample(timestamp, odometryPose);
  m_poseEstimate = NoVisionUpdates() ? odometryPose : m_visionUpdates.back().Compensate(odometryPose);
  return m_poseEstimate;
}

const Pose2d& SwerveDrivePoseEstimator::Update(const Rotation2d& gyroAngle,
                                               std::span<const SwerveModulePosition> modulePositions) {
  return UpdateWithTime(units::time::second_t{utils::GetCurrentTimeSeconds()}, gyroAngle, modulePositions);
}

void SwerveDrivePoseEstimator::ClearHistory() {
  m_odometryPoseBuffer.Clear();
  m_visionUpdates.clear();
  m_visionFirst = 0;
  m_poseEstimate = m_odometry.GetPose();
}

void SwerveDrivePoseEstimator::ResetPosition(const Rotation2d& gyroAngle,
                                             std::span<const SwerveModulePosition> modulePositions,
                                             const Pose2d& pose) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite(gyroAngle, modulePositions, pose)) {
    internal::ReportRefused(kLocation, "position reset", bad, kResetRefused);
    return;
  }
  m_odometry.ResetPosition(gyroAngle, modulePositions, pose);
  ClearHistory();
}

void SwerveDrivePoseEstimator::ResetPose(const Pose2d& pose) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite(pose)) {
    internal::ReportRefused(kLocation, "pose reset", bad, kResetRefused);
    return;
  }
  m_odometry.ResetPose(pose);
  ClearHistory();
}

void SwerveDrivePoseEstimator::ResetTranslation(const Translation2d& translation) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite(translation)) {
    internal::ReportRefused(kLocation, "translation reset", bad, kResetRefused);
    return;
  }
  m_odometry.ResetTranslation(translation);
  ClearHistory();
}

void SwerveDrivePoseEstimator::ResetRotation(const Rotation2d& rotation) {
  if (const internal::NonFiniteInput bad = internal::FindNonFinite("rotation", rotation)) {
    internal::ReportRefused(kLocation, "rotation reset", bad, kResetRefused);
    return;
  }
  m_odometry.ResetRotation(rotation);
  ClearHistory();
}

}  // namespace kvor::zephrin6::swerve::impl
