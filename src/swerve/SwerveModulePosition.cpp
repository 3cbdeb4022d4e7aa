#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>

#include <ostream>

namespace kvor::zephrin6::swerve {

std::ostream& operator<<(std::ostream& os, const SwerveModulePosition& position) {
  return os << "SwerveModulePosition(distance: " << position.distance.value() << " m, " << position.angle << ")";
}

}  // namespace kvor::zephrin6::swerve
