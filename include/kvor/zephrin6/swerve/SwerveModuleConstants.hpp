#pragma once

// SwerveModuleConstants describes one wheel module of a swerve drivetrain:
// the CAN IDs of its motors and azimuth encoder, where it sits on the robot,
// its gear ratios and wheel radius, how its motors are commanded, and the
// configurations a program may apply to its devices at start-up. The
// drivetrain builds one module per entry. The module itself uses only the
// IDs, drive and coupling ratios, wheel radius, closed-loop outputs, speed at
// 12 V and motor types; the drivetrain front ends apply the device settings
// (gains, azimuth feedback, inversions, slip current, initial
// configurations) to the devices as ModuleDeviceConfigs.hpp lists, and the
// simulation reads the inertias and friction.
//
// The three template arguments are the configuration types of the drive
// motor, the steer motor and the azimuth encoder. Ten combinations exist:
// drive and steer are each RapaxQConfiguration or RapaxWConfiguration; the
// encoder is AngulonConfiguration or PortisConfiguration, or
// RapaxWConfiguration when the steer motor is a rapax w (its own encoder
// input). Other combinations do not compile.
//
// The field order is fixed: code outside C++ fills these records field by
// field in this order. A plain value with fluent With... setters; copy it
// freely, it is not synchronised. SwerveModuleConstantsFactory builds one per
// module from the settings the modules share.

#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/PortisConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxWConfiguration.hpp>
#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/swerve/SharedModuleSettings.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <concepts>
#include <cstdint>

namespace kvor::zephrin6::swerve {

/// True for the ten configuration-type combinations a module can have.
template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
concept ValidSwerveModuleConfigs =
    (std::same_as<DriveConfigT, configs::RapaxQConfiguration> ||
     std::same_as<DriveConfigT, configs::RapaxWConfiguration>) &&
    (std::same_as<SteerConfigT, configs::RapaxQConfiguration> ||
     std::same_as<SteerConfigT, configs::RapaxWConfiguration>) &&
    (std::same_as<EncoderConfigT, configs::AngulonConfiguration> ||
     std::same_as<EncoderConfigT, configs::PortisConfiguration> ||
     (std::same_as<SteerConfigT, configs::RapaxWConfiguration> &&
      std::same_as<EncoderConfigT, configs::RapaxWConfiguration>));

/// The motor controller model a configuration type belongs to.
template <typename MotorConfigT>
inline constexpr MotorControllerType kMotorControllerTypeOf =
    std::same_as<MotorConfigT, configs::RapaxQConfiguration> ? MotorControllerType::RapaxQ
                                                              : MotorControllerType::RapaxW;

template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
struct SwerveModuleConstants
    : SharedModuleSettings<SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>> {
  static_assert(ValidSwerveModuleConfigs<DriveConfigT, SteerConfigT, EncoderConfigT>,
                "SwerveModuleConstants<Drive, Steer, Encoder>: Drive and Steer must each be RapaxQConfiguration or "
                "RapaxWConfiguration, and Encoder must be AngulonConfiguration or PortisConfiguration, or "
                "RapaxWConfiguration when Steer is RapaxWConfiguration");

  /// CAN ID of the steer motor.
  int32_t SteerMotorId = 0;
  /// CAN ID of the drive motor.
  int32_t DriveMotorId = 0;
  /// CAN ID of the azimuth encoder.
  int32_t EncoderId = 0;
  /// Encoder reading when the wheel points forward, turns.
  units::angle::turn_t EncoderOffset{0.0};
  /// Module position forward of the robot centre, metres.
  units::length::meter_t LocationX{0.0};
  /// Module position left of the robot centre, metres.
  units::length::meter_t LocationY{0.0};
  /// Whether the drive motor turns clockwise for positive output.
  bool DriveMotorInverted = false;
  /// Whether the steer motor turns clockwise for positive output.
  bool SteerMotorInverted = false;
  /// Whether the encoder counts clockwise as positive.
  bool EncoderInverted = false;
  /// Drive motor rotations per wheel rotation.
  double DriveMotorGearRatio = 0.0;
  /// Steer motor rotations per azimuth rotation.
  double SteerMotorGearRatio = 0.0;
  /// Drive motor rotations caused by one azimuth rotation (the coupling
  /// between the steer and drive gear trains).
  double CouplingGearRatio = 0.0;
  /// Wheel radius, metres.
  units::length::meter_t WheelRadius{0.0};
  /// Closed-loop gains of the steer motor.
  configs::Slot0Configs SteerMotorGains;
  /// Closed-loop gains of the drive motor.
  configs::Slot0Configs DriveMotorGains;
  /// What the steer motor's closed loop outputs.
  ClosedLoopOutputType SteerMotorClosedLoopOutput = ClosedLoopOutputType::Voltage;
  /// What the drive motor's closed loop outputs.
  ClosedLoopOutputType DriveMotorClosedLoopOutput = ClosedLoopOutputType::Voltage;
  /// Stator current at which the wheel starts to slip, amperes.
  units::current::ampere_t SlipCurrent{0.0};
  /// Wheel speed the drive motor reaches at 12 V, metres per second. The
  /// smallest over the modules is the drivetrain's top speed.
  units::velocity::meters_per_second_t SpeedAt12Volts{0.0};
  /// Model of the drive motor controller.
  MotorControllerType DriveMotorType = kMotorControllerTypeOf<DriveConfigT>;
  /// Model of the steer motor controller.
  MotorControllerType SteerMotorType = kMotorControllerTypeOf<SteerConfigT>;
  /// Where the steer motor takes the azimuth from, a SteerFeedbackType value
  /// (ModuleDeviceConfigs.hpp).
  int32_t FeedbackSource = 0;
  /// Configuration for the drive motor.
  DriveConfigT DriveMotorInitialConfigs;
  /// Configuration for the steer motor.
  SteerConfigT SteerMotorInitialConfigs;
  /// Configuration for the azimuth encoder.
  EncoderConfigT EncoderInitialConfigs;
  /// Rotational inertia of the azimuth, kilogram square metres (simulation).
  units::moment_of_inertia::kilogram_square_meter_t SteerInertia{0.0};
  /// Rotational inertia of the wheel, kilogram square metres (simulation).
  units::moment_of_inertia::kilogram_square_meter_t DriveInertia{0.0};
  /// Voltage needed to overcome the azimuth's friction, volts (simulation).
  units::voltage::volt_t SteerFrictionVoltage{0.0};
  /// Voltage needed to overcome the wheel's friction, volts (simulation).
  units::voltage::volt_t DriveFrictionVoltage{0.0};

  /// Sets SteerMotorId.
  SwerveModuleConstants& WithSteerMotorId(int32_t id) {
    SteerMotorId = id;
    return *this;
  }
  /// Sets DriveMotorId.
  SwerveModuleConstants& WithDriveMotorId(int32_t id) {
    DriveMotorId = id;
    return *this;
  }
  /// Sets EncoderId.
  SwerveModuleConstants& WithEncoderId(int32_t id) {
    EncoderId = id;
    return *this;
  }
  /// Sets EncoderOffset, turns.
  SwerveModuleConstants& WithEncoderOffset(units::angle::turn_t offset) {
    EncoderOffset = offset;
    return *this;
  }
  /// Sets LocationX, metres forward of the robot centre.
  SwerveModuleConstants& WithLocationX(units::length::meter_t x) {
    LocationX = x;
    return *this;
  }
  /// Sets LocationY, metres left of the robot centre.
  SwerveModuleConstants& WithLocationY(units::length::meter_t y) {
    LocationY = y;
    return *this;
  }
  /// Sets DriveMotorInverted.
  SwerveModuleConstants& WithDriveMotorInverted(bool inverted) {
    DriveMotorInverted = inverted;
    return *this;
  }
  /// Sets SteerMotorInverted.
  SwerveModuleConstants& WithSteerMotorInverted(bool inverted) {
    SteerMotorInverted = inverted;
    return *this;
  }
  /// Sets EncoderInverted.
  SwerveModuleConstants& WithEncoderInverted(bool inverted) {
    EncoderInverted = inverted;
    return *this;
  }

 private:
  friend SharedModuleSettings<SwerveModuleConstants>;
  SwerveModuleConstants& SharedFields() { return *this; }
};

}  // namespace kvor::zephrin6::swerve
