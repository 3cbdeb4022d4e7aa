// SwerveDriveBrake stops every wheel pointing along the line from the robot
// centre through its module, an X that resists pushing.
#include <kvor/zephrin6/swerve/requests/SwerveDriveBrake.hpp>

#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
using swerve::requests::SwerveDriveBrake;

class SwerveDriveBrakeTest : public RequestTest {};

TEST_F(SwerveDriveBrakeTest, FormsAnX) {
  SwerveDriveBrake request;
  Apply(request);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    // The module may drive backwards instead of turning past a quarter turn,
    // so compare the wheel's line, not its direction.
    const double wheel = SteerTurns(i) * 2.0 * kPi;
    const double radius = std::atan2(rig_->locations[i].Y().value(), rig_->locations[i].X().value());
    EXPECT_NEAR(std::sin(wheel - radius), 0.0, 1e-9);
    EXPECT_EQ(DriveVolts(i), 0.0);
  }
  // Front-left and back-right share the 45 degree line.
  EXPECT_NEAR(SteerTurns(0), Turns(45.0), 1e-9);
  EXPECT_NEAR(SteerTurns(3), Turns(45.0), 1e-9);
  EXPECT_NEAR(SteerTurns(1), Turns(-45.0), 1e-9);
}

}  // namespace
