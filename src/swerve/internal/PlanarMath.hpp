#pragma once

// Inline building blocks of the pose arithmetic behind Exp, Log, pose
// interpolation and vision compensation, shared by the geometry sources and
// the estimator. They perform the steps of the public operations they mirror
// with two savings: intermediate rotations whose angle nobody reads skip
// their atan2 (only their cosine and sine take part in the next step), and
// lengths of vectors that are unit-sized by construction use a square root
// instead of std::hypot. Results agree with the composed public operations
// to the last bit or two.

#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/Twist2d.hpp>

#include <cmath>
#include <limits>

namespace kvor::zephrin6::swerve::internal {

/// Below this length a vector has no usable direction.
inline constexpr double kMinDirectionNorm = 1e-6;

/// Length of (x, y) for intermediate directions whose angle is never read.
/// The square root of the sum of squares is several times cheaper than
/// std::hypot and agrees with it to the last bit or two; hypot only takes
/// over where the squares would underflow or overflow, so tiny and huge
/// vectors keep their exact length.
inline double Norm(double x, double y) noexcept {
  const double squared = x * x + y * y;
  if (squared >= std::numeric_limits<double>::min() && squared <= std::numeric_limits<double>::max()) {
    return std::sqrt(squared);
  }
  return std::hypot(x, y);
}

/// Cosine and sine of a rotation whose angle is not needed.
struct Direction {
  double cos = 1.0;
  double sin = 0.0;
  /// False when the vector was too short to have a direction.
  bool valid = false;

  Direction() = default;
  Direction(double c, double s) noexcept : cos(c), sin(s), valid(true) {}
  /// The direction of (x, y) whose length is `h`, or none below 1e-6.
  Direction(double x, double y, double h) noexcept {
    if (h > kMinDirectionNorm) *this = Direction(x / h, y / h);
  }
};

/// The cosine and sine of `angle`, bit for bit std::cos's and std::sin's.
/// glibc's sincos works them out from one argument reduction, which is most
/// of the cost of each; its results are those of the separate functions.
inline Direction CosSin(double angle) noexcept {
#if defined(__GLIBC__)
  double sine, cosine;
  ::sincos(angle, &sine, &cosine);
  return Direction(cosine, sine);
#else
  return Direction(std::cos(angle), std::sin(angle));
#endif
}

/// The unit direction Rotation2d(x, y) would hold, for unit-sized vectors.
/// Most sums of unit products already have a squared length of exactly 1,
/// and dividing by a length of 1 changes nothing, so those skip the square
/// root and both divisions.
inline Direction Normalise(double x, double y) noexcept {
  if (x * x + y * y == 1.0) return Direction(x, y);
  return Direction(x, y, Norm(x, y));
}

struct RotationAccess {
  /// The rotation (value, cos, sin) as stored, without recomputation.
  static Rotation2d Make(double value, double cos, double sin) noexcept {
    Rotation2d r;
    r.m_value = value;
    r.m_cos = cos;
    r.m_sin = sin;
    return r;
  }
  /// Rotation2d(radian_t{value}), its cosine and sine from one CosSin.
  static Rotation2d FromAngle(double value) noexcept {
    const Direction d = CosSin(value);
    return Make(value, d.cos, d.sin);
  }
  /// Rotation2d(x, y): the direction of the vector with its atan2 angle.
  /// std::hypot's carefully rounded length keeps composed angles such as
  /// 3 rad + 3 rad within an ulp or two of their exact value.
  static Rotation2d FromVector(double x, double y) noexcept { return FromDirection(Direction(x, y, std::hypot(x, y))); }
  /// FromVector for a vector that is unit-sized by construction.
  static Rotation2d FromUnitSizedVector(double x, double y) noexcept { return FromDirection(Normalise(x, y)); }

 private:
  static Rotation2d FromDirection(const Direction& d) noexcept {
    return d.valid ? Make(std::atan2(d.sin, d.cos), d.cos, d.sin) : Rotation2d();
  }
};

/// The rotation built from the negated angle of `r` (cos(-v), sin(-v)).
inline Direction Negated(const Rotation2d& r) noexcept { return CosSin(-r.Radians().value()); }

/// Sum of two rotations before renormalisation: the vector Rotation2d(x, y)
/// is built from.
inline void SumVector(double aCos, double aSin, double bCos, double bSin, double& x, double& y) noexcept {
  x = aCos * bCos - aSin * bSin;
  y = aCos * bSin + aSin * bCos;
}

/// (a - b).Radians(): the angle of a + (-b), without building the rotations.
inline double AngleBetween(const Rotation2d& a, const Rotation2d& b) noexcept {
  const Direction back = Negated(b);
  double x, y;
  SumVector(a.Cos(), a.Sin(), back.cos, back.sin, x, y);
  return RotationAccess::FromVector(x, y).Radians().value();
}

/// Transform2d(initial, final) with its rotation kept as a bare direction.
struct RelativeMotion {
  double x = 0.0;
  double y = 0.0;
  Direction rotation;
};

/// Transform2d(initial, final) up to its rotation's normalisation: the
/// translation in the initial frame and the unnormalised rotation vector.
/// `back` is Negated(initial.Rotation()), which callers that move many poses
/// out of the same initial frame work out once.
inline RelativeMotion RelativeVector(const Pose2d& initial, const Direction& back, const Pose2d& final, double& rx,
                                     double& ry) noexcept {
  const double dx = final.X().value() - initial.X().value();
  const double dy = final.Y().value() - initial.Y().value();
  RelativeMotion out;
  out.x = dx * back.cos - dy * back.sin;
  out.y = dx * back.sin + dy * back.cos;
  SumVector(final.Rotation().Cos(), final.Rotation().Sin(), back.cos, back.sin, rx, ry);
  return out;
}

/// Transform2d(initial, final), its rotation normalised the fast way.
inline RelativeMotion Relative(const Pose2d& initial, const Direction& back, const Pose2d& final) noexcept {
  double rx, ry;
  RelativeMotion out = RelativeVector(initial, back, final, rx, ry);
  out.rotation = Normalise(rx, ry);
  return out;
}

/// Transform2d(initial, final) to the last bit: its rotation is normalised
/// with std::hypot exactly as Rotation2d(x, y) does it. Callers that take
/// cos - 1 of the result need this, since the difference magnifies any ulp.
inline RelativeMotion ExactRelative(const Pose2d& initial, const Pose2d& final) noexcept {
  double rx, ry;
  RelativeMotion out = RelativeVector(initial, Negated(initial.Rotation()), final, rx, ry);
  out.rotation = Direction(rx, ry, std::hypot(rx, ry));
  return out;
}

/// The local motion of Pose2d::Exp: moving along `twist` from the origin.
/// Below 1e-9 rad the closed forms divide by (nearly) zero, so their Taylor
/// series take over; both agree to far better than rounding there.
inline RelativeMotion TwistMotion(const Twist2d& twist) noexcept {
  const double dx = twist.dx.value();
  const double dy = twist.dy.value();
  const double theta = twist.dtheta.value();
  const Direction turn = CosSin(theta);
  const double sinTheta = turn.sin;
  const double cosTheta = turn.cos;
  double s, c;
  if (std::abs(theta) < 1e-9) {
    s = 1.0 - theta * theta / 6.0;
    c = theta / 2.0;
  } else {
    s = sinTheta / theta;
    c = (1.0 - cosTheta) / theta;
  }
  return {dx * s - dy * c, dx * c + dy * s, Normalise(cosTheta, sinTheta)};
}

/// The translation of pose.TransformBy(Transform2d((x, y), anything)).
inline Translation2d MovedTranslation(const Pose2d& pose, double x, double y) noexcept {
  const double c = pose.Rotation().Cos();
  const double s = pose.Rotation().Sin();
  return Translation2d(units::length::meter_t{pose.X().value() + (x * c - y * s)},
                       units::length::meter_t{pose.Y().value() + (x * s + y * c)});
}

/// pose.TransformBy(Transform2d((x, y), rotation)) for a bare direction.
inline Pose2d Apply(const Pose2d& pose, double x, double y, const Direction& rotation) noexcept {
  double rx, ry;
  SumVector(pose.Rotation().Cos(), pose.Rotation().Sin(), rotation.cos, rotation.sin, rx, ry);
  return Pose2d(MovedTranslation(pose, x, y), RotationAccess::FromUnitSizedVector(rx, ry));
}

/// onto + Transform2d(from, to): the motion from `from` to `to` made again
/// from `onto`, the rotation of the motion kept as a bare direction. `fromBack`
/// is Negated(from.Rotation()).
inline Pose2d CarryOver(const Pose2d& onto, const Pose2d& from, const Direction& fromBack, const Pose2d& to) noexcept {
  const RelativeMotion motion = Relative(from, fromBack, to);
  return Apply(onto, motion.x, motion.y, motion.rotation);
}

}  // namespace kvor::zephrin6::swerve::internal
