#include <kvor/zephrin6/swerve/Transform2d.hpp>

#include <kvor/zephrin6/swerve/Pose2d.hpp>

#include <ostream>

namespace kvor::zephrin6::swerve {

Transform2d::Transform2d(const Pose2d& initial, const Pose2d& final) noexcept {
  // Both the translation and the rotation use the inverse of the initial
  // heading built from its angle, so the result is in the initial frame.
  const Rotation2d back = -initial.Rotation();
  m_translation = (final.Translation() - initial.Translation()).RotateBy(back);
  m_rotation = final.Rotation() + back;
}

Transform2d Transform2d::operator+(const Transform2d& other) const noexcept {
  const Pose2d origin;
  return Transform2d(origin, origin.TransformBy(*this).TransformBy(other));
}

std::ostream& operator<<(std::ostream& os, const Transform2d& transform) {
  return os << "Transform2d(" << transform.Translation() << ", " << transform.Rotation() << ")";
}

}  // namespace kvor::zephrin6::swerve
