// Harness calls that set up a scene before any device object exists, and
// say so when a test asks about a device the runtime never heard of.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "support/RuntimeFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace platform = kvor::zephrin::platform;
namespace ids = kvor::zephrin::signal_ids;

class HarnessTest : public zephrin_test::RuntimeTest {};

// AddDevice makes a device absent or incompatible from the start, with the
// hash the device object will compute.
TEST_F(HarnessTest, AddDeviceSetsPresenceAndCompliancyUpFront) {
  const uint32_t absent = harness::AddDevice(1, "rapax q", "drive", false);
  EXPECT_EQ(absent, harness::DeviceHash(1, "rapax q", "drive"));
  const uint64_t key = platform::MakeSignalKey(absent, ids::rapax_q::kPosition);
  platform::SignalMeasurement record{};
  EXPECT_EQ(c_kvor_zephrin6_get_signal(1, &key, &record, "drive", false, 0.0), -1003);

  const uint32_t old = harness::AddDevice(2, "rapax q", "drive", true, 19);
  const uint64_t compliancy = platform::MakeSignalKey(old, ids::rapax_q::kCompliancy);
  EXPECT_EQ(c_kvor_zephrin6_get_signal(1, &compliancy, &record, "drive", false, 0.0), 0);
  EXPECT_EQ(record.value, 19);

  // Creating the device later keeps what the harness set.
  uint32_t hash = 0;
  c_kvor_zephrin6_encode_device(1, "rapax q", "drive", &hash);
  EXPECT_EQ(c_kvor_zephrin6_get_signal(1, &key, &record, "drive", false, 0.0), -1003);
}

// A caller about to wait can tell whether time moves by itself; a reset
// returns to the real clock.
TEST_F(HarnessTest, TellsWhichClockRuns) {
  EXPECT_TRUE(harness::IsManualClock());
  harness::UseRealClock();
  EXPECT_FALSE(harness::IsManualClock());
  harness::UseManualClock(5.0);
  EXPECT_TRUE(harness::IsManualClock());
  harness::Reset();
  EXPECT_FALSE(harness::IsManualClock());
}

// Changing a device nobody announced fails with a report that says why.
TEST_F(HarnessTest, UnknownDeviceIsReported) {
  EXPECT_FALSE(harness::SetDevicePresent(0x1234, false));
  EXPECT_FALSE(harness::SetDeviceCompliancy(0x1234, 3));
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_NE(reports[0].details.find("no device has hash 0x00001234"), std::string::npos);
  EXPECT_NE(reports[1].details.find("SetDeviceCompliancy"), std::string::npos);
}

}  // namespace
