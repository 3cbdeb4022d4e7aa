// ApplyFieldSpeeds turns both its speeds and its wheel forces from the field
// (or the operator's view of it) into the robot's frame.
#include <kvor/zephrin6/swerve/requests/ApplyFieldSpeeds.hpp>

#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
using swerve::requests::ApplyFieldSpeeds;
using swerve::requests::ForwardPerspectiveValue;
using units::angular_velocity::radians_per_second_t;
using units::force::newton_t;

class ApplyFieldSpeedsTest : public RequestTest {};

TEST_F(ApplyFieldSpeedsTest, SpeedsAndForcesTurnIntoTheRobotFrame) {
  SetMotorConstants(0.02, 300.0);
  rig_->parameters.currentPose =
      swerve::Pose2d(meter_t{0.0}, meter_t{0.0}, swerve::Rotation2d(units::angle::degree_t{90.0}));
  rig_->parameters.operatorForwardDirection = swerve::Rotation2d(units::angle::degree_t{180.0});
  struct Row {
    const char* what;
    ForwardPerspectiveValue perspective;
    double wheelDegrees;  // where the speed and the force point in the robot frame
  };
  for (const Row& row : {Row{"field origin", ForwardPerspectiveValue::FieldOrigin, -90.0},
                         Row{"operator at the far end", ForwardPerspectiveValue::OperatorPerspective, 90.0}}) {
    SCOPED_TRACE(row.what);
    // The wheels already point where they should, so the whole force counts.
    for (std::size_t i = 0; i < 4; ++i) SetAzimuth(i, row.wheelDegrees);
    ApplyFieldSpeeds request;
    request.WithSpeeds({meters_per_second_t{1.0}, meters_per_second_t{0.0}, radians_per_second_t{0.0}})
        .WithWheelForceFeedforwardsX(std::vector<newton_t>(4, newton_t{10.0}))
        .WithWheelForceFeedforwardsY(std::vector<newton_t>(4, newton_t{0.0}))
        .WithDriveRequestType(swerve::DriveRequestType::Velocity)
        .WithForwardPerspective(row.perspective);
    Apply(request);
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_NEAR(Number(LastCall(SteerHash(i)), kFirstField), Turns(row.wheelDegrees), 1e-9);
      const auto drive = LastCall(DriveHash(i));
      EXPECT_NEAR(Number(drive, kFirstField), kTurnsPerMeter, 1e-9);
      EXPECT_NEAR(Number(drive, kFirstField + 3), 12.0 / 300.0 * (10.0 * kWheelRadius / kDriveGearRatio) / 0.02, 1e-9);
    }
  }
}

}  // namespace
