#pragma once

// A simulated four-module drivetrain for the physics tests: the swerve rig's
// square drivetrain of rapax q motors, with the gear ratios, inertias and
// wheel of a typical module, its SimSwerveDrivetrain, and a stepper that
// moves the manual clock one millisecond at a time, updates the physics
// after every millisecond and samples odometry (OdometryThread::RunOnce)
// every fourth, so every run is deterministic. Tick times fall half a
// millisecond off the 250 Hz frame times, never on a frame's edge.

#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "swerve/SwerveRig.hpp"

namespace swervesim_rig {

using namespace swerve_rig;
using kvor::zephrin6::swerve::sim::SimSwerveDrivetrain;

inline constexpr double kTick = 0.001;
inline constexpr int kTicksPerSample = 4;
inline constexpr double kSteerGearRatio = 150.0 / 7.0;
inline constexpr double kCouplingGearRatio = 3.5;
/// Wheel speed of the simulated motor (500 RPM/V) at 12 V, m/s.
inline const double kSimSpeedAt12Volts = 500.0 / 60.0 * 12.0 / kDriveGearRatio * 2.0 * kPi * kWheelRadius;

/// Module i of the square, ready for simulation: a light wheel share so that
/// it reaches speed in about 10 ms, no friction, no slip.
inline ModuleConstants SimModule(std::size_t i) {
  ModuleConstants module = SquareModule(i);
  configs::Slot0Configs steerGains;
  steerGains.WithkP(60.0).WithkD(0.5);
  module.WithSteerMotorGearRatio(kSteerGearRatio)
      .WithCouplingGearRatio(kCouplingGearRatio)
      .WithSpeedAt12Volts(meters_per_second_t{kSimSpeedAt12Volts})
      .WithSteerMotorGains(steerGains)
      .WithDriveInertia(units::moment_of_inertia::kilogram_square_meter_t{0.005})
      .WithSteerInertia(units::moment_of_inertia::kilogram_square_meter_t{0.004});
  return module;
}

inline std::vector<ModuleConstants> SimModules() { return {SimModule(0), SimModule(1), SimModule(2), SimModule(3)}; }

class SimRig {
 public:
  explicit SimRig(const std::vector<ModuleConstants>& modules = SimModules())
      : drivetrain_(modules), sim_(*drivetrain_, std::span<const ModuleConstants>(modules)) {
    std::vector<kvor::zephrin6::BaseStatusSignal*> signals;
    for (std::size_t i = 0; i < drivetrain_->GetModules().size(); ++i) {
      auto& module = *drivetrain_->GetModules()[i];
      for (auto* signal : module.GetSignals()) signals.push_back(signal);
      // As the program configures them: the steer motor reports the azimuth
      // and holds it with the module's gains; inverted motors are set so.
      configs::RapaxQConfiguration steer;
      steer.Feedback.SensorToMechanismRatio = modules[i].SteerMotorGearRatio;
      steer.Slot0 = modules[i].SteerMotorGains;
      steer.ClosedLoopGeneral.ContinuousWrap = true;
      steer.MotorOutput.Inverted = Inversion(modules[i].SteerMotorInverted);
      Configure(module.GetSteerMotor(), steer);
      configs::RapaxQConfiguration drive;
      drive.MotorOutput.Inverted = Inversion(modules[i].DriveMotorInverted);
      Configure(module.GetDriveMotor(), drive);
    }
    auto& imu = drivetrain_->GetAuklet2();
    signals.push_back(&imu.GetYaw(false));
    signals.push_back(&imu.GetAngularVelocityZWorld(false));
    // What the odometry thread would ask for when it starts.
    EXPECT_EQ(kvor::zephrin6::BaseStatusSignal::SetUpdateFrequencyForAll(drivetrain_->GetOdometryFrequency(), signals),
              kvor::zephrin::StatusCode::OK);
    start_ = std::ceil(harness::Now()) + 0.0005;
    Tick(0);
  }

  SwerveDrivetrainImpl& Drivetrain() { return *drivetrain_; }
  /// From now on every update draws on the simulation's battery instead of
  /// a fixed 12 V.
  void UseBattery() { battery_ = true; }
  SimSwerveDrivetrain& Sim() { return sim_; }
  /// The time of tick `tick`, seconds.
  double TimeOf(long tick) const { return start_ + static_cast<double>(tick) * kTick; }
  long Ticks() const { return tick_; }

  /// Runs `seconds` of ticks; `beforeTick` runs before each (with the tick
  /// number), `onSample` after each odometry sample.
  void Run(double seconds, const std::function<void(long)>& beforeTick = {},
           const std::function<void(const swerve::SwerveDriveState&)>& onSample = {}) {
    const long end = tick_ + std::lround(seconds / kTick);
    while (tick_ < end) {
      if (beforeTick) beforeTick(tick_ + 1);
      Tick(tick_ + 1);
      if (tick_ % kTicksPerSample == 0) {
        // A failed read counts in the state's FailedDaqs, for the tests that look.
        static_cast<void>(drivetrain_->GetOdometryThread().RunOnce());
        if (onSample) onSample(drivetrain_->GetState());
      }
    }
  }

 private:
  static kvor::zephrin6::signals::InvertedValue Inversion(bool inverted) {
    return inverted ? kvor::zephrin6::signals::InvertedValue::Clockwise_Positive
                    : kvor::zephrin6::signals::InvertedValue::CounterClockwise_Positive;
  }
  static void Configure(kvor::zephrin6::hardware::traits::CommonRapax& motor,
                        const configs::RapaxQConfiguration& config) {
    EXPECT_EQ(static_cast<kvor::zephrin6::hardware::core::CoreRapaxQ&>(motor).GetConfigurator().Apply(config),
              kvor::zephrin::StatusCode::OK);
  }

  void Tick(long tick) {
    const double previous = harness::Now();
    harness::SetTime(TimeOf(tick));
    tick_ = tick;
    const units::time::second_t dt{harness::Now() - previous};
    EXPECT_EQ(battery_ ? sim_.Update(dt) : sim_.Update(dt, units::voltage::volt_t{12.0}), kvor::zephrin::StatusCode::OK);
  }

  DrivetrainRig drivetrain_;
  SimSwerveDrivetrain sim_;
  double start_ = 0.0;
  long tick_ = 0;
  bool battery_ = false;
};

}  // namespace swervesim_rig
