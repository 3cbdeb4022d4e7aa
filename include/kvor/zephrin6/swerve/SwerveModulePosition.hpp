#pragma once

// SwerveModulePosition is how far one wheel has rolled since the drivetrain
// was tared, in metres, together with its current azimuth. Odometry turns the
// change of these between two samples into robot motion. A plain aggregate;
// copy freely.

#include <kvor/zephrin6/swerve/Rotation2d.hpp>

#include <units.h>

#include <cmath>
#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

struct ZEPHRIN6_API SwerveModulePosition {
  /// Distance rolled by the wheel, metres.
  units::length::meter_t distance{0.0};
  /// Azimuth of the wheel relative to the robot's forward direction.
  Rotation2d angle;

  /// True when the distances agree to within 1e-9 m and the angles point the same way.
  bool operator==(const SwerveModulePosition& o) const noexcept {
    return std::abs((distance - o.distance).value()) < 1e-9 && angle == o.angle;
  }
};

/// Streams "SwerveModulePosition(distance: <distance> m, <angle>)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const SwerveModulePosition& position);

}  // namespace kvor::zephrin6::swerve
