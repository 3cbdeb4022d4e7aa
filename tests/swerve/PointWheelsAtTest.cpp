// PointWheelsAt stops every wheel at one azimuth, and Idle leaves the motors
// alone.
#include <kvor/zephrin6/swerve/requests/Idle.hpp>
#include <kvor/zephrin6/swerve/requests/PointWheelsAt.hpp>

#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
using swerve::requests::Idle;
using swerve::requests::PointWheelsAt;

class PointWheelsAtTest : public RequestTest {};

TEST_F(PointWheelsAtTest, PointsEveryWheelTheSameWay) {
  PointWheelsAt request;
  request.WithModuleDirection(swerve::Rotation2d(units::angle::degree_t{30.0}))
      .WithDriveRequestType(swerve::DriveRequestType::Velocity);
  Apply(request);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(SteerTurns(i), Turns(30.0), 1e-12);
    const auto drive = LastCall(DriveHash(i));
    EXPECT_EQ(drive.function, Function("VelocityVoltage"));
    EXPECT_EQ(Number(drive, kFirstField), 0.0);
  }

  const auto before = harness::ControlCallCount(DriveHash(0)) + harness::ControlCallCount(SteerHash(0));
  Idle idle;
  Apply(idle);
  EXPECT_EQ(harness::ControlCallCount(DriveHash(0)) + harness::ControlCallCount(SteerHash(0)), before);
}

}  // namespace
