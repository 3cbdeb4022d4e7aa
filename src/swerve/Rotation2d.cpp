#include <kvor/zephrin6/swerve/Rotation2d.hpp>

#include <ostream>

#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve {

Rotation2d::Rotation2d(double x, double y) noexcept : Rotation2d(internal::RotationAccess::FromVector(x, y)) {}

std::ostream& operator<<(std::ostream& os, const Rotation2d& rotation) {
  return os << "Rotation2d(" << rotation.Degrees().value() << " deg)";
}

}  // namespace kvor::zephrin6::swerve
