#pragma once

// VisionUpdate records one fused vision measurement: the corrected pose at the
// measurement's time and the odometry pose of that same time. Compensate
// carries odometry motion made after the measurement over onto the corrected
// pose. A plain value owned by the pose estimator's vision map.

#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve::impl {

struct ZEPHRIN6_API VisionUpdate {
  /// The vision-corrected pose at the measurement's time.
  Pose2d visionPose;
  /// The odometry pose at the measurement's time.
  Pose2d odometryPose;

  /// `pose` (a later odometry pose) moved so that the odometry motion since
  /// this update starts from the corrected pose instead.
  Pose2d Compensate(const Pose2d& pose) const noexcept;
};

}  // namespace kvor::zephrin6::swerve::impl
