#include <kvor/zephrin6/swerve/Pose2d.hpp>

#include <cmath>
#include <ostream>

#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve {

namespace {
// Below these magnitudes the closed forms divide by (nearly) zero, so their
// Taylor series take over; the series agree with the closed forms to far
// better than rounding at the switch point.
constexpr double kSmallAngle = 1e-9;
constexpr double kOneTwelfth = 0.08333333333333333;
}  // namespace

Pose2d Pose2d::Exp(const Twist2d& twist) const noexcept {
  const double dx = twist.dx.value();
  const double dy = twist.dy.value();
  const double theta = twist.dtheta.value();
  const double sinTheta = std::sin(theta);
  const double cosTheta = std::cos(theta);

  double s, c;
  if (std::abs(theta) < kSmallAngle) {
    s = 1.0 - theta * theta / 6.0;
    c = theta / 2.0;
  } else {
    s = sinTheta / theta;
    c = (1.0 - cosTheta) / theta;
  }
  return internal::Apply(*this, dx * s - dy * c, dx * c + dy * s, internal::Normalise(cosTheta, sinTheta));
}

Twist2d Pose2d::Log(const Pose2d& end) const noexcept {
  const Transform2d transform(*this, end);
  const double theta = transform.Rotation().Radians().value();
  const double half = theta / 2.0;
  const double m = transform.Rotation().Cos() - 1.0;

  double k;
  if (std::abs(m) < kSmallAngle) {
    k = 1.0 - theta * theta * kOneTwelfth;
  } else {
    k = -(half * transform.Rotation().Sin()) / m;
  }
  const internal::Direction turn = internal::Normalise(k, -half);
  const double scale = std::hypot(k, half);
  const double x = transform.X().value();
  const double y = transform.Y().value();
  return {units::length::meter_t{(x * turn.cos - y * turn.sin) * scale}, units::length::meter_t{(x * turn.sin + y * turn.cos) * scale},
          units::angle::radian_t{theta}};
}

std::ostream& operator<<(std::ostream& os, const Pose2d& pose) {
  return os << "Pose2d(" << pose.Translation() << ", " << pose.Rotation() << ")";
}

}  // namespace kvor::zephrin6::swerve
