#include <kvor/zephrin6/swerve/impl/VisionUpdate.hpp>

#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve::impl {

Pose2d VisionUpdate::Compensate(const Pose2d& pose) const noexcept {
  // visionPose + Transform2d(odometryPose, pose), without the angle of the
  // intermediate transform's rotation, which only its direction feeds.
  const internal::RelativeMotion motion = internal::Relative(odometryPose, pose);
  return internal::Apply(visionPose, motion.x, motion.y, motion.rotation);
}

}  // namespace kvor::zephrin6::swerve::impl
