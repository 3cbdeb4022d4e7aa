#pragma once

// SwerveModuleState is what one wheel module does at an instant: the wheel's
// ground speed in metres per second and the azimuth it points along. The
// kinematics produces one per module from chassis speeds and reads them back
// to estimate the chassis speeds. A plain aggregate; copy freely.

#include <kvor/zephrin6/swerve/Rotation2d.hpp>

#include <units.h>

#include <cmath>
#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

struct ZEPHRIN6_API SwerveModuleState {
  /// Wheel ground speed, metres per second (negative drives backwards).
  units::velocity::meters_per_second_t speed{0.0};
  /// Azimuth of the wheel relative to the robot's forward direction.
  Rotation2d angle;

  /// Turns this state into the one that gives the same wheel motion with the
  /// least azimuth travel from `currentAngle`, the azimuth the module points
  /// along now. When the requested angle is more than a quarter turn from it
  /// (|angle - currentAngle| strictly above 90 degrees, the difference taken
  /// in (-180, 180]) the wheel drives backwards: the speed is negated and the
  /// angle is turned by half a turn (angle + Rotation2d(pi), so it lies in
  /// (-pi, pi]). Otherwise nothing changes; exactly a quarter turn is not
  /// flipped, nor is a state whose angle is not finite. The test needs no
  /// trigonometry, so a module can call this every sample.
  void Optimize(const Rotation2d& currentAngle) noexcept;

  /// True when the speeds agree to within 1e-9 m/s and the angles point the same way.
  bool operator==(const SwerveModuleState& o) const noexcept {
    return std::abs((speed - o.speed).value()) < 1e-9 && angle == o.angle;
  }
};

/// Streams "SwerveModuleState(speed: <speed> m/s, <angle>)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const SwerveModuleState& state);

}  // namespace kvor::zephrin6::swerve
