#pragma once

// ChassisSpeeds is the velocity of the robot body: vx forward and vy left in
// metres per second, omega counter-clockwise in radians per second. It is
// robot-relative unless the code that holds it says otherwise; the two
// conversions below prepare field-relative commands for the kinematics. A
// plain aggregate of three doubles; copy freely.

#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>

#include <units.h>

#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

struct ZEPHRIN6_API ChassisSpeeds {
  /// Forward velocity, metres per second.
  units::velocity::meters_per_second_t vx{0.0};
  /// Leftward velocity, metres per second.
  units::velocity::meters_per_second_t vy{0.0};
  /// Rotational rate, radians per second, counter-clockwise positive.
  units::angular_velocity::radians_per_second_t omega{0.0};

  constexpr ChassisSpeeds operator+(const ChassisSpeeds& o) const noexcept {
    return {vx + o.vx, vy + o.vy, omega + o.omega};
  }
  constexpr ChassisSpeeds operator-(const ChassisSpeeds& o) const noexcept {
    return {vx - o.vx, vy - o.vy, omega - o.omega};
  }
  constexpr ChassisSpeeds operator*(double scalar) const noexcept { return {vx * scalar, vy * scalar, omega * scalar}; }
};

/// Field-relative `speeds` seen from a robot facing `heading`: the
/// translational part is turned by -heading, omega is unchanged.
inline ChassisSpeeds ToRobotRelative(const ChassisSpeeds& speeds, const Rotation2d& heading) noexcept {
  const Rotation2d back(-heading.Radians());
  const double c = back.Cos();
  const double s = back.Sin();
  const double vx = speeds.vx.value();
  const double vy = speeds.vy.value();
  return {units::velocity::meters_per_second_t{vx * c - vy * s}, units::velocity::meters_per_second_t{vx * s + vy * c},
          speeds.omega};
}

/// The speeds that, held for `dt` seconds along a straight-line twist, end
/// where `speeds` would end when the robot spins while translating. Without
/// this a robot that drives and turns at once drifts sideways. `dt` must not
/// be zero.
inline ChassisSpeeds Discretize(const ChassisSpeeds& speeds, units::time::second_t dt) noexcept {
  const double t = dt.value();
  const Pose2d reached(units::length::meter_t{speeds.vx.value() * t}, units::length::meter_t{speeds.vy.value() * t},
                       Rotation2d(units::angle::radian_t{speeds.omega.value() * t}));
  const Twist2d twist = Pose2d().Log(reached);
  return {units::velocity::meters_per_second_t{twist.dx.value() / t},
          units::velocity::meters_per_second_t{twist.dy.value() / t},
          units::angular_velocity::radians_per_second_t{twist.dtheta.value() / t}};
}

/// Streams "ChassisSpeeds(vx: <vx> m/s, vy: <vy> m/s, omega: <omega> rad/s)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const ChassisSpeeds& speeds);

}  // namespace kvor::zephrin6::swerve
