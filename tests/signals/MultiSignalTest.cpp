// Several signals read, waited for and configured together.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/signals/StatusSignal.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <memory>
#include <thread>
#include <vector>

#include "signals/SignalTestDevice.hpp"
#include "support/RuntimeFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids::rapax_q;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::BaseStatusSignal;
using kvor::zephrin6::StatusSignal;
using zephrin_test::SignalTestDevice;
using namespace units::literals;

using Position = StatusSignal<units::angle::turn_t>;

constexpr const char* kWaitForAll = "kvor::zephrin6::BaseStatusSignal::WaitForAll";
constexpr const char* kRefreshAll = "kvor::zephrin6::BaseStatusSignal::RefreshAll";

class MultiSignalTest : public zephrin_test::RuntimeTest {
 protected:
  static Position& PositionOf(SignalTestDevice& d) {
    return d.LookupStatusSignal<units::angle::turn_t>(ids::kPosition, "Position", true, false);
  }
};

// Preconditions are checked before any read: an empty list is -1002, signals
// on two buses are -10001; both are reported with the caller's location and
// leave the signals untouched.
TEST_F(MultiSignalTest, BadGroupsAreRefusedWithoutReading) {
  SignalTestDevice a{1, "fd"};
  SignalTestDevice b{2, "other"};
  harness::ClearReports();
  EXPECT_EQ(BaseStatusSignal::WaitForAll(0.1_s), StatusCode::InvalidParamValue);
  EXPECT_EQ(BaseStatusSignal::RefreshAll(PositionOf(a), PositionOf(b)), StatusCode::InvalidNetwork);
  EXPECT_EQ(PositionOf(a).GetStatus(), StatusCode::SigNotUpdated);
  EXPECT_EQ(PositionOf(b).GetStatus(), StatusCode::SigNotUpdated);
  auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].code, StatusCode::InvalidParamValue);
  EXPECT_EQ(reports[0].location, kWaitForAll);
  EXPECT_EQ(reports[1].code, StatusCode::InvalidNetwork);
  EXPECT_EQ(reports[1].location, kRefreshAll);
}

// RefreshAll fills signals of several devices from one read, in list order,
// whether passed as objects, pointers or a vector.
TEST_F(MultiSignalTest, RefreshAllFillsEverySignal) {
  SignalTestDevice a{1, "fd"};
  SignalTestDevice b{2, "fd"};
  harness::PublishSignal(a.GetDeviceHash(), ids::kPosition, {.value = 1.5});
  harness::PublishSignal(b.GetDeviceHash(), ids::kPosition, {.value = -3.0});
  EXPECT_EQ(BaseStatusSignal::RefreshAll(PositionOf(a), &PositionOf(b)), StatusCode::OK);
  EXPECT_EQ(PositionOf(a).GetValue(), 1.5_tr);
  EXPECT_EQ(PositionOf(b).GetValue(), -3.0_tr);

  harness::PublishSignal(b.GetDeviceHash(), ids::kPosition, {.value = 7.0});
  std::vector<BaseStatusSignal*> list{&PositionOf(b)};
  EXPECT_EQ(BaseStatusSignal::RefreshAll(list), StatusCode::OK);
  EXPECT_EQ(PositionOf(b).GetValue(), 7.0_tr);
}

// A synchronised wait on a CAN FD bus ends when the last signal's frame
// arrives, not before.
TEST_F(MultiSignalTest, WaitForAllEndsWhenTheLastSignalArrives) {
  SignalTestDevice a{1, "fd"};
  SignalTestDevice b{2, "fd"};
  Position& pa = PositionOf(a);
  Position& pb = PositionOf(b);
  harness::PublishSignal(a.GetDeviceHash(), ids::kPosition, {.value = 0.0});
  harness::PublishSignal(b.GetDeviceHash(), ids::kPosition, {.value = 0.0});
  StatusCode status;
  std::thread waiter([&] { status = BaseStatusSignal::WaitForAll(1_s, pa, pb); });
  harness::AwaitBlockedWaiters(1);
  harness::PublishSignal(a.GetDeviceHash(), ids::kPosition, {.value = 1.0});
  harness::AwaitBlockedWaiters(1);
  harness::PublishSignal(b.GetDeviceHash(), ids::kPosition, {.value = 2.0});
  waiter.join();
  EXPECT_EQ(status, StatusCode::OK);
  EXPECT_EQ(pa.GetValue(), 1.0_tr);
  EXPECT_EQ(pb.GetValue(), 2.0_tr);
}

// When one device stays silent the wait times out on the manual clock: the
// overall status is reported once, and each signal tells whether it is stale.
TEST_F(MultiSignalTest, WaitForAllTimesOutWhenADeviceIsAbsent) {
  SignalTestDevice a{1, "fd"};
  SignalTestDevice b{2, "fd"};
  harness::SetDevicePresent(b.GetDeviceHash(), false);
  harness::ClearReports();
  StatusCode status;
  std::thread waiter([&] { status = BaseStatusSignal::WaitForAll(0.1_s, PositionOf(a), PositionOf(b)); });
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.2);
  waiter.join();
  EXPECT_EQ(status, StatusCode::RxTimeout);
  EXPECT_EQ(PositionOf(a).GetStatus(), StatusCode::OK);
  EXPECT_EQ(PositionOf(b).GetStatus(), StatusCode::RxTimeout);
  auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].location, kWaitForAll);
  EXPECT_TRUE(reports[0].isError);
}

// Classic CAN cannot synchronise: the wait answers -10002 and reports it, but
// the signals still take the latest frames. A single signal is fine there.
TEST_F(MultiSignalTest, ClassicBusCannotSynchroniseButStillFills) {
  SignalTestDevice a{1, ""};
  SignalTestDevice b{2, ""};
  harness::PublishSignal(b.GetDeviceHash(), ids::kPosition, {.value = 4.0});
  harness::ClearReports();
  EXPECT_EQ(BaseStatusSignal::WaitForAll(0.1_s, PositionOf(a), PositionOf(b)), StatusCode::MultiSignalNotSupported);
  EXPECT_EQ(PositionOf(b).GetValue(), 4.0_tr);
  EXPECT_EQ(PositionOf(b).GetStatus(), StatusCode::OK);
  ASSERT_EQ(harness::Reports().size(), 1u);
  EXPECT_EQ(harness::Reports()[0].code, StatusCode::MultiSignalNotSupported);
  EXPECT_EQ(BaseStatusSignal::RefreshAll(PositionOf(a), PositionOf(b)), StatusCode::OK);

  std::thread waiter([&] { EXPECT_EQ(BaseStatusSignal::WaitForAll(1_s, PositionOf(a)), StatusCode::OK); });
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.01);
  waiter.join();
}

// Groups larger than the stack storage still work, and frequencies can be
// set for a whole group (of several devices) at once.
TEST_F(MultiSignalTest, LargeGroupsAndGroupFrequencies) {
  SignalTestDevice a{1, "fd"};
  SignalTestDevice b{2, "fd"};
  std::vector<BaseStatusSignal*> group;
  for (uint16_t id = ids::kFault_Hardware; id < ids::kFault_Hardware + 80; ++id) {
    group.push_back(&a.LookupStatusSignal<bool>(id, "Fault", true, false));
  }
  group.push_back(&PositionOf(b));
  // Every signal of the group, 81 in all, reads OK only where the device has it.
  EXPECT_EQ(BaseStatusSignal::RefreshAll(group), StatusCode::RxTimeout);
  EXPECT_EQ(group.front()->GetStatus(), StatusCode::OK);   // Fault_Hardware
  EXPECT_EQ(group[2]->GetStatus(), StatusCode::RxTimeout); // the ID after its sticky twin is no signal
  EXPECT_EQ(group.back()->GetStatus(), StatusCode::OK);

  EXPECT_EQ(BaseStatusSignal::SetUpdateFrequencyForAll(50_Hz, PositionOf(a), PositionOf(b)), StatusCode::OK);
  EXPECT_EQ(harness::AppliedUpdateFrequency(a.GetDeviceHash(), ids::kPosition), 50);
  EXPECT_EQ(harness::AppliedUpdateFrequency(b.GetDeviceHash(), ids::kPosition), 50);
  EXPECT_EQ(BaseStatusSignal::Status_SetUpdateFrequencyForAll(nullptr, 0, 10, 0.1), StatusCode::OK);
}

}  // namespace
