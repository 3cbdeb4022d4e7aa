#include <kvor/zephrin6/configs/ExternalFeedbackConfigs.hpp>
#include <kvor/zephrin6/configs/FeedbackConfigs.hpp>
#include <kvor/zephrin6/configs/HardwareLimitSwitchConfigs.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Configs.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include "support/RuntimeFixture.hpp"

using namespace kvor::zephrin6::configs;
using kvor::zephrin6::hardware::core::CoreAngulon;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

namespace {
class DeviceConfigs : public zephrin_test::RuntimeTest {};
}  // namespace

// Each shortcut sets its source to the remote kind and its ID field to the
// given device's ID, leaving the other direction's fields alone.
TEST_F(DeviceConfigs, PointGroupsAtRemoteDevices) {
  CoreAngulon encoder(7, "drive");
  CoreRapaxQ leader(9, "drive");
  struct Row {
    const char* name;
    int source, id;
    int expectedSource, expectedId;
  };
  FeedbackConfigs remote, fused, sync;
  remote.WithRemoteAngulon(encoder);
  fused.WithFusedAngulon(encoder);
  sync.WithSyncAngulon(encoder);
  ExternalFeedbackConfigs external;
  external.WithFusedAngulon(encoder);
  HardwareLimitSwitchConfigs forward, reverse;
  forward.WithForwardLimitRemoteRapaxQ(leader);
  reverse.WithReverseLimitRemoteAngulon(encoder);
  const Row rows[] = {
      {"remote", remote.FeedbackSensorSource.value, remote.FeedbackRemoteSensorID, 1, 7},
      {"fused", fused.FeedbackSensorSource.value, fused.FeedbackRemoteSensorID, 5, 7},
      {"sync", sync.FeedbackSensorSource.value, sync.FeedbackRemoteSensorID, 6, 7},
      {"external fused", external.ExternalFeedbackSensorSource.value, external.FeedbackRemoteSensorID, 5, 7},
      {"forward rapax q", forward.ForwardLimitSource.value, forward.ForwardLimitRemoteSensorID, 1, 9},
      {"forward untouched", forward.ReverseLimitSource.value, forward.ReverseLimitRemoteSensorID, 0, 0},
      {"reverse angulon", reverse.ReverseLimitSource.value, reverse.ReverseLimitRemoteSensorID, 4, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.source, row.expectedSource);
    EXPECT_EQ(row.id, row.expectedId);
  }
  HardwareLimitSwitchConfigs both;
  both.WithForwardLimitRemoteAngulon(encoder).WithReverseLimitRemoteRapaxQ(leader);
  EXPECT_EQ(both.ForwardLimitSource, 4);
  EXPECT_EQ(both.ReverseLimitRemoteSensorID, 9);
}

// A robot program's view: configure a motor controller through the device,
// set its position and clear a fault, and read the effects back as signals.
TEST_F(DeviceConfigs, DeviceStoryThroughItsConfigurator) {
  CoreRapaxQ motor(3, "drive");
  kvor::zephrin6::configs::RapaxQConfiguration config;
  config.MotorOutput.WithNeutralMode(kvor::zephrin6::signals::NeutralModeValue::Brake);
  config.Slot0.WithkP(24).WithkV(0.12);
  ASSERT_EQ(motor.GetConfigurator().Apply(config), kvor::zephrin::StatusCode::OK);

  ASSERT_EQ(motor.SetPosition(2.5_tr), kvor::zephrin::StatusCode::OK);
  EXPECT_EQ(motor.GetPosition().GetValue(), 2.5_tr);

  uint32_t hash = motor.GetDeviceIdentifier().GetDeviceHash();
  harness::SetSimulatedValue(hash, kvor::zephrin::signal_ids::rapax_q::kStickyFault_Hardware, 1);
  EXPECT_TRUE(motor.GetStickyFault_Hardware().GetValue());
  ASSERT_EQ(motor.ClearStickyFault_Hardware(), kvor::zephrin::StatusCode::OK);
  EXPECT_FALSE(motor.GetStickyFault_Hardware().GetValue());

  kvor::zephrin6::configs::RapaxQConfiguration read;
  ASSERT_EQ(motor.GetConfigurator().Refresh(read), kvor::zephrin::StatusCode::OK);
  EXPECT_EQ(read.MotorOutput.NeutralMode, kvor::zephrin6::signals::NeutralModeValue::Brake);
  EXPECT_EQ(read.Slot0.kP, 24);
  EXPECT_EQ(harness::StoredConfigValue(hash, 2135), 0.12);
  EXPECT_TRUE(harness::Reports().empty());
}
