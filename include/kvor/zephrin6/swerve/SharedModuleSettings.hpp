#pragma once

// SharedModuleSettings gives the fluent With... setters of the settings that
// every module of a drivetrain usually shares (gear ratios, wheel radius,
// gains, closed-loop outputs, slip current, speed at 12 V, motor types,
// initial configurations, inertias, friction voltages) to both classes that
// hold them: SwerveModuleConstants and SwerveModuleConstantsFactory. It is a
// mix-in without data: `Derived` names the constants object that holds the
// fields through a `SharedFields()` member (itself for the constants, its
// prototype for the factory); the setters write there and return `Derived&`
// so that chains keep their type. Values only; not synchronised.

#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <cstdint>

namespace kvor::zephrin6::swerve {

template <typename Derived>
class SharedModuleSettings {
 public:
  /// Sets DriveMotorGearRatio: drive motor rotations per wheel rotation.
  Derived& WithDriveMotorGearRatio(double ratio) {
    Fields().DriveMotorGearRatio = ratio;
    return Self();
  }
  /// Sets SteerMotorGearRatio: steer motor rotations per azimuth rotation.
  Derived& WithSteerMotorGearRatio(double ratio) {
    Fields().SteerMotorGearRatio = ratio;
    return Self();
  }
  /// Sets CouplingGearRatio: drive motor rotations per azimuth rotation.
  Derived& WithCouplingGearRatio(double ratio) {
    Fields().CouplingGearRatio = ratio;
    return Self();
  }
  /// Sets WheelRadius, metres.
  Derived& WithWheelRadius(units::length::meter_t radius) {
    Fields().WheelRadius = radius;
    return Self();
  }
  /// Sets SteerMotorGains, the steer motor's slot 0 gains.
  Derived& WithSteerMotorGains(const configs::Slot0Configs& gains) {
    Fields().SteerMotorGains = gains;
    return Self();
  }
  /// Sets DriveMotorGains, the drive motor's slot 0 gains.
  Derived& WithDriveMotorGains(const configs::Slot0Configs& gains) {
    Fields().DriveMotorGains = gains;
    return Self();
  }
  /// Sets SteerMotorClosedLoopOutput.
  Derived& WithSteerMotorClosedLoopOutput(ClosedLoopOutputType output) {
    Fields().SteerMotorClosedLoopOutput = output;
    return Self();
  }
  /// Sets DriveMotorClosedLoopOutput.
  Derived& WithDriveMotorClosedLoopOutput(ClosedLoopOutputType output) {
    Fields().DriveMotorClosedLoopOutput = output;
    return Self();
  }
  /// Sets SlipCurrent, amperes: the stator current at which the wheel slips.
  Derived& WithSlipCurrent(units::current::ampere_t current) {
    Fields().SlipCurrent = current;
    return Self();
  }
  /// Sets SpeedAt12Volts, metres per second: the wheel speed reached at 12 V.
  Derived& WithSpeedAt12Volts(units::velocity::meters_per_second_t speed) {
    Fields().SpeedAt12Volts = speed;
    return Self();
  }
  /// Sets DriveMotorType.
  Derived& WithDriveMotorType(MotorControllerType type) {
    Fields().DriveMotorType = type;
    return Self();
  }
  /// Sets SteerMotorType.
  Derived& WithSteerMotorType(MotorControllerType type) {
    Fields().SteerMotorType = type;
    return Self();
  }
  /// Sets FeedbackSource: how the steer motor is to use the azimuth encoder
  /// (a value of the program's own configuration code; the library does not
  /// read it).
  Derived& WithFeedbackSource(int32_t source) {
    Fields().FeedbackSource = source;
    return Self();
  }
  /// Sets DriveMotorInitialConfigs.
  template <typename Configs>
  Derived& WithDriveMotorInitialConfigs(const Configs& configs) {
    Fields().DriveMotorInitialConfigs = configs;
    return Self();
  }
  /// Sets SteerMotorInitialConfigs.
  template <typename Configs>
  Derived& WithSteerMotorInitialConfigs(const Configs& configs) {
    Fields().SteerMotorInitialConfigs = configs;
    return Self();
  }
  /// Sets EncoderInitialConfigs.
  template <typename Configs>
  Derived& WithEncoderInitialConfigs(const Configs& configs) {
    Fields().EncoderInitialConfigs = configs;
    return Self();
  }
  /// Sets SteerInertia, kilogram square metres (simulation).
  Derived& WithSteerInertia(units::moment_of_inertia::kilogram_square_meter_t inertia) {
    Fields().SteerInertia = inertia;
    return Self();
  }
  /// Sets DriveInertia, kilogram square metres (simulation).
  Derived& WithDriveInertia(units::moment_of_inertia::kilogram_square_meter_t inertia) {
    Fields().DriveInertia = inertia;
    return Self();
  }
  /// Sets SteerFrictionVoltage, volts (simulation).
  Derived& WithSteerFrictionVoltage(units::voltage::volt_t voltage) {
    Fields().SteerFrictionVoltage = voltage;
    return Self();
  }
  /// Sets DriveFrictionVoltage, volts (simulation).
  Derived& WithDriveFrictionVoltage(units::voltage::volt_t voltage) {
    Fields().DriveFrictionVoltage = voltage;
    return Self();
  }

 private:
  Derived& Self() { return static_cast<Derived&>(*this); }
  auto& Fields() { return Self().SharedFields(); }
};

}  // namespace kvor::zephrin6::swerve
