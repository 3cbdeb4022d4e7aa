// The simulated battery: its voltage sags by its resistance times the supply
// current the motor controllers publish, a weak one browns out and disables
// the controllers until it recovers, and a program that gives its own supply
// voltage never meets it.
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/swerve/requests/Idle.hpp>
#include <kvor/zephrin6/swerve/sim/SimBattery.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

#include "support/RuntimeFixture.hpp"
#include "swervesim/SimRig.hpp"

namespace {

using namespace swervesim_rig;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::controls::VoltageOut;
using kvor::zephrin6::signals::DeviceEnableValue;
using swerve::sim::SimBattery;
using units::current::ampere_t;
using units::impedance::ohm_t;
using units::voltage::volt_t;

constexpr int kRapaxQType = 5;

/// The sum of the supply currents every motor controller of the rig publishes, amperes.
double PublishedSupplyCurrent(SimRig& rig) {
  double amps = 0.0;
  for (const auto& module : rig.Drivetrain().GetModules()) {
    amps += module->GetDriveMotor().GetSupplyCurrent(true).GetValue().value();
    amps += module->GetSteerMotor().GetSupplyCurrent(true).GetValue().value();
  }
  return amps;
}

/// Every motor controller publishes the signals the tests read at every
/// firmware step, so that they read what the last step did.
void PublishEveryStep(SimRig& rig) {
  std::vector<kvor::zephrin6::BaseStatusSignal*> signals;
  for (const auto& module : rig.Drivetrain().GetModules()) {
    for (auto* motor : {&module->GetDriveMotor(), &module->GetSteerMotor()}) {
      signals.push_back(&motor->GetSupplyCurrent(false));
      signals.push_back(&motor->GetSupplyVoltage(false));
      signals.push_back(&motor->GetDeviceEnable(false));
      signals.push_back(&motor->GetMotorVoltage(false));
    }
  }
  ASSERT_EQ(kvor::zephrin6::BaseStatusSignal::SetUpdateFrequencyForAll(units::frequency::hertz_t{1000.0}, signals),
            StatusCode::OK);
}

void FullThrottle(SimRig& rig) {
  rig.Drivetrain().SetControl(swerve::requests::Idle{});
  for (const auto& module : rig.Drivetrain().GetModules()) module->GetDriveMotor().SetControl(VoltageOut{volt_t{12.0}});
}

using SimBatteryTest = zephrin_test::RuntimeTest;

// The loaded voltage is the open-circuit voltage less resistance times
// current, never below 0; braking current raises it; a current that is not
// a number is no load. Settings that make no sense are refused and change
// nothing.
TEST(SimBattery, SagsByResistanceTimesCurrent) {
  SimBattery battery;
  EXPECT_EQ(battery.GetVoltage().value(), 12.5);
  struct Case {
    double amps, volts;
    bool brownout;
  };
  for (const Case& c : {Case{100.0, 10.5, false}, Case{285.0, 6.8, false}, Case{300.0, 6.5, true},
                        Case{-50.0, 13.5, false}, Case{1e308, 0.0, true},
                        Case{std::numeric_limits<double>::quiet_NaN(), 12.5, false}}) {
    SCOPED_TRACE(c.amps);
    EXPECT_NEAR(battery.Draw(ampere_t{c.amps}).value(), c.volts, 1e-9);
    EXPECT_EQ(battery.IsBrownedOut(), c.brownout);
  }
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1.0};
  for (const double value : bad) {
    SCOPED_TRACE(value);
    EXPECT_EQ(battery.SetOpenCircuitVoltage(volt_t{value}), StatusCode::InvalidParamValue);
    EXPECT_EQ(battery.SetResistance(ohm_t{value}), StatusCode::InvalidParamValue);
    EXPECT_EQ(battery.SetBrownoutVoltage(volt_t{value}), StatusCode::InvalidParamValue);
  }
  EXPECT_EQ(battery.SetOpenCircuitVoltage(volt_t{0.0}), StatusCode::InvalidParamValue);
  EXPECT_EQ(battery.GetOpenCircuitVoltage().value(), 12.5);
  EXPECT_EQ(battery.GetResistance().value(), 0.02);
  EXPECT_EQ(battery.GetBrownoutVoltage().value(), 6.8);
  // New settings apply to the load at hand at once.
  static_cast<void>(battery.Draw(ampere_t{100.0}));
  ASSERT_EQ(battery.SetResistance(ohm_t{0.1}), StatusCode::OK);
  EXPECT_NEAR(battery.GetVoltage().value(), 2.5, 1e-9);
  EXPECT_TRUE(battery.IsBrownedOut());
}

// All four drive motors at full throttle from rest: at every step the
// voltage every device is fed is 12.5 V less 0.02 ohm times the supply
// currents the motor controllers publish, and it sags by volts.
TEST_F(SimBatteryTest, FullThrottleSagsByResistanceTimesPublishedCurrent) {
  SimRig rig;
  PublishEveryStep(rig);
  rig.UseBattery();
  FullThrottle(rig);
  double lowest = 12.5;
  rig.Run(0.3, [&](long tick) {
    if (tick <= 1) return;  // no update has drawn on the battery yet
    // Before a tick: what the last update drew and fed.
    const SimBattery battery = rig.Sim().GetBattery();
    EXPECT_NEAR(battery.GetVoltage().value(), 12.5 - 0.02 * PublishedSupplyCurrent(rig), 1e-6);
    EXPECT_EQ(harness::SimPhysicsInput(kRapaxQType, DriveId(0), "SupplyVoltage"), battery.GetVoltage().value());
    lowest = std::min(lowest, battery.GetVoltage().value());
  });
  EXPECT_LT(lowest, 10.0);
  EXPECT_FALSE(rig.Sim().GetBattery().IsBrownedOut());
  // The devices report it as their supply voltage.
  const double fed = rig.Sim().GetBattery().GetVoltage().value();
  rig.Run(0.001);
  auto& drive = rig.Drivetrain().GetModules()[0]->GetDriveMotor();
  EXPECT_NEAR(drive.GetSupplyVoltage(true).GetValue().value(), fed, 1e-6);
}

// A weak battery browns out at full throttle: while it lasts every motor
// controller is disabled and drives nothing; it recovers once they stop.
TEST_F(SimBatteryTest, WeakBatteryBrownsOutAndDisablesTheMotors) {
  SimRig rig;
  PublishEveryStep(rig);
  SimBattery weak;
  ASSERT_EQ(weak.SetResistance(ohm_t{0.1}), StatusCode::OK);
  rig.Sim().SetBattery(weak);
  rig.UseBattery();
  FullThrottle(rig);
  auto& drive = rig.Drivetrain().GetModules()[0]->GetDriveMotor();
  int brownouts = 0;
  bool disabledBefore = false;
  rig.Run(0.2, [&](long) {
    // Before a tick: the last update drew on the battery after a firmware
    // step; when the update before it browned out, that step ran disabled.
    const SimBattery battery = rig.Sim().GetBattery();
    if (disabledBefore) {
      EXPECT_EQ(drive.GetDeviceEnable(true).GetValue(), DeviceEnableValue::Disabled);
      EXPECT_EQ(drive.GetMotorVoltage(true).GetValue().value(), 0.0);
      EXPECT_NEAR(battery.GetCurrent().value(), 0.0, 1e-9);
    }
    disabledBefore = battery.IsBrownedOut();
    brownouts += disabledBefore ? 1 : 0;
  });
  EXPECT_GT(brownouts, 0);
  rig.Drivetrain().SetControl(swerve::requests::Idle{});
  for (const auto& module : rig.Drivetrain().GetModules()) module->GetDriveMotor().SetControl(VoltageOut{volt_t{0.0}});
  rig.Run(0.5);
  EXPECT_FALSE(rig.Sim().GetBattery().IsBrownedOut());
  EXPECT_EQ(drive.GetDeviceEnable(true).GetValue(), DeviceEnableValue::Enabled);
}

// With the program's own supply voltage the battery is neither drawn on nor
// allowed to disable anything, however hard the motors pull.
TEST_F(SimBatteryTest, GivenVoltageLeavesTheBatteryAlone) {
  SimRig rig;
  SimBattery weak;
  ASSERT_EQ(weak.SetResistance(ohm_t{1.0}), StatusCode::OK);
  rig.Sim().SetBattery(weak);
  FullThrottle(rig);
  rig.Run(0.1);
  EXPECT_EQ(rig.Sim().GetBattery().GetVoltage().value(), 12.5);
  EXPECT_FALSE(harness::SimPhysicsInput(kRapaxQType, DriveId(0), "DeviceEnable").has_value());
  EXPECT_EQ(harness::SimPhysicsInput(kRapaxQType, DriveId(0), "SupplyVoltage"), 12.0);
}

}  // namespace
