// The front ends configure a module's devices from its constants: what the
// devices store after the typed drivetrain and the C interface are built,
// and how a device that refuses is retried and reported without holding the
// construction up.
#include <kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrain.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "configs/internal/ConfigIds.hpp"
#include "support/RuntimeFixture.hpp"
#include "swerve/CInterfaceRig.hpp"

namespace {

using namespace swerve_rig;
namespace ids = kvor::zephrin6::configs::ids;
namespace signals = kvor::zephrin6::signals;
using Drivetrain =
    swerve::SwerveDrivetrain<configs::RapaxQConfiguration, configs::RapaxQConfiguration, configs::AngulonConfiguration>;

class ModuleDeviceConfigsTest : public zephrin_test::RuntimeTest {
 protected:
  static std::unique_ptr<Drivetrain> Build(const std::vector<ModuleConstants>& modules) {
    swerve::SwerveDrivetrainConstants constants;
    constants.WithCANBusName(kBus).WithAuklet2Id(kAuklet2Id);
    std::unique_ptr<Drivetrain> drivetrain;
    RunWhileTimePasses([&] {
      drivetrain = std::make_unique<Drivetrain>(constants, units::frequency::hertz_t{0.0},
                                                std::span<const ModuleConstants>(modules));
    });
    return drivetrain;
  }
  static void Destroy(std::unique_ptr<Drivetrain>& drivetrain) {
    RunWhileTimePasses([&] { drivetrain.reset(); });
  }
  static double Stored(uint32_t hash, int id) { return harness::StoredConfigValue(hash, id).value_or(-12345.0); }
  static uint32_t EncoderHash(std::size_t i) {
    return harness::DeviceHash(30 + static_cast<int>(i), "angulon", kBus);
  }
  static int ModuleReports(const std::string& what) {
    const auto reports = harness::Reports();
    return static_cast<int>(std::count_if(reports.begin(), reports.end(), [&](const harness::Report& report) {
      return report.location.find(what) != std::string::npos;
    }));
  }
};

// Every named field reaches its device, over the initial configuration the
// constants carry: the initial configs' own settings stay, and the named
// fields win where both set the same thing.
TEST_F(ModuleDeviceConfigsTest, TypedDrivetrainAppliesTheConstantsOverTheInitialConfigs) {
  std::vector<ModuleConstants> modules = SquareModules();
  ModuleConstants& module = modules[1];
  module.SteerMotorGains.WithkP(60.0).WithkD(0.5);
  module.DriveMotorGains.WithkV(0.12).WithkP(0.1);
  module.DriveMotorInitialConfigs.Slot0.kP = 99.0;                                       // overridden
  module.DriveMotorInitialConfigs.CurrentLimits.SupplyCurrentLimit = units::current::ampere_t{33.0};  // kept
  module.SteerMotorGearRatio = 12.8;
  module.DriveMotorInverted = true;
  module.SlipCurrent = units::current::ampere_t{80.0};
  module.EncoderOffset = units::angle::turn_t{0.25};
  module.EncoderInverted = true;
  module.FeedbackSource = static_cast<int32_t>(swerve::SteerFeedbackType::FusedEncoder);
  modules[2].SteerMotorGearRatio = 21.4;  // modules[0] keeps the rig's 0: no ratio
  auto drivetrain = Build(modules);

  EXPECT_EQ(Stored(SteerHash(1), ids::Slot0_kP), 60.0);
  EXPECT_EQ(Stored(SteerHash(1), ids::Slot0_kD), 0.5);
  EXPECT_EQ(Stored(SteerHash(1), ids::ClosedLoopGeneral_ContinuousWrap), 1.0);
  EXPECT_EQ(Stored(SteerHash(1), ids::Feedback_FeedbackSensorSource),
            static_cast<double>(signals::FeedbackSensorSourceValue::FusedAngulon));
  EXPECT_EQ(Stored(SteerHash(1), ids::Feedback_FeedbackRemoteSensorID), 31.0);
  EXPECT_EQ(Stored(SteerHash(1), ids::Feedback_RotorToSensorRatio), 12.8);
  EXPECT_EQ(Stored(SteerHash(1), ids::Feedback_SensorToMechanismRatio), 1.0);
  EXPECT_EQ(Stored(SteerHash(1), ids::MotorOutput_Inverted), 0.0);

  EXPECT_EQ(Stored(DriveHash(1), ids::Slot0_kP), 0.1);
  EXPECT_EQ(Stored(DriveHash(1), ids::Slot0_kV), 0.12);
  EXPECT_EQ(Stored(DriveHash(1), ids::MotorOutput_Inverted), 1.0);
  EXPECT_EQ(Stored(DriveHash(1), ids::CurrentLimits_StatorCurrentLimit), 80.0);
  EXPECT_EQ(Stored(DriveHash(1), ids::CurrentLimits_SupplyCurrentLimit), 33.0);

  EXPECT_EQ(Stored(EncoderHash(1), ids::MagnetSensor_MagnetOffset), -0.25);
  EXPECT_EQ(Stored(EncoderHash(1), ids::MagnetSensor_SensorDirection), 1.0);

  // A module left at the rotor sensor reports the azimuth through its
  // ratio; one without a steering ratio keeps the configuration's own (a
  // ratio of 0 would make every azimuth reading infinite).
  EXPECT_EQ(Stored(SteerHash(2), ids::Feedback_SensorToMechanismRatio), 21.4);
  EXPECT_EQ(Stored(SteerHash(0), ids::Feedback_FeedbackSensorSource),
            static_cast<double>(signals::FeedbackSensorSourceValue::RotorSensor));
  EXPECT_EQ(Stored(SteerHash(0), ids::Feedback_SensorToMechanismRatio), 1.0);
  EXPECT_EQ(ModuleReports("Swerve Module"), 0);
  Destroy(drivetrain);
}

// A device that refuses a few times is retried until it takes the
// configuration; one that keeps refusing is given up after kConfigAttempts
// tries, reported once with its module, and the drivetrain is built and
// runs all the same.
TEST_F(ModuleDeviceConfigsTest, RefusedConfigurationsAreRetriedThenReportedWithTheirModule) {
  harness::FailNextConfigCalls(SteerHash(0), swerve::kConfigAttempts - 1, kvor::zephrin::StatusCode::RxTimeout);
  harness::FailNextConfigCalls(DriveHash(2), 100, kvor::zephrin::StatusCode::RxTimeout);
  std::vector<ModuleConstants> modules = SquareModules();
  for (auto& module : modules) module.DriveMotorGains.WithkV(0.12);
  auto drivetrain = Build(modules);

  EXPECT_EQ(harness::ConfigCalls(SteerHash(0)).size(), static_cast<std::size_t>(swerve::kConfigAttempts));
  EXPECT_EQ(ModuleReports("Swerve Module 0"), 0) << "the last try took it";
  EXPECT_EQ(harness::ConfigCalls(DriveHash(2)).size(), static_cast<std::size_t>(swerve::kConfigAttempts));
  const std::string device = "rapax q " + std::to_string(DriveId(2)) + " (\"" + kBus + "\")";
  EXPECT_EQ(ModuleReports(device + " Swerve Module 2 Drive Motor Config"), 1);
  // The modules after the failing one are configured still.
  EXPECT_EQ(Stored(DriveHash(3), ids::Slot0_kV), 0.12);
  EXPECT_TRUE(drivetrain->GetOdometryThread().IsRunning());
  Destroy(drivetrain);
}

// The C interface configures the devices of the drivetrains it creates from
// the same constants, gains included.
TEST_F(ModuleDeviceConfigsTest, CInterfaceCreationConfiguresTheDevices) {
  _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants(kBus, kAuklet2Id);
  _swerve_module_constants_arr_t* modules = c_rig::SquareModuleConstants();
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_gains(modules, 3, 0, 45.0, 0.0, 0.25, 0.0, 0.0, 0.0), 0);
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_gains(modules, 3, 1, 0.1, 0.0, 0.0, 0.2, 0.11, 0.0), 0);
  // Refused: a motor that is neither, a gain that is not finite, an index
  // beyond the array; nothing is written.
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_gains(modules, 3, 2, 1.0, 0, 0, 0, 0, 0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_gains(modules, 3, 0, std::nan(""), 0, 0, 0, 0, 0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_gains(modules, 4, 0, 1.0, 0, 0, 0, 0, 0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_gains(nullptr, 0, 0, 1.0, 0, 0, 0, 0, 0), -1002);
  int id = 0;
  RunWhileTimePasses([&] { id = c_kvor_zephrin6_swerve_create_drivetrain(constants, modules, 4); });
  c_rig::Release(constants);
  c_rig::Release(modules);
  ASSERT_NE(id, 0);
  EXPECT_EQ(Stored(SteerHash(3), ids::Slot0_kP), 45.0);
  EXPECT_EQ(Stored(SteerHash(3), ids::Feedback_SensorToMechanismRatio), 12.8);
  EXPECT_EQ(Stored(DriveHash(3), ids::Slot0_kV), 0.11);
  EXPECT_EQ(Stored(DriveHash(3), ids::CurrentLimits_StatorCurrentLimit), 120.0);
  c_rig::Destroy(id);
}

}  // namespace
