#pragma once

// Guards that keep numbers which are not finite out of the odometry and the
// pose estimate. A single NaN or infinity let into the pose, the pose history
// or a vision correction spreads to every later estimate and survives newer
// measurements, so inputs are checked where they enter and refused as a
// whole. A broken sensor repeats its bad value every sample, so the warning
// for a stream of inputs is limited to one per second of the runtime's clock
// and counts the refusals in between.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvor::zephrin6::swerve::internal {

/// The first input found not finite, for the warning that refuses it.
struct NonFiniteInput {
  /// What the value is ("timestamp", "gyro angle", "distance", "pose x",
  /// ...); null when every input was finite.
  const char* name = nullptr;
  /// Index of the module the value belongs to, or -1.
  int module = -1;
  double value = 0.0;

  explicit operator bool() const noexcept { return name != nullptr; }
};

inline bool IsFinite(const Rotation2d& r) noexcept {
  return std::isfinite(r.Radians().value()) & std::isfinite(r.Cos()) & std::isfinite(r.Sin());
}

inline bool IsFinite(const ChassisSpeeds& s) noexcept {
  return std::isfinite(s.vx.value()) & std::isfinite(s.vy.value()) & std::isfinite(s.omega.value());
}

inline NonFiniteInput FindNonFinite(const char* name, double value) noexcept {
  return std::isfinite(value) ? NonFiniteInput{} : NonFiniteInput{name, -1, value};
}

inline NonFiniteInput FindNonFinite(const char* name, const Rotation2d& rotation) noexcept {
  return IsFinite(rotation) ? NonFiniteInput{} : NonFiniteInput{name, -1, rotation.Radians().value()};
}

inline NonFiniteInput FindNonFinite(const Translation2d& translation) noexcept {
  if (const NonFiniteInput x = FindNonFinite("translation x", translation.X().value())) return x;
  return FindNonFinite("translation y", translation.Y().value());
}

inline NonFiniteInput FindNonFinite(const Pose2d& pose) noexcept {
  if (const NonFiniteInput x = FindNonFinite("pose x", pose.X().value())) return x;
  if (const NonFiniteInput y = FindNonFinite("pose y", pose.Y().value())) return y;
  return FindNonFinite("pose rotation", pose.Rotation());
}

inline NonFiniteInput FindNonFinite(std::span<const SwerveModulePosition> positions) noexcept {
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const int module = static_cast<int>(i);
    if (!std::isfinite(positions[i].distance.value())) return {"distance", module, positions[i].distance.value()};
    if (!IsFinite(positions[i].angle)) return {"angle", module, positions[i].angle.Radians().value()};
  }
  return {};
}

/// Whether the inputs of one odometry update are all finite: the fast check
/// of every sample, without branches per value.
inline bool AllFinite(const Rotation2d& gyroAngle, std::span<const SwerveModulePosition> positions) noexcept {
  bool finite = IsFinite(gyroAngle);
  for (const SwerveModulePosition& position : positions) {
    finite &= std::isfinite(position.distance.value()) & IsFinite(position.angle);
  }
  return finite;
}

/// The inputs of one odometry update.
inline NonFiniteInput FindNonFinite(const Rotation2d& gyroAngle,
                                    std::span<const SwerveModulePosition> positions) noexcept {
  if (const NonFiniteInput gyro = FindNonFinite("gyro angle", gyroAngle)) return gyro;
  return FindNonFinite(positions);
}

/// The inputs of a position reset or of the start of an odometry.
inline NonFiniteInput FindNonFinite(const Rotation2d& gyroAngle, std::span<const SwerveModulePosition> positions,
                                    const Pose2d& pose) noexcept {
  if (const NonFiniteInput readings = FindNonFinite(gyroAngle, positions)) return readings;
  return FindNonFinite(pose);
}

/// `pose` with every value that is not finite replaced by the origin's.
Pose2d FiniteOrOrigin(const Pose2d& pose) noexcept;
/// `rotation`, or the zero rotation when it is not finite.
inline Rotation2d FiniteOrZero(const Rotation2d& rotation) noexcept { return IsFinite(rotation) ? rotation : Rotation2d(); }
/// `positions` with every distance or angle that is not finite set to zero.
std::vector<SwerveModulePosition> FiniteOrZero(std::vector<SwerveModulePosition> positions) noexcept;

/// "module 2 distance is nan", "timestamp is inf", ...
std::string Describe(const NonFiniteInput& input);

/// Reports at once, as a warning from `location`: "Refused <what>: <input>;
/// <outcome>."
void ReportRefused(std::string_view location, std::string_view what, const NonFiniteInput& input,
                   std::string_view outcome);

/// Counts one refusal of a stream of inputs and reports it like
/// ReportRefused, adding how many were refused since the last report, when
/// that report is at least a second old on the runtime's clock. The owner of
/// the stream keeps `nextReportTime` (runtime seconds; start it at
/// kReportNow) and `refused` (start it at 0).
void ReportRefusedLimited(double& nextReportTime, std::uint64_t& refused, std::string_view location,
                          std::string_view what, const NonFiniteInput& input, std::string_view outcome);

/// A next report time that lets the first refusal be reported at once.
inline constexpr double kReportNow = std::numeric_limits<double>::lowest();

}  // namespace kvor::zephrin6::swerve::internal
