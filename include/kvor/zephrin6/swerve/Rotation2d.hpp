#pragma once

// Rotation2d is a heading in the plane: an angle in radians together with its
// cosine and sine, so that composing rotations needs no trigonometry. It is a
// small value (three doubles); pass it by const reference or by value and copy
// it freely. A rotation built from an angle keeps that angle unwrapped (7 rad
// stays 7 rad); one built from a vector or by composition has its angle from
// atan2, in (-pi, pi]. Immutable once built, so sharing between threads is safe.

#include <units.h>

#include <cmath>
#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

namespace internal {
struct RotationAccess;
}

class ZEPHRIN6_API Rotation2d {
 public:
  /// The zero rotation: angle 0, cosine 1, sine 0.
  constexpr Rotation2d() noexcept = default;

  /// The rotation by `value` (any unit of angle, converted to radians), kept
  /// unwrapped; cosine and sine are computed from it.
  Rotation2d(units::angle::radian_t value) noexcept  // NOLINT: implicit by design, `Rotation2d r = 90_deg;`
      : m_value(value.value()), m_cos(std::cos(m_value)), m_sin(std::sin(m_value)) {}

  /// The direction of the vector (x, y), any common length unit. A vector
  /// shorter than 1e-6 has no usable direction and gives the zero rotation.
  Rotation2d(double x, double y) noexcept;

  /// The angle in radians.
  constexpr units::angle::radian_t Radians() const noexcept { return units::angle::radian_t{m_value}; }
  /// The angle in degrees.
  constexpr units::angle::degree_t Degrees() const noexcept { return units::angle::degree_t{Radians()}; }
  /// The angle in turns.
  constexpr units::angle::turn_t Turns() const noexcept { return units::angle::turn_t{Radians()}; }
  /// Cosine of the angle.
  constexpr double Cos() const noexcept { return m_cos; }
  /// Sine of the angle.
  constexpr double Sin() const noexcept { return m_sin; }
  /// Tangent of the angle (infinite at a quarter turn).
  constexpr double Tan() const noexcept { return m_sin / m_cos; }

  /// This rotation followed by `other`; the result is renormalised and its
  /// angle lies in (-pi, pi].
  Rotation2d RotateBy(const Rotation2d& other) const noexcept {
    return Rotation2d(m_cos * other.m_cos - m_sin * other.m_sin, m_cos * other.m_sin + m_sin * other.m_cos);
  }
  /// Same as RotateBy.
  Rotation2d operator+(const Rotation2d& other) const noexcept { return RotateBy(other); }
  /// The rotation taking `other` to this one: this + (-other).
  Rotation2d operator-(const Rotation2d& other) const noexcept { return *this + -other; }
  /// The opposite rotation, built from the negated angle.
  Rotation2d operator-() const noexcept { return Rotation2d(units::angle::radian_t{-m_value}); }
  /// The rotation by `scalar` times this angle (built from the angle, unwrapped).
  Rotation2d operator*(double scalar) const noexcept { return Rotation2d(units::angle::radian_t{m_value * scalar}); }

  /// True when both rotations point the same way to within 1e-9 (the angles
  /// may differ by whole turns).
  bool operator==(const Rotation2d& other) const noexcept {
    return std::hypot(m_cos - other.m_cos, m_sin - other.m_sin) < 1e-9;
  }

 private:
  friend struct internal::RotationAccess;

  double m_value = 0.0;
  double m_cos = 1.0;
  double m_sin = 0.0;
};

/// Streams "Rotation2d(<degrees> deg)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const Rotation2d& rotation);

}  // namespace kvor::zephrin6::swerve
