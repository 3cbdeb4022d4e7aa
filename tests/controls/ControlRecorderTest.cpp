#include "controls/ControlRecorder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <kvor/zephrin/platform/ControlRequests.hpp>

#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;

namespace {
class ControlRecorderTest : public zephrin_test::RuntimeTest {};
}  // namespace

// A device keeps only its last 64 calls, oldest first, while the count goes on;
// other devices are unaffected and clearing forgets everything.
TEST_F(ControlRecorderTest, KeepsLastCallsPerDeviceOldestFirst) {
  for (int i = 0; i < 70; ++i) c_kvor_zephrin6_RequestControlEmpty("can0", 7u, i);
  c_kvor_zephrin6_RequestControlEmpty("", 8u, 0.5);

  auto calls = harness::ControlCalls(7u);
  ASSERT_EQ(calls.size(), 64u);
  EXPECT_EQ(std::get<double>(calls.front().arguments[2]), 6.0);
  EXPECT_EQ(std::get<double>(calls.back().arguments[2]), 69.0);
  EXPECT_EQ(harness::ControlCallCount(7u), 70u);

  auto last = harness::LastControlCall(8u);
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->function, "c_kvor_zephrin6_RequestControlEmpty");
  ASSERT_EQ(last->arguments.size(), 3u);
  EXPECT_EQ(last->arguments[0], harness::ControlArgument{std::string{}});
  EXPECT_EQ(last->arguments[1], harness::ControlArgument{8u});
  EXPECT_EQ(harness::ToString(*last), "c_kvor_zephrin6_RequestControlEmpty(\"\", 0x00000008, 0.5)");

  harness::ClearControlCalls();
  EXPECT_TRUE(harness::ControlCalls(7u).empty());
  EXPECT_FALSE(harness::LastControlCall(8u).has_value());
  EXPECT_EQ(harness::ControlCallCount(7u), 0u);
  EXPECT_FALSE(harness::LastControlCall(99u).has_value());
}

// The longest request keeps every argument with its own type and value,
// however the recorder packs its ring: doubles bit for bit, ints with their
// sign, flags both ways.
TEST_F(ControlRecorderTest, LongestCallKeepsEveryArgumentAndType) {
  EXPECT_EQ(c_kvor_zephrin6_RequestControlDiff_PositionVoltage_Velocity(
                "can0", 9u, 100.0, -1.25e-300, 0.1, true, -7.5, 2, false, true, false, true, false, 3.0, -4.0,
                false, 0.0625, -1, true, false, true, false, true),
            0);
  const auto last = harness::LastControlCall(9u);
  ASSERT_TRUE(last.has_value());
  const std::vector<harness::ControlArgument> expected{
      std::string{"can0"}, 9u, 100.0, -1.25e-300, 0.1, true, -7.5, 2, false, true, false, true, false, 3.0, -4.0,
      false, 0.0625, -1, true, false, true, false, true};
  EXPECT_EQ(last->arguments, expected);
}

// An injected status comes back from every entry point of that device until
// Reset, and the call is still recorded.
TEST_F(ControlRecorderTest, InjectedStatusIsReturnedUntilReset) {
  harness::SetControlStatus(5u, -1001);
  EXPECT_EQ(c_kvor_zephrin6_RequestControlEmpty("can0", 5u, 0.0), -1001);
  EXPECT_EQ(c_kvor_zephrin6_RequestControlEmpty("can0", 6u, 0.0), 0);
  EXPECT_EQ(harness::ControlCallCount(5u), 1u);
  harness::Reset();
  EXPECT_EQ(c_kvor_zephrin6_RequestControlEmpty("can0", 5u, 0.0), 0);
}

// Devices sent to from several threads at once keep every call (run under
// the tsan preset as well).
TEST_F(ControlRecorderTest, ConcurrentSendersLoseNoCalls) {
  std::vector<std::thread> threads;
  for (std::uint32_t t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 500; ++i) c_kvor_zephrin6_RequestControlEmpty("can0", 100u + t % 2, i);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(harness::ControlCallCount(100u), 1000u);
  EXPECT_EQ(harness::ControlCallCount(101u), 1000u);
  EXPECT_EQ(harness::ControlCalls(100u).size(), 64u);
}
