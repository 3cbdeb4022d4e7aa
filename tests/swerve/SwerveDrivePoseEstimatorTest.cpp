#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivePoseEstimator.hpp>

#include <kvor/zephrin/runtime/harness/Clock.hpp>

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "swerve/SwerveTestSupport.hpp"

using namespace swerve_test;
using swerve::ChassisSpeeds;
using swerve::Pose2d;
using swerve::Rotation2d;
using swerve::SwerveModulePosition;
using swerve::Transform2d;
using swerve::Translation2d;
using swerve::impl::SwerveDriveKinematics;
using swerve::impl::SwerveDrivePoseEstimator;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPeriod = 1.0 / 250.0;

/// A square drivetrain driving at constant body speeds, sampled at 250 Hz
/// from t = 0, feeding one estimator.
class Drive {
 public:
  Drive(const ChassisSpeeds& speeds, std::array<double, 3> stateStdDevs, std::array<double, 3> visionStdDevs)
      : m_kinematics(SquareModules()),
        m_speeds(speeds),
        m_positions(4),
        estimator(m_kinematics, Rotation2d(), m_positions, Pose2d(), stateStdDevs, visionStdDevs) {}

  /// Samples until (and including) the sample at step `lastStep`.
  void To(int lastStep) {
    for (; m_step <= lastStep; ++m_step) {
      const double t = m_step * kPeriod;
      if (m_step > 0) {
        const auto states = m_kinematics.ToSwerveModuleStates(m_speeds);
        for (std::size_t i = 0; i < 4; ++i) {
          m_positions[i] = {m_positions[i].distance + meter_t{states[i].speed.value() * kPeriod}, states[i].angle};
        }
      }
      estimator.UpdateWithTime(second_t{t}, Rotation2d(radian_t{m_speeds.omega.value() * t}), m_positions);
    }
  }

 private:
  SwerveDriveKinematics m_kinematics;
  ChassisSpeeds m_speeds;
  std::vector<SwerveModulePosition> m_positions;
  int m_step = 0;

 public:
  SwerveDrivePoseEstimator estimator;
};

}  // namespace

// With infinitely uncertain vision, measurements change nothing: the
// estimate and every sample stay pure odometry.
TEST(SwerveDrivePoseEstimator, InfiniteVisionDeviationIsPureOdometry) {
  Random random(5);
  for (int run = 0; run < 20; ++run) {
    Drive drive(MakeSpeeds(random.Uniform(-3, 3), random.Uniform(-3, 3), random.Uniform(-3, 3)), {0.1, 0.1, 0.1},
                {kInf, kInf, kInf});
    for (int step = 50; step < 1000; step += 10) {
      drive.To(step);
      const double t = step * kPeriod - random.Uniform(0, 1.4);
      const Pose2d odometryThen = *drive.estimator.SampleAt(second_t{t});
      drive.estimator.AddVisionMeasurement(random.AnyPose(), second_t{t});
      SCOPED_TRACE(testing::Message() << "run " << run << " step " << step);
      ASSERT_TRUE(PoseNear(drive.estimator.GetEstimatedPosition(), drive.estimator.GetOdometryPose(), 1e-9));
      ASSERT_TRUE(PoseNear(*drive.estimator.SampleAt(second_t{t}), odometryThen, 1e-9));
    }
  }
}

// Equal trust moves the pose at the measurement's time halfway toward the
// measurement; the odometry motion since then is replayed on top.
TEST(SwerveDrivePoseEstimator, HalfGainMovesHalfwayAndReplaysLaterMotion) {
  Drive straight(MakeSpeeds(1, 0, 0), {1, 1, 1}, {1, 1, 1});
  straight.To(250);
  straight.estimator.AddVisionMeasurement(MakePose(0.7, 0.2, 0), second_t{0.5});
  EXPECT_TRUE(PoseNear(*straight.estimator.SampleAt(second_t{0.5}), MakePose(0.6, 0.1, 0), 1e-9));
  EXPECT_TRUE(PoseNear(*straight.estimator.SampleAt(second_t{0.4}), MakePose(0.4, 0, 0), 1e-9));
  EXPECT_TRUE(PoseNear(straight.estimator.GetEstimatedPosition(), MakePose(1.1, 0.1, 0), 1e-9));
  straight.To(300);
  EXPECT_TRUE(PoseNear(straight.estimator.GetEstimatedPosition(), MakePose(1.3, 0.1, 0), 1e-9));

  Random random(11);
  for (int run = 0; run < 200; ++run) {
    Drive drive(MakeSpeeds(random.Uniform(-2, 2), random.Uniform(-2, 2), random.Uniform(-2, 2)), {0.5, 0.5, 0.5},
                {0.5, 0.5, 0.5});
    drive.To(400);
    const double t = random.Uniform(0.4, 1.5);
    const Pose2d odometryThen = *drive.estimator.SampleAt(second_t{t});
    const Pose2d measured = odometryThen + Transform2d(meter_t{random.Uniform(-1, 1)}, meter_t{random.Uniform(-1, 1)},
                                                       Rotation2d(radian_t{random.Uniform(-1, 1)}));
    drive.estimator.AddVisionMeasurement(measured, second_t{t});
    drive.To(450);
    SCOPED_TRACE(testing::Message() << "run " << run << " t " << t);
    const Pose2d corrected = *drive.estimator.SampleAt(second_t{t});
    EXPECT_EQ(odometryThen.Log(corrected), odometryThen.Log(measured) * 0.5);
    const Pose2d odometryNow = drive.estimator.GetOdometryPose();
    EXPECT_EQ(Transform2d(corrected, drive.estimator.GetEstimatedPosition()), Transform2d(odometryThen, odometryNow));
  }
}

// Each component's gain comes from its own deviations: an infinite vision
// deviation or a zero state deviation ignores that component.
TEST(SwerveDrivePoseEstimator, PerComponentGains) {
  struct Case {
    const char* name;
    std::array<double, 3> state, vision;
    Pose2d expected;
  };
  const Case cases[] = {
      {"x ignored", {1, 1, 1}, {kInf, 1, 1}, MakePose(1.0, 0.1, 0)},
      {"x trusted fully", {1, 1, 1}, {0, 1, 1}, MakePose(1.2, 0.1, 0)},
      {"state exact", {0, 0, 0}, {1, 1, 1}, MakePose(1.0, 0.0, 0)},
      {"y ignored", {1, 1, 1}, {1, kInf, 1}, MakePose(1.1, 0.0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drive drive(MakeSpeeds(1, 0, 0), c.state, c.vision);
    drive.To(250);
    drive.estimator.AddVisionMeasurement(MakePose(0.7, 0.2, 0), second_t{0.5});
    EXPECT_TRUE(PoseNear(drive.estimator.GetEstimatedPosition(), c.expected, 1e-9));
  }
}

// A measurement older than the newest stored one discards the newer one,
// leaving exactly what the older measurement alone would give.
TEST(SwerveDrivePoseEstimator, OlderMeasurementDiscardsNewerCorrections) {
  Drive both(MakeSpeeds(1, 0.5, 0.3), {1, 1, 1}, {1, 1, 1});
  Drive olderOnly(MakeSpeeds(1, 0.5, 0.3), {1, 1, 1}, {1, 1, 1});
  both.To(250);
  olderOnly.To(250);
  both.estimator.AddVisionMeasurement(MakePose(3, 3, 1), second_t{0.8});
  both.estimator.AddVisionMeasurement(MakePose(0.2, 0.1, 0.1), second_t{0.5});
  olderOnly.estimator.AddVisionMeasurement(MakePose(0.2, 0.1, 0.1), second_t{0.5});
  both.To(300);
  olderOnly.To(300);
  EXPECT_TRUE(PoseNear(both.estimator.GetEstimatedPosition(), olderOnly.estimator.GetEstimatedPosition(), 1e-12));
  for (double t : {0.3, 0.5, 0.8, 0.9, 1.2}) {
    SCOPED_TRACE(t);
    EXPECT_TRUE(PoseNear(*both.estimator.SampleAt(second_t{t}), *olderOnly.estimator.SampleAt(second_t{t}), 1e-12));
  }
}

// Measurements need history: none without samples, none older than the
// oldest sample minus the history size (that exact time still counts,
// clamped to the oldest sample).
TEST(SwerveDrivePoseEstimator, MeasurementsOutsideTheHistoryAreDropped) {
  SwerveDriveKinematics kinematics({{meter_t{0.3}, meter_t{0.3}}, {meter_t{-0.3}, meter_t{-0.3}}});
  std::vector<SwerveModulePosition> positions(2);
  SwerveDrivePoseEstimator estimator(kinematics, Rotation2d(), positions, MakePose(1, 1, 0), {1, 1, 1}, {1, 1, 1});
  estimator.AddVisionMeasurement(MakePose(5, 5, 0), second_t{0.0});
  EXPECT_TRUE(PoseNear(estimator.GetEstimatedPosition(), MakePose(1, 1, 0), 0.0));
  EXPECT_FALSE(estimator.SampleAt(second_t{0.0}).has_value());

  // Standing still from t = 2.0 to 3.5: the sample at 2.0 is exactly 1.5 s old and stays.
  for (double t = 2.0; t <= 3.5; t += 0.25) estimator.UpdateWithTime(second_t{t}, Rotation2d(), positions);
  estimator.AddVisionMeasurement(MakePose(3, 1, 0), second_t{0.4999});
  EXPECT_TRUE(PoseNear(estimator.GetEstimatedPosition(), MakePose(1, 1, 0), 0.0));
  estimator.AddVisionMeasurement(MakePose(3, 1, 0), second_t{0.5});
  EXPECT_TRUE(PoseNear(estimator.GetEstimatedPosition(), MakePose(2, 1, 0), 1e-12));
  EXPECT_TRUE(PoseNear(*estimator.SampleAt(second_t{-10.0}), MakePose(2, 1, 0), 1e-12));
}

// Every reset forgets the pose history and pending corrections.
TEST(SwerveDrivePoseEstimator, ResetsForgetHistoryAndCorrections) {
  struct Case {
    const char* name;
    void (*reset)(SwerveDrivePoseEstimator&);
    Pose2d expected;
  };
  const Case cases[] = {
      {"pose", [](auto& e) { e.ResetPose(MakePose(5, 5, 1)); }, MakePose(5, 5, 1)},
      {"translation", [](auto& e) { e.ResetTranslation(Translation2d(meter_t{5}, meter_t{5})); }, MakePose(5, 5, 0)},
      {"rotation", [](auto& e) { e.ResetRotation(Rotation2d(radian_t{1})); }, MakePose(1, 0, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drive drive(MakeSpeeds(1, 0, 0), {1, 1, 1}, {1, 1, 1});
    drive.To(250);
    drive.estimator.AddVisionMeasurement(MakePose(0.7, 0.2, 0), second_t{0.5});
    c.reset(drive.estimator);
    EXPECT_FALSE(drive.estimator.SampleAt(second_t{1.0}).has_value());
    EXPECT_TRUE(PoseNear(drive.estimator.GetEstimatedPosition(), c.expected, 1e-9));
    drive.To(251);
    // Only the post-reset sample is left, and no correction applies to it.
    EXPECT_TRUE(PoseNear(*drive.estimator.SampleAt(second_t{0.0}), drive.estimator.GetOdometryPose(), 0.0));
    EXPECT_TRUE(PoseNear(drive.estimator.GetEstimatedPosition(), drive.estimator.GetOdometryPose(), 0.0));
  }
}

namespace {
class SwerveDrivePoseEstimatorClock : public zephrin_test::RuntimeTest {};
}  // namespace

// Update without a time stamps samples with the runtime's clock.
TEST_F(SwerveDrivePoseEstimatorClock, UpdateUsesRuntimeTime) {
  namespace harness = kvor::zephrin::runtime::harness;
  SwerveDriveKinematics kinematics({{meter_t{0.3}, meter_t{0}}, {meter_t{-0.3}, meter_t{0}}});
  std::vector<SwerveModulePosition> positions(2);
  SwerveDrivePoseEstimator estimator(kinematics, Rotation2d(), positions, Pose2d(), {1, 1, 1}, {1, 1, 1});
  harness::SetTime(10.0);
  estimator.Update(Rotation2d(), positions);
  harness::AdvanceTime(0.5);
  for (auto& p : positions) p.distance = meter_t{1.0};
  estimator.Update(Rotation2d(), positions);
  EXPECT_TRUE(PoseNear(*estimator.SampleAt(second_t{10.25}), MakePose(0.5, 0, 0), 1e-12));
}
