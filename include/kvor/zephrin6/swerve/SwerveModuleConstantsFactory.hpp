#pragma once

// SwerveModuleConstantsFactory holds the settings that every module of a
// drivetrain shares (gear ratios, wheel radius, gains, closed-loop outputs,
// slip current, speed at 12 V, motor types, initial configurations,
// inertias, friction voltages) and creates each module's constants from
// what differs per module: its CAN IDs, encoder offset, location and
// inversions. Set the shared values once with the With... setters, then call
// CreateModuleConstants for each corner:
//
//   auto factory = SwerveModuleConstantsFactory<RapaxQConfiguration, RapaxQConfiguration, AngulonConfiguration>{}
//                      .WithDriveMotorGearRatio(6.75)
//                      .WithWheelRadius(0.05_m)
//                      .WithSpeedAt12Volts(4.7_mps);
//   auto frontLeft = factory.CreateModuleConstants(1, 2, 3, 0.12_tr, 0.3_m, 0.3_m, false, true, false);
//
// The motor types start as the models of the template arguments. A plain
// value; copy it freely, it is not synchronised.

#include <kvor/zephrin6/swerve/SharedModuleSettings.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <cstdint>

namespace kvor::zephrin6::swerve {

template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
class SwerveModuleConstantsFactory
    : public SharedModuleSettings<SwerveModuleConstantsFactory<DriveConfigT, SteerConfigT, EncoderConfigT>> {
 public:
  using Constants = SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>;

  /// The constants of one module: the shared settings plus the given IDs,
  /// encoder offset (turns), location (metres forward and left of the robot
  /// centre) and inversions.
  Constants CreateModuleConstants(int32_t steerMotorId, int32_t driveMotorId, int32_t encoderId,
                                  units::angle::turn_t encoderOffset, units::length::meter_t locationX,
                                  units::length::meter_t locationY, bool driveMotorInverted,
                                  bool steerMotorInverted, bool encoderInverted) const {
    Constants constants = shared_;
    constants.WithSteerMotorId(steerMotorId)
        .WithDriveMotorId(driveMotorId)
        .WithEncoderId(encoderId)
        .WithEncoderOffset(encoderOffset)
        .WithLocationX(locationX)
        .WithLocationY(locationY)
        .WithDriveMotorInverted(driveMotorInverted)
        .WithSteerMotorInverted(steerMotorInverted)
        .WithEncoderInverted(encoderInverted);
    return constants;
  }

  /// The shared settings so far, as the constants every module starts from
  /// (IDs, offset, location and inversions at zero).
  const Constants& GetSharedSettings() const { return shared_; }

 private:
  friend SharedModuleSettings<SwerveModuleConstantsFactory>;
  Constants& SharedFields() { return shared_; }

  Constants shared_;
};

}  // namespace kvor::zephrin6::swerve
