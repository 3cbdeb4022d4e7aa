// The simulated robot on a walled field: it stops with its bumper at a wall
// while its wheels slip and odometry runs on, slides along a wall it hits at
// an angle, stops at an obstacle, and moves exactly as on the endless floor
// until something is near. A field that cannot be simulated is refused.
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/sim/SimField.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "swervesim/SimRig.hpp"

namespace {

using namespace swervesim_rig;
using kvor::zephrin::StatusCode;
using swerve::Pose2d;
using swerve::Rotation2d;
using swerve::Translation2d;
using swerve::requests::FieldCentric;
using swerve::sim::SimField;

constexpr int kRapaxQType = 5;
/// The default bumper of the square rig: module corners at 0.3 m plus the margin.
constexpr double kHalfBumper = 0.3 + 0.15;
/// Wheel slip above this stator current, amperes.
constexpr double kSlipAmps = 60.0;

std::vector<ModuleConstants> SlippingModules() {
  std::vector<ModuleConstants> modules = SimModules();
  for (auto& module : modules) module.WithSlipCurrent(units::current::ampere_t{kSlipAmps});
  return modules;
}

Translation2d At(double x, double y) { return Translation2d(meter_t{x}, meter_t{y}); }

/// A square obstacle with side `side` centred on (x, y).
std::vector<Translation2d> Square(double x, double y, double side) {
  const double h = side / 2.0;
  return {At(x - h, y - h), At(x + h, y - h), At(x + h, y + h), At(x - h, y + h)};
}

/// The ground speed a drive motor's rotor velocity stands for, m/s.
double WheelSpeed(std::size_t module) {
  const double turnsPerSecond =
      harness::SimPhysicsInput(kRapaxQType, DriveId(module), "RotorVelocity").value_or(0.0);
  return turnsPerSecond / kTurnsPerMeter;
}

class SimFieldTest : public zephrin_test::RuntimeTest {
 protected:
  /// A fresh runtime for the next case of a table.
  static void Fresh() {
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
  }
  /// A rig with slipping wheels on `field`, the robot at `start`.
  void Place(SimRig& rig, const SimField& field, const Pose2d& start) {
    ASSERT_EQ(rig.Sim().SetField(field), StatusCode::OK);
    ASSERT_EQ(rig.Sim().ResetPose(start), StatusCode::OK);
    rig.Drivetrain().ResetPose(start);
  }
};

// Driving field-centric at 2 m/s into the far wall stops the robot with its
// bumper at the wall, while the wheels spin on (they slip) and odometry,
// which counts wheel turns, runs on beyond the true pose.
TEST_F(SimFieldTest, FarWallStopsTheRobotWhileItsWheelsSlip) {
  SimRig rig(SlippingModules());
  Place(rig, SimField{}, Pose2d(meter_t{14.0}, meter_t{4.0}, Rotation2d()));
  rig.Drivetrain().SetControl(FieldCentric{}.WithVelocityX(meters_per_second_t{2.0}));
  rig.Run(3.0);

  const Pose2d truth = rig.Sim().GetPose();
  const double wall = SimField::kDefaultLength.value() - kHalfBumper;
  EXPECT_LE(truth.X().value(), wall);
  EXPECT_GE(truth.X().value(), wall - 0.01);
  EXPECT_NEAR(truth.Y().value(), 4.0, 1e-3);
  EXPECT_NEAR(truth.Rotation().Degrees().value(), 0.0, 0.1);
  EXPECT_NEAR(rig.Sim().GetChassisSpeeds().vx.value(), 0.0, 0.01);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_GT(WheelSpeed(i), 1.0) << "module " << i;
  EXPECT_GT(rig.Drivetrain().GetState().Pose.X().value(), truth.X().value() + 1.0);
}

// Hitting the far wall at 15 degrees, the robot slides along it: x stays at
// the wall while y keeps growing (slower than it drove: the wheels, pointing
// into the wall, roll only with the part of the motion along them).
TEST_F(SimFieldTest, GlancingHitSlidesAlongTheWall) {
  SimRig rig(SlippingModules());
  Place(rig, SimField{}, Pose2d(meter_t{15.7}, meter_t{1.0}, Rotation2d()));
  const double angle = std::numbers::pi / 12.0;
  rig.Drivetrain().SetControl(FieldCentric{}
                                  .WithVelocityX(meters_per_second_t{2.0 * std::sin(angle)})
                                  .WithVelocityY(meters_per_second_t{2.0 * std::cos(angle)}));
  rig.Run(1.5);
  const double wall = SimField::kDefaultLength.value() - kHalfBumper;
  const Pose2d hit = rig.Sim().GetPose();
  ASSERT_GE(hit.X().value(), wall - 0.01);
  rig.Run(1.0);
  const Pose2d slid = rig.Sim().GetPose();
  EXPECT_GE(slid.X().value(), wall - 0.01);
  EXPECT_LE(slid.X().value(), wall);
  EXPECT_GT(slid.Y().value() - hit.Y().value(), 0.1);
  EXPECT_NEAR(slid.Rotation().Degrees().value(), 0.0, 2.0);
}

// An obstacle in the way stops the robot at its face; one beside the path
// does not touch it.
TEST_F(SimFieldTest, ObstacleStopsTheRobot) {
  SimField field;
  field.Obstacles = {Square(6.0, 4.0, 1.0), Square(6.0, 6.5, 1.0)};
  SimRig rig(SlippingModules());
  Place(rig, field, Pose2d(meter_t{3.0}, meter_t{4.0}, Rotation2d()));
  rig.Drivetrain().SetControl(FieldCentric{}.WithVelocityX(meters_per_second_t{2.0}));
  rig.Run(2.5);
  const Pose2d truth = rig.Sim().GetPose();
  EXPECT_LE(truth.X().value(), 5.5 - kHalfBumper);
  EXPECT_GE(truth.X().value(), 5.5 - kHalfBumper - 0.01);
  EXPECT_NEAR(truth.Y().value(), 4.0, 1e-3);
}

// Until something is near, a robot on a field moves as one on the endless
// floor: the same drive gives the same pose.
TEST_F(SimFieldTest, OpenFieldMovesExactlyAsTheEndlessFloor) {
  const Pose2d start(meter_t{5.0}, meter_t{4.0}, Rotation2d(units::angle::degree_t{20.0}));
  std::vector<Pose2d> ends;
  for (const bool onField : {false, true}) {
    SCOPED_TRACE(onField);
    Fresh();
    SimRig rig(SlippingModules());
    if (onField) {
      ASSERT_EQ(rig.Sim().SetField(SimField{}), StatusCode::OK);
    }
    ASSERT_EQ(rig.Sim().ResetPose(start), StatusCode::OK);
    rig.Drivetrain().SetControl(FieldCentric{}
                                    .WithVelocityX(meters_per_second_t{1.5})
                                    .WithVelocityY(meters_per_second_t{-0.5})
                                    .WithRotationalRate(units::angular_velocity::radians_per_second_t{1.0}));
    rig.Run(2.0);
    ends.push_back(rig.Sim().GetPose());
  }
  EXPECT_GT(ends[0].Translation().Distance(start.Translation()).value(), 2.0);
  // Two runs on the endless floor in one process already differ by up to a
  // micrometre (the runtime's state after a reset); the field adds nothing.
  EXPECT_NEAR(ends[0].X().value(), ends[1].X().value(), 1e-5);
  EXPECT_NEAR(ends[0].Y().value(), ends[1].Y().value(), 1e-5);
  EXPECT_NEAR(ends[0].Rotation().Radians().value(), ends[1].Rotation().Radians().value(), 1e-5);
}

// Settings the simulation cannot take are refused and leave the robot where
// it was (on no field, or on the field it had).
TEST_F(SimFieldTest, RefusesFieldsItCannotSimulate) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    std::string name;
    SimField field;
  };
  const auto with = [](auto change) {
    SimField field;
    change(field);
    return field;
  };
  const std::vector<Case> cases = {
      {"negative mass", with([](SimField& f) { f.ChassisMass = units::mass::kilogram_t{-1.0}; })},
      {"zero mass", with([](SimField& f) { f.ChassisMass = units::mass::kilogram_t{0.0}; })},
      {"NaN inertia",
       with([&](SimField& f) { f.ChassisMomentOfInertia = units::moment_of_inertia::kilogram_square_meter_t{kNaN}; })},
      {"NaN length", with([&](SimField& f) { f.Length = meter_t{kNaN}; })},
      {"zero width", with([](SimField& f) { f.Width = meter_t{0.0}; })},
      {"negative margin", with([](SimField& f) { f.BumperMargin = meter_t{-0.1}; })},
      {"non-convex obstacle",
       with([](SimField& f) { f.Obstacles = {{At(0, 0), At(2, 0), At(1, 0.5), At(2, 2), At(0, 2)}}; })},
      {"collinear corners", with([](SimField& f) { f.Obstacles = {{At(0, 0), At(1, 0), At(2, 0), At(1, 1)}}; })},
      {"two corners", with([](SimField& f) { f.Obstacles = {{At(0, 0), At(1, 0)}}; })},
      {"repeated corner", with([](SimField& f) { f.Obstacles = {{At(0, 0), At(1, 0), At(1, 0), At(0, 1)}}; })},
      {"star", with([](SimField& f) {
         std::vector<Translation2d> star;
         for (int i = 0; i < 5; ++i) {
           const double a = 2.0 * std::numbers::pi * 2.0 * i / 5.0;
           star.push_back(At(5.0 + std::cos(a), 4.0 + std::sin(a)));
         }
         f.Obstacles = {star};
       })},
      {"nine corners", with([](SimField& f) {
         std::vector<Translation2d> circle;
         for (int i = 0; i < 9; ++i) {
           const double a = 2.0 * std::numbers::pi * i / 9.0;
           circle.push_back(At(5.0 + std::cos(a), 4.0 + std::sin(a)));
         }
         f.Obstacles = {circle};
       })},
      {"infinite corner", with([](SimField& f) {
         f.Obstacles = {{At(0, 0), At(std::numeric_limits<double>::infinity(), 0), At(0, 1)}};
       })},
      {"too many obstacles", with([](SimField& f) {
         f.Obstacles.assign(SimField::kMaxObstacles + 1, Square(5.0, 4.0, 1.0));
       })},
      {"sliver bumper", with([](SimField& f) { f.BumperFootprint = {At(-0.5, 0), At(0.5, 0), At(0, 1e-5)}; })},
  };
  SimRig rig;
  ASSERT_EQ(SimField{}.Check(), StatusCode::OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.field.Check(), StatusCode::InvalidParamValue);
    EXPECT_EQ(rig.Sim().SetField(c.field), StatusCode::InvalidParamValue);
    EXPECT_FALSE(rig.Sim().HasField());
  }
  // Without modules apart and without a margin there is no default bumper.
  SimField noMargin;
  noMargin.BumperMargin = meter_t{0.0};
  const std::vector<Translation2d> centre{At(0, 0)};
  EXPECT_EQ(SimField::CheckPolygon(noMargin.FootprintFor(centre)), StatusCode::InvalidParamValue);
}

// The default bumper is the rectangle round the modules grown by the
// margin, and the default inertia that of a plate of the robot's mass
// filling it.
TEST_F(SimFieldTest, DefaultChassisFollowsTheModules) {
  const SimField field;
  const std::vector<Translation2d> modules{At(0.3, 0.25), At(0.3, -0.25), At(-0.3, 0.25), At(-0.3, -0.25)};
  const std::vector<Translation2d> bumper = field.FootprintFor(modules);
  ASSERT_EQ(bumper.size(), 4u);
  ASSERT_EQ(SimField::CheckPolygon(bumper), StatusCode::OK);
  for (const Translation2d& corner : bumper) {
    EXPECT_NEAR(std::abs(corner.X().value()), 0.45, 1e-12);
    EXPECT_NEAR(std::abs(corner.Y().value()), 0.40, 1e-12);
  }
  EXPECT_NEAR(field.MomentOfInertiaFor(bumper).value(), 60.0 * (0.9 * 0.9 + 0.8 * 0.8) / 12.0, 1e-9);
  SimField set;
  set.ChassisMomentOfInertia = units::moment_of_inertia::kilogram_square_meter_t{7.0};
  EXPECT_EQ(set.MomentOfInertiaFor(bumper).value(), 7.0);
}

}  // namespace
