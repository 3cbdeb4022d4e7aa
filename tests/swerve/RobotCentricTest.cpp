// RobotCentric takes its velocities in the robot's own frame: neither the
// operator's direction nor the heading turns them, and they are not
// discretised.
#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>

#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
using swerve::requests::RobotCentric;
using units::angular_velocity::radians_per_second_t;

class RobotCentricTest : public RequestTest {};

TEST_F(RobotCentricTest, UsesTheRobotFrameAsItIs) {
  rig_->parameters.operatorForwardDirection = swerve::Rotation2d(units::angle::degree_t{180.0});
  rig_->parameters.currentPose =
      swerve::Pose2d(meter_t{0.0}, meter_t{0.0}, swerve::Rotation2d(units::angle::degree_t{90.0}));
  // A long period would bend the wheels noticeably if the speeds were
  // discretised.
  rig_->parameters.updatePeriod = units::time::second_t{0.5};
  RobotCentric request;
  request.WithVelocityX(meters_per_second_t{1.0}).WithRotationalRate(radians_per_second_t{2.0});
  SetAzimuth(0, std::atan2(0.6, 0.4) * 180.0 / kPi);
  Apply(request);
  // Front-left wheel at (0.3, 0.3): (1 - 0.3 * 2, 0.3 * 2).
  EXPECT_NEAR(SteerTurns(0), std::atan2(0.6, 0.4) / (2.0 * kPi), 1e-9);
  EXPECT_NEAR(DriveVolts(0), VoltsFor(std::hypot(0.4, 0.6)), 1e-9);

  request.WithDeadband(meters_per_second_t{1.5}).WithRotationalDeadband(radians_per_second_t{3.0});
  Apply(request);
  EXPECT_EQ(DriveVolts(0), 0.0);
}

}  // namespace
