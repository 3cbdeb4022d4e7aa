// FieldCentric as the motors see it: field directions from the operator's or
// the field's point of view turned into the robot's frame, strict deadbands,
// desaturation to the top speed, and wheels that keep their azimuth when the
// driver lets go.
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>

#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
using swerve::requests::FieldCentric;
using swerve::requests::ForwardPerspectiveValue;
using swerve::requests::RobotCentric;
using units::angular_velocity::radians_per_second_t;

class FieldCentricTest : public RequestTest {};

// Every wheel gets the same azimuth and speed for a pure translation; which
// azimuth depends on the perspective, the operator's forward direction and
// the robot's heading.
TEST_F(FieldCentricTest, DrivesRelativeToTheOperatorOrTheField) {
  struct Row {
    const char* what;
    ForwardPerspectiveValue perspective;
    double operatorDegrees;
    double headingDegrees;
    double steerDegrees;
    double volts;
  };
  for (const Row& row : {
           Row{"operator facing the other way drives robot-backwards", ForwardPerspectiveValue::OperatorPerspective,
               180, 0, 0, -VoltsFor(1.0)},
           Row{"field origin ignores the operator", ForwardPerspectiveValue::FieldOrigin, 180, 0, 0, VoltsFor(1.0)},
           Row{"robot turned left drives to its right", ForwardPerspectiveValue::OperatorPerspective, 0, 90, -90,
               VoltsFor(1.0)},
           Row{"operator left and robot left cancel", ForwardPerspectiveValue::OperatorPerspective, 90, 90, 0,
               VoltsFor(1.0)},
       }) {
    SCOPED_TRACE(row.what);
    rig_->parameters.operatorForwardDirection = swerve::Rotation2d(units::angle::degree_t{row.operatorDegrees});
    rig_->parameters.currentPose =
        swerve::Pose2d(meter_t{2.0}, meter_t{1.0}, swerve::Rotation2d(units::angle::degree_t{row.headingDegrees}));
    // The wheels already point where they are sent, so no cosine slowing.
    for (std::size_t i = 0; i < 4; ++i) SetAzimuth(i, row.steerDegrees);
    FieldCentric request;
    request.WithVelocityX(meters_per_second_t{1.0}).WithForwardPerspective(row.perspective);
    Apply(request);
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_NEAR(SteerTurns(i), Turns(row.steerDegrees), 1e-9);
      EXPECT_NEAR(DriveVolts(i), row.volts, 1e-9);
    }
  }
}

// The field velocity reaches the robot's frame turned by Rotation2d(-heading)
// to the last bit: without discretisation the modules get exactly what a
// robot-centric request with the turned velocity gives them, for headings
// from angles (unwrapped ones too) and from vectors.
TEST_F(FieldCentricTest, TurnsIntoTheRobotFrameBitForBit) {
  rig_->parameters.updatePeriod = units::time::second_t{0.0};
  for (const swerve::Rotation2d& heading :
       {swerve::Rotation2d(units::angle::degree_t{37.0}), swerve::Rotation2d(units::angle::radian_t{-3.0}),
        swerve::Rotation2d(units::angle::radian_t{1e6}), swerve::Rotation2d(1.0, 3.0),
        swerve::Rotation2d(-0.3, 0.7), swerve::Rotation2d(5.0, -1.0)}) {
    SCOPED_TRACE(heading.Radians().value());
    rig_->parameters.currentPose = swerve::Pose2d(meter_t{2.0}, meter_t{1.0}, heading);
    const double vx = 1.3;
    const double vy = -0.4;
    const swerve::Rotation2d back(-heading.Radians());
    FieldCentric field;
    field.WithVelocityX(meters_per_second_t{vx})
        .WithVelocityY(meters_per_second_t{vy})
        .WithRotationalRate(radians_per_second_t{0.7})
        .WithForwardPerspective(ForwardPerspectiveValue::FieldOrigin);
    Apply(field);
    double steer[4], drive[4];
    for (std::size_t i = 0; i < 4; ++i) {
      steer[i] = SteerTurns(i);
      drive[i] = DriveVolts(i);
    }
    RobotCentric robot;
    robot.WithVelocityX(meters_per_second_t{vx * back.Cos() - vy * back.Sin()})
        .WithVelocityY(meters_per_second_t{vx * back.Sin() + vy * back.Cos()})
        .WithRotationalRate(radians_per_second_t{0.7});
    Apply(robot);
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(SteerTurns(i), steer[i]);
      EXPECT_EQ(DriveVolts(i), drive[i]);
    }
  }
}

// A translation slower than the deadband is dropped while the rotation still
// applies; exactly the deadband passes; the rotational deadband drops slow
// turning the same way; no deadband drops nothing.
TEST_F(FieldCentricTest, DeadbandsAreStrict) {
  FieldCentric request;
  request.WithDeadband(meters_per_second_t{0.1}).WithRotationalDeadband(radians_per_second_t{0.6});

  request.WithVelocityX(meters_per_second_t{0.05}).WithRotationalRate(radians_per_second_t{1.0});
  SetAzimuth(0, -45.0);
  Apply(request);
  // Turning in place: the front-left wheel moves along 135 degrees, which it
  // reaches by driving backwards at -45.
  EXPECT_NEAR(SteerTurns(0), Turns(-45.0), 1e-9);
  EXPECT_NEAR(DriveVolts(0), -VoltsFor(0.3 * std::sqrt(2.0)), 1e-9);

  request.WithVelocityX(meters_per_second_t{0.1}).WithRotationalRate(radians_per_second_t{0.5});
  for (std::size_t i = 0; i < 4; ++i) SetAzimuth(i, 0.0);
  Apply(request);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(SteerTurns(i), 0.0, 1e-9);
    EXPECT_NEAR(DriveVolts(i), VoltsFor(0.1), 1e-9);
  }

  // Without a deadband even the slowest translation steers the wheels.
  FieldCentric slow;
  slow.WithVelocityY(meters_per_second_t{1e-12});
  for (std::size_t i = 0; i < 4; ++i) SetAzimuth(i, 30.0);
  Apply(slow);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(SteerTurns(i), Turns(90.0), 1e-9);
}

// Too fast a command is scaled to the top speed; without desaturation, or
// without a known top speed, it is sent as asked.
TEST_F(FieldCentricTest, DesaturatesToTheTopSpeed) {
  FieldCentric request;
  request.WithVelocityX(meters_per_second_t{8.0});
  Apply(request);
  EXPECT_NEAR(DriveVolts(0), 12.0, 1e-9);

  request.WithDesaturateWheelSpeeds(false);
  Apply(request);
  EXPECT_NEAR(DriveVolts(0), 24.0, 1e-9);

  rig_->parameters.kMaxSpeed = meters_per_second_t{0.0};
  request.WithDesaturateWheelSpeeds(true);
  Apply(request);
  EXPECT_NEAR(DriveVolts(0), 24.0, 1e-9);
}

// When every speed is exactly zero the wheels stop where they point instead
// of snapping back to straight ahead.
TEST_F(FieldCentricTest, ZeroSpeedsKeepEachAzimuth) {
  FieldCentric request;
  request.WithVelocityY(meters_per_second_t{1.0});
  Apply(request);
  request.WithVelocityY(meters_per_second_t{0.0});
  Apply(request);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(SteerTurns(i), Turns(90.0), 1e-9);
    EXPECT_EQ(DriveVolts(i), 0.0);
  }
}

}  // namespace
