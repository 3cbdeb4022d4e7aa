#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivePoseEstimator.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveOdometry.hpp>
#include <kvor/zephrin6/swerve/impl/TimeInterpolatableBuffer.hpp>
#include <kvor/zephrin6/swerve/impl/VisionUpdate.hpp>

#include <kvor/zephrin/runtime/harness/Clock.hpp>
#include <kvor/zephrin/runtime/harness/Reports.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "swerve/SwerveTestSupport.hpp"

using namespace swerve_test;
using namespace units::literals;
using swerve::ChassisSpeeds;
using swerve::Pose2d;
using swerve::Rotation2d;
using swerve::SwerveModulePosition;
using swerve::Transform2d;
using swerve::Translation2d;
using swerve::Twist2d;
using swerve::impl::SwerveDriveKinematics;
using swerve::impl::SwerveDrivePoseEstimator;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
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

  /// The module positions of the last sample.
  const std::vector<SwerveModulePosition>& Positions() const { return m_positions; }

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

namespace {

namespace harness = kvor::zephrin::runtime::harness;

class SwerveDrivePoseEstimatorReports : public zephrin_test::RuntimeTest {};

/// Bit-for-bit equality: skipping a bad input must leave no trace at all.
::testing::AssertionResult SamePose(const Pose2d& actual, const Pose2d& expected) {
  if (actual.X().value() == expected.X().value() && actual.Y().value() == expected.Y().value() &&
      actual.Rotation().Radians().value() == expected.Rotation().Radians().value() &&
      actual.Rotation().Cos() == expected.Rotation().Cos() && actual.Rotation().Sin() == expected.Rotation().Sin()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << actual << " differs from " << expected;
}

/// Both drives' estimates and histories agree bit for bit.
void ExpectSameEstimates(const Drive& actual, const Drive& expected) {
  EXPECT_TRUE(SamePose(actual.estimator.GetEstimatedPosition(), expected.estimator.GetEstimatedPosition()));
  EXPECT_FALSE(actual.estimator.SampleAt(second_t{kNaN}).has_value());
  for (double t : {0.0, 0.55, 0.8, 5.0, 10.2, 11.0}) {
    SCOPED_TRACE(t);
    const auto sample = actual.estimator.SampleAt(second_t{t});
    ASSERT_TRUE(sample.has_value());
    EXPECT_TRUE(SamePose(*sample, *expected.estimator.SampleAt(second_t{t})));
  }
}

/// The one warning the estimator reported.
void ExpectOneWarning(const std::string& details) {
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(reports[0].isError);
  EXPECT_EQ(reports[0].code, 0);
  EXPECT_EQ(reports[0].location, "SwerveDrivePoseEstimator");
  EXPECT_EQ(reports[0].details, details);
}

}  // namespace

// One input with a value that is not finite leaves no trace: the estimate,
// the history and its pruning (a NaN time would sort first and stop it) and
// later vision corrections come out exactly as without it, whatever the gain,
// and one warning says what was refused.
TEST_F(SwerveDrivePoseEstimatorReports, NonFiniteInputsLeaveNoTrace) {
  using Positions = std::vector<SwerveModulePosition>;
  const std::string sample = "Refused odometry sample: ", kept = "; the estimate keeps its last finite pose.";
  const std::string vision = "Refused vision measurement: ", same = "; the estimate is unchanged.";
  const std::string reset = "; the pose, its history and the vision corrections are unchanged.";
  struct Case {
    std::string details;
    void (*spoil)(SwerveDrivePoseEstimator&, Positions);
  };
  const Case cases[] = {
      {sample + "timestamp is nan" + kept, [](auto& e, Positions p) { e.UpdateWithTime(second_t{kNaN}, {}, p); }},
      {sample + "gyro angle is -inf" + kept,
       [](auto& e, Positions p) { e.UpdateWithTime(1.002_s, Rotation2d(radian_t{-kInf}), p); }},
      {sample + "module 2 distance is inf" + kept,
       [](auto& e, Positions p) {
         p[2].distance = meter_t{kInf};
         e.UpdateWithTime(1.002_s, {}, p);
       }},
      {vision + "pose x is nan" + same, [](auto& e, Positions) { e.AddVisionMeasurement(MakePose(kNaN, 0, 0), 0.5_s); }},
      {vision + "timestamp is nan" + same, [](auto& e, Positions) { e.AddVisionMeasurement({}, second_t{kNaN}); }},
      {"Refused vision standard deviations: y is nan; the previous ones stay (+inf ignores a component).",
       [](auto& e, Positions) { e.SetVisionMeasurementStdDevs({1, kNaN, 1}); }},
      {"Refused pose reset: pose rotation is nan" + reset, [](auto& e, Positions) { e.ResetPose(MakePose(0, 0, kNaN)); }},
      {"Refused position reset: module 3 angle is nan" + reset,
       [](auto& e, Positions p) {
         p[3].angle = Rotation2d(radian_t{kNaN});
         e.ResetPosition({}, p, Pose2d());
       }},
  };
  for (const std::array<double, 3>& visionStdDevs : {std::array<double, 3>{1, 1, 1}, {kInf, kInf, kInf}}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.details << " with vision deviation " << visionStdDevs[0]);
      harness::ClearReports();
      Drive clean(MakeSpeeds(1, 0.5, 0.3), {1, 1, 1}, visionStdDevs);
      Drive spoiled(MakeSpeeds(1, 0.5, 0.3), {1, 1, 1}, visionStdDevs);
      for (Drive* drive : {&clean, &spoiled}) {
        drive->To(250);
        drive->estimator.AddVisionMeasurement(MakePose(0.7, 0.2, 0.1), 0.6_s);
      }
      c.spoil(spoiled.estimator, spoiled.Positions());
      // Ten seconds on, a measurement older than the history is still
      // dropped and a recent one corrects both alike.
      for (Drive* drive : {&clean, &spoiled}) {
        drive->To(2750);
        drive->estimator.AddVisionMeasurement(MakePose(5, 5, 1), 7.0_s);
        drive->estimator.AddVisionMeasurement(MakePose(3, 2, 1), 10.5_s);
      }
      ExpectSameEstimates(spoiled, clean);
      ExpectOneWarning(c.details);
    }
  }

  // A state deviation that is not finite keeps vision out of that component.
  harness::ClearReports();
  Drive drive(MakeSpeeds(1, 0, 0), {kInf, 1, 1}, {1, 1, 1});
  drive.To(250);
  drive.estimator.AddVisionMeasurement(MakePose(0.7, 0.2, 0), 0.5_s);
  EXPECT_TRUE(PoseNear(drive.estimator.GetEstimatedPosition(), MakePose(1.0, 0.1, 0), 1e-9));
  ExpectOneWarning("Refused state standard deviation: x is inf; vision measurements will not correct that component.");
}

// A stream of refused samples is reported once per second of the runtime's
// clock, counting every refusal since the last report; vision has its own
// limit, and a clock that went back reports at once.
TEST_F(SwerveDrivePoseEstimatorReports, RefusalsAreReportedOncePerSecond) {
  Drive drive(MakeSpeeds(1, 0, 0), {1, 1, 1}, {1, 1, 1});
  for (double t : {1.0, 1.0625, 1.5, 1.9375, 2.0, 2.0625, 0.5}) {
    harness::SetTime(t);
    drive.estimator.UpdateWithTime(second_t{kNaN}, {}, drive.Positions());
    if (t == 1.5) drive.estimator.AddVisionMeasurement({}, second_t{kInf});
  }
  const std::string refused = "Refused odometry sample: timestamp is nan; the estimate keeps its last finite pose";
  const std::vector<std::string> expected = {refused + ".",
                                             "Refused vision measurement: timestamp is inf; the estimate is unchanged.",
                                             refused + " (4 refused since the last report).",
                                             refused + " (2 refused since the last report)."};
  std::vector<std::string> details;
  for (const auto& report : harness::Reports()) details.push_back(report.details);
  EXPECT_EQ(details, expected);
}

namespace {

/// The fusion written plainly with the public pieces: corrections in a map by
/// time, the history sampled at the time clamped to the recorded span, each
/// correction applied with VisionUpdate::Compensate. The estimator caches and
/// shares work between these steps; its results must not move by a bit.
class PlainEstimator {
 public:
  PlainEstimator(const SwerveDriveKinematics& kinematics, const std::vector<SwerveModulePosition>& positions,
                 std::array<double, 3> stateStdDevs, std::array<double, 3> visionStdDevs)
      : m_odometry(kinematics, Rotation2d(), positions) {
    for (std::size_t i = 0; i < 3; ++i) {
      const double q = stateStdDevs[i] * stateStdDevs[i];
      m_gain[i] = q / (q + std::sqrt(q * visionStdDevs[i] * visionStdDevs[i]));
    }
  }

  void Update(double t, const Rotation2d& gyro, const std::vector<SwerveModulePosition>& positions) {
    const Pose2d pose = m_odometry.Update(gyro, positions);
    m_history.AddSample(second_t{t}, pose);
    m_estimate = m_updates.empty() ? pose : m_updates.rbegin()->second.Compensate(pose);
  }

  std::optional<Pose2d> SampleAt(double t) const {
    if (m_history.Empty()) return std::nullopt;
    t = std::clamp(t, m_history.Front().time.value(), m_history.Back().time.value());
    const Pose2d odometry = *m_history.Sample(second_t{t});
    const auto after = m_updates.upper_bound(t);
    return after == m_updates.begin() ? odometry : std::prev(after)->second.Compensate(odometry);
  }

  void AddVisionMeasurement(const Pose2d& measured, double t) {
    if (m_history.Empty() || m_history.Front().time.value() - 1.5 > t) return;
    // Only the correction in force at the oldest pose and later ones can apply again.
    const auto inForce = m_updates.upper_bound(m_history.Front().time.value());
    if (inForce != m_updates.begin()) m_updates.erase(m_updates.begin(), std::prev(inForce));
    const Pose2d odometry = *m_history.Sample(second_t{t});
    const Pose2d before = *SampleAt(t);
    const Twist2d error = before.Log(measured);
    const double e[3] = {error.dx.value(), error.dy.value(), error.dtheta.value()};
    double scaled[3];
    for (std::size_t row = 0; row < 3; ++row) {
      // The full product with the diagonal gain matrix, zeros included, as
      // signed zeros come out of it.
      scaled[row] = (row == 0 ? m_gain[0] : 0.0) * e[0] + (row == 1 ? m_gain[1] : 0.0) * e[1] +
                    (row == 2 ? m_gain[2] : 0.0) * e[2];
    }
    m_updates[t] = {before.Exp({meter_t{scaled[0]}, meter_t{scaled[1]}, radian_t{scaled[2]}}), odometry};
    m_updates.erase(m_updates.upper_bound(t), m_updates.end());
    m_estimate = m_updates[t].Compensate(m_odometry.GetPose());
  }

  const Pose2d& Estimate() const { return m_estimate; }

 private:
  swerve::impl::SwerveDriveOdometry m_odometry;
  swerve::impl::TimeInterpolatableBuffer m_history{SwerveDrivePoseEstimator::kHistorySize};
  std::map<double, swerve::impl::VisionUpdate> m_updates;
  std::array<double, 3> m_gain{};
  Pose2d m_estimate;
};

}  // namespace

// Random drives with camera frames in and out of order, repeated times,
// frames before and beyond the recorded span, odometry samples that arrive
// late (moving the oldest recorded time back), and queries anywhere: the
// estimate and every sample equal the plain fusion's bit for bit.
TEST(SwerveDrivePoseEstimator, FusionIsExactlyThePlainComposition) {
  const SwerveDriveKinematics kinematics(SquareModules());
  const std::array<double, 3> state{0.1, 0.2, 0.05}, vision{0.5, 0.3, 0.9};
  Random random(17);
  for (int run = 0; run < 20; ++run) {
    SCOPED_TRACE(testing::Message() << "run " << run);
    std::vector<SwerveModulePosition> positions(4);
    SwerveDrivePoseEstimator estimator(kinematics, Rotation2d(), positions, Pose2d(), state, vision);
    PlainEstimator plain(kinematics, positions, state, vision);
    double heading = 0.0;
    double lastFrame = 0.0;
    for (int step = 0; step < 1500; ++step) {
      double t = step * kPeriod;
      // Now and then a sample that arrives late: up to a tenth of a second,
      // or from about the oldest recorded time, which it may move back.
      const double late = step > 400 ? random.Uniform(0, 1) : 1.0;
      if (late < 0.02) t -= random.Uniform(0.01, 0.1);
      else if (late < 0.03) t -= random.Uniform(1.45, 1.55);
      heading += random.Uniform(-0.02, 0.03);
      for (auto& position : positions) {
        position = {position.distance + meter_t{random.Uniform(-0.002, 0.01)},
                    Rotation2d(radian_t{random.Uniform(-kPi, kPi)})};
      }
      estimator.UpdateWithTime(second_t{t}, Rotation2d(radian_t{heading}), positions);
      plain.Update(t, Rotation2d(radian_t{heading}), positions);
      ASSERT_TRUE(SamePose(estimator.GetEstimatedPosition(), plain.Estimate()));

      const double choice = random.Uniform(0, 1);
      double frame = -1.0;
      if (choice < 0.15) frame = t - random.Uniform(0.0, 0.1);  // a steady camera
      else if (choice < 0.18) frame = t - random.Uniform(0.0, 3.2);  // old, some before the history
      else if (choice < 0.20) frame = t + random.Uniform(0.0, 0.05);  // ahead of the last sample
      else if (choice < 0.22) frame = lastFrame;  // the same time again
      if (frame >= 0.0) {
        const Pose2d seen = MakePose(random.Uniform(-5, 5), random.Uniform(-5, 5), random.Uniform(-kPi, kPi));
        estimator.AddVisionMeasurement(seen, second_t{frame});
        plain.AddVisionMeasurement(seen, frame);
        lastFrame = frame;
        ASSERT_TRUE(SamePose(estimator.GetEstimatedPosition(), plain.Estimate()));
      }
      for (int query = 0; query < 3; ++query) {
        const double at = t + random.Uniform(-1.8, 0.1);
        ASSERT_TRUE(SamePose(*estimator.SampleAt(second_t{at}), *plain.SampleAt(at))) << "at " << at;
      }
    }
  }
}
