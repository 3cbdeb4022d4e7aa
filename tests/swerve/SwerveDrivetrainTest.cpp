// The typed drivetrain a robot program uses: it runs its odometry as soon as
// it is built, its motors have the models of its configuration types, and
// SetControl keeps its own copy of the request it is given.
#include <kvor/zephrin6/swerve/SwerveDrivetrain.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/PointWheelsAt.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <memory>

#include "support/RuntimeFixture.hpp"
#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
namespace hardware = kvor::zephrin6::hardware;
using configs::RapaxWConfiguration;
using swerve::requests::FieldCentric;

class SwerveDrivetrainTest : public zephrin_test::RuntimeTest {
 protected:
  template <class Drivetrain, class... Modules>
  static std::unique_ptr<Drivetrain> Build(const Modules&... modules) {
    swerve::SwerveDrivetrainConstants constants;
    constants.WithCANBusName(kBus).WithAuklet2Id(kAuklet2Id);
    std::unique_ptr<Drivetrain> drivetrain;
    RunWhileTimePasses([&] { drivetrain = std::make_unique<Drivetrain>(constants, modules...); });
    return drivetrain;
  }
  template <class Drivetrain>
  static void Destroy(std::unique_ptr<Drivetrain>& drivetrain) {
    RunWhileTimePasses([&] { drivetrain.reset(); });
  }
};

// The motor views have the models of the configuration types, whatever the
// constants' motor types say.
TEST_F(SwerveDrivetrainTest, MotorsHaveTheModelsOfTheConfigurationTypes) {
  using Mixed = swerve::SwerveDrivetrain<configs::RapaxQConfiguration, RapaxWConfiguration, RapaxWConfiguration>;
  auto module = swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, RapaxWConfiguration,
                                                     RapaxWConfiguration>{}
                    .WithWheelRadius(meter_t{kWheelRadius})
                    .WithDriveMotorGearRatio(kDriveGearRatio)
                    .CreateModuleConstants(3, 4, 3, units::angle::turn_t{0.0}, meter_t{0.3}, meter_t{0.0}, false,
                                           false, false);
  module.WithSteerMotorType(swerve::MotorControllerType::RapaxQ);
  auto drivetrain = Build<Mixed>(module);
  EXPECT_TRUE(drivetrain->GetOdometryThread().IsRunning());
  ASSERT_EQ(drivetrain->GetModules().size(), 1u);
  hardware::core::CoreRapaxQ& drive = drivetrain->GetModule(0).GetDriveMotor();
  hardware::core::CoreRapaxW& steer = drivetrain->GetModule(0).GetSteerMotor();
  EXPECT_EQ(drive.GetDeviceID(), 4);
  EXPECT_EQ(steer.GetDeviceID(), 3);
  EXPECT_EQ(steer.GetModel(), "rapax w");
  EXPECT_EQ(drivetrain->GetAuklet2().GetDeviceID(), kAuklet2Id);
  Destroy(drivetrain);
}

// The drivetrain drives with its own copy of the request: changing the
// program's object does nothing until it is handed over again, and a request
// of another type replaces it.
TEST_F(SwerveDrivetrainTest, SetControlKeepsACopy) {
  using Drivetrain = swerve::SwerveDrivetrain<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                              configs::AngulonConfiguration>;
  auto drivetrain = Build<Drivetrain>(SquareModule(0), SquareModule(1), SquareModule(2), SquareModule(3));
  SampleStepper stepper;
  stepper.Attach(drivetrain->GetImpl());

  FieldCentric drive;
  drive.WithVelocityX(meters_per_second_t{1.0});
  drivetrain->SetControl(drive);
  drive.WithVelocityX(meters_per_second_t{2.0});
  stepper.Step();
  EXPECT_NEAR(DriveVolts(0), VoltsFor(1.0), 1e-9);

  drivetrain->SetControl(drive);
  stepper.Step();
  EXPECT_NEAR(DriveVolts(0), VoltsFor(2.0), 1e-9);

  drivetrain->SetControl(
      swerve::requests::PointWheelsAt{}.WithModuleDirection(swerve::Rotation2d(units::angle::degree_t{30.0})));
  stepper.Step();
  EXPECT_EQ(DriveVolts(0), 0.0);
  EXPECT_NEAR(SteerTurns(0), Turns(30.0), 1e-12);
  Destroy(drivetrain);
}

}  // namespace
