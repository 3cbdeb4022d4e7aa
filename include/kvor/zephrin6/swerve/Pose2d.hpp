#pragma once

// Pose2d is where the robot is on the field: a position in metres and a
// heading. Besides moving by a Transform2d it offers the exponential and
// logarithm maps (Exp, Log) between poses and arc increments (Twist2d), which
// odometry and pose interpolation are built on. A small value (five doubles);
// copy freely, immutable, thread-safe to share.

#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/Transform2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/Twist2d.hpp>

#include <units.h>

#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

class ZEPHRIN6_API Pose2d {
 public:
  /// The origin, facing along x.
  constexpr Pose2d() noexcept = default;
  /// The pose at `translation` (metres) facing `rotation`.
  constexpr Pose2d(const Translation2d& translation, const Rotation2d& rotation) noexcept
      : m_translation(translation), m_rotation(rotation) {}
  /// The pose at (x, y) metres facing `rotation`.
  constexpr Pose2d(units::length::meter_t x, units::length::meter_t y, const Rotation2d& rotation) noexcept
      : m_translation(x, y), m_rotation(rotation) {}

  /// The position, metres.
  constexpr const Translation2d& Translation() const noexcept { return m_translation; }
  /// The heading.
  constexpr const Rotation2d& Rotation() const noexcept { return m_rotation; }
  /// x of the position, metres.
  constexpr units::length::meter_t X() const noexcept { return m_translation.X(); }
  /// y of the position, metres.
  constexpr units::length::meter_t Y() const noexcept { return m_translation.Y(); }

  /// The pose reached by applying `transform` in this pose's frame.
  Pose2d TransformBy(const Transform2d& transform) const noexcept {
    return Pose2d(m_translation + transform.Translation().RotateBy(m_rotation), m_rotation + transform.Rotation());
  }
  /// Same as TransformBy.
  Pose2d operator+(const Transform2d& transform) const noexcept { return TransformBy(transform); }
  /// The transform from `earlier` to this pose.
  Transform2d operator-(const Pose2d& earlier) const noexcept { return Transform2d(earlier, *this); }
  /// This pose expressed in the frame of `other`.
  Pose2d RelativeTo(const Pose2d& other) const noexcept {
    const Transform2d t(other, *this);
    return Pose2d(t.Translation(), t.Rotation());
  }

  /// The pose reached by moving along `twist` (robot frame) from this pose.
  Pose2d Exp(const Twist2d& twist) const noexcept;
  /// The twist that Exp turns into `end` from this pose.
  Twist2d Log(const Pose2d& end) const noexcept;

  /// True when position and heading agree to within 1e-9.
  bool operator==(const Pose2d& o) const noexcept {
    return m_translation == o.m_translation && m_rotation == o.m_rotation;
  }

 private:
  Translation2d m_translation;
  Rotation2d m_rotation;
};

/// Moves a fraction `t` of the way from `start` to `end` along the arc that
/// joins them: `start` for t < 0, `end` for t >= 1. This is the interpolation
/// the pose history uses.
inline Pose2d Interpolate(const Pose2d& start, const Pose2d& end, double t) {
  if (t < 0) return start;
  if (t >= 1) return end;
  return start.Exp(start.Log(end) * t);
}

/// Streams "Pose2d(<translation>, <rotation>)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const Pose2d& pose);

}  // namespace kvor::zephrin6::swerve
