// The drivetrain and its odometry thread, one 4 ms sample at a time on the
// manual clock: counters, validity and the averaged period, requests that
// fail, thread priority, start and stop, neutral mode across modules, the top
// speed, construction defaults, tare and resets, and a second thread using
// the drivetrain while the odometry thread runs.
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/Idle.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <atomic>
#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include "support/RuntimeFixture.hpp"
#include "swerve/SwerveRig.hpp"
#include "swerve/internal/FiniteInputs.hpp"

namespace {

using namespace swerve_rig;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::signals::NeutralModeValue;
using swerve::requests::FieldCentric;
using units::time::second_t;

class SwerveDrivetrainImplTest : public zephrin_test::RuntimeTest {};

swerve::Pose2d MakePose(double x, double y, double degrees) {
  return swerve::Pose2d(meter_t{x}, meter_t{y}, swerve::Rotation2d(units::angle::degree_t{degrees}));
}

// Each sample counts as successful or failed; odometry becomes valid once
// more than two samples succeeded, so a failed sample delays it; the period
// is averaged over the last 50 samples, starting from the nominal period.
TEST_F(SwerveDrivetrainImplTest, CountsSamplesAndAveragesTheirPeriod) {
  DrivetrainRig rig;
  rig.Start();
  const auto first = rig.Step();
  EXPECT_EQ(first.SuccessfulDaqs, 1);
  EXPECT_FALSE(rig->IsOdometryValid());
  EXPECT_NEAR(first.OdometryPeriod.value(), 0.004, 1e-12);

  const auto second = rig.Step();
  EXPECT_NEAR((second.Timestamp - first.Timestamp).value(), 0.004, 1e-9);
  EXPECT_FALSE(rig->IsOdometryValid());

  // A silent gyro holds the third sample for two periods, then it runs with
  // the values at hand. (The clock moves a little past the two periods, so
  // that rounding cannot leave it a hair before the wait's end.)
  harness::SetDevicePresent(GyroHash(), false);
  const auto third = rig.Step(0.0081);
  EXPECT_EQ(third.SuccessfulDaqs, 2);
  EXPECT_EQ(third.FailedDaqs, 1);
  EXPECT_FALSE(rig->IsOdometryValid());
  EXPECT_NEAR((third.Timestamp - second.Timestamp).value(), 0.0081, 1e-9);
  EXPECT_NEAR(third.OdometryPeriod.value(), (49 * 0.004 + 0.0081) / 50, 1e-12);

  harness::SetDevicePresent(GyroHash(), true);
  const auto fourth = rig.Step();
  EXPECT_EQ(fourth.SuccessfulDaqs, 3);
  EXPECT_TRUE(rig->IsOdometryValid());
  EXPECT_NEAR(fourth.OdometryPeriod.value(), (49 * 0.004 + 0.0081) / 50, 1e-12);
}

// Whatever the request returns and whatever its sends return, the sample
// still publishes its state and calls telemetry; a request may replace itself.
TEST_F(SwerveDrivetrainImplTest, AFailingRequestStillPublishesTheSample) {
  DrivetrainRig rig;
  rig.Start();
  const auto before = rig.Step();
  for (std::size_t i = 0; i < 4; ++i) harness::SetControlStatus(DriveHash(i), StatusCode::RxTimeout);
  int calls = 0;
  rig->SetControl([&](const swerve::impl::ControlParameters& parameters,
                      const SwerveDrivetrainImpl::ModuleList& modules) {
    ++calls;
    FieldCentric{}.WithVelocityX(meters_per_second_t{1.0}).Apply(parameters, modules);
    // Installing the next request from inside this one must not destroy
    // this one while it runs.
    rig->SetControl(swerve::requests::Idle{});
    return StatusCode::InvalidParamValue;
  });
  const auto sends = harness::ControlCallCount(DriveHash(0));
  const auto after = rig.Step();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(rig.Samples(), 2);
  EXPECT_NEAR((after.Timestamp - before.Timestamp).value(), 0.004, 1e-9);
  EXPECT_EQ(harness::ControlCallCount(DriveHash(0)), sends + 1);
  EXPECT_EQ(after.ModuleTargets[0].speed.value(), 1.0);

  rig.Step();
  EXPECT_EQ(calls, 1) << "the request installed from inside took over";
  EXPECT_EQ(harness::ControlCallCount(DriveHash(0)), sends + 1) << "Idle sends nothing";
}

// The thread asks for priority 1 when it starts; a new priority is asked for
// once, after the next sample.
TEST_F(SwerveDrivetrainImplTest, AppliesANewPriorityAfterTheNextSample) {
  DrivetrainRig rig;
  rig.Start();
  rig.Step();
  auto requests = harness::ThreadPriorityRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].priority, 1);
  EXPECT_TRUE(requests[0].enabled);
  EXPECT_NE(requests[0].thread, std::this_thread::get_id());

  rig->GetOdometryThread().SetThreadPriority(5);
  EXPECT_EQ(harness::ThreadPriorityRequests().size(), 1u);
  rig.Step();
  rig.Step();
  requests = harness::ThreadPriorityRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].priority, 5);
  EXPECT_TRUE(requests[1].enabled);
  EXPECT_EQ(requests[1].thread, requests[0].thread);
}

// A priority the runtime refuses (outside 1 to 99) is reported after the
// next sample, once, and the thread keeps the priority it had.
TEST_F(SwerveDrivetrainImplTest, ReportsAPriorityTheRuntimeRefuses) {
  DrivetrainRig rig;
  rig.Start();
  rig.Step();
  harness::ClearReports();
  rig->GetOdometryThread().SetThreadPriority(100);
  for (int i = 0; i < 4; ++i) rig.Step();
  int reported = 0;
  for (const auto& report : harness::Reports()) {
    reported += report.code == StatusCode::InvalidParamValue &&
                report.location.find("Swerve Odometry Thread Priority") != std::string::npos;
  }
  EXPECT_EQ(reported, 1);
  ASSERT_EQ(harness::ThreadPriorityRequests().size(), 1u) << "the refused priority was never taken";
  EXPECT_EQ(harness::ThreadPriorityRequests()[0].priority, 1);
}

// The thread asks every odometry signal for the odometry rate when it
// starts. A device that cannot take it yet (absent) is reported, and the
// thread asks again after each sample until every device took the rate.
TEST_F(SwerveDrivetrainImplTest, AsksForItsRateUntilEveryDeviceTookIt) {
  DrivetrainRig rig;
  harness::SetDevicePresent(GyroHash(), false);
  harness::ClearReports();
  rig.Start();
  EXPECT_EQ(harness::AppliedUpdateFrequency(DriveHash(0), kPositionId), 250.0);
  EXPECT_NE(harness::AppliedUpdateFrequency(GyroHash(), kYawId), 250.0);
  auto reported = [] {
    int count = 0;
    for (const auto& report : harness::Reports()) {
      count += report.code == StatusCode::RxTimeout &&
               report.location.find("Swerve Odometry Frequency") != std::string::npos;
    }
    return count;
  };
  EXPECT_EQ(reported(), 1);

  rig.Step(0.0081);  // the silent gyro holds the sample for two periods
  EXPECT_EQ(reported(), 2);
  harness::SetDevicePresent(GyroHash(), true);
  const int failed = rig.Step(0.0081).FailedDaqs;
  EXPECT_EQ(harness::AppliedUpdateFrequency(GyroHash(), kYawId), 250.0);
  harness::ClearReports();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(rig.Step().FailedDaqs, failed);
  EXPECT_EQ(reported(), 0);
}

// Readings at the end of the doubles (a gyro simulated with absurd but finite
// numbers) overflow the heading's latency compensation: the estimator
// refuses that heading, and the state keeps finite numbers throughout.
TEST_F(SwerveDrivetrainImplTest, ReadingsAtTheEndOfTheDoublesKeepTheStateFinite) {
  DrivetrainRig rig;
  rig.Start();
  const auto before = rig.Step();
  auto& gyro = rig->GetAuklet2().GetSimState();
  ASSERT_EQ(gyro.SetRawYaw(units::angle::degree_t{std::numeric_limits<double>::max()}), StatusCode::OK);
  ASSERT_EQ(gyro.SetAngularVelocityZ(units::angular_velocity::degrees_per_second_t{1e308}), StatusCode::OK);
  for (int i = 0; i < 3; ++i) {
    const auto state = rig.Step();
    EXPECT_TRUE(swerve::internal::IsFinite(state.RawHeading));
    EXPECT_TRUE(swerve::internal::IsFinite(state.Speeds));
    EXPECT_EQ(state.Pose.Rotation().Radians().value(), before.Pose.Rotation().Radians().value());
  }
}

// Stop on a stopped drivetrain does nothing, Start twice starts one thread,
// and a restart carries the counters on; a callback may stop its own thread.
TEST_F(SwerveDrivetrainImplTest, StartsAndStopsOneThread) {
  DrivetrainRig rig;
  auto& thread = rig->GetOdometryThread();
  thread.Stop();
  EXPECT_FALSE(thread.IsRunning());
  EXPECT_TRUE(harness::ThreadPriorityRequests().empty());

  thread.Start();
  thread.Start();
  harness::AwaitBlockedWaiters(1);
  EXPECT_EQ(harness::ThreadPriorityRequests().size(), 1u);
  rig.Step();

  // Stopping lets the sample in progress finish; none follows.
  rig.Stop();
  rig.Stop();
  EXPECT_FALSE(thread.IsRunning());
  const int samples = rig.Samples();
  harness::AdvanceTime(0.1);
  EXPECT_EQ(rig.Samples(), samples);

  rig.Start();
  EXPECT_EQ(rig.Step().SuccessfulDaqs, samples + 1);
  EXPECT_EQ(harness::ThreadPriorityRequests().size(), 2u);

  rig.OnSample([&](const swerve::SwerveDriveState&) { thread.Stop(); });
  rig.Step();
  rig.OnSample(nullptr);
  EXPECT_FALSE(thread.IsRunning());
  rig.Start();
  EXPECT_EQ(rig.Step().SuccessfulDaqs, samples + 3);
}

// The second of four drive motors failing its configuration read is printed
// and returned, and the other three are still configured.
TEST_F(SwerveDrivetrainImplTest, ConfigNeutralModeConfiguresEveryModule) {
  constexpr int kNeutralModeId = 2158;
  DrivetrainRig rig;
  harness::FailNextConfigCalls(DriveHash(1), 1, StatusCode::RxTimeout);
  testing::internal::CaptureStdout();
  EXPECT_EQ(rig->ConfigNeutralMode(NeutralModeValue::Brake), StatusCode::RxTimeout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "RapaxQ ID 21 failed config neutral mode with error RxTimeout\n");
  for (std::size_t i : {0u, 2u, 3u}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(harness::StoredConfigValue(DriveHash(i), kNeutralModeId), 1.0);
    EXPECT_EQ(harness::ConfigCalls(DriveHash(i)).back().timeoutSeconds, 0.1);
  }
  EXPECT_NE(harness::StoredConfigValue(DriveHash(1), kNeutralModeId), 1.0);
}

// The slowest module's speed at 12 V is the top speed requests desaturate to.
TEST_F(SwerveDrivetrainImplTest, TheSlowestModuleSetsTheTopSpeed) {
  auto modules = SquareModules();
  const double speeds[] = {4.0, 3.5, 5.0, 4.5};
  for (std::size_t i = 0; i < 4; ++i) modules[i].WithSpeedAt12Volts(meters_per_second_t{speeds[i]});
  DrivetrainRig rig(modules);
  {
    auto lock = rig->LockModules();
    FieldCentric{}.WithVelocityX(meters_per_second_t{10.0}).Apply(rig->GetControlParameters(), rig->GetModules());
  }
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(DriveVolts(i), 3.5 / speeds[i] * 12.0, 1e-9);
  }
}

// The odometry rate defaults by bus type, a given rate is kept and an
// unusable one is reported and replaced; every drivetrain reports its use.
TEST_F(SwerveDrivetrainImplTest, ChoosesItsRateFromTheBus) {
  struct Row {
    const char* bus;
    double requested;
    double expected;
    bool reported;
  };
  for (const Row& row : {Row{kBus, 0.0, 250.0, false}, Row{"", 0.0, 100.0, false}, Row{kBus, 50.0, 50.0, false},
                         Row{"", 200.0, 200.0, false}, Row{kBus, -5.0, 250.0, true}}) {
    SCOPED_TRACE(std::string("\"") + row.bus + "\" at " + std::to_string(row.requested));
    harness::ClearReports();
    DrivetrainRig rig(SquareModules(), units::frequency::hertz_t{row.requested}, row.bus);
    EXPECT_EQ(rig->GetOdometryFrequency().value(), row.expected);
    EXPECT_EQ(rig->IsOnCANFD(), std::string(row.bus) == kBus);
    bool reported = false;
    for (const auto& report : harness::Reports()) reported |= report.code == StatusCode::InvalidParamValue;
    EXPECT_EQ(reported, row.reported);
    const auto usage = harness::UsageReports().back();
    EXPECT_EQ(usage.resource, 12);
    EXPECT_EQ(usage.instance, 1);
    EXPECT_EQ(usage.context, "");
    EXPECT_EQ(usage.a, 1);
    EXPECT_EQ(usage.b, 0);
  }
}

// Resets show in the state at once; tare zeroes every drive motor through the
// runtime and brings the pose back to the origin, even while samples run.
TEST_F(SwerveDrivetrainImplTest, ResetsAndTareMoveThePose) {
  DrivetrainRig rig;
  EXPECT_FALSE(rig->SamplePoseAt(second_t{harness::Now()}).has_value()) << "no odometry history yet";
  rig.Start();
  rig.Step();
  EXPECT_TRUE(rig->SamplePoseAt(second_t{harness::Now()}).has_value());

  rig->ResetPose(MakePose(1.0, 2.0, 90.0));
  EXPECT_EQ(rig->GetState().Pose, MakePose(1.0, 2.0, 90.0));
  rig->ResetTranslation(swerve::Translation2d(meter_t{3.0}, meter_t{4.0}));
  EXPECT_EQ(rig->GetState().Pose, MakePose(3.0, 4.0, 90.0));
  rig->SetOperatorPerspectiveForward(swerve::Rotation2d(units::angle::degree_t{180.0}));
  rig->SeedFieldCentric();
  EXPECT_EQ(rig->GetState().Pose, MakePose(3.0, 4.0, 180.0));
  rig->SetOperatorPerspectiveForward(swerve::Rotation2d(units::angle::radian_t{std::nan("")}));
  EXPECT_EQ(rig->GetOperatorForwardDirection(), swerve::Rotation2d(units::angle::degree_t{180.0}));

  for (std::size_t i = 0; i < 4; ++i) harness::SetSimulatedValue(DriveHash(i), kPositionId, 2.0 * kTurnsPerMeter);
  RunWhileTimePasses([&] { rig->TareEverything(); });
  rig.Stop();
  EXPECT_EQ(rig->GetState().Pose, swerve::Pose2d());
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const auto calls = harness::ConfigCalls(DriveHash(i));
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(calls.back().isSet && calls.back().actionFlag) << "a set-position action";
  }
}

// A program thread uses the drivetrain while the odometry thread samples; run
// under the thread sanitizer, this finds unguarded sharing.
TEST_F(SwerveDrivetrainImplTest, ServesAnotherThreadWhileSampling) {
  DrivetrainRig rig;
  rig.Start();
  std::atomic<bool> done{false};
  std::atomic<int> rounds{0};
  std::thread program([&] {
    FieldCentric drive;
    for (int k = 0; !done.load(); ++k) {
      rig->SetControl(drive.WithVelocityX(meters_per_second_t{0.1 * (k % 10)}));
      if (k % 7 == 0) rig->SetControl(swerve::requests::Idle{});
      rig->ResetPose(MakePose(k % 3, 0.0, 0.0));
      rig->ResetTranslation(swerve::Translation2d(meter_t{1.0}, meter_t{1.0}));
      rig->ResetRotation(swerve::Rotation2d(units::angle::degree_t{10.0 * (k % 4)}));
      rig->SetOperatorPerspectiveForward(swerve::Rotation2d(units::angle::degree_t{90.0}));
      rig->SeedFieldCentric();
      rig->AddVisionMeasurement(MakePose(1.0, 1.0, 0.0), second_t{harness::Now() - 0.01});
      rig->AddVisionMeasurement(MakePose(1.0, 1.0, 0.0), second_t{harness::Now()}, {0.5, 0.5, 0.5});
      (void)rig->SamplePoseAt(second_t{harness::Now() - 0.02});
      (void)rig->GetState();
      // The last sample's parameters, as a copy taken under the state lock
      // (a reference to the drivetrain's own would be read as a sample
      // writes it).
      EXPECT_TRUE(std::isfinite(rig->GetControlParameters().updatePeriod.value()));
      {
        auto lock = rig->LockModules();
        (void)rig->GetModules()[k % 4]->GetCurrentState();
      }
      rounds.fetch_add(1);
    }
  });
  for (int i = 0; i < 100 || rounds.load() < 20; ++i) rig.Step();
  done.store(true);
  // The program thread may be waiting for the modules, which the odometry
  // thread holds until its frames arrive.
  RunWhileTimePasses([&] { program.join(); });
  const auto state = rig->GetState();
  EXPECT_GE(state.SuccessfulDaqs, 100);
  EXPECT_EQ(state.FailedDaqs, 0);
}

}  // namespace
