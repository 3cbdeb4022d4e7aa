#pragma once

// Twist2d is a small motion along an arc, expressed in the frame of the pose
// it starts from: dx forward and dy left in metres, dtheta counter-clockwise
// in radians. Pose2d::Exp turns a twist into the pose it reaches and
// Pose2d::Log recovers it. A plain aggregate of three doubles; copy freely.

#include <units.h>

#include <cmath>
#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

struct ZEPHRIN6_API Twist2d {
  /// Forward change, metres.
  units::length::meter_t dx{0.0};
  /// Leftward change, metres.
  units::length::meter_t dy{0.0};
  /// Heading change, radians, counter-clockwise positive.
  units::angle::radian_t dtheta{0.0};

  /// The twist with every component multiplied by `scalar`.
  constexpr Twist2d operator*(double scalar) const noexcept { return {dx * scalar, dy * scalar, dtheta * scalar}; }

  /// True when all three components agree to within 1e-9.
  bool operator==(const Twist2d& o) const noexcept {
    return std::abs((dx - o.dx).value()) < 1e-9 && std::abs((dy - o.dy).value()) < 1e-9 &&
           std::abs((dtheta - o.dtheta).value()) < 1e-9;
  }
};

/// Streams "Twist2d(dx: <dx> m, dy: <dy> m, dtheta: <dtheta> rad)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const Twist2d& twist);

}  // namespace kvor::zephrin6::swerve
