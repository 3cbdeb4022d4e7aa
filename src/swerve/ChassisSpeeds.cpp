#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>

#include <ostream>

namespace kvor::zephrin6::swerve {

std::ostream& operator<<(std::ostream& os, const ChassisSpeeds& speeds) {
  return os << "ChassisSpeeds(vx: " << speeds.vx.value() << " m/s, vy: " << speeds.vy.value()
            << " m/s, omega: " << speeds.omega.value() << " rad/s)";
}

}  // namespace kvor::zephrin6::swerve
