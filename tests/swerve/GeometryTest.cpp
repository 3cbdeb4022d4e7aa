#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/Transform2d.hpp>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "swerve/SwerveTestSupport.hpp"

using namespace swerve_test;
using swerve::ChassisSpeeds;
using swerve::Pose2d;
using swerve::Rotation2d;
using swerve::Transform2d;
using swerve::Translation2d;
using swerve::Twist2d;

// A vector shorter than 1e-6 (strictly: exactly 1e-6 too) has no direction
// and gives the zero rotation; longer ones give their atan2 direction.
TEST(Rotation2d, VectorConstructorThreshold) {
  struct Case {
    double x, y;
    double value, cos, sin;
  };
  const Case cases[] = {
      {0.0, 0.0, 0.0, 1.0, 0.0},   {1e-7, 0.0, 0.0, 1.0, 0.0},
      {0.0, 1e-6, 0.0, 1.0, 0.0},  {0.0, 1.0000001e-6, kPi / 2, 0.0, 1.0},
      {-2.0, 0.0, kPi, -1.0, 0.0}, {3.0, -3.0, -kPi / 4, std::sqrt(0.5), -std::sqrt(0.5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    const Rotation2d r(c.x, c.y);
    EXPECT_DOUBLE_EQ(r.Radians().value(), c.value);
    EXPECT_NEAR(r.Cos(), c.cos, 1e-15);
    EXPECT_NEAR(r.Sin(), c.sin, 1e-15);
  }
}

// A rotation built from an angle keeps it unwrapped; composing wraps into
// (-pi, pi] and renormalises.
TEST(Rotation2d, AnglesStayUnwrappedUntilComposed) {
  const Rotation2d three(radian_t{3.0});
  EXPECT_EQ(Rotation2d(radian_t{7.0}).Radians().value(), 7.0);
  EXPECT_DOUBLE_EQ((three + three).Radians().value(), 6.0 - 2 * kPi);
  EXPECT_DOUBLE_EQ((three - Rotation2d(radian_t{-3.0})).Radians().value(), 6.0 - 2 * kPi);
  EXPECT_EQ((-three).Radians().value(), -3.0);
  EXPECT_DOUBLE_EQ(Rotation2d(units::angle::degree_t{90.0}).Radians().value(), kPi / 2);
  EXPECT_DOUBLE_EQ(Rotation2d(radian_t{kPi}).Degrees().value(), 180.0);
  // Equality compares directions, not angle values.
  EXPECT_EQ(Rotation2d(radian_t{7.0}), Rotation2d(radian_t{7.0 - 2 * kPi}));
  EXPECT_FALSE(Rotation2d(radian_t{0.0}) == Rotation2d(radian_t{1e-6}));
}

// Exp(Log(end)) from start reproduces end over thousands of random pose
// pairs, including half turns and near-identical headings.
TEST(Pose2d, ExpOfLogReproducesEnd) {
  Random random(20261205);
  for (int i = 0; i < 5000; ++i) {
    const Pose2d start = random.AnyPose();
    Pose2d end = random.AnyPose();
    if (i % 5 == 1) end = Pose2d(end.Translation(), start.Rotation() + Rotation2d(radian_t{kPi}));
    if (i % 5 == 2)
      end = Pose2d(end.Translation(), start.Rotation() + Rotation2d(radian_t{random.Uniform(-1e-9, 1e-9)}));
    if (i % 5 == 3)
      end = Pose2d(end.Translation(), start.Rotation() + Rotation2d(radian_t{random.Uniform(2e-5, 1e-4)}));
    SCOPED_TRACE(testing::Message() << "case " << i << ": " << start << " -> " << end);
    // Log computes cos(theta) - 1 directly until it falls below 1e-9, so
    // headings a few 1e-5 rad apart lose digits to cancellation: about 1e-7
    // relative, i.e. up to a few micrometres over the 28 m these poses span.
    const Twist2d twist = start.Log(end);
    EXPECT_TRUE(PoseNear(start.Exp(twist), end, 1e-5));
  }
  const Pose2d pose = MakePose(1, 2, 3);
  EXPECT_EQ(pose.Log(pose), Twist2d{});
}

// Exp of a straight twist moves along the heading; just either side of the
// small-angle switch the series and the closed form agree.
TEST(Pose2d, ExpIsContinuousAtTheSmallAngleSwitch) {
  const Pose2d start = MakePose(1, 1, kPi / 2);
  EXPECT_TRUE(PoseNear(start.Exp({meter_t{2}, meter_t{0}, radian_t{0}}), MakePose(1, 3, kPi / 2), 1e-12));
  const Pose2d series = start.Exp({meter_t{2}, meter_t{0.5}, radian_t{5e-10}});
  const Pose2d exact = start.Exp({meter_t{2}, meter_t{0.5}, radian_t{1.5e-9}});
  EXPECT_TRUE(PoseNear(series, exact, 1e-8));
  EXPECT_TRUE(PoseNear(series, MakePose(0.5, 3, kPi / 2), 1e-8));
}

// Interpolation returns the endpoints exactly outside [0, 1) and follows the
// arc in between.
TEST(Pose2d, InterpolateEndpointsAndArc) {
  const Pose2d start = MakePose(1, 2, 0.3);
  const Pose2d end = MakePose(4, -1, 2.0);
  const Pose2d before = swerve::Interpolate(start, end, -0.1);
  EXPECT_EQ(before.X().value(), 1.0);
  EXPECT_EQ(before.Rotation().Radians().value(), 0.3);
  const Pose2d atEnd = swerve::Interpolate(start, end, 1.0);
  EXPECT_EQ(atEnd.Y().value(), -1.0);
  EXPECT_EQ(atEnd.Rotation().Radians().value(), 2.0);
  EXPECT_TRUE(PoseNear(swerve::Interpolate(start, end, 0.0), start, 1e-15));
  // Half way along the arc, then half way again, lands on the end.
  const Pose2d half = swerve::Interpolate(start, end, 0.5);
  EXPECT_TRUE(PoseNear(half.Exp(start.Log(end) * 0.5), end, 1e-12));
  EXPECT_TRUE(PoseNear(swerve::Interpolate(MakePose(0, 0, 0), MakePose(2, 4, 0), 0.25), MakePose(0.5, 1, 0), 1e-12));
}

// Transforms between poses, their composition and inverse agree with moving
// the poses directly.
TEST(Transform2d, CompositionAndInverse) {
  Random random(7);
  for (int i = 0; i < 1000; ++i) {
    const Pose2d a = random.AnyPose();
    const Pose2d b = random.AnyPose();
    const Transform2d t1(a, b);
    const Transform2d t2(b, random.AnyPose());
    SCOPED_TRACE(testing::Message() << "case " << i);
    EXPECT_TRUE(PoseNear(a + t1, b, 1e-9));
    EXPECT_TRUE(PoseNear(a + (t1 + t2), (a + t1) + t2, 1e-9));
    EXPECT_TRUE(PoseNear(b + t1.Inverse(), a, 1e-9));
    EXPECT_EQ(b - a, t1);
  }
}

// Discretize leaves straight driving alone; for driving while turning, the
// discretised straight-line motion over dt ends where the curved one does.
TEST(ChassisSpeeds, DiscretizeAndRobotRelative) {
  const ChassisSpeeds straight = MakeSpeeds(1.5, -0.5, 0.0);
  const ChassisSpeeds same = swerve::Discretize(straight, second_t{0.02});
  EXPECT_EQ(same.vx.value(), 1.5);
  EXPECT_EQ(same.vy.value(), -0.5);
  EXPECT_EQ(same.omega.value(), 0.0);

  const ChassisSpeeds turning = MakeSpeeds(2.0, 0.0, 3.0);
  const double dt = 0.1;
  const ChassisSpeeds discrete = swerve::Discretize(turning, second_t{dt});
  EXPECT_NE(discrete.vy.value(), 0.0);
  const Pose2d reached = Pose2d().Exp(
      {meter_t{discrete.vx.value() * dt}, meter_t{discrete.vy.value() * dt}, radian_t{discrete.omega.value() * dt}});
  EXPECT_TRUE(PoseNear(reached, MakePose(2.0 * dt, 0.0, 3.0 * dt), 1e-12));

  // A robot facing +y sees field +x on its right.
  const ChassisSpeeds robot = swerve::ToRobotRelative(MakeSpeeds(1, 0, 0.5), Rotation2d(radian_t{kPi / 2}));
  EXPECT_NEAR(robot.vx.value(), 0.0, 1e-15);
  EXPECT_NEAR(robot.vy.value(), -1.0, 1e-15);
  EXPECT_EQ(robot.omega.value(), 0.5);
}

namespace {

/// Log spelled out with the public operations: the transform between the two
/// poses, then its translation turned by Rotation2d(k, -theta/2) and scaled
/// by hypot(k, theta/2).
Twist2d LogByComposition(const Pose2d& start, const Pose2d& end) {
  const Transform2d transform(start, end);
  const double theta = transform.Rotation().Radians().value();
  const double half = theta / 2.0;
  const double m = transform.Rotation().Cos() - 1.0;
  const double k = std::abs(m) < 1e-9 ? 1.0 - theta * theta * 0.08333333333333333
                                      : -(half * transform.Rotation().Sin()) / m;
  const Translation2d moved = transform.Translation().RotateBy(Rotation2d(k, -half)) * std::hypot(k, half);
  return {moved.X(), moved.Y(), radian_t{theta}};
}

}  // namespace

// Small heading changes magnify any rounding difference in cos - 1, so Log,
// and Discretize built on it, must follow the composition bit for bit, signs
// of zero included. Starts at headings of +0 and -0 (every Discretize logs
// from one) are drawn often, with ends at the same heading, a tiny turn or
// anywhere, and so are pairs of poses at one heading.
TEST(Pose2d, LogIsExactlyTheComposition) {
  Random random(6);
  const auto bits = [](double value) { return std::bit_cast<std::uint64_t>(value); };
  const auto same = [&](const Twist2d& a, const Twist2d& b) {
    return bits(a.dx.value()) == bits(b.dx.value()) && bits(a.dy.value()) == bits(b.dy.value()) &&
           bits(a.dtheta.value()) == bits(b.dtheta.value());
  };
  const double headings[] = {0.0, -0.0, 1e-300, -1e-17, 3e-9};
  int mismatches = 0;
  for (int i = 0; i < 200000; ++i) {
    const Pose2d start = random.AnyPose();
    const Pose2d end = random.AnyPose();
    if (!same(start.Log(end), LogByComposition(start, end))) ++mismatches;

    const Pose2d still = MakePose(random.Uniform(-1, 1), random.Uniform(-1, 1), i % 2 == 0 ? 0.0 : -0.0);
    const Pose2d near = MakePose(random.Uniform(-1, 1), random.Uniform(-1, 1), headings[i % 5]);
    for (const Pose2d& to : {still, near, end}) {
      if (!same(still.Log(to), LogByComposition(still, to))) ++mismatches;
    }

    // Two poses at one heading have no turn between them.
    const Pose2d aligned = MakePose(random.Uniform(-1, 1), random.Uniform(-1, 1), start.Rotation().Radians().value());
    if (!same(start.Log(aligned), LogByComposition(start, aligned))) ++mismatches;

    // A third of the commands do not rotate (+0 or -0), some not along x.
    const double dt = 0.02;
    const double zeros[] = {0.0, -0.0};
    const double omega = i % 3 == 0 ? zeros[i % 2] : random.Uniform(-10, 10);
    const double vx = i % 7 == 0 ? zeros[(i / 7) % 2] : random.Uniform(-5, 5);
    const ChassisSpeeds speeds = MakeSpeeds(vx, random.Uniform(-5, 5), omega);
    const ChassisSpeeds discrete = swerve::Discretize(speeds, second_t{dt});
    const Twist2d twist = LogByComposition(Pose2d(), MakePose(speeds.vx.value() * dt, speeds.vy.value() * dt,
                                                              speeds.omega.value() * dt));
    if (discrete.vx.value() != twist.dx.value() / dt || discrete.vy.value() != twist.dy.value() / dt ||
        discrete.omega.value() != twist.dtheta.value() / dt) {
      ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

namespace {

// Optimisation as the module's rule states it, through Rotation2d's own
// subtraction and sum.
swerve::SwerveModuleState OptimizedByRule(swerve::SwerveModuleState state, const Rotation2d& current) {
  if (std::abs((state.angle - current).Degrees().value()) > 90.0) {
    state.speed = -state.speed;
    state.angle = state.angle + Rotation2d(radian_t{kPi});
  }
  return state;
}

void ExpectSameBits(const swerve::SwerveModuleState& actual, const swerve::SwerveModuleState& expected) {
  EXPECT_EQ(actual.speed.value(), expected.speed.value());
  EXPECT_EQ(actual.angle.Radians().value(), expected.angle.Radians().value());
  EXPECT_EQ(actual.angle.Cos(), expected.angle.Cos());
  EXPECT_EQ(actual.angle.Sin(), expected.angle.Sin());
}

}  // namespace

// Optimize decides without trigonometry, so it is checked bit for bit
// against the rule: rotations built from angles (unwrapped ones too) and
// from vectors, and pairs a quarter turn apart whose stored cosines put the
// difference within an ulp of 90 degrees.
TEST(SwerveModuleState, OptimizeMatchesTheRule) {
  Random random(20261207);
  std::vector<std::pair<Rotation2d, Rotation2d>> pairs;
  for (int i = 0; i < 20000; ++i) {
    const Rotation2d current = i % 2 ? Rotation2d(radian_t{random.Uniform(-10, 10)})
                                     : Rotation2d(random.Uniform(-1, 1), random.Uniform(-1, 1));
    const Rotation2d requested = i % 3 ? Rotation2d(radian_t{random.Uniform(-10, 10)})
                                       : Rotation2d(random.Uniform(-1, 1), random.Uniform(-1, 1));
    pairs.emplace_back(requested, current);
    pairs.emplace_back(Rotation2d(-current.Sin(), current.Cos()), current);
    pairs.emplace_back(Rotation2d(current.Sin(), -current.Cos()), current);
    pairs.emplace_back(Rotation2d(current.Radians() + radian_t{kPi / 2}), current);
    pairs.emplace_back(Rotation2d(current.Radians() - radian_t{kPi / 2}), current);
  }
  for (double degrees : {90.0, -90.0, 270.0, 89.999999, 90.000001, 180.0, 0.0}) {
    pairs.emplace_back(Rotation2d(units::angle::degree_t{degrees}), Rotation2d());
  }
  int flipped = 0;
  for (const auto& [requested, current] : pairs) {
    SCOPED_TRACE(testing::Message() << requested << " from " << current);
    swerve::SwerveModuleState state{meters_per_second_t{1.5}, requested};
    const swerve::SwerveModuleState expected = OptimizedByRule(state, current);
    state.Optimize(current);
    ExpectSameBits(state, expected);
    if (state.speed.value() < 0.0) ++flipped;
  }
  // Both outcomes are exercised in bulk.
  EXPECT_GT(flipped, 15000);
  EXPECT_LT(flipped, static_cast<int>(pairs.size()) - 15000);
}

// The worked cases: 100 degrees away drives backwards and steers to -80;
// a quarter turn exactly stays; an angle that is not finite stays too.
TEST(SwerveModuleState, OptimizeFlipsOnlyBeyondAQuarterTurn) {
  using units::angle::degree_t;
  swerve::SwerveModuleState far{meters_per_second_t{2.0}, Rotation2d(degree_t{100.0})};
  far.Optimize(Rotation2d());
  EXPECT_EQ(far.speed.value(), -2.0);
  EXPECT_NEAR(far.angle.Degrees().value(), -80.0, 1e-9);

  swerve::SwerveModuleState quarter{meters_per_second_t{2.0}, Rotation2d(degree_t{90.0})};
  quarter.Optimize(Rotation2d());
  EXPECT_EQ(quarter.speed.value(), 2.0);
  EXPECT_EQ(quarter.angle.Degrees().value(), Rotation2d(degree_t{90.0}).Degrees().value());

  swerve::SwerveModuleState broken{meters_per_second_t{2.0},
                                   Rotation2d(radian_t{std::numeric_limits<double>::quiet_NaN()})};
  broken.Optimize(Rotation2d(degree_t{170.0}));
  EXPECT_EQ(broken.speed.value(), 2.0);
}
