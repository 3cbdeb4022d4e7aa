#pragma once

// Inline building blocks of the pose arithmetic, shared by the geometry
// sources and the estimator. Each one performs exactly the floating-point
// steps of the public operation it mirrors, so results are bit-identical;
// what they save is the atan2 of intermediate rotations whose angle nobody
// reads (only their cosine and sine take part in the next step).

#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>

#include <cmath>

namespace kvor::zephrin6::swerve::internal {

/// Below this length a vector has no usable direction.
inline constexpr double kMinDirectionNorm = 1e-6;

/// Cosine and sine of a rotation whose angle is not needed.
struct Direction {
  double cos = 1.0;
  double sin = 0.0;
};

/// The unit direction Rotation2d(x, y) would hold.
inline Direction Normalise(double x, double y) noexcept {
  const double h = std::hypot(x, y);
  if (h > kMinDirectionNorm) return {x / h, y / h};
  return {};
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
  /// Rotation2d(x, y): the direction of the vector with its atan2 angle.
  static Rotation2d FromVector(double x, double y) noexcept {
    const double h = std::hypot(x, y);
    if (!(h > kMinDirectionNorm)) return Rotation2d();
    const double c = x / h;
    const double s = y / h;
    return Make(std::atan2(s, c), c, s);
  }
};

/// The rotation built from the negated angle of `r` (cos(-v), sin(-v)).
inline Direction Negated(const Rotation2d& r) noexcept {
  const double v = -r.Radians().value();
  return {std::cos(v), std::sin(v)};
}

/// Sum of two rotations before renormalisation: the vector Rotation2d(x, y)
/// is built from.
inline void SumVector(double aCos, double aSin, double bCos, double bSin, double& x, double& y) noexcept {
  x = aCos * bCos - aSin * bSin;
  y = aCos * bSin + aSin * bCos;
}

/// Transform2d(initial, final) with its rotation kept as a bare direction.
struct RelativeMotion {
  double x = 0.0;
  double y = 0.0;
  Direction rotation;
};

inline RelativeMotion Relative(const Pose2d& initial, const Pose2d& final) noexcept {
  const Direction back = Negated(initial.Rotation());
  const double dx = final.X().value() - initial.X().value();
  const double dy = final.Y().value() - initial.Y().value();
  RelativeMotion out;
  out.x = dx * back.cos - dy * back.sin;
  out.y = dx * back.sin + dy * back.cos;
  double rx, ry;
  SumVector(final.Rotation().Cos(), final.Rotation().Sin(), back.cos, back.sin, rx, ry);
  out.rotation = Normalise(rx, ry);
  return out;
}

/// pose.TransformBy(Transform2d((x, y), rotation)) for a bare direction.
inline Pose2d Apply(const Pose2d& pose, double x, double y, const Direction& rotation) noexcept {
  const double c = pose.Rotation().Cos();
  const double s = pose.Rotation().Sin();
  double rx, ry;
  SumVector(c, s, rotation.cos, rotation.sin, rx, ry);
  return Pose2d(units::length::meter_t{pose.X().value() + (x * c - y * s)}, units::length::meter_t{pose.Y().value() + (x * s + y * c)},
                RotationAccess::FromVector(rx, ry));
}

}  // namespace kvor::zephrin6::swerve::internal
