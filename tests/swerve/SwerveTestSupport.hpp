#pragma once

// Shorthands and comparisons shared by the swerve suites.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace swerve_test {

namespace swerve = kvor::zephrin6::swerve;
using units::angle::radian_t;
using units::angular_velocity::radians_per_second_t;
using units::length::meter_t;
using units::time::second_t;
using units::velocity::meters_per_second_t;

inline constexpr double kPi = std::numbers::pi;

inline swerve::Pose2d MakePose(double x, double y, double theta) {
  return swerve::Pose2d(meter_t{x}, meter_t{y}, swerve::Rotation2d(radian_t{theta}));
}

/// Front-left, front-right, back-left, back-right modules of a 0.6 m square.
inline std::vector<swerve::Translation2d> SquareModules() {
  return {{meter_t{0.3}, meter_t{0.3}}, {meter_t{0.3}, meter_t{-0.3}}, {meter_t{-0.3}, meter_t{0.3}},
          {meter_t{-0.3}, meter_t{-0.3}}};
}

inline swerve::ChassisSpeeds MakeSpeeds(double vx, double vy, double omega) {
  return {meters_per_second_t{vx}, meters_per_second_t{vy}, radians_per_second_t{omega}};
}

/// Position within `tolerance` metres and heading within `tolerance` radians
/// (compared as directions, so whole turns do not matter).
inline ::testing::AssertionResult PoseNear(const swerve::Pose2d& actual, const swerve::Pose2d& expected,
                                           double tolerance) {
  const double dx = actual.X().value() - expected.X().value();
  const double dy = actual.Y().value() - expected.Y().value();
  const double dc = actual.Rotation().Cos() - expected.Rotation().Cos();
  const double ds = actual.Rotation().Sin() - expected.Rotation().Sin();
  if (std::hypot(dx, dy) <= tolerance && std::hypot(dc, ds) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actual << " is not within " << tolerance << " of " << expected;
}

/// A reproducible source of uniform doubles.
class Random {
 public:
  explicit Random(unsigned seed) : m_engine(seed) {}
  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(m_engine); }
  swerve::Pose2d AnyPose() { return MakePose(Uniform(-10, 10), Uniform(-10, 10), Uniform(-kPi, kPi)); }

 private:
  std::mt19937_64 m_engine;
};

}  // namespace swerve_test
