// One status signal of a simulated device: typed values, timestamps, units,
// latency compensation, reporting and waiting on the manual clock.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/signals/ControlModeValue.hpp>
#include <kvor/zephrin6/signals/StatusSignal.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <cmath>
#include <functional>
#include <optional>
#include <thread>

#include "signals/SignalTestDevice.hpp"
#include "support/RuntimeFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids::rapax_q;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::StatusSignal;
using kvor::zephrin6::signals::ControlModeValue;
using zephrin_test::SignalTestDevice;
using namespace units::literals;

class StatusSignalTest : public zephrin_test::RuntimeTest {
 protected:
  // Built after the runtime's reset, so that the device is registered.
  void SetUp() override {
    RuntimeTest::SetUp();
    device_.emplace(1, "");
  }
  SignalTestDevice& Device() { return *device_; }
  uint32_t Hash() const { return device_->GetDeviceHash(); }

 private:
  std::optional<SignalTestDevice> device_;
};

// Before its first read a signal says so: -1200, value 0, no valid time; its
// units come from the runtime at creation.
TEST_F(StatusSignalTest, FreshSignalHasNotBeenRead) {
  auto& velocity =
      Device().LookupStatusSignal<units::angular_velocity::turns_per_second_t>(ids::kVelocity, "Velocity", true, false);
  EXPECT_EQ(velocity.GetStatus(), StatusCode::SigNotUpdated);
  EXPECT_EQ(velocity.GetValue().value(), 0.0);
  EXPECT_EQ(velocity.GetUnits(), "turns/s");
  EXPECT_EQ(velocity.GetName(), "Velocity");
  EXPECT_FALSE(velocity.GetAllTimestamps().GetSystemTimestamp().IsValid());
  EXPECT_EQ(velocity.GetTimestamp().GetSource(), kvor::zephrin6::SignalTimestampSource::System);
  EXPECT_EQ(velocity.GetTimestamp().GetTime().value(), 0.0);
}

// The stored double becomes T as a program expects: ints truncate toward
// zero, NaN is a true bool, quantities keep their own unit, enumerations
// take the truncated int.
TEST_F(StatusSignalTest, TypedValuesFollowTheStoredDouble) {
  struct Case {
    const char* what;
    uint16_t id;
    double published;
    std::function<void()> check;
  };
  auto& slot = Device().LookupStatusSignal<int>(ids::kClosedLoopSlot, "ClosedLoopSlot", true, false);
  auto& fault = Device().LookupStatusSignal<bool>(ids::kFault_Hardware, "Fault_Hardware", true, false);
  auto& position = Device().LookupStatusSignal<units::angle::turn_t>(ids::kPosition, "Position", true, false);
  auto& mode = Device().LookupStatusSignal<ControlModeValue>(ids::kControlMode, "ControlMode", true, false);
  const Case cases[] = {
      {"negative int", ids::kClosedLoopSlot, -2.7, [&] { EXPECT_EQ(slot.Refresh().GetValue(), -2); }},
      {"huge int saturates", ids::kClosedLoopSlot, 1e12, [&] { EXPECT_EQ(slot.Refresh().GetValue(), 2147483647); }},
      {"NaN bool", ids::kFault_Hardware, std::nan(""), [&] { EXPECT_TRUE(fault.Refresh().GetValue()); }},
      {"zero bool", ids::kFault_Hardware, 0.0, [&] { EXPECT_FALSE(fault.Refresh().GetValue()); }},
      {"turns", ids::kPosition, 1.25, [&] { EXPECT_EQ(position.Refresh().GetValue(), 1.25_tr); }},
      {"enumeration", ids::kControlMode, 3.9, [&] { EXPECT_EQ(mode.Refresh().GetValue().value, 3); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    harness::PublishSignal(Hash(), c.id, {.value = c.published});
    c.check();
  }
}

// Timestamps: a device time of 0 is absent, so the best timestamp falls back
// to the bus adapter's; latency compensation extrapolates by the sample's
// age, capped at the maximum.
TEST_F(StatusSignalTest, TimestampsAndLatencyCompensation) {
  auto& position = Device().LookupStatusSignal<units::angle::turn_t>(ids::kPosition, "Position", true, false);
  auto& velocity =
      Device().LookupStatusSignal<units::angular_velocity::turns_per_second_t>(ids::kVelocity, "Velocity", true, false);
  harness::SetTime(10.0);
  harness::PublishSignal(Hash(), ids::kPosition,
                         {.value = 1.0, .systemTime = 9.9, .bustrelTime = 9.5, .deviceTime = 0.0});
  harness::PublishSignal(Hash(), ids::kVelocity, {.value = 2.0});
  position.Refresh();
  velocity.Refresh();
  EXPECT_FALSE(position.GetAllTimestamps().GetDeviceTimestamp().IsValid());
  EXPECT_EQ(position.GetTimestamp().GetSource(), kvor::zephrin6::SignalTimestampSource::Bustrel);
  EXPECT_EQ(position.GetTimestamp().GetTime().value(), 9.5);

  // 0.5 s old: capped at 0.3 s.
  EXPECT_NEAR(StatusSignal<units::angle::turn_t>::GetLatencyCompensatedValue(position, velocity).value(), 1.6, 1e-12);
  // 0.1 s old: used as is.
  harness::PublishSignal(Hash(), ids::kPosition, {.value = 1.0, .deviceTime = 9.9});
  position.Refresh();
  EXPECT_NEAR(kvor::zephrin6::BaseStatusSignal::GetLatencyCompensatedValue(position, velocity).value(), 1.2, 1e-12);
}

// A mode-dependent signal takes the units of whichever of its IDs the device
// reports, keeps them for an ID outside its table, and keeps its own ID and name.
TEST_F(StatusSignalTest, ModeDependentUnitsFollowTheReportedId) {
  auto mapper = [] {
    return std::map<uint16_t, std::string>{
        {ids::kClosedLoopOutput, ""}, {ids::kClosedLoopOutput_Voltage, ""}, {ids::kClosedLoopOutput_TorqueCurrent, ""}};
  };
  auto& output = Device().LookupStatusSignal<double>(ids::kClosedLoopOutput, mapper, "ClosedLoopOutput", true, false);
  EXPECT_EQ(output.GetUnits(), "fractional");
  struct Step {
    uint16_t reported;
    const char* units;
  } steps[] = {{ids::kClosedLoopOutput_Voltage, "V"},
               {2090, "V"},  // no ID of this signal
               {ids::kClosedLoopOutput_TorqueCurrent, "A"},
               {ids::kClosedLoopOutput, "fractional"}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.reported);
    harness::PublishSignal(Hash(), ids::kClosedLoopOutput, {.value = 4.0, .reportedId = s.reported});
    EXPECT_EQ(output.Refresh().GetUnits(), s.units);
  }
  EXPECT_EQ(output.GetSignalId(), ids::kClosedLoopOutput);
  EXPECT_EQ(output.GetName(), "ClosedLoopOutput");
}

// Failed reads are stored; they are reported (errors and warnings) only when
// asked, with the signal's location.
TEST_F(StatusSignalTest, FailedReadsAreReportedOnlyWhenAsked) {
  auto& velocity =
      Device().LookupStatusSignal<units::angular_velocity::turns_per_second_t>(ids::kVelocity, "Velocity", true, false);
  harness::ClearReports();
  harness::SetDevicePresent(Hash(), false);
  velocity.Refresh(false);
  EXPECT_EQ(velocity.GetStatus(), StatusCode::RxTimeout);
  EXPECT_TRUE(harness::Reports().empty());

  velocity.Refresh();
  ASSERT_EQ(harness::Reports().size(), 1u);
  EXPECT_TRUE(harness::Reports()[0].isError);
  EXPECT_EQ(harness::Reports()[0].code, StatusCode::RxTimeout);
  EXPECT_EQ(harness::Reports()[0].location, "rapax q 1 (\"\") Status Signal Velocity");

  harness::SetDevicePresent(Hash(), true);
  harness::PublishSignal(Hash(), ids::kVelocity, {.value = 1.0, .status = StatusCode::CanMessageStale});
  velocity.Refresh();
  ASSERT_EQ(harness::Reports().size(), 2u);
  EXPECT_FALSE(harness::Reports()[1].isError);
  EXPECT_EQ(velocity.GetValue().value(), 1.0);  // a warning still carries the value
}

// WaitForUpdate returns with the next frame as soon as the manual clock
// reaches it, and times out with RxTimeout when the device stays silent.
TEST_F(StatusSignalTest, WaitForUpdateEndsOnTheNextFrame) {
  auto& velocity =
      Device().LookupStatusSignal<units::angular_velocity::turns_per_second_t>(ids::kVelocity, "Velocity", true, false);
  std::thread waiter([&] { velocity.WaitForUpdate(1_s); });
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.01);
  waiter.join();
  EXPECT_EQ(velocity.GetStatus(), StatusCode::OK);
  EXPECT_DOUBLE_EQ(velocity.GetTimestamp().GetTime().value(), 1.01);

  harness::SetDevicePresent(Hash(), false);
  waiter = std::thread([&] { velocity.WaitForUpdate(0.2_s, false); });
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.25);
  waiter.join();
  EXPECT_EQ(velocity.GetStatus(), StatusCode::RxTimeout);
}

// The text form shows name, value and units, and the status when a read failed.
TEST_F(StatusSignalTest, TextFormShowsNameValueUnits) {
  auto& velocity =
      Device().LookupStatusSignal<units::angular_velocity::turns_per_second_t>(ids::kVelocity, "Velocity", true, false);
  auto& fault = Device().LookupStatusSignal<bool>(ids::kFault_Hardware, "Fault_Hardware", true, false);
  harness::PublishSignal(Hash(), ids::kVelocity, {.value = 2.5});
  harness::PublishSignal(Hash(), ids::kFault_Hardware, {.value = 1.0});
  EXPECT_EQ(velocity.Refresh().ToString(), "Velocity: 2.5 turns/s");
  EXPECT_EQ(fault.Refresh().ToString(), "Fault_Hardware: true");
  harness::PublishSignal(Hash(), ids::kVelocity, {.value = 0.0, .status = StatusCode::RxTimeout});
  EXPECT_EQ(velocity.Refresh(false).ToString(), "Velocity: 0 turns/s [RxTimeout]");
}

// Update frequencies set through a signal reach the runtime and read back.
TEST_F(StatusSignalTest, UpdateFrequencyRoundTrips) {
  auto& velocity =
      Device().LookupStatusSignal<units::angular_velocity::turns_per_second_t>(ids::kVelocity, "Velocity", true, false);
  EXPECT_EQ(velocity.GetAppliedUpdateFrequency(), 100_Hz);
  EXPECT_EQ(velocity.SetUpdateFrequency(250_Hz), StatusCode::OK);
  EXPECT_EQ(velocity.GetAppliedUpdateFrequency(), 250_Hz);
  EXPECT_EQ(harness::AppliedUpdateFrequency(Hash(), ids::kVelocity), 250);
}

}  // namespace
