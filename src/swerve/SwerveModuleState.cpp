#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>

#include <ostream>

namespace kvor::zephrin6::swerve {

std::ostream& operator<<(std::ostream& os, const SwerveModuleState& state) {
  return os << "SwerveModuleState(speed: " << state.speed.value() << " m/s, " << state.angle << ")";
}

}  // namespace kvor::zephrin6::swerve
