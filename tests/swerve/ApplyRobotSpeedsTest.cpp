// ApplyRobotSpeeds drives at the given robot speeds and hands each module its
// own wheel force as a drive feed-forward.
#include <kvor/zephrin6/swerve/requests/ApplyRobotSpeeds.hpp>

#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
using swerve::requests::ApplyRobotSpeeds;
using units::angular_velocity::radians_per_second_t;
using units::force::newton_t;

class ApplyRobotSpeedsTest : public RequestTest {};

// The feed-forward voltage the rig's drive motors get for `newtons` along the wheel.
double FeedforwardVolts(double newtons) { return 12.0 / 300.0 * (newtons * kWheelRadius / kDriveGearRatio) / 0.02; }

TEST_F(ApplyRobotSpeedsTest, EachModuleGetsItsOwnForce) {
  SetMotorConstants(0.02, 300.0);
  for (std::size_t i = 0; i < 4; ++i) SetAzimuth(i, 0.0);
  struct Row {
    const char* what;
    std::vector<newton_t> x;
    std::vector<newton_t> y;
    std::array<double, 4> newtons;
  };
  const std::vector<Row> rows{
      {"one force per module",
       {newton_t{10}, newton_t{0}, newton_t{20}, newton_t{0}},
       {newton_t{0}, newton_t{0}, newton_t{0}, newton_t{0}},
       {10, 0, 20, 0}},
      {"no forces", {}, {}, {0, 0, 0, 0}},
      {"modules past the end get none", {newton_t{10}}, {newton_t{0}}, {10, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ApplyRobotSpeeds request;
    request.WithSpeeds({meters_per_second_t{1.0}, meters_per_second_t{0.0}, radians_per_second_t{0.0}})
        .WithWheelForceFeedforwardsX(row.x)
        .WithWheelForceFeedforwardsY(row.y)
        .WithDriveRequestType(swerve::DriveRequestType::Velocity);
    Apply(request);
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      const auto drive = LastCall(DriveHash(i));
      EXPECT_NEAR(Number(drive, kFirstField), kTurnsPerMeter, 1e-9);
      EXPECT_NEAR(Number(drive, kFirstField + 3), FeedforwardVolts(row.newtons[i]), 1e-12);
    }
  }
}

}  // namespace
