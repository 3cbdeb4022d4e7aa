#include <kvor/zephrin6/swerve/impl/VisionUpdate.hpp>

#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve::impl {

Pose2d VisionUpdate::Compensate(const Pose2d& pose) const noexcept {
  // visionPose + Transform2d(odometryPose, pose), without the angle of the
  // intermediate transform's rotation, which only its direction feeds.
  return internal::CarryOver(visionPose, odometryPose, internal::Negated(odometryPose.Rotation()), pose);
}

}  // namespace kvor::zephrin6::swerve::impl
