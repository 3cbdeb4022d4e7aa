// The swerve physics simulation driving a four-module drivetrain on the
// manual clock: the robot goes where it is sent and odometry follows it, the
// auklet 2 turns with it, the coupling gear and wheel slip show in what the
// motors measure, and input it cannot simulate is refused.
#include <kvor/zephrin6/controls/NeutralOut.hpp>
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrain.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/Idle.hpp>
#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include "support/RuntimeFixture.hpp"
#include "swerve/internal/FiniteInputs.hpp"
#include "swervesim/SimRig.hpp"

namespace {

using namespace swervesim_rig;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::controls::NeutralOut;
using kvor::zephrin6::controls::VoltageOut;
using swerve::requests::FieldCentric;
using units::time::second_t;
using units::voltage::volt_t;

constexpr int kRapaxQType = 5;

/// The true azimuth of each module, degrees.
std::vector<double> AzimuthsDegrees(SimRig& rig) {
  std::vector<double> azimuths;
  for (const auto& state : rig.Sim().GetModuleStates()) azimuths.push_back(state.angle.Degrees().value());
  return azimuths;
}

/// The physics input `name` the runtime last received for rapax q `id`.
double RapaxInput(int id, const char* name) {
  return harness::SimPhysicsInput(kRapaxQType, id, name).value_or(std::numeric_limits<double>::quiet_NaN());
}

/// Sends `left` to the drive motors on the left side and `right` to those on the right.
template <class Request>
void DriveMotors(SimRig& rig, const Request& left, const Request& right) {
  const auto& modules = rig.Drivetrain().GetModules();
  for (std::size_t i = 0; i < modules.size(); ++i) {
    modules[i]->GetDriveMotor().SetControl(rig.Drivetrain().GetModuleLocations()[i].Y().value() > 0 ? left : right);
  }
}

class SimSwerveDrivetrainTest : public zephrin_test::RuntimeTest {
 protected:
  /// A fresh runtime for the next case of a table.
  static void Fresh() {
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
  }
};

// Field-centric at 1 m/s for 2 s ends within 2 cm of 2 m, in truth and in
// odometry, going forwards or backwards, without turning.
TEST_F(SimSwerveDrivetrainTest, DrivesTwoMetresInTwoSeconds) {
  for (const double speed : {1.0, -1.0}) {
    SCOPED_TRACE(speed);
    Fresh();
    SimRig rig;
    rig.Drivetrain().SetControl(FieldCentric{}.WithVelocityX(meters_per_second_t{speed}));
    rig.Run(2.0);
    const swerve::Pose2d truth = rig.Sim().GetPose();
    const swerve::Pose2d odometry = rig.Drivetrain().GetState().Pose;
    for (const swerve::Pose2d& pose : {truth, odometry}) {
      EXPECT_NEAR(pose.X().value(), 2.0 * speed, 0.02);
      EXPECT_NEAR(pose.Y().value(), 0.0, 1e-6);
      EXPECT_NEAR(pose.Rotation().Degrees().value(), 0.0, 1e-6);
    }
    EXPECT_NEAR(rig.Sim().GetChassisSpeeds().vx.value(), speed, 1e-3);
  }
}

// Driving left, the wheels first turn a quarter turn, then the robot goes
// sideways while odometry keeps up. While they turn the wheels already roll
// (slowed by the cosine of their azimuth error), so the robot creeps a few
// centimetres forward first.
TEST_F(SimSwerveDrivetrainTest, SteersToDriveSideways) {
  SimRig rig;
  rig.Drivetrain().SetControl(FieldCentric{}.WithVelocityY(meters_per_second_t{1.0}));
  rig.Run(2.0);
  for (const double azimuth : AzimuthsDegrees(rig)) EXPECT_NEAR(azimuth, 90.0, 1.0);
  const swerve::Pose2d truth = rig.Sim().GetPose();
  EXPECT_NEAR(truth.X().value(), 0.0, 0.05);
  EXPECT_NEAR(truth.Y().value(), 2.0, 0.1);
  EXPECT_NEAR(truth.Rotation().Degrees().value(), 0.0, 0.5);
  const swerve::Pose2d odometry = rig.Drivetrain().GetState().Pose;
  EXPECT_NEAR(odometry.X().value(), truth.X().value(), 0.02);
  EXPECT_NEAR(odometry.Y().value(), truth.Y().value(), 0.02);
}

// Motors mounted the other way round, flagged in the constants and
// configured inverted, drive and steer the robot just the same.
TEST_F(SimSwerveDrivetrainTest, InvertedMotorsDriveTheSameWay) {
  std::vector<ModuleConstants> modules = SimModules();
  for (auto& module : modules) module.WithDriveMotorInverted(true).WithSteerMotorInverted(true);
  SimRig rig(modules);
  rig.Drivetrain().SetControl(
      FieldCentric{}.WithVelocityX(meters_per_second_t{1.0}).WithVelocityY(meters_per_second_t{0.5}));
  rig.Run(2.0);
  const swerve::Pose2d truth = rig.Sim().GetPose();
  EXPECT_GT(truth.X().value(), 1.7);
  EXPECT_GT(truth.Y().value(), 0.8);
  const swerve::Pose2d odometry = rig.Drivetrain().GetState().Pose;
  EXPECT_NEAR(odometry.X().value(), truth.X().value(), 0.02);
  EXPECT_NEAR(odometry.Y().value(), truth.Y().value(), 0.02);
}

/// Runs `seconds` and checks at every odometry sample that the auklet 2's
/// heading (latency-compensated, as the drivetrain reads it) is within half
/// a degree of the simulated truth. Returns how far the robot turned.
double ExpectImuFollowsTruth(SimRig& rig, double seconds) {
  int worst = 0;
  double worstError = 0.0;
  rig.Run(seconds, {}, [&](const swerve::SwerveDriveState& state) {
    const double error = (state.RawHeading - rig.Sim().GetPose().Rotation()).Degrees().value();
    if (std::abs(error) > std::abs(worstError)) {
      worstError = error;
      worst = static_cast<int>(rig.Ticks());
    }
  });
  EXPECT_LT(std::abs(worstError), 0.5) << "at tick " << worst;
  const swerve::Pose2d truth = rig.Sim().GetPose();
  EXPECT_NEAR(truth.X().value(), 0.0, 1e-3);
  EXPECT_NEAR(truth.Y().value(), 0.0, 1e-3);
  return truth.Rotation().Degrees().value();
}

// Turning in place with the wheels straight, left side back and right side
// forward, turns the auklet 2 with the robot. The wheels scrub sideways, so
// the body turns at the rate that best fits all four: half of what the
// rolling alone would give on a square drivetrain.
TEST_F(SimSwerveDrivetrainTest, TankTurnTurnsTheImuWithTheRobot) {
  SimRig rig;
  rig.Drivetrain().SetControl(swerve::requests::Idle{});
  const double volts = 0.3 / kSimSpeedAt12Volts * 12.0;  // 0.3 m/s
  DriveMotors(rig, VoltageOut{volt_t{-volts}}, VoltageOut{volt_t{volts}});
  EXPECT_NEAR(ExpectImuFollowsTruth(rig, 1.5), 0.5 * 1.5 * 180.0 / kPi, 1.0);
}

// A spin requested in place points the wheels round the centre and turns
// the auklet 2 with the robot.
TEST_F(SimSwerveDrivetrainTest, SpinInPlaceTurnsTheImuWithTheRobot) {
  SimRig rig;
  rig.Drivetrain().SetControl(
      swerve::requests::RobotCentric{}.WithRotationalRate(units::angular_velocity::radians_per_second_t{1.0}));
  EXPECT_NEAR(ExpectImuFollowsTruth(rig, 2.5), 2.5 * 180.0 / kPi, 5.0);
  // Each wheel points along the circle round the centre: 45 degrees off the
  // robot's axes (or the opposite way, driving backwards).
  for (const double azimuth : AzimuthsDegrees(rig)) {
    EXPECT_NEAR(std::abs(std::remainder(azimuth, 90.0)), 45.0, 1.0) << azimuth;
  }
}

// Turning the azimuth with the wheel free turns the drive motor by the
// coupling ratio, while the robot stays where it is.
TEST_F(SimSwerveDrivetrainTest, CouplingTurnsTheDriveMotorWithTheAzimuth) {
  SimRig rig;
  rig.Drivetrain().SetControl(swerve::requests::Idle{});
  DriveMotors(rig, NeutralOut{}, NeutralOut{});
  rig.Drivetrain().GetModules()[0]->GetSteerMotor().SetControl(VoltageOut{volt_t{2.0}});
  rig.Run(0.2);

  const double azimuthTurns = rig.Sim().GetModuleStates()[0].angle.Turns().value();
  EXPECT_GT(azimuthTurns, 0.05);
  EXPECT_NEAR(RapaxInput(SteerId(0), "RawRotorPosition"), azimuthTurns * kSteerGearRatio, 1e-9);
  EXPECT_NEAR(RapaxInput(DriveId(0), "RawRotorPosition"), azimuthTurns * kCouplingGearRatio, 1e-9);
  EXPECT_GT(RapaxInput(DriveId(0), "RotorVelocity"), 0.0);
  EXPECT_EQ(RapaxInput(DriveId(1), "RawRotorPosition"), 0.0);
  const swerve::Pose2d truth = rig.Sim().GetPose();
  EXPECT_EQ(truth.X().value(), 0.0);
  EXPECT_EQ(truth.Y().value(), 0.0);
}

// Full voltage from rest: a wheel that never slips rolls exactly as far as
// its motor turned; one that slips above 60 A pushes the robot with the
// slip current's torque only, while its motor turns further than the robot
// went.
TEST_F(SimSwerveDrivetrainTest, WheelSlipsAboveTheSlipCurrent) {
  constexpr double kInertia = 0.025;
  constexpr double kSeconds = 0.1;
  const double metresPerRotorTurn = 2.0 * kPi * kWheelRadius / kDriveGearRatio;
  for (const double slipAmps : {0.0, 60.0}) {
    SCOPED_TRACE(slipAmps);
    Fresh();
    std::vector<ModuleConstants> modules = SimModules();
    for (auto& module : modules) {
      module.WithSlipCurrent(units::current::ampere_t{slipAmps})
          .WithDriveInertia(units::moment_of_inertia::kilogram_square_meter_t{kInertia});
    }
    SimRig rig(modules);
    rig.Drivetrain().SetControl(swerve::requests::Idle{});
    DriveMotors(rig, VoltageOut{volt_t{12.0}}, VoltageOut{volt_t{12.0}});
    rig.Run(kSeconds);

    const double rolled = RapaxInput(DriveId(0), "RawRotorPosition") * metresPerRotorTurn;
    const double travelled = rig.Sim().GetPose().X().value();
    if (slipAmps == 0.0) {
      EXPECT_NEAR(rolled, travelled, 1e-9);
    } else {
      // a = gear x Kt x I / J x r, the motor's Kt from 500 RPM/V.
      const double kt = 60.0 / (500.0 * 2.0 * kPi);
      const double acceleration = kDriveGearRatio * kt * slipAmps / kInertia * kWheelRadius;
      EXPECT_NEAR(travelled, acceleration * kSeconds * kSeconds / 2.0, 1e-3);
      EXPECT_GT(rolled, 2.0 * travelled);
    }
  }
}

// Update refuses a time step or supply voltage it cannot use and changes
// nothing; settings it cannot simulate are reported and leave that module
// standing while the others drive.
TEST_F(SimSwerveDrivetrainTest, RefusesWhatItCannotSimulate) {
  std::vector<ModuleConstants> modules = SimModules();
  modules[1].WithDriveMotorGearRatio(0.0);
  modules[2].WithDriveInertia(units::moment_of_inertia::kilogram_square_meter_t{-1.0});
  modules[3].WithDriveFrictionVoltage(volt_t{std::numeric_limits<double>::quiet_NaN()});
  SimRig rig(modules);
  std::string reports;
  for (const auto& report : harness::Reports()) reports += report.details + "\n";
  EXPECT_NE(reports.find("module 1 DriveMotorGearRatio of 0"), std::string::npos) << reports;
  EXPECT_NE(reports.find("module 2 DriveInertia of -1"), std::string::npos) << reports;
  EXPECT_NE(reports.find("module 3 DriveFrictionVoltage of nan"), std::string::npos) << reports;

  const second_t before = rig.Sim().GetSimulatedTime();
  const double supply = RapaxInput(DriveId(0), "SupplyVoltage");
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const std::pair<double, double> bad[] = {{-0.001, 12.0}, {kNaN, 12.0}, {kInf, 12.0}, {0.001, -1.0}, {0.001, kNaN}};
  for (const auto& [dt, volts] : bad) {
    SCOPED_TRACE(std::to_string(dt) + " s, " + std::to_string(volts) + " V");
    EXPECT_EQ(rig.Sim().Update(second_t{dt}, volt_t{volts}), StatusCode::InvalidParamValue);
  }
  EXPECT_EQ(rig.Sim().GetSimulatedTime(), before);
  EXPECT_EQ(RapaxInput(DriveId(0), "SupplyVoltage"), supply);
  EXPECT_EQ(rig.Sim().ResetPose(swerve::Pose2d(meter_t{kNaN}, meter_t{0.0}, swerve::Rotation2d())),
            StatusCode::InvalidParamValue);
  EXPECT_EQ(rig.Sim().GetPose().X().value(), 0.0);

  // A settings list shorter than the drivetrain leaves the last module out.
  harness::ClearReports();
  const std::vector three(3, SimSwerveDrivetrain::ModuleSettings::From(modules[0]));
  SimSwerveDrivetrain partial(rig.Drivetrain(), three);
  ASSERT_FALSE(harness::Reports().empty());
  EXPECT_NE(harness::Reports().front().details.find("module 3 settings count of 3"), std::string::npos);

  rig.Drivetrain().SetControl(swerve::requests::Idle{});
  DriveMotors(rig, VoltageOut{volt_t{3.0}}, VoltageOut{volt_t{3.0}});
  rig.Run(0.1);
  EXPECT_GT(RapaxInput(DriveId(0), "RawRotorPosition"), 0.1);
  EXPECT_FALSE(harness::SimPhysicsInput(kRapaxQType, DriveId(1), "RawRotorPosition").has_value())
      << "module 1 must stand still";
  EXPECT_GT(RapaxInput(DriveId(2), "RawRotorPosition"), 0.1);
  EXPECT_GT(RapaxInput(DriveId(3), "RawRotorPosition"), 0.1);
}

// One update integrates at most kMaxUpdate of the time it is handed, so a
// program paused in a debugger or a clock that jumped moves the robot that
// much and is told so, and no step, however long, holds the simulation for
// more than a moment (a step of 1e300 s never returned).
TEST_F(SimSwerveDrivetrainTest, OneUpdateIntegratesAtMostItsBound) {
  SimRig rig;
  DriveMotors(rig, VoltageOut{volt_t{3.0}}, VoltageOut{volt_t{3.0}});
  rig.Run(0.1);
  harness::ClearReports();
  const double before = rig.Sim().GetSimulatedTime().value();
  const double x = rig.Sim().GetPose().X().value();
  for (const double dt : {3600.0, 1e300, std::numeric_limits<double>::max()}) {
    SCOPED_TRACE(dt);
    EXPECT_EQ(rig.Sim().Update(second_t{dt}, volt_t{12.0}), StatusCode::OK);
  }
  const double bound = SimSwerveDrivetrain::kMaxUpdate.value();
  EXPECT_NEAR(rig.Sim().GetSimulatedTime().value() - before, 3 * bound, 1e-9);
  // Driving on at 3 V for those seconds, at most.
  EXPECT_GT(rig.Sim().GetPose().X().value(), x);
  EXPECT_LT(rig.Sim().GetPose().X().value(), x + 3 * bound * kSimSpeedAt12Volts / 4 + 0.01);
  const auto reports = harness::Reports();
  ASSERT_FALSE(reports.empty());
  EXPECT_FALSE(reports[0].isError);
  EXPECT_NE(reports[0].details.find("3600"), std::string::npos) << reports[0].details;
}

// Settings at either end of the doubles and a motor output of 1e308 V may
// make a module stand still, but never make the simulated robot, its speeds
// or what odometry makes of it anything but finite numbers.
TEST_F(SimSwerveDrivetrainTest, FiniteExtremesKeepEverythingFinite) {
  std::vector<ModuleConstants> modules = SimModules();
  modules[0].WithDriveMotorGearRatio(1e308);
  modules[1].WithWheelRadius(meter_t{1e308});
  modules[2]
      .WithDriveInertia(units::moment_of_inertia::kilogram_square_meter_t{1e-308})
      .WithSteerInertia(units::moment_of_inertia::kilogram_square_meter_t{1e-308});
  modules[3].WithCouplingGearRatio(1e308);
  SimRig rig(modules);
  harness::SetSimPhysicsValue(kRapaxQType, DriveId(1), "MotorVoltage", 1e308);
  harness::SetSimPhysicsValue(kRapaxQType, SteerId(2), "MotorVoltage", -1e308);
  rig.Drivetrain().SetControl(FieldCentric{}.WithVelocityX(meters_per_second_t{1.0}));
  using swerve::internal::FindNonFinite;
  using swerve::internal::IsFinite;
  int bad = 0;
  rig.Run(0.5, {}, [&](const swerve::SwerveDriveState& state) {
    bad += FindNonFinite(state.Pose) || !IsFinite(state.Speeds) || !IsFinite(state.RawHeading);
  });
  EXPECT_EQ(bad, 0) << "odometry samples that were not finite";
  EXPECT_FALSE(FindNonFinite(rig.Sim().GetPose()));
  EXPECT_TRUE(IsFinite(rig.Sim().GetChassisSpeeds()));
  for (const auto& state : rig.Sim().GetModuleStates()) {
    EXPECT_TRUE(std::isfinite(state.speed.value()) && IsFinite(state.angle));
  }
}

// The typed drivetrain's simulation thread integrates whatever time the
// runtime's clock moves, feeds the devices, and stops on request.
TEST_F(SimSwerveDrivetrainTest, SimThreadFollowsTheRuntimeClock) {
  using Drivetrain = swerve::SwerveDrivetrain<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                              configs::AngulonConfiguration>;
  swerve::SwerveDrivetrainConstants constants;
  constants.WithCANBusName(kBus).WithAuklet2Id(kAuklet2Id);
  std::unique_ptr<Drivetrain> drivetrain;
  RunWhileTimePasses([&] { drivetrain = std::make_unique<Drivetrain>(constants, SimModule(0), SimModule(1)); });
  SimSwerveDrivetrain& sim = drivetrain->GetSimDrivetrain();

  EXPECT_EQ(drivetrain->StartSimThread(second_t{0.0}), StatusCode::InvalidParamValue);
  EXPECT_FALSE(sim.IsThreadRunning());
  ASSERT_EQ(drivetrain->StartSimThread(second_t{0.001}), StatusCode::OK);
  EXPECT_EQ(drivetrain->StartSimThread(second_t{0.001}), StatusCode::OK);
  EXPECT_TRUE(sim.IsThreadRunning());

  harness::AdvanceTime(0.25);
  // Waits for the thread (real time only bounds a hung thread).
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (sim.GetSimulatedTime().value() < 0.25 - 1e-9 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  EXPECT_NEAR(sim.GetSimulatedTime().value(), 0.25, 1e-9);
  // Started without a voltage, it feeds the battery's: unloaded, its open-circuit voltage.
  EXPECT_EQ(harness::SimPhysicsInput(7, kAuklet2Id, "SupplyVoltage"), 12.5);
  EXPECT_EQ(RapaxInput(DriveId(1), "SupplyVoltage"), 12.5);

  drivetrain->StopSimThread();
  EXPECT_FALSE(sim.IsThreadRunning());
  harness::AdvanceTime(0.25);
  EXPECT_NEAR(sim.GetSimulatedTime().value(), 0.25, 1e-9);
  ASSERT_EQ(drivetrain->StartSimThread(second_t{0.001}), StatusCode::OK);
  RunWhileTimePasses([&] { drivetrain.reset(); });  // stops both threads
}

// A module whose steer motor is a rapax w reading the azimuth through its
// own encoder input: the simulation feeds that motor's rotor (negated for an
// inverted motor) and its pulse-width input (offset and encoder sign, the
// sensor's own orientation), under the rapax w's device type.
TEST_F(SimSwerveDrivetrainTest, FeedsARapaxWSteerMotorAndItsEncoderInput) {
  using configs::RapaxWConfiguration;
  using Constants = swerve::SwerveModuleConstants<configs::RapaxQConfiguration, RapaxWConfiguration, RapaxWConfiguration>;
  constexpr int kSteerId = 3;
  constexpr int kRapaxWType = 8;
  constexpr double kOffset = 0.1;
  const std::vector<Constants> modules{
      swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, RapaxWConfiguration, RapaxWConfiguration>{}
          .WithWheelRadius(meter_t{kWheelRadius})
          .WithDriveMotorGearRatio(kDriveGearRatio)
          .WithSteerMotorGearRatio(kSteerGearRatio)
          .WithSteerInertia(units::moment_of_inertia::kilogram_square_meter_t{0.004})
          .CreateModuleConstants(kSteerId, 4, kSteerId, units::angle::turn_t{kOffset}, meter_t{0.3}, meter_t{0.0},
                                 false, true, true)};
  swerve::SwerveDrivetrainConstants constants;
  constants.WithCANBusName("simbus").WithAuklet2Id(kAuklet2Id);
  // No odometry thread (0 Hz): nothing but this test commands the motors.
  std::unique_ptr<swerve::impl::SwerveDrivetrainImpl> drivetrain;
  RunWhileTimePasses([&] {
    drivetrain = std::make_unique<swerve::impl::SwerveDrivetrainImpl>(
        constants, units::frequency::hertz_t{0.0}, std::array<double, 3>{0.1, 0.1, 0.1},
        std::array<double, 3>{0.9, 0.9, 0.9}, std::span<const Constants>(modules));
  });
  SimSwerveDrivetrain sim(*drivetrain, std::span<const Constants>(modules));
  // The steer motor turns the azimuth.
  ASSERT_EQ(drivetrain->GetModules()[0]->GetSteerMotor().SetControl(VoltageOut{volt_t{2.0}}), StatusCode::OK);
  for (int ms = 1; ms <= 50; ++ms) {
    harness::AdvanceTime(kTick);
    ASSERT_EQ(sim.Update(second_t{kTick}, volt_t{12.0}), StatusCode::OK);
  }
  const double azimuthTurns = sim.GetModuleStates()[0].angle.Radians().value() / (2.0 * kPi);
  ASSERT_GT(std::abs(azimuthTurns), 1e-3);  // it turned
  auto input = [](const char* name) {
    return harness::SimPhysicsInput(kRapaxWType, kSteerId, name).value_or(std::nan(""));
  };
  EXPECT_NEAR(input("RawRotorPosition"), -azimuthTurns * kSteerGearRatio, 1e-9);
  EXPECT_NEAR(input("PulseWidthPosition"), kOffset - azimuthTurns, 1e-12);  // the encoder counts clockwise
  // Both negated, the motor's by its inversion and the encoder's by its sign.
  EXPECT_NEAR(input("RotorVelocity"), input("PulseWidthVelocity") * kSteerGearRatio, 1e-9);
  EXPECT_NE(input("RotorVelocity"), 0.0);
  EXPECT_EQ(harness::SimPhysicsInput(kRapaxQType, kSteerId, "RawRotorPosition"), std::nullopt);
}

}  // namespace
