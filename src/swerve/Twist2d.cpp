#include <kvor/zephrin6/swerve/Twist2d.hpp>

#include <ostream>

namespace kvor::zephrin6::swerve {

std::ostream& operator<<(std::ostream& os, const Twist2d& twist) {
  return os << "Twist2d(dx: " << twist.dx.value() << " m, dy: " << twist.dy.value()
            << " m, dtheta: " << twist.dtheta.value() << " rad)";
}

}  // namespace kvor::zephrin6::swerve
