// A simulated drive recorded to a .wisp log and replayed: a drivetrain built
// again reads the recorded frames at the recorded times, so its odometry is
// the live odometry, bit for bit, at every sample.
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "logging/LoggingFixture.hpp"
#include "swervesim/SimRig.hpp"

namespace {

using namespace swervesim_rig;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::SignalLogger;
using kvor::zephrin6::WispReplay;

struct Sample {
  double time;
  swerve::Pose2d pose;
};

bool SameBits(const swerve::Pose2d& a, const swerve::Pose2d& b) {
  return std::bit_cast<uint64_t>(a.X().value()) == std::bit_cast<uint64_t>(b.X().value()) &&
         std::bit_cast<uint64_t>(a.Y().value()) == std::bit_cast<uint64_t>(b.Y().value()) &&
         std::bit_cast<uint64_t>(a.Rotation().Radians().value()) ==
             std::bit_cast<uint64_t>(b.Rotation().Radians().value());
}

class SimReplayTest : public zephrin_test::LoggingTest {};

// Ten seconds of a weaving drive, recorded and replayed: every one of the
// 2500 replayed odometry samples equals the live one exactly.
TEST_F(SimReplayTest, ReplayGivesBitIdenticalOdometry) {
  std::vector<Sample> live;
  ASSERT_EQ(SignalLogger::Start(), StatusCode::OK);
  {
    SimRig rig;
    swerve::requests::FieldCentric drive;
    rig.Run(
        10.0,
        [&](long tick) {
          if (tick % 20 != 1) return;  // the program's 20 ms loop
          const double t = static_cast<double>(tick) * kTick;
          rig.Drivetrain().SetControl(
              drive.WithVelocityX(meters_per_second_t{1.5 * std::sin(2.0 * kPi * t / 5.0)})
                  .WithVelocityY(meters_per_second_t{std::sin(2.0 * kPi * t / 2.5)})
                  .WithRotationalRate(units::angular_velocity::radians_per_second_t{0.8 * std::cos(kPi * t / 5.0)}));
        },
        [&](const swerve::SwerveDriveState& state) { live.push_back({state.Timestamp.value(), state.Pose}); });
    harness::AdvanceTime(0.1);
  }
  ASSERT_EQ(SignalLogger::Stop(), StatusCode::OK);
  ASSERT_EQ(live.size(), 2500u);
  ASSERT_GT(live[312].pose.X().value(), 0.5) << "the robot should have moved";

  // As a program replaying the log would start: a fresh runtime, the
  // drivetrain built (at rest, as the log begins), then the log loaded.
  const std::string log = harness::LastLogFile();
  harness::Reset();
  harness::SetReportEcho(false);
  harness::UseManualClock(1.0);
  DrivetrainRig replayed(SimModules());
  ASSERT_EQ(WispReplay::LoadFile(log.c_str()), StatusCode::OK);

  int mismatches = 0;
  for (const Sample& sample : live) {
    // Stepping by the difference lands on the recorded time exactly.
    ASSERT_EQ(WispReplay::StepTimingImpl(sample.time - kvor::zephrin6::utils::GetCurrentTimeSeconds()),
              StatusCode::OK);
    ASSERT_EQ(kvor::zephrin6::utils::GetCurrentTimeSeconds(), sample.time);
    EXPECT_EQ(replayed->GetOdometryThread().RunOnce(), StatusCode::OK);
    const swerve::Pose2d pose = replayed->GetState().Pose;
    if (!SameBits(pose, sample.pose) && mismatches++ == 0) {
      ADD_FAILURE() << "first difference at t = " << sample.time << ": replayed " << pose << ", live "
                    << sample.pose;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
