// The module constants: exactly the ten configuration combinations are
// accepted, and the factory shares its settings with every module it
// creates while each module keeps its own IDs, offset, location and
// inversions.
#include <kvor/zephrin6/configs/Auklet2Configuration.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>

#include <gtest/gtest.h>

namespace {

namespace swerve = kvor::zephrin6::swerve;
using kvor::zephrin6::configs::AngulonConfiguration;
using kvor::zephrin6::configs::Auklet2Configuration;
using kvor::zephrin6::configs::PortisConfiguration;
using kvor::zephrin6::configs::RapaxQConfiguration;
using kvor::zephrin6::configs::RapaxWConfiguration;
using swerve::ValidSwerveModuleConfigs;

// Drive and steer are motor controllers; the encoder is an angulon, a portis,
// or the rapax w's own input when the steer motor is a rapax w.
static_assert(ValidSwerveModuleConfigs<RapaxQConfiguration, RapaxQConfiguration, AngulonConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxQConfiguration, RapaxQConfiguration, PortisConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxQConfiguration, RapaxWConfiguration, AngulonConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxQConfiguration, RapaxWConfiguration, PortisConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxQConfiguration, RapaxWConfiguration, RapaxWConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxWConfiguration, RapaxQConfiguration, AngulonConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxWConfiguration, RapaxQConfiguration, PortisConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxWConfiguration, RapaxWConfiguration, AngulonConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxWConfiguration, RapaxWConfiguration, PortisConfiguration>);
static_assert(ValidSwerveModuleConfigs<RapaxWConfiguration, RapaxWConfiguration, RapaxWConfiguration>);
static_assert(!ValidSwerveModuleConfigs<RapaxQConfiguration, RapaxQConfiguration, RapaxWConfiguration>);
static_assert(!ValidSwerveModuleConfigs<RapaxWConfiguration, RapaxQConfiguration, RapaxQConfiguration>);
static_assert(!ValidSwerveModuleConfigs<AngulonConfiguration, RapaxQConfiguration, AngulonConfiguration>);
static_assert(!ValidSwerveModuleConfigs<RapaxQConfiguration, Auklet2Configuration, AngulonConfiguration>);

TEST(SwerveModuleConstantsFactory, SharesSettingsAndKeepsEachModulesOwn) {
  using units::length::meter_t;
  swerve::SwerveModuleConstantsFactory<RapaxQConfiguration, RapaxWConfiguration, RapaxWConfiguration> factory;
  factory.WithDriveMotorGearRatio(6.75)
      .WithSteerMotorGearRatio(21.4)
      .WithCouplingGearRatio(3.5)
      .WithWheelRadius(meter_t{0.05})
      .WithSpeedAt12Volts(units::velocity::meters_per_second_t{4.7})
      .WithDriveMotorClosedLoopOutput(swerve::ClosedLoopOutputType::TorqueCurrentFOC)
      .WithSteerMotorGains(kvor::zephrin6::configs::Slot0Configs{}.WithkP(100));
  const auto left = factory.CreateModuleConstants(1, 2, 3, units::angle::turn_t{0.25}, meter_t{0.3}, meter_t{0.3},
                                                  false, true, false);
  factory.WithSpeedAt12Volts(units::velocity::meters_per_second_t{5.0});
  const auto right = factory.CreateModuleConstants(4, 5, 6, units::angle::turn_t{-0.1}, meter_t{0.3}, meter_t{-0.3},
                                                   true, false, true);

  for (const auto* module : {&left, &right}) {
    EXPECT_EQ(module->DriveMotorGearRatio, 6.75);
    EXPECT_EQ(module->SteerMotorGearRatio, 21.4);
    EXPECT_EQ(module->CouplingGearRatio, 3.5);
    EXPECT_EQ(module->WheelRadius.value(), 0.05);
    EXPECT_EQ(module->DriveMotorClosedLoopOutput, swerve::ClosedLoopOutputType::TorqueCurrentFOC);
    EXPECT_EQ(module->SteerMotorClosedLoopOutput, swerve::ClosedLoopOutputType::Voltage);
    EXPECT_EQ(module->SteerMotorGains.kP, 100);
    // The motor models follow the configuration types.
    EXPECT_EQ(module->DriveMotorType, swerve::MotorControllerType::RapaxQ);
    EXPECT_EQ(module->SteerMotorType, swerve::MotorControllerType::RapaxW);
  }
  EXPECT_EQ(left.SpeedAt12Volts.value(), 4.7) << "a module keeps the settings it was created with";
  EXPECT_EQ(right.SpeedAt12Volts.value(), 5.0);
  EXPECT_EQ(left.SteerMotorId, 1);
  EXPECT_EQ(left.DriveMotorId, 2);
  EXPECT_EQ(left.EncoderId, 3);
  EXPECT_EQ(left.EncoderOffset.value(), 0.25);
  EXPECT_TRUE(left.SteerMotorInverted);
  EXPECT_FALSE(left.DriveMotorInverted);
  EXPECT_EQ(right.SteerMotorId, 4);
  EXPECT_EQ(right.LocationY.value(), -0.3);
  EXPECT_TRUE(right.DriveMotorInverted);
  EXPECT_TRUE(right.EncoderInverted);
  EXPECT_EQ(factory.GetSharedSettings().SteerMotorId, 0) << "the factory's own settings carry no module's IDs";
}

}  // namespace
