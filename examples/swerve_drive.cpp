// A swerve robot's 20 ms loop: drive forward across the field while a PID
// controller turns the robot to face the field's left side and holds it
// there, and print where odometry thinks the robot is.
//
// Everything runs in simulation. The runtime simulates the motor
// controllers and the auklet 2, and the drivetrain's own simulation
// (GetSimDrivetrain) stands in for the robot: from the voltages the motors
// drive it turns the wheels and azimuths and the robot's body, and moves
// the simulated encoders and gyro to match, so odometry reads what it
// would read on a robot. On a robot the drivetrain's odometry thread samples
// on its own, 250 times a second, while the world moves by itself; here the
// runtime's clock is manual (the harness moves it), so the program moves
// the simulation every millisecond and samples odometry every 4 ms itself,
// and the run is the same every time.
#include <kvor/zephrin6/swerve/ZephrinPIDController.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <cmath>
#include <cstdio>
#include <numbers>

#include "SimulatedSwerve.hpp"

using namespace kvor::zephrin6;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

constexpr double kPi = std::numbers::pi;
constexpr double kTick = 0.001;    // the simulation's step, seconds
constexpr int kTicksPerSample = 4;  // odometry at 250 Hz
constexpr int kTicksPerLoop = 20;   // the 20 ms loop

// Hold the heading at 90 degrees (facing the field's left side): the PID
// turns a heading error in radians into a turning rate in radians per
// second, taking the short way round.
constexpr double kHeadingGain = 8.0;  // rad/s per rad of error
constexpr double kTargetHeading = kPi / 2.0;
// The request ignores turning rates below this, so that a controller's
// last small corrections do not keep the wheels twitching (in the
// simulation, as on a robot, steering friction would hold back such small
// turns anyway). With the gain above, the robot stops turning within
// kRotationalDeadband / kHeadingGain of the target: 0.36 deg.
constexpr double kRotationalDeadband = 0.05;  // rad/s

int main() {
  harness::SetReportEcho(false);

  // Building the drivetrain reads every module once, configures the motors
  // from the module constants (gains, azimuth ratio, wrap) and starts
  // odometry.
  const auto modules = example::Modules();
  example::Drivetrain drivetrain{example::DrivetrainConstants(), modules[0], modules[1], modules[2], modules[3]};
  std::printf("Drivetrain of %zu modules on a %s bus, odometry at %.0f Hz\n", drivetrain.GetModules().size(),
              drivetrain.IsOnCANFD() ? "CAN FD" : "classic CAN", drivetrain.GetOdometryFrequency().value());

  // From here on the program steps the simulation and odometry itself on a
  // manual clock. With the thread stopped every RunOnce samples; a failed
  // read is reported and counted in the state's FailedDaqs, and the sample
  // goes on with the last values.
  drivetrain.GetOdometryThread().Stop();
  harness::UseManualClock(harness::Now());

  swerve::ZephrinPIDController headingController(kHeadingGain, 0.0, 0.3);
  headingController.EnableContinuousInput(-kPi, kPi);
  swerve::requests::FieldCentric drive;
  drive.WithDeadband(0.05_mps)
      .WithRotationalDeadband(units::angular_velocity::radians_per_second_t{kRotationalDeadband});

  for (int tick = 0; tick <= 3000; ++tick) {  // 3 seconds
    harness::AdvanceTime(kTick);
    // A step the simulation refuses (a time that is not finite, or over a
    // second) is reported; these are neither.
    static_cast<void>(drivetrain.UpdateSimState(units::time::second_t{kTick}, 12_V));
    if (tick % kTicksPerSample == 0) static_cast<void>(drivetrain.GetOdometryThread().RunOnce());
    if (tick % kTicksPerLoop != 0) continue;

    // The loop: drive away from the driver at 1 m/s whichever way the robot
    // faces, and turn towards the target heading.
    const swerve::SwerveDriveState state = drivetrain.GetState();
    const double heading = state.Pose.Rotation().Radians().value();
    const double turnRate = headingController.Calculate(heading, kTargetHeading, state.Timestamp);
    // A request is only refused for numbers that are not finite; the PID
    // gives finite ones.
    static_cast<void>(drivetrain.SetControl(
        drive.WithVelocityX(1.0_mps).WithRotationalRate(units::angular_velocity::radians_per_second_t{turnRate})));

    if (tick % 500 == 0) {
      std::printf("t = %.1f s  x = %5.2f m  y = %5.2f m  heading = %5.1f deg  asks to turn %6.3f rad/s%s\n",
                  tick * kTick, state.Pose.X().value(), state.Pose.Y().value(), heading * 180.0 / kPi, turnRate,
                  std::abs(turnRate) < kRotationalDeadband ? " (under the rotational deadband: no turn)" : "");
    }
  }

  const swerve::Pose2d odometry = drivetrain.GetState().Pose;
  const swerve::Pose2d truth = drivetrain.GetSimDrivetrain().GetPose();
  std::printf("Odometry: x = %.3f m, y = %.3f m, heading %.2f deg; the simulated robot: x = %.3f m, y = %.3f m, "
              "heading %.2f deg.\n",
              odometry.X().value(), odometry.Y().value(), odometry.Rotation().Degrees().value(), truth.X().value(),
              truth.Y().value(), truth.Rotation().Degrees().value());
  std::printf("The heading settles within %.2f deg of 90: closer in, the PID asks for less than the %.2f rad/s\n"
              "rotational deadband, which the request treats as no turn at all.\n",
              kRotationalDeadband / kHeadingGain * 180.0 / kPi, kRotationalDeadband);
  return 0;
}
