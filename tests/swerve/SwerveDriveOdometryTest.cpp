#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveOdometry.hpp>

#include <kvor/zephrin/runtime/harness/Reports.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "swerve/SwerveTestSupport.hpp"

using namespace swerve_test;
using swerve::Pose2d;
using swerve::Rotation2d;
using swerve::SwerveModulePosition;
using swerve::Translation2d;
using swerve::impl::SwerveDriveKinematics;
using swerve::impl::SwerveDriveOdometry;

namespace {

/// Rolls every module by its share of a body motion at `speeds` for `dt`.
void Roll(SwerveDriveKinematics& kinematics, const swerve::ChassisSpeeds& speeds, double dt,
          std::vector<SwerveModulePosition>& positions) {
  const auto states = kinematics.ToSwerveModuleStates(speeds);
  for (std::size_t i = 0; i < positions.size(); ++i) {
    positions[i] = {positions[i].distance + meter_t{states[i].speed.value() * dt}, states[i].angle};
  }
}

}  // namespace

// Constant body speeds trace an arc; odometry fed the wheel distances and a
// gyro that turns with the body ends on the analytic pose.
TEST(SwerveDriveOdometry, ConstantCurvaturePathMatchesAnalyticPose) {
  Random random(99);
  SwerveDriveKinematics kinematics(SquareModules());
  for (int run = 0; run < 100; ++run) {
    const double vx = random.Uniform(-3, 3);
    const double vy = random.Uniform(-3, 3);
    const double omega = run % 10 == 0 ? 0.0 : random.Uniform(-4, 4);
    const Pose2d start = random.AnyPose();
    const double gyroStart = random.Uniform(-10, 10);
    std::vector<SwerveModulePosition> positions(4);
    SwerveDriveOdometry odometry(kinematics, Rotation2d(radian_t{gyroStart}), positions, start);

    const double dt = 0.004;
    const int steps = 500;
    for (int step = 1; step <= steps; ++step) {
      Roll(kinematics, MakeSpeeds(vx, vy, omega), dt, positions);
      odometry.Update(Rotation2d(radian_t{gyroStart + omega * dt * step}), positions);
    }
    const double t = dt * steps;
    const double theta = omega * t;
    // Robot-frame displacement of a constant twist, then into the field frame.
    const double s = omega == 0.0 ? t : std::sin(theta) / omega;
    const double c = omega == 0.0 ? 0.0 : (1 - std::cos(theta)) / omega;
    const Translation2d local(meter_t{vx * s - vy * c}, meter_t{vx * c + vy * s});
    const Pose2d expected(start.Translation() + local.RotateBy(start.Rotation()),
                          start.Rotation() + Rotation2d(radian_t{theta}));
    SCOPED_TRACE(testing::Message() << "run " << run << " speeds " << MakeSpeeds(vx, vy, omega));
    EXPECT_TRUE(PoseNear(odometry.GetPose(), expected, 1e-9));
  }
}

// Every update is, to the last bit, the public operations it stands for:
// the heading change as the difference of the gyro's rotations and the pose
// moved along the forward kinematics' twist. Headings come both from angles
// and from vectors, whose stored cosine and sine are not the angle's.
TEST(SwerveDriveOdometry, UpdateIsExactlyThePublicComposition) {
  Random random(11);
  SwerveDriveKinematics kinematics(SquareModules());
  std::vector<SwerveModulePosition> positions(4);
  Rotation2d gyro(radian_t{0.4});
  SwerveDriveOdometry odometry(kinematics, gyro, positions, random.AnyPose());
  Pose2d expected = odometry.GetPose();
  const Rotation2d offset = expected.Rotation() - gyro;
  Rotation2d previous = expected.Rotation();
  int mismatches = 0;
  for (int step = 0; step < 20000; ++step) {
    std::vector<SwerveModulePosition> deltas(4);
    for (std::size_t m = 0; m < 4; ++m) {
      const Rotation2d angle = step % 2 == 0 ? Rotation2d(radian_t{random.Uniform(-7, 7)})
                                             : Rotation2d(random.Uniform(-1, 1), random.Uniform(-1, 1));
      const meter_t distance = positions[m].distance + meter_t{random.Uniform(-0.05, 0.05)};
      deltas[m] = {distance - positions[m].distance, angle};
      positions[m] = {distance, angle};
    }
    gyro = step % 3 == 0 ? Rotation2d(random.Uniform(-1, 1), random.Uniform(-1, 1))
                         : Rotation2d(radian_t{random.Uniform(-20, 20)});
    const Pose2d& pose = odometry.Update(gyro, positions);

    const Rotation2d angle = gyro + offset;
    swerve::Twist2d twist = kinematics.ToTwist2d(deltas);
    twist.dtheta = (angle - previous).Radians();
    expected = Pose2d(expected.Exp(twist).Translation(), angle);
    previous = angle;
    if (pose.X().value() != expected.X().value() || pose.Y().value() != expected.Y().value() ||
        pose.Rotation().Radians().value() != expected.Rotation().Radians().value()) {
      ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The heading follows the gyro, not the wheels, and missing module entries
// count as no motion.
TEST(SwerveDriveOdometry, GyroDecidesHeadingAndShortInputsAreSafe) {
  SwerveDriveKinematics kinematics(SquareModules());
  std::vector<SwerveModulePosition> positions(4);
  SwerveDriveOdometry odometry(kinematics, Rotation2d(), positions);
  for (auto& p : positions) p.distance = meter_t{1.0};
  // Wheels say "straight ahead 1 m", gyro says "turned a quarter".
  odometry.Update(Rotation2d(radian_t{kPi / 2}), positions);
  EXPECT_DOUBLE_EQ(odometry.GetPose().Rotation().Radians().value(), kPi / 2);
  EXPECT_NEAR(std::hypot(odometry.GetPose().X().value(), odometry.GetPose().Y().value()), 2 * std::sqrt(2.0) / kPi,
              1e-12);

  const Pose2d before = odometry.GetPose();
  std::vector<SwerveModulePosition> twoModules(positions.begin(), positions.begin() + 2);
  twoModules[0].distance = meter_t{5.0};
  odometry.Update(Rotation2d(radian_t{kPi / 2}), twoModules);
  EXPECT_GT(odometry.GetPose().Translation().Distance(before.Translation()).value(), 0.0);
  // Repeating the same short reading is no motion at all.
  const Pose2d moved = odometry.GetPose();
  odometry.Update(Rotation2d(radian_t{kPi / 2}), twoModules);
  EXPECT_EQ(odometry.GetPose().X().value(), moved.X().value());
  EXPECT_EQ(odometry.GetPose().Y().value(), moved.Y().value());
}

// Each reset re-bases what later readings mean.
TEST(SwerveDriveOdometry, ResetsRebaseLaterReadings) {
  SwerveDriveKinematics kinematics(SquareModules());
  std::vector<SwerveModulePosition> positions(4);
  const Rotation2d gyro(radian_t{0.7});
  SwerveDriveOdometry odometry(kinematics, gyro, positions);
  const Pose2d target = MakePose(2, 3, 1.0);

  struct Case {
    const char* name;
    void (*reset)(SwerveDriveOdometry&, const std::vector<SwerveModulePosition>&, const Pose2d&);
    Pose2d expected;
  };
  const Case cases[] = {
      {"position", [](auto& o, const auto& p, const Pose2d& t) { o.ResetPosition(Rotation2d(radian_t{0.7}), p, t); },
       target},
      {"pose", [](auto& o, const auto&, const Pose2d& t) { o.ResetPose(t); }, target},
      {"translation", [](auto& o, const auto&, const Pose2d& t) { o.ResetTranslation(t.Translation()); },
       MakePose(2, 3, 0)},
      {"rotation", [](auto& o, const auto&, const Pose2d& t) { o.ResetRotation(t.Rotation()); }, MakePose(0, 0, 1.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SwerveDriveOdometry copy = odometry;
    c.reset(copy, positions, target);
    EXPECT_TRUE(PoseNear(copy.GetPose(), c.expected, 1e-12));
    // Unchanged readings keep the reset pose; turning the gyro turns it from there.
    copy.Update(gyro, positions);
    EXPECT_TRUE(PoseNear(copy.GetPose(), c.expected, 1e-12));
    copy.Update(gyro + Rotation2d(radian_t{0.5}), positions);
    EXPECT_NEAR((copy.GetPose().Rotation() - c.expected.Rotation()).Radians().value(), 0.5, 1e-12);
  }
}

namespace {
class SwerveDriveOdometryReports : public zephrin_test::RuntimeTest {};
}  // namespace

// Readings that are not finite never reach the pose: a bad update is skipped
// (the next finite one covers its motion), a bad reset changes nothing, and a
// bad start begins from zero. Each is reported as a warning.
TEST_F(SwerveDriveOdometryReports, NonFiniteReadingsNeverReachThePose) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  SwerveDriveKinematics kinematics(SquareModules());
  std::vector<SwerveModulePosition> positions(4);
  SwerveDriveOdometry clean(kinematics, Rotation2d(), positions);
  SwerveDriveOdometry spoiled(kinematics, Rotation2d(), positions);
  for (int step = 1; step <= 100; ++step) {
    Roll(kinematics, MakeSpeeds(1, 0.5, 0.3), 0.02, positions);
    const Rotation2d gyro(radian_t{0.006 * step});
    if (step % 2 == 0) clean.Update(gyro, positions);  // only every other reading
    std::vector<SwerveModulePosition> read = positions;
    if (step % 2 == 1) read[2].distance = meter_t{kNaN};
    spoiled.Update(gyro, read);
    if (step == 50) spoiled.ResetPose(MakePose(kNaN, 0, 0));
  }
  EXPECT_TRUE(PoseNear(spoiled.GetPose(), clean.GetPose(), 0.0));
  const SwerveDriveOdometry fromZero(kinematics, Rotation2d(radian_t{kNaN}), positions, MakePose(1, kNaN, 0.5));
  EXPECT_TRUE(PoseNear(fromZero.GetPose(), MakePose(1, 0, 0.5), 0.0));

  std::vector<std::string> details;
  for (const auto& report : kvor::zephrin::runtime::harness::Reports()) details.push_back(report.details);
  const std::vector<std::string> expected = {
      "Refused odometry update: module 2 distance is nan; the next finite update covers its motion.",
      "Refused pose reset: pose x is nan; the pose is unchanged.",
      "Refused odometry start: gyro angle is nan; values that are not finite start from zero.",
  };
  EXPECT_EQ(details, expected);
}
