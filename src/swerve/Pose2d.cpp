#include <kvor/zephrin6/swerve/Pose2d.hpp>

#include <cmath>
#include <ostream>

#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve {

namespace {
// Below this |cos(theta) - 1| the closed form of Log divides by (nearly)
// zero, so its Taylor series takes over.
constexpr double kSmallAngle = 1e-9;
constexpr double kOneTwelfth = 0.08333333333333333;
}  // namespace

Pose2d Pose2d::Exp(const Twist2d& twist) const noexcept {
  const internal::RelativeMotion motion = internal::TwistMotion(twist);
  return internal::Apply(*this, motion.x, motion.y, motion.rotation);
}

Twist2d Pose2d::Log(const Pose2d& end) const noexcept {
  // Every normalisation here is Rotation2d(x, y)'s own (std::hypot), not a
  // cheaper square root: for small angles cos - 1 turns a one-ulp difference
  // in the cosine into a visible one in the twist, and Discretize feeds
  // small angles through this every control cycle.
  const internal::RelativeMotion transform = internal::ExactRelative(*this, end);
  const double cosine = transform.rotation.cos;
  const double sine = transform.rotation.sin;
  const double theta = transform.rotation.valid ? std::atan2(sine, cosine) : 0.0;
  const double half = theta / 2.0;
  const double m = cosine - 1.0;

  double k;
  if (std::abs(m) < kSmallAngle) {
    k = 1.0 - theta * theta * kOneTwelfth;
  } else {
    k = -(half * sine) / m;
  }
  const double scale = std::hypot(k, half);
  const internal::Direction turn(k, -half, scale);
  const double x = transform.x;
  const double y = transform.y;
  return {units::length::meter_t{(x * turn.cos - y * turn.sin) * scale},
          units::length::meter_t{(x * turn.sin + y * turn.cos) * scale}, units::angle::radian_t{theta}};
}

std::ostream& operator<<(std::ostream& os, const Pose2d& pose) {
  return os << "Pose2d(" << pose.Translation() << ", " << pose.Rotation() << ")";
}

}  // namespace kvor::zephrin6::swerve
