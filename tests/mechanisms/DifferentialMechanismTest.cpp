// Differential mechanisms on simulated devices: configuration with retries,
// fault supervision and its latches, the requests each device receives, and
// the difference-sensor configuration for each sensor choice.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/Zephrin6.hpp>

#include "support/RuntimeFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::mechanisms::DifferentialMechanism;
using kvor::zephrin6::mechanisms::DifferentialMechanismBase;
using kvor::zephrin6::mechanisms::SimpleDifferentialMechanism;
using namespace kvor::zephrin6::controls;
using namespace kvor::zephrin6::hardware::core;
using kvor::zephrin6::hardware::ParentDevice;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

using Disabled = DifferentialMechanismBase::DisabledReason;
using Requires = DifferentialMechanismBase::RequiresUserReason;

namespace ids = kvor::zephrin::signal_ids::rapax_q;
constexpr int kSourceId = 2260;
constexpr int kRapaxQSensorId = 2261;
constexpr int kRemoteSensorId = 2262;
constexpr int kClearRemoteSensorReset = 10054;

std::string LastFunction(const ParentDevice& device) {
  auto call = harness::LastControlCall(device.GetDeviceHash());
  return call ? call->function : "";
}

class DifferentialMechanismTest : public zephrin_test::RuntimeTest {
 protected:
  // Sets a fault or flag signal of a device as its firmware would report it.
  void Signal(const ParentDevice& device, uint16_t id, double value) {
    harness::SetSimulatedValue(device.GetDeviceHash(), id, value);
    harness::AdvanceTime(0.3);  // past the next frame of a 4 Hz signal
  }

  // Built after the runtime is reset for the test, so that it knows them.
  void SetUp() override {
    RuntimeTest::SetUp();
    leaderDevice_ = std::make_unique<CoreRapaxQ>(1, "arm");
    followerDevice_ = std::make_unique<CoreRapaxQ>(2, "arm");
  }
  void TearDown() override {
    followerDevice_.reset();
    leaderDevice_.reset();
    RuntimeTest::TearDown();
  }
  CoreRapaxQ& Leader() { return *leaderDevice_; }
  CoreRapaxQ& Follower() { return *followerDevice_; }

 private:
  std::unique_ptr<CoreRapaxQ> leaderDevice_;
  std::unique_ptr<CoreRapaxQ> followerDevice_;
};

// The follower refuses its configuration on all five attempts of the first
// command: the command returns the follower's error, both devices go
// neutral, and the next command tries the configuration again.
TEST_F(DifferentialMechanismTest, FailedConfigurationLeavesBothDevicesNeutral) {
  DifferentialMechanism mechanism(Leader(), Follower(), true);
  harness::FailNextConfigCalls(Follower().GetDeviceHash(), 5, StatusCode::RxTimeout);

  EXPECT_EQ(mechanism.SetControl(VoltageOut{2_V}, PositionVoltage{0.1_tr}), StatusCode::RxTimeout);
  EXPECT_EQ(harness::ConfigCalls(Follower().GetDeviceHash()).size(), 5u);
  EXPECT_EQ(LastFunction(Leader()), "c_kvor_zephrin6_RequestControlNeutralOut");
  EXPECT_EQ(LastFunction(Follower()), "c_kvor_zephrin6_RequestControlNeutralOut");
  EXPECT_FALSE(mechanism.AreConfigsApplied());

  EXPECT_EQ(mechanism.SetControl(VoltageOut{2_V}, PositionVoltage{0.1_tr}), StatusCode::OK);
  EXPECT_TRUE(mechanism.AreConfigsApplied());
  EXPECT_EQ(LastFunction(Leader()), "c_kvor_zephrin6_RequestControlDiff_VoltageOut_Position");
  auto follow = harness::LastControlCall(Follower().GetDeviceHash());
  ASSERT_TRUE(follow.has_value());
  EXPECT_EQ(follow->function, "c_kvor_zephrin6_RequestControlDifferentialFollower");
  EXPECT_EQ(std::get<int>(follow->arguments[3]), 1);      // the leader's ID
  EXPECT_EQ(std::get<bool>(follow->arguments[4]), true);  // opposed, as constructed

  // ApplyConfigs(0) still makes one attempt per device.
  harness::FailNextConfigCalls(Leader().GetDeviceHash(), 3, StatusCode::RxTimeout);
  const size_t before = harness::ConfigCalls(Leader().GetDeviceHash()).size();
  EXPECT_EQ(mechanism.ApplyConfigs(0), StatusCode::RxTimeout);
  EXPECT_EQ(harness::ConfigCalls(Leader().GetDeviceHash()).size(), before + 1);
  EXPECT_FALSE(mechanism.AreConfigsApplied());
}

// Faults seen by Periodic(): a present fault disables only while it lasts;
// an overflow latches; when several faults come together the last one
// checked names the reason.
TEST_F(DifferentialMechanismTest, FaultsDisableWhileTheyLastAndOverflowLatches) {
  DifferentialMechanism mechanism(Leader(), Follower(), false);
  mechanism.Periodic();
  ASSERT_EQ(mechanism.SetControl(DutyCycleOut{0.2}, VelocityDutyCycle{1_tps}), StatusCode::OK);

  Signal(Follower(), ids::kFault_RemoteSensorDataInvalid, 1);
  mechanism.Periodic();
  EXPECT_TRUE(mechanism.IsDisabled());
  EXPECT_EQ(mechanism.GetDisabledReason(), Disabled::RemoteSensorDataInvalid);
  EXPECT_FALSE(mechanism.RequiresUserAction());
  EXPECT_EQ(mechanism.SetControl(DutyCycleOut{0.2}, VelocityDutyCycle{1_tps}), StatusCode::MechanismFaulted);
  EXPECT_EQ(LastFunction(Leader()), "c_kvor_zephrin6_RequestControlNeutralOut");
  EXPECT_EQ(LastFunction(Follower()), "c_kvor_zephrin6_RequestControlNeutralOut");

  Signal(Follower(), ids::kFault_RemoteSensorDataInvalid, 0);
  mechanism.Periodic();
  EXPECT_FALSE(mechanism.IsDisabled());
  EXPECT_EQ(mechanism.GetDisabledReason(), Disabled::None);
  EXPECT_EQ(mechanism.SetControl(DutyCycleOut{0.2}, VelocityDutyCycle{1_tps}), StatusCode::OK);

  Signal(Leader(), ids::kFault_RemoteSensorPosOverflow, 1);
  Signal(Leader(), ids::kFault_MissingDifferentialQ, 1);
  mechanism.Periodic();
  EXPECT_EQ(mechanism.GetDisabledReason(), Disabled::MissingDifferentialQ);
  EXPECT_EQ(mechanism.GetRequiresUserReason(), Requires::RemoteSensorPosOverflow);

  Signal(Leader(), ids::kFault_RemoteSensorPosOverflow, 0);
  Signal(Leader(), ids::kFault_MissingDifferentialQ, 0);
  mechanism.Periodic();
  EXPECT_TRUE(mechanism.IsDisabled());  // latched until the program clears it
  EXPECT_EQ(mechanism.SetStaticBrake(), StatusCode::OK);  // stopping is never gated
  EXPECT_EQ(LastFunction(Follower()), "c_kvor_zephrin6_RequestControlStaticBrake");
  mechanism.ClearUserRequirement();
  EXPECT_TRUE(mechanism.IsDisabled());  // Periodic decides
  mechanism.Periodic();
  EXPECT_FALSE(mechanism.IsDisabled());
  EXPECT_EQ(mechanism.GetRequiresUserReason(), Requires::None);
}

// A device reset (its reset flags change, or its reset sticky fault shows)
// latches until ClearUserRequirement, which also clears the sticky faults.
TEST_F(DifferentialMechanismTest, DeviceResetLatchesUntilCleared) {
  CoreAuklet2 imu(3, "arm");
  DifferentialMechanism mechanism(Leader(), Follower(), false, imu, DifferentialMechanism::ImuAxis::Pitch);
  mechanism.Periodic();
  ASSERT_FALSE(mechanism.IsDisabled());

  Signal(imu, ids::kResetFlags, 7);  // the IMU rebooted
  mechanism.Periodic();
  EXPECT_EQ(mechanism.GetDisabledReason(), Disabled::DeviceReset);
  EXPECT_EQ(mechanism.GetRequiresUserReason(), Requires::DeviceReset);
  mechanism.Periodic();  // the flags no longer change, but the latch holds
  EXPECT_TRUE(mechanism.IsDisabled());
  mechanism.ClearUserRequirement();
  mechanism.Periodic();
  EXPECT_FALSE(mechanism.IsDisabled());

  Signal(Leader(), ids::kStickyFault_RemoteSensorReset, 1);
  mechanism.Periodic();
  EXPECT_TRUE(mechanism.RequiresUserAction());
  mechanism.ClearUserRequirement();
  const auto calls = harness::ConfigCalls(Leader().GetDeviceHash());
  ASSERT_FALSE(calls.empty());
  EXPECT_TRUE(calls.back().actionFlag);
  EXPECT_NE(calls.back().text.find(std::to_string(kClearRemoteSensorReset)), std::string::npos);
  EXPECT_TRUE(harness::ConfigCalls(Follower().GetDeviceHash()).empty());  // it showed no sticky fault
  harness::AdvanceTime(0.3);
  mechanism.Periodic();
  EXPECT_FALSE(mechanism.IsDisabled());

  // A custom check replaces the default one and is consulted every loop.
  int asked = 0;
  DifferentialMechanismBase::ResetChecks checks;
  checks.sensor2 = [&asked] { return ++asked == 2; };
  DifferentialMechanism custom(Leader(), Follower(), false, checks);
  custom.Periodic();
  EXPECT_FALSE(custom.IsDisabled());
  custom.Periodic();
  EXPECT_EQ(custom.GetDisabledReason(), Disabled::DeviceReset);
  EXPECT_EQ(asked, 2);
}

// The leader's difference-sensor configuration for each sensor choice; the
// follower's is always cleared.
TEST_F(DifferentialMechanismTest, LeaderConfigurationNamesTheDifferenceSensor) {
  CoreAuklet2 imu(5, "arm");
  CoreAngulon encoder(6, "arm");
  struct Case {
    const char* name;
    std::function<std::unique_ptr<SimpleDifferentialMechanism>()> make;
    double source;
    double remoteId;
  };
  using Axis = DifferentialMechanismBase::ImuAxis;
  const Case cases[] = {
      {"no sensor", [&] { return std::make_unique<SimpleDifferentialMechanism>(Leader(), Follower(), false); }, 1, 0},
      {"imu roll",
       [&] { return std::make_unique<SimpleDifferentialMechanism>(Leader(), Follower(), false, imu, Axis::Roll); }, 4,
       5},
      {"imu yaw",
       [&] { return std::make_unique<SimpleDifferentialMechanism>(Leader(), Follower(), false, imu, Axis::Yaw); }, 2,
       5},
      {"encoder", [&] { return std::make_unique<SimpleDifferentialMechanism>(Leader(), Follower(), false, encoder); },
       5, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto mechanism = c.make();
    ASSERT_EQ(mechanism->ApplyConfigs(1), StatusCode::OK);
    EXPECT_EQ(harness::StoredConfigValue(Leader().GetDeviceHash(), kSourceId), c.source);
    EXPECT_EQ(harness::StoredConfigValue(Leader().GetDeviceHash(), kRemoteSensorId), c.remoteId);
    EXPECT_EQ(harness::StoredConfigValue(Leader().GetDeviceHash(), kRapaxQSensorId), 2.0);
    EXPECT_EQ(harness::StoredConfigValue(Follower().GetDeviceHash(), kSourceId), 0.0);
  }

  // An axis that names no IMU angle is refused before anything is sent.
  const size_t before = harness::ConfigCalls(Leader().GetDeviceHash()).size();
  SimpleDifferentialMechanism odd(Leader(), Follower(), false, imu, static_cast<Axis>(3));
  EXPECT_EQ(odd.SetControl(DifferentialVoltage{1_V}), StatusCode::InvalidParamValue);
  EXPECT_EQ(harness::ConfigCalls(Leader().GetDeviceHash()).size(), before);
  EXPECT_EQ(LastFunction(Leader()), "c_kvor_zephrin6_RequestControlNeutralOut");
}

// Alternating pairs switch compounds; each command carries its own setpoints
// (nothing left over from a reused compound) and the average request's
// update frequency.
TEST_F(DifferentialMechanismTest, EachCommandCarriesItsOwnPairAndFrequency) {
  DifferentialMechanism mechanism(Leader(), Follower(), false);
  struct Step {
    std::function<StatusCode()> send;
    const char* function;
    double frequency;
    double averageVolts;
  };
  const Step steps[] = {
      {[&] { return mechanism.SetControl(VoltageOut{1_V}.WithUpdateFreqHz(50_Hz), PositionVoltage{0.5_tr}); },
       "c_kvor_zephrin6_RequestControlDiff_VoltageOut_Position", 50, 1},
      {[&] { return mechanism.SetControl(VoltageOut{2_V}, VelocityVoltage{3_tps}); },
       "c_kvor_zephrin6_RequestControlDiff_VoltageOut_Velocity", 100, 2},
      {[&] { return mechanism.SetControl(VoltageOut{3_V}.WithUpdateFreqHz(0_Hz), PositionVoltage{0.25_tr}); },
       "c_kvor_zephrin6_RequestControlDiff_VoltageOut_Position", 0, 3},
      {[&] { return mechanism.SetControl(VoltageOut{4_V}.WithUpdateFreqHz(20_Hz), PositionVoltage{0.75_tr}); },
       "c_kvor_zephrin6_RequestControlDiff_VoltageOut_Position", 20, 4},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.averageVolts);
    ASSERT_EQ(step.send(), StatusCode::OK);
    auto call = harness::LastControlCall(Leader().GetDeviceHash());
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(call->function, step.function);
    EXPECT_EQ(std::get<double>(call->arguments[2]), step.frequency);
    EXPECT_EQ(std::get<double>(call->arguments[3]), step.averageVolts);
    EXPECT_EQ(LastFunction(Follower()), "c_kvor_zephrin6_RequestControlDifferentialFollower");
  }
  auto last = harness::LastControlCall(Leader().GetDeviceHash());
  EXPECT_EQ(std::get<double>(last->arguments[10]), 0.75);  // the difference position of the last command
}

// Both devices are always commanded; the leader's failure wins over the
// follower's. The simple mechanism sends the differential request unchanged.
TEST_F(DifferentialMechanismTest, BothDevicesAreCommandedAndTheLeaderFailureWins) {
  SimpleDifferentialMechanism mechanism(Leader(), Follower(), false);
  ASSERT_EQ(mechanism.ApplyConfigs(1), StatusCode::OK);

  harness::SetControlStatus(Follower().GetDeviceHash(), StatusCode::TxFailed);
  EXPECT_EQ(mechanism.SetControl(DifferentialVoltage{1_V}), StatusCode::TxFailed);
  harness::SetControlStatus(Leader().GetDeviceHash(), StatusCode::RxTimeout);
  harness::ClearControlCalls();
  EXPECT_EQ(mechanism.SetControl(DifferentialVoltage{1_V}), StatusCode::RxTimeout);
  EXPECT_EQ(harness::ControlCallCount(Follower().GetDeviceHash()), 1u);
  EXPECT_EQ(mechanism.SetCoastOut(), StatusCode::RxTimeout);
  EXPECT_EQ(LastFunction(Follower()), "c_kvor_zephrin6_RequestControlCoastOut");

  harness::SetControlStatus(Leader().GetDeviceHash(), 0);
  harness::SetControlStatus(Follower().GetDeviceHash(), 0);
  ASSERT_EQ(mechanism.SetControl(DifferentialPositionVoltage{1.5_tr}), StatusCode::OK);
  auto call = harness::LastControlCall(Leader().GetDeviceHash());
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->function, "c_kvor_zephrin6_RequestControlDifferentialPositionVoltage");
  EXPECT_EQ(std::get<double>(call->arguments[3]), 1.5);
}

// The default reset check answers true once per change of the reset flags
// and ignores reads that fail.
TEST_F(DifferentialMechanismTest, ResetFlagsCheckFiresOncePerChange) {
  auto check = DifferentialMechanismBase::MakeResetCheck(Leader());
  EXPECT_FALSE(check());  // the first read only learns the flags
  Signal(Leader(), ids::kResetFlags, 3);
  auto copy = check;
  EXPECT_TRUE(copy());
  EXPECT_FALSE(check());  // copies share what they saw
  harness::SetDevicePresent(Leader().GetDeviceHash(), false);
  harness::SetReportEcho(false);
  EXPECT_FALSE(check());
  harness::SetDevicePresent(Leader().GetDeviceHash(), true);
  Signal(Leader(), ids::kResetFlags, 4);
  EXPECT_TRUE(check());
}

}  // namespace
