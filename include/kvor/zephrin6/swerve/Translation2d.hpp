#pragma once

// Translation2d is a point or displacement in the plane of the field, in
// metres, x forward and y left in the robot frame. It is a small value (two
// doubles); copy it freely. Immutable, so sharing between threads is safe.

#include <kvor/zephrin6/swerve/Rotation2d.hpp>

#include <units.h>

#include <cmath>
#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

class ZEPHRIN6_API Translation2d {
 public:
  /// The origin.
  constexpr Translation2d() noexcept = default;
  /// The point (x, y), metres.
  constexpr Translation2d(units::length::meter_t x, units::length::meter_t y) noexcept
      : m_x(x.value()), m_y(y.value()) {}
  /// The point `distance` metres from the origin in the direction `angle`.
  Translation2d(units::length::meter_t distance, const Rotation2d& angle) noexcept
      : m_x(distance.value() * angle.Cos()), m_y(distance.value() * angle.Sin()) {}

  /// x component, metres.
  constexpr units::length::meter_t X() const noexcept { return units::length::meter_t{m_x}; }
  /// y component, metres.
  constexpr units::length::meter_t Y() const noexcept { return units::length::meter_t{m_y}; }
  /// Distance from the origin, metres.
  units::length::meter_t Norm() const noexcept { return units::length::meter_t{std::hypot(m_x, m_y)}; }
  /// Distance to `other`, metres.
  units::length::meter_t Distance(const Translation2d& other) const noexcept {
    return units::length::meter_t{std::hypot(other.m_x - m_x, other.m_y - m_y)};
  }
  /// Direction from the origin to this point (the zero rotation for a point
  /// closer than 1e-6 m).
  Rotation2d Angle() const noexcept { return Rotation2d(m_x, m_y); }

  /// This vector turned by `rotation` about the origin.
  constexpr Translation2d RotateBy(const Rotation2d& rotation) const noexcept {
    return Translation2d(units::length::meter_t{m_x * rotation.Cos() - m_y * rotation.Sin()},
                         units::length::meter_t{m_x * rotation.Sin() + m_y * rotation.Cos()});
  }

  constexpr Translation2d operator+(const Translation2d& o) const noexcept {
    return Translation2d(units::length::meter_t{m_x + o.m_x}, units::length::meter_t{m_y + o.m_y});
  }
  constexpr Translation2d operator-(const Translation2d& o) const noexcept {
    return Translation2d(units::length::meter_t{m_x - o.m_x}, units::length::meter_t{m_y - o.m_y});
  }
  constexpr Translation2d operator-() const noexcept {
    return Translation2d(units::length::meter_t{-m_x}, units::length::meter_t{-m_y});
  }
  /// Both components multiplied by `scalar`.
  constexpr Translation2d operator*(double scalar) const noexcept {
    return Translation2d(units::length::meter_t{m_x * scalar}, units::length::meter_t{m_y * scalar});
  }
  /// Both components divided by `scalar`.
  constexpr Translation2d operator/(double scalar) const noexcept {
    return Translation2d(units::length::meter_t{m_x / scalar}, units::length::meter_t{m_y / scalar});
  }

  /// True when both components agree to within 1e-9 m.
  bool operator==(const Translation2d& o) const noexcept {
    return std::abs(m_x - o.m_x) < 1e-9 && std::abs(m_y - o.m_y) < 1e-9;
  }

 private:
  double m_x = 0.0;
  double m_y = 0.0;
};

/// Streams "Translation2d(x: <x> m, y: <y> m)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const Translation2d& translation);

}  // namespace kvor::zephrin6::swerve
