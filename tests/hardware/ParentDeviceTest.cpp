// The device base: identity, the signal cache, the firmware compatibility
// check and the control path, told as the stories a robot program lives.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/controls/DutyCycleOut.hpp>
#include <kvor/zephrin6/controls/EmptyControl.hpp>
#include <kvor/zephrin6/hardware/DeviceIdentifier.hpp>

#include <string>
#include <variant>

#include "signals/SignalTestDevice.hpp"
#include "support/RuntimeFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids::rapax_q;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::controls::DutyCycleOut;
using kvor::zephrin6::controls::EmptyControl;
using kvor::zephrin6::hardware::DeviceIdentifier;
using zephrin_test::SignalTestDevice;

class ParentDeviceTest : public zephrin_test::RuntimeTest {
 protected:
  // Registers a device before it is built so that a test can change how it
  // answers (absent, other compliancy) from construction on.
  static uint32_t Announce(int id, const char* bus) {
    uint32_t hash = 0;
    c_kvor_zephrin6_encode_device(id, "rapax q", bus, &hash);
    return hash;
  }
  static int CountReports(int code, const std::string& location) {
    int n = 0;
    for (const auto& r : harness::Reports()) n += (r.code == code && r.location == location) ? 1 : 0;
    return n;
  }
  static std::string LastControlFunction(uint32_t hash) {
    auto call = harness::LastControlCall(hash);
    return call ? call->function : "";
  }
};

// The device text names model, ID and bus, and the hash is the runtime's.
TEST_F(ParentDeviceTest, IdentifierTextAndHash) {
  struct Case {
    int id;
    const char* bus;
    const char* text;
  } cases[] = {{3, "drive", "rapax q 3 (\"drive\")"}, {0, "", "rapax q 0 (\"\")"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    DeviceIdentifier id{c.id, "rapax q", c.bus};
    EXPECT_EQ(id.ToString(), c.text);
    EXPECT_EQ(id.GetDeviceHash(), harness::DeviceHash(c.id, "rapax q", c.bus));
  }
  SignalTestDevice device{5, "fd"};
  EXPECT_EQ(device.GetDeviceIdentifier().ToString(), "rapax q 5 (\"fd\")");
  EXPECT_EQ(device.GetResetFlags().GetName(), "ResetFlags");
  EXPECT_EQ(device.GetResetFlags().GetStatus(), StatusCode::OK);
}

// The cache hands out one object per ID. A failed refresh is reported on a
// later lookup even when the first lookup asked not to report.
TEST_F(ParentDeviceTest, LookupsShareOneSignalAndReportLaterFailures) {
  SignalTestDevice device{1, ""};
  auto& first = device.LookupStatusSignal<int>(ids::kVersion, "Version", false, true);
  harness::SetDevicePresent(device.GetDeviceHash(), false);
  harness::ClearReports();
  auto& again = device.LookupStatusSignal<int>(ids::kVersion, "Version", false, false);
  EXPECT_EQ(&first, &again);
  EXPECT_TRUE(harness::Reports().empty());  // no refresh asked

  device.LookupStatusSignal<int>(ids::kFaultField, "FaultField", false, true);  // new signal, not reported
  EXPECT_TRUE(harness::Reports().empty());
  device.LookupStatusSignal<int>(ids::kVersion, "Version", false, true);  // existing signal: reported
  EXPECT_EQ(CountReports(StatusCode::RxTimeout, "rapax q 1 (\"\") Status Signal Version"), 1);
}

// An ID first looked up as int is not a bool: the shared error signal comes
// back (status -1002, name "Invalid", value 0) and nothing is reported.
TEST_F(ParentDeviceTest, LookupWithAnotherTypeGivesTheErrorSignal) {
  SignalTestDevice device{1, ""};
  auto& slot = device.LookupStatusSignal<int>(ids::kClosedLoopSlot, "ClosedLoopSlot", true, true);
  harness::ClearReports();
  auto& wrong = device.LookupStatusSignal<bool>(ids::kClosedLoopSlot, "ClosedLoopSlot", true, true);
  EXPECT_EQ(wrong.GetStatus(), StatusCode::InvalidParamValue);
  EXPECT_EQ(wrong.GetName(), "Invalid");
  EXPECT_FALSE(wrong.GetValue());
  EXPECT_EQ(&wrong, &device.LookupStatusSignal<bool>(ids::kClosedLoopSlot, "ClosedLoopSlot", true, false));
  EXPECT_TRUE(harness::Reports().empty());
  EXPECT_EQ(&slot, &device.LookupStatusSignal<int>(ids::kClosedLoopSlot, "ClosedLoopSlot", true, false));
}

// A device that answers late: nothing is reported for 3 s after
// construction; then its silence is reported at most every 0.25 s while the
// program keeps reading, controls still go out, and once it answers with the
// right version the check stops for good.
TEST_F(ParentDeviceTest, LateDeviceIsReportedAfterGraceThenRateLimited) {
  const uint32_t hash = Announce(4, "");
  harness::SetDevicePresent(hash, false);
  SignalTestDevice device{4, ""};
  auto& position = device.LookupStatusSignal<double>(ids::kPosition, "Position", true, false);
  const std::string deviceText = "rapax q 4 (\"\")";
  harness::ClearReports();

  // Reads every 1/16 s (exact in binary, so the 0.25 s gate is hit exactly).
  constexpr double kStep = 0.0625;
  for (int step = 0; step < 48; ++step) {  // t = 1.0 .. 3.9375
    position.Refresh(false);
    harness::AdvanceTime(kStep);
  }
  EXPECT_EQ(CountReports(StatusCode::CouldNotRetrieveV6Firmware, deviceText), 0);

  for (int step = 0; step < 16; ++step) {  // t = 4.0 .. 4.9375
    position.Refresh(false);
    harness::AdvanceTime(kStep);
  }
  EXPECT_EQ(CountReports(StatusCode::CouldNotRetrieveV6Firmware, deviceText), 4);

  // Controls are not held back by a silent device.
  EXPECT_EQ(device.SetControlPrivate(DutyCycleOut{0.5}), StatusCode::OK);
  EXPECT_EQ(LastControlFunction(hash), "c_kvor_zephrin6_RequestControlDutyCycleOut");

  harness::SetDevicePresent(hash, true);
  harness::AdvanceTime(0.25);
  position.Refresh(false);
  harness::SetDeviceCompliancy(hash, kvor::zephrin::unmanaged::GetApiCompliancy() + 1);
  harness::ClearReports();
  for (int step = 0; step < 10; ++step) {
    position.Refresh(false);
    harness::AdvanceTime(0.25);
  }
  EXPECT_TRUE(harness::Reports().empty());
}

// Firmware that speaks another API version blocks controls: the version error
// is reported with the device text, the control is reported as failed, only
// the empty control goes out and becomes the last control.
TEST_F(ParentDeviceTest, IncompatibleFirmwareBlocksControls) {
  struct Case {
    int offset;
    StatusCode expected;
  } cases[] = {{+1, StatusCode::ApiTooOld}, {-1, StatusCode::FirmwareTooOld}};
  int id = 10;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected.GetName());
    const uint32_t hash = Announce(id, "fd");
    harness::SetDeviceCompliancy(hash, kvor::zephrin::unmanaged::GetApiCompliancy() + c.offset);
    SignalTestDevice device{id, "fd"};
    const std::string deviceText = device.GetDeviceIdentifier().ToString();
    harness::ClearReports();

    EXPECT_EQ(device.SetControlPrivate(DutyCycleOut{0.5}), c.expected);
    EXPECT_EQ(LastControlFunction(hash), "c_kvor_zephrin6_RequestControlEmpty");
    EXPECT_EQ(CountReports(c.expected, deviceText), 1);
    EXPECT_EQ(CountReports(c.expected, deviceText + " Control Request DutyCycleOut"), 1);
    auto last = device.GetAppliedControl();
    ASSERT_NE(dynamic_cast<const EmptyControl*>(last.get()), nullptr);
    EXPECT_EQ(last->GetName(), "EmptyControl");

    // Within 0.25 s the version is not read or reported again, but the
    // control is still refused.
    EXPECT_EQ(device.SetControlPrivate(DutyCycleOut{0.1}), c.expected);
    EXPECT_EQ(CountReports(c.expected, deviceText), 1);
    ++id;
  }
}

// The control path: a request is sent and kept as the last control; an empty
// control keeps its own name; a failing send is reported with the request's
// name after the lock is released.
TEST_F(ParentDeviceTest, ControlsAreSentKeptAndFailuresReported) {
  SignalTestDevice device{1, "fd"};
  const uint32_t hash = device.GetDeviceHash();
  EXPECT_EQ(device.SetControlPrivate(DutyCycleOut{0.25}), StatusCode::OK);
  EXPECT_EQ(device.GetAppliedControl()->GetName(), "DutyCycleOut");

  EmptyControl stop;
  stop.name = "Stop";
  EXPECT_EQ(device.SetControlPrivate(stop), StatusCode::OK);
  EXPECT_EQ(device.GetAppliedControl()->GetName(), "Stop");
  EXPECT_EQ(LastControlFunction(hash), "c_kvor_zephrin6_RequestControlEmpty");

  harness::SetControlStatus(hash, StatusCode::TxFailed);
  harness::ClearReports();
  EXPECT_EQ(device.SetControlPrivate(DutyCycleOut{0.25}), StatusCode::TxFailed);
  ASSERT_EQ(harness::Reports().size(), 1u);
  EXPECT_EQ(harness::Reports()[0].location, "rapax q 1 (\"fd\") Control Request DutyCycleOut");
  EXPECT_TRUE(harness::Reports()[0].isError);
}

// Bus utilisation: unused signals stop, chosen ones keep their rate, and a
// reset restores the defaults.
TEST_F(ParentDeviceTest, OptimizeAndResetSignalFrequencies) {
  SignalTestDevice device{1, "fd"};
  auto& velocity = device.LookupStatusSignal<double>(ids::kVelocity, "Velocity", true, false);
  ASSERT_EQ(velocity.SetUpdateFrequency(units::frequency::hertz_t{200}), StatusCode::OK);
  EXPECT_EQ(device.OptimizeBusUtilization(), StatusCode::OK);
  EXPECT_EQ(harness::AppliedUpdateFrequency(device.GetDeviceHash(), ids::kVelocity), 200);
  EXPECT_EQ(harness::AppliedUpdateFrequency(device.GetDeviceHash(), ids::kPosition), 0);
  EXPECT_EQ(device.ResetSignalFrequencies(), StatusCode::OK);
  EXPECT_EQ(harness::AppliedUpdateFrequency(device.GetDeviceHash(), ids::kVelocity), 100);
  EXPECT_EQ(harness::AppliedUpdateFrequency(device.GetDeviceHash(), ids::kPosition), 100);
}

}  // namespace

// The applied control is a snapshot: later sends of the same type, or of the
// empty control under another name, never change what a caller holds, while
// the runtime and the next snapshot get the new request.
TEST_F(ParentDeviceTest, AppliedControlIsASnapshot) {
  SignalTestDevice device{1, "fd"};
  const auto output = [](const auto& request) { return dynamic_cast<const DutyCycleOut&>(*request).Output.value(); };
  device.SetControlPrivate(DutyCycleOut{0.25});
  const auto quarter = device.GetAppliedControl();
  device.SetControlPrivate(DutyCycleOut{0.5});
  device.SetControlPrivate(DutyCycleOut{0.75});
  EXPECT_EQ(output(quarter), 0.25);
  EXPECT_EQ(output(device.GetAppliedControl()), 0.75);
  EXPECT_EQ(std::get<double>(harness::LastControlCall(device.GetDeviceHash()).value().arguments.at(3)), 0.75);

  EmptyControl stop;
  stop.name = "Stop";
  device.SetControlPrivate(stop);
  const auto stopped = device.GetAppliedControl();
  stop.name = "Halt";
  device.SetControlPrivate(stop);
  EXPECT_EQ(stopped->GetName(), "Stop");
  EXPECT_EQ(device.GetAppliedControl()->GetName(), "Halt");
}
