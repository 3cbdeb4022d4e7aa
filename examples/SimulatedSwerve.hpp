#pragma once

// The simulated swerve robot the demo and swerve_drive drive: four modules
// on the bus "drivebus" with an auklet 2, built from one factory of shared
// settings, with what the drivetrain's simulation needs to move them
// (inertia and friction of wheels and azimuths) and the gains with which the
// drivetrain configures the simulated firmware to hold the azimuths and run
// the wheels' velocity loops. Header-only.

#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrain.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>

#include <array>
#include <numbers>

namespace example {

using namespace kvor::zephrin6;
using namespace units::literals;

using Drivetrain =
    swerve::SwerveDrivetrain<configs::RapaxQConfiguration, configs::RapaxQConfiguration, configs::AngulonConfiguration>;
using ModuleConstants = Drivetrain::ModuleConstants;

inline constexpr const char* kBus = "drivebus";
inline constexpr int kAuklet2Id = 13;
inline constexpr double kDriveGearRatio = 6.75;
inline constexpr double kSteerGearRatio = 150.0 / 7.0;
inline constexpr units::length::meter_t kWheelRadius = 0.05_m;
// The simulated motors turn at 500 RPM per volt: 100 turns per second at
// 12 V, which the drive gearing and the wheel make this many m/s.
inline const units::velocity::meters_per_second_t kSpeedAt12Volts{100.0 / kDriveGearRatio * 2.0 * std::numbers::pi *
                                                                  kWheelRadius.value()};

/// The four modules: front left, front right, back left, back right, 0.6 m
/// apart; drive, steer and encoder IDs 1 to 12.
inline std::array<ModuleConstants, 4> Modules() {
  configs::Slot0Configs steerGains;
  steerGains.WithkP(60).WithkD(0.5);  // volts per rotation of azimuth error
  configs::Slot0Configs driveGains;
  driveGains.WithkS(0.2).WithkV(0.12).WithkP(0.1);  // volts, per rotor turn per second
  swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                       configs::AngulonConfiguration>
      factory;
  factory.WithDriveMotorGearRatio(kDriveGearRatio)
      .WithSteerMotorGearRatio(kSteerGearRatio)
      .WithCouplingGearRatio(3.5)
      .WithWheelRadius(kWheelRadius)
      .WithSpeedAt12Volts(kSpeedAt12Volts)
      .WithSteerMotorGains(steerGains)
      .WithDriveMotorGains(driveGains)
      .WithSlipCurrent(120_A)
      // What the simulation needs: a wheel carrying a quarter of a 50 kg
      // robot, a light azimuth, and a little friction in each.
      .WithDriveInertia(units::moment_of_inertia::kilogram_square_meter_t{0.03})
      .WithSteerInertia(units::moment_of_inertia::kilogram_square_meter_t{0.004})
      .WithDriveFrictionVoltage(0.2_V)
      .WithSteerFrictionVoltage(0.2_V);
  return {factory.CreateModuleConstants(1, 2, 3, 0_tr, 0.3_m, 0.3_m, false, false, false),
          factory.CreateModuleConstants(4, 5, 6, 0_tr, 0.3_m, -0.3_m, false, false, false),
          factory.CreateModuleConstants(7, 8, 9, 0_tr, -0.3_m, 0.3_m, false, false, false),
          factory.CreateModuleConstants(10, 11, 12, 0_tr, -0.3_m, -0.3_m, false, false, false)};
}

/// The drivetrain's constants: its bus and its auklet 2.
inline swerve::SwerveDrivetrainConstants DrivetrainConstants() {
  swerve::SwerveDrivetrainConstants constants;
  constants.WithCANBusName(kBus).WithAuklet2Id(kAuklet2Id);
  return constants;
}

}  // namespace example
