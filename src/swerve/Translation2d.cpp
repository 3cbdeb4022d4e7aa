#include <kvor/zephrin6/swerve/Translation2d.hpp>

#include <ostream>

namespace kvor::zephrin6::swerve {

std::ostream& operator<<(std::ostream& os, const Translation2d& translation) {
  return os << "Translation2d(x: " << translation.X().value() << " m, y: " << translation.Y().value() << " m)";
}

}  // namespace kvor::zephrin6::swerve
