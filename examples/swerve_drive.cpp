// A swerve robot's 20 ms loop: drive forward across the field while a PID
// controller turns the robot to face the field's left side and holds it
// there, and print where odometry thinks the robot is.
//
// Everything runs in simulation. On a robot the drivetrain's odometry thread
// samples the devices on its own, 250 times a second; here the runtime's
// clock is manual (the harness moves it), so the program steps the odometry
// itself, five samples per loop, and a few lines stand in for the physical
// robot: its wheels do exactly what they are told.
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrain.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>
#include <kvor/zephrin6/swerve/ZephrinPIDController.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <cstdio>
#include <numbers>

using namespace kvor::zephrin6;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;
namespace signal_ids = kvor::zephrin::signal_ids;

using Drivetrain =
    swerve::SwerveDrivetrain<configs::RapaxQConfiguration, configs::RapaxQConfiguration, configs::AngulonConfiguration>;

constexpr double kPi = std::numbers::pi;
constexpr double kWheelRadius = 0.05;  // metres
constexpr double kDriveGearRatio = 6.75;
constexpr double kSamplePeriod = 0.004;  // seconds, 250 Hz
constexpr double kLoopPeriod = 0.020;    // seconds

// ---- A stand-in for the robot: wheels that do exactly what they are told ----

// Moves every simulated sensor as if each wheel reached its target state at
// once: the steer motor reports the target azimuth, the drive motor rolls at
// the target speed, and the gyro turns at the rate those wheels give.
void MoveTheRobot(Drivetrain& drivetrain, swerve::impl::SwerveDriveKinematics& kinematics, double dt) {
  static double driveTurns[4] = {};
  static double yawDegrees = 0.0;
  const swerve::SwerveDriveState state = drivetrain.GetState();
  const double turnsPerMeter = kDriveGearRatio / kWheelRadius / (2.0 * kPi);
  for (std::size_t i = 0; i < 4; ++i) {
    const auto& module = drivetrain.GetModule(i);
    const swerve::SwerveModuleState& target = state.ModuleTargets[i];
    const double turnsPerSecond = target.speed.value() * turnsPerMeter;
    driveTurns[i] += turnsPerSecond * dt;
    harness::SetSimulatedValue(module.GetDriveMotor().GetDeviceHash(), signal_ids::rapax_q::kPosition, driveTurns[i]);
    harness::SetSimulatedValue(module.GetDriveMotor().GetDeviceHash(), signal_ids::rapax_q::kVelocity, turnsPerSecond);
    harness::SetSimulatedValue(module.GetSteerMotor().GetDeviceHash(), signal_ids::rapax_q::kPosition,
                               target.angle.Turns().value());
  }
  const double omega = kinematics.ToChassisSpeeds(state.ModuleTargets).omega.value();  // rad/s
  yawDegrees += omega * dt * 180.0 / kPi;
  harness::SetSimulatedValue(drivetrain.GetAuklet2().GetDeviceHash(), signal_ids::auklet2::kYaw, yawDegrees);
  harness::SetSimulatedValue(drivetrain.GetAuklet2().GetDeviceHash(), signal_ids::auklet2::kAngularVelocityZWorld,
                             omega * 180.0 / kPi);
}

// ---- The robot program ----

int main() {
  harness::SetReportEcho(false);

  // The settings all four modules share, then each corner's IDs and place.
  swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                       configs::AngulonConfiguration>
      factory;
  factory.WithDriveMotorGearRatio(kDriveGearRatio)
      .WithSteerMotorGearRatio(21.4)
      .WithWheelRadius(units::length::meter_t{kWheelRadius})
      .WithSpeedAt12Volts(4.5_mps);
  const auto frontLeft = factory.CreateModuleConstants(1, 2, 3, 0_tr, 0.3_m, 0.3_m, false, false, false);
  const auto frontRight = factory.CreateModuleConstants(4, 5, 6, 0_tr, 0.3_m, -0.3_m, false, false, false);
  const auto backLeft = factory.CreateModuleConstants(7, 8, 9, 0_tr, -0.3_m, 0.3_m, false, false, false);
  const auto backRight = factory.CreateModuleConstants(10, 11, 12, 0_tr, -0.3_m, -0.3_m, false, false, false);
  swerve::SwerveDrivetrainConstants drivetrainConstants;
  drivetrainConstants.WithCANBusName("drivebus").WithAuklet2Id(13);

  // Building the drivetrain reads every module once and starts odometry.
  Drivetrain drivetrain{drivetrainConstants, frontLeft, frontRight, backLeft, backRight};
  std::printf("Drivetrain of %zu modules on a %s bus, odometry at %.0f Hz\n", drivetrain.GetModules().size(),
              drivetrain.IsOnCANFD() ? "CAN FD" : "classic CAN", drivetrain.GetOdometryFrequency().value());

  // From here on the program steps odometry itself on a manual clock.
  // With the thread stopped every RunOnce samples; a failed read is reported
  // and counted in the state's FailedDaqs, and the sample goes on with the
  // last values.
  drivetrain.GetOdometryThread().Stop();
  harness::UseManualClock(harness::Now());
  static_cast<void>(drivetrain.GetOdometryThread().RunOnce());
  swerve::impl::SwerveDriveKinematics kinematics(drivetrain.GetModuleLocations());

  // Hold the heading at 90 degrees (facing the field's left side): the PID
  // turns a heading error in radians into a turning rate in radians per
  // second, taking the short way round. Rates below the rotational deadband
  // are not worth turning for, which leaves a small error.
  swerve::ZephrinPIDController headingController(4.0, 0.0, 0.1);
  headingController.EnableContinuousInput(-kPi, kPi);
  const double targetHeading = kPi / 2.0;
  swerve::requests::FieldCentric drive;
  drive.WithDeadband(0.05_mps).WithRotationalDeadband(0.02_rad_per_s);

  for (int loop = 0; loop <= 150; ++loop) {  // 3 seconds
    const swerve::SwerveDriveState state = drivetrain.GetState();
    const double heading = state.Pose.Rotation().Radians().value();
    const double turnRate = headingController.Calculate(heading, targetHeading, state.Timestamp);

    // Drive away from the driver at 1 m/s whichever way the robot faces.
    drivetrain.SetControl(drive.WithVelocityX(1.0_mps).WithRotationalRate(
        units::angular_velocity::radians_per_second_t{turnRate}));

    if (loop % 25 == 0) {
      std::printf("t = %.2f s  x = %5.2f m  y = %5.2f m  heading = %6.1f deg  turning %5.2f rad/s%s\n",
                  loop * kLoopPeriod, state.Pose.X().value(), state.Pose.Y().value(), heading * 180.0 / kPi,
                  turnRate, drivetrain.IsOdometryValid() ? "" : "  (odometry not valid yet)");
    }

    // The 20 ms until the next loop: five odometry samples.
    for (int sample = 0; sample < 5; ++sample) {
      harness::AdvanceTime(kSamplePeriod);
      static_cast<void>(drivetrain.GetOdometryThread().RunOnce());
      MoveTheRobot(drivetrain, kinematics, kSamplePeriod);
    }
  }
  std::printf("Heading held at %.1f deg after driving %.2f m\n",
              drivetrain.GetState().Pose.Rotation().Degrees().value(), drivetrain.GetState().Pose.X().value());
  return 0;
}
