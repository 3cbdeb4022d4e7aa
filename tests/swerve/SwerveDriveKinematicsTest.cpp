#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "swerve/SwerveTestSupport.hpp"
#include "swerve/internal/SpeedsOfStates.hpp"

using namespace swerve_test;
using swerve::ChassisSpeeds;
using swerve::SwerveModulePosition;
using swerve::SwerveModuleState;
using swerve::Translation2d;
using swerve::impl::SwerveDriveKinematics;

// Driving straight points every wheel forward; spinning in place points each
// wheel perpendicular to its radius at omega * radius.
TEST(SwerveDriveKinematics, SquareDrivetrainStates) {
  SwerveDriveKinematics kinematics(SquareModules());
  for (const SwerveModuleState& state : kinematics.ToSwerveModuleStates(MakeSpeeds(1, 0, 0))) {
    EXPECT_DOUBLE_EQ(state.speed.value(), 1.0);
    EXPECT_EQ(state.angle.Radians().value(), 0.0);
  }
  const auto spin = kinematics.ToSwerveModuleStates(MakeSpeeds(0, 0, 1));
  const double expectedAngles[] = {3 * kPi / 4, kPi / 4, -3 * kPi / 4, -kPi / 4};
  for (std::size_t i = 0; i < spin.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_DOUBLE_EQ(spin[i].speed.value(), 0.3 * std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(spin[i].angle.Radians().value(), expectedAngles[i]);
  }
}

// A module's direction is the cosine and sine of its atan2 angle, so an
// infinite rotation rate still points every wheel along its diagonal.
TEST(SwerveDriveKinematics, InfiniteRotationRatePointsTheWheels) {
  SwerveDriveKinematics kinematics(SquareModules());
  const double inf = std::numeric_limits<double>::infinity();
  const double d = std::sqrt(0.5);
  for (const double sign : {1.0, -1.0}) {
    const auto states = kinematics.ToSwerveModuleStates(MakeSpeeds(0, 0, sign * inf));
    const double cosines[] = {-d, d, -d, d};
    const double sines[] = {d, d, -d, -d};
    for (std::size_t i = 0; i < states.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "module " << i << " omega " << sign * inf);
      EXPECT_EQ(states[i].speed.value(), inf);
      EXPECT_NEAR(states[i].angle.Cos(), sign * cosines[i], 1e-15);
      EXPECT_NEAR(states[i].angle.Sin(), sign * sines[i], 1e-15);
    }
  }
}

// Only exact zeros (and subnormals) hold the wheels where they were; any real
// command, however tiny, steers them.
TEST(SwerveDriveKinematics, ZeroCommandKeepsLastAzimuths) {
  SwerveDriveKinematics kinematics(SquareModules());
  const auto spin = kinematics.ToSwerveModuleStates(MakeSpeeds(0, 0, 1));
  struct Case {
    const char* name;
    ChassisSpeeds speeds;
    bool holds;
  };
  const Case cases[] = {
      {"zero", MakeSpeeds(0, 0, 0), true},
      {"negative zero", MakeSpeeds(-0.0, 0, -0.0), true},
      {"subnormal", MakeSpeeds(std::numeric_limits<double>::denorm_min(), 0, 0), true},
      {"tiny", MakeSpeeds(1e-300, 0, 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A copy remembers the same azimuths and keeps its own from then on.
    SwerveDriveKinematics copy = kinematics;
    const auto states = copy.ToSwerveModuleStates(c.speeds);
    for (std::size_t i = 0; i < states.size(); ++i) {
      if (c.holds) {
        EXPECT_EQ(states[i].speed.value(), 0.0);
        EXPECT_EQ(states[i].angle.Radians().value(), spin[i].angle.Radians().value());
      } else {
        EXPECT_EQ(states[i].speed.value(), 1e-300);
        EXPECT_EQ(states[i].angle.Radians().value(), 0.0);
      }
    }
  }
  // The copies' commands did not touch the original's memory.
  const auto held = kinematics.ToSwerveModuleStates(MakeSpeeds(0, 0, 0));
  EXPECT_EQ(held[0].angle.Radians().value(), spin[0].angle.Radians().value());
}

// Inverse then forward kinematics returns the commanded speeds for random
// layouts and commands; module distances map back to the same twist.
TEST(SwerveDriveKinematics, ForwardUndoesInverse) {
  Random random(42);
  for (int layout = 0; layout < 50; ++layout) {
    const std::size_t modules = 2 + static_cast<std::size_t>(layout % 5);
    std::vector<Translation2d> locations;
    for (std::size_t i = 0; i < modules; ++i) {
      locations.emplace_back(meter_t{random.Uniform(-0.5, 0.5)}, meter_t{random.Uniform(-0.5, 0.5)});
    }
    SwerveDriveKinematics kinematics(locations);
    for (int i = 0; i < 100; ++i) {
      const ChassisSpeeds speeds = MakeSpeeds(random.Uniform(-5, 5), random.Uniform(-5, 5), random.Uniform(-8, 8));
      SCOPED_TRACE(testing::Message() << "layout " << layout << " case " << i << ": " << speeds);
      const auto states = kinematics.ToSwerveModuleStates(speeds);
      const ChassisSpeeds back = kinematics.ToChassisSpeeds(states);
      EXPECT_NEAR(back.vx.value(), speeds.vx.value(), 1e-9);
      EXPECT_NEAR(back.vy.value(), speeds.vy.value(), 1e-9);
      EXPECT_NEAR(back.omega.value(), speeds.omega.value(), 1e-9);

      std::vector<SwerveModulePosition> deltas;
      for (const auto& state : states) deltas.push_back({meter_t{state.speed.value() * 0.02}, state.angle});
      const swerve::Twist2d twist = kinematics.ToTwist2d(deltas);
      EXPECT_NEAR(twist.dx.value(), speeds.vx.value() * 0.02, 1e-9);
      EXPECT_NEAR(twist.dtheta.value(), speeds.omega.value() * 0.02, 1e-9);
    }
  }
}

// The inverse matrix follows the centre of rotation only when it moves by
// 1e-9 or more; the forward direction always assumes the robot centre.
TEST(SwerveDriveKinematics, CenterOfRotation) {
  SwerveDriveKinematics kinematics(SquareModules());
  const Translation2d frontLeft(meter_t{0.3}, meter_t{0.3});
  const auto pivot = kinematics.ToSwerveModuleStates(MakeSpeeds(0, 0, 2), frontLeft);
  EXPECT_EQ(pivot[0].speed.value(), 0.0);
  EXPECT_DOUBLE_EQ(pivot[3].speed.value(), 2 * 0.6 * std::sqrt(2.0));

  // Measured from the robot centre, spinning about the front-left module
  // also moves the centre: omega x (centre - pivot).
  const ChassisSpeeds measured = kinematics.ToChassisSpeeds(pivot);
  EXPECT_NEAR(measured.vx.value(), 2 * 0.3, 1e-12);
  EXPECT_NEAR(measured.vy.value(), -2 * 0.3, 1e-12);
  EXPECT_NEAR(measured.omega.value(), 2.0, 1e-12);

  const auto nudged =
      kinematics.ToSwerveModuleStates(MakeSpeeds(0, 0, 2), Translation2d(meter_t{0.3 + 5e-10}, meter_t{0.3 - 5e-10}));
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(nudged[i].speed.value(), pivot[i].speed.value()) << i;
  const auto moved =
      kinematics.ToSwerveModuleStates(MakeSpeeds(0, 0, 2), Translation2d(meter_t{0.3 + 1e-9}, meter_t{0.3}));
  EXPECT_NE(moved[3].speed.value(), pivot[3].speed.value());
  EXPECT_GT(moved[0].speed.value(), 0.0);
}

// Desaturation scales every module by the same factor only when the fastest
// exceeds the limit.
TEST(SwerveDriveKinematics, DesaturateWheelSpeeds) {
  struct Case {
    double max;
    std::vector<double> expected;
  };
  const Case cases[] = {{1.5, {1.0, -1.5, 0.5}}, {3.0, {2.0, -3.0, 1.0}}, {10.0, {2.0, -3.0, 1.0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.max);
    std::vector<SwerveModuleState> states = {{meters_per_second_t{2}, swerve::Rotation2d(radian_t{0.1})},
                                             {meters_per_second_t{-3}, swerve::Rotation2d(radian_t{0.2})},
                                             {meters_per_second_t{1}, swerve::Rotation2d(radian_t{0.3})}};
    SwerveDriveKinematics::DesaturateWheelSpeeds(&states, meters_per_second_t{c.max});
    for (std::size_t i = 0; i < states.size(); ++i) {
      EXPECT_DOUBLE_EQ(states[i].speed.value(), c.expected[i]);
      EXPECT_DOUBLE_EQ(states[i].angle.Radians().value(), 0.1 * static_cast<double>(i + 1));
    }
  }
  std::vector<SwerveModuleState> none;
  SwerveDriveKinematics::DesaturateWheelSpeeds(&none, meters_per_second_t{1});
  EXPECT_TRUE(none.empty());
}

// Each module's speed is the length of its (a, b) vector within one ulp of
// std::hypot, and its angle is atan2's with that angle's exact cosine and
// sine, bit for bit, over random commands and centres, tiny and huge ones
// included. A third of the commands do not rotate, so all modules share one
// vector, some with signed zeros in it; with rotation, neighbouring modules
// share one component of it (the square's modules side by side or one behind
// the other, in both layouts). Each must still get exactly the angle worked
// out from its own vector.
TEST(SwerveDriveKinematics, StatesFollowTheAtan2RuleToTheUlp) {
  const auto bits = [](double value) { return std::bit_cast<std::uint64_t>(value); };
  const double zeros[] = {0.0, -0.0};
  const std::vector<Translation2d> square = SquareModules();
  const std::vector<Translation2d> ring = {square[0], square[2], square[3], square[1]};
  for (const auto& locations : {square, ring}) {
    SwerveDriveKinematics kinematics(locations);
    Random random(7);
    for (int i = 0; i < 20000; ++i) {
      const double scale = i % 10 == 0 ? 1e-160 : (i % 10 == 1 ? 1e160 : 1.0);
      double vx = scale * random.Uniform(-5, 5);
      double vy = scale * random.Uniform(-5, 5);
      double omega = scale * random.Uniform(-5, 5);
      if (i % 3 == 0) omega = zeros[i % 2];
      if (i % 7 == 0) vx = zeros[(i / 7) % 2];
      if (i % 11 == 0 && i % 7 != 0) vy = zeros[(i / 11) % 2];  // never all zero: that holds the wheels
      const double cx = i % 5 == 0 ? 0.0 : random.Uniform(-1, 1);
      const double cy = i % 5 == 0 ? 0.0 : random.Uniform(-1, 1);
      const auto states =
          kinematics.ToSwerveModuleStates(MakeSpeeds(vx, vy, omega), Translation2d(meter_t{cx}, meter_t{cy}));
      for (std::size_t m = 0; m < states.size(); ++m) {
        // The matrix rows [1, 0, cy - y] and [0, 1, x - cx] times the
        // command, summed in the same order, so signed zeros come out the same.
        const double a = 1.0 * vx + 0.0 * vy + (cy - locations[m].Y().value()) * omega;
        const double b = 0.0 * vx + 1.0 * vy + (locations[m].X().value() - cx) * omega;
        const double exact = std::hypot(a, b);
        const double speed = states[m].speed.value();
        EXPECT_LE(std::abs(speed - exact), std::abs(std::nextafter(exact, 0.0) - exact)) << a << ", " << b;
        const double angle = std::atan2(b, a);
        ASSERT_EQ(bits(states[m].angle.Radians().value()), bits(angle)) << "module " << m << ": " << a << ", " << b;
        ASSERT_EQ(bits(states[m].angle.Cos()), bits(std::cos(angle)));
        ASSERT_EQ(bits(states[m].angle.Sin()), bits(std::sin(angle)));
      }
    }
  }
}

// The drivetrain and its simulation take the chassis speeds of the module
// states they build through ToTwist2d, which reads the rotations' stored
// cosines and sines; that must stay the same bits as ToChassisSpeeds, which
// works them out from the angles, for any angle such a state can hold.
TEST(SwerveDriveKinematics, SpeedsOfBuiltStatesAreToChassisSpeedsBitForBit) {
  const auto bits = [](double value) { return std::bit_cast<std::uint64_t>(value); };
  const std::vector<Translation2d> square = SquareModules();
  const std::vector<Translation2d> skewed = {square[0], Translation2d(meter_t{0.7}, meter_t{-0.2}), square[3]};
  for (const auto& locations : {square, skewed}) {
    SwerveDriveKinematics kinematics(locations);
    std::vector<SwerveModuleState> states(locations.size() + 1);  // one past the modules, ignored by both
    std::vector<SwerveModulePosition> travel(states.size());
    Random random(11);
    for (int i = 0; i < 20000; ++i) {
      // Azimuths of many turns (a wheel that kept spinning), tiny, huge
      // and zero speeds.
      const double turns = i % 4 == 0 ? 1e4 : 3.0;
      const double scale = i % 10 == 0 ? 1e-160 : (i % 10 == 1 ? 1e160 : 1.0);
      for (SwerveModuleState& state : states) {
        state = {meters_per_second_t{i % 13 == 0 ? 0.0 : scale * random.Uniform(-5, 5)},
                 swerve::Rotation2d(units::angle::radian_t{random.Uniform(-turns, turns) * 2.0 * std::numbers::pi})};
      }
      const ChassisSpeeds expected = kinematics.ToChassisSpeeds(states);
      const ChassisSpeeds shortcut = swerve::internal::SpeedsOfBuiltStates(kinematics, states, travel);
      ASSERT_EQ(bits(shortcut.vx.value()), bits(expected.vx.value())) << i;
      ASSERT_EQ(bits(shortcut.vy.value()), bits(expected.vy.value())) << i;
      ASSERT_EQ(bits(shortcut.omega.value()), bits(expected.omega.value())) << i;
    }
  }
}
