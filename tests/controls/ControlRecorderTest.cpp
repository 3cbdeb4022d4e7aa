#include "controls/ControlRecorder.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <limits>
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

// Hundreds of devices, their hashes neighbours or far apart, keep their own
// calls however the recorder's look-up grows while they arrive; a device
// not seen yet has none.
TEST_F(ControlRecorderTest, ManyDevicesEachKeepTheirOwnCalls) {
  std::vector<std::uint32_t> hashes;
  for (std::uint32_t i = 0; i < 150; ++i) {
    hashes.push_back(i);
    hashes.push_back(0x80000000u + (i << 16));
  }
  for (int round = 0; round < 3; ++round) {
    for (std::uint32_t hash : hashes) c_kvor_zephrin6_RequestControlEmpty("can0", hash, hash * 3.0 + round);
  }
  for (std::uint32_t hash : hashes) {
    ASSERT_EQ(harness::ControlCallCount(hash), 3u) << hash;
    const auto last = harness::LastControlCall(hash);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->arguments[1], harness::ControlArgument{hash});
    EXPECT_EQ(last->arguments[2], harness::ControlArgument{hash * 3.0 + 2});
  }
  EXPECT_EQ(harness::ControlCallCount(150u), 0u);
  EXPECT_EQ(harness::ControlCallCount(0x80000000u + 1u), 0u);
}

// Sends go straight to the recorder of the newest runtime, without a lease:
// a sender racing with resets never records into a runtime already freed
// (run under the asan and tsan presets as well), and once the resets are
// over its calls land in the runtime the harness reads.
TEST_F(ControlRecorderTest, SendersRacingWithResetsReachTheNewestRuntime) {
  std::atomic<bool> stop{false};
  std::atomic<int> sent{0};
  std::thread sender([&] {
    while (!stop.load()) {
      (void)c_kvor_zephrin6_RequestControlEmpty("can0", 11u, 1.0);
      sent.fetch_add(1);
    }
  });
  for (int reset = 0; reset < 20; ++reset) {
    const int before = sent.load();
    while (sent.load() < before + 50) std::this_thread::yield();
    harness::Reset();
    harness::SetReportEcho(false);
  }
  stop.store(true);
  sender.join();
  const std::size_t afterResets = harness::ControlCallCount(11u);
  EXPECT_EQ(c_kvor_zephrin6_RequestControlEmpty("can0", 11u, 2.0), 0);
  EXPECT_EQ(harness::ControlCallCount(11u), afterResets + 1);
  const auto last = harness::LastControlCall(11u);
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->arguments[2], harness::ControlArgument{2.0});
}

// A slot reused by a call on another bus keeps that call's bus, whether the
// name is a prefix of the last one, longer, empty or missing.
TEST_F(ControlRecorderTest, EveryCallKeepsItsOwnBus) {
  const char* const buses[] = {"can0", "can", "can00", "", nullptr, "arm", "can0"};
  for (int lap = 0; lap < 20; ++lap) {
    for (const char* bus : buses) c_kvor_zephrin6_RequestControlEmpty(bus, 3u, 0.0);
  }
  const auto calls = harness::ControlCalls(3u);
  ASSERT_EQ(calls.size(), 64u);
  const std::size_t first = 140 - 64;  // the index of the oldest kept call
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const char* bus = buses[(first + i) % std::size(buses)];
    EXPECT_EQ(calls[i].arguments[0], harness::ControlArgument{std::string{bus != nullptr ? bus : ""}}) << i;
  }
}

// The firmware's side: each device's newest accepted call, devices in the
// order they first had one waiting, with every argument's type and value.
// A refused call (a number not finite, an injected status) is recorded but
// never handed over, and does not replace the accepted one before it.
TEST(ControlRecorderTakeTest, HandsOverTheNewestAcceptedCallOfEachDevice) {
  using kvor::zephrin::runtime::ControlRecorder;
  using Kind = kvor::zephrin::runtime::RecordedArg::Kind;
  ControlRecorder recorder;
  std::vector<ControlRecorder::AcceptedCall> taken;
  recorder.TakeAccepted(taken);
  EXPECT_TRUE(taken.empty());

  EXPECT_EQ(recorder.Record("second", "can0", 20u, 100.0, 1.5, true, 3), 0);
  EXPECT_EQ(recorder.Record("first", "can0", 10u, 50.0, -2.0, false, -4), 0);
  EXPECT_EQ(recorder.Record("second again", "can0", 20u, 0.0, 2.5, false, 7), 0);
  EXPECT_EQ(recorder.Record("not finite", "can0", 20u, 0.0, std::numeric_limits<double>::infinity(), true, 1),
            -1002);
  EXPECT_EQ(recorder.Record("not finite", "can0", 10u, std::numeric_limits<double>::quiet_NaN(), 0.0, true, 1),
            -1002);
  recorder.SetStatus(30u, -1001);
  EXPECT_EQ(recorder.Record("refused", "can0", 30u, 0.0, 1.0, true, 1), -1001);
  EXPECT_EQ(recorder.Count(20u), 3u);
  EXPECT_EQ(recorder.Count(30u), 1u);

  recorder.TakeAccepted(taken);
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_STREQ(taken[0].function, "second again");
  EXPECT_EQ(taken[0].deviceHash, 20u);
  EXPECT_STREQ(taken[1].function, "first");
  EXPECT_EQ(taken[1].deviceHash, 10u);
  EXPECT_GT(taken[0].sequence, taken[1].sequence);
  const auto args = taken[1].Args();
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(args[0].kind, Kind::Double);
  EXPECT_EQ(args[0].number, 50.0);
  EXPECT_EQ(args[1].number, -2.0);
  EXPECT_EQ(args[2].kind, Kind::Bool);
  EXPECT_FALSE(args[2].flag);
  EXPECT_EQ(args[3].kind, Kind::Int);
  EXPECT_EQ(args[3].number, -4.0);

  // Taken once: the next take is empty until another call is accepted.
  recorder.TakeAccepted(taken);
  EXPECT_TRUE(taken.empty());
  EXPECT_EQ(recorder.Record("again", "can0", 10u, 0.0, 0.0, true, 0), 0);
  recorder.TakeAccepted(taken);
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_STREQ(taken[0].function, "again");
  ASSERT_EQ(taken[0].Args().size(), 4u);
  EXPECT_EQ(taken[0].Args()[2].kind, Kind::Bool);
  EXPECT_TRUE(taken[0].Args()[2].flag);
  EXPECT_EQ(taken[0].Args()[2].number, 0.0);
  EXPECT_FALSE(taken[0].Args()[3].flag);

  // A take replaces whatever the vector still holds from the one before,
  // fewer calls or more: nothing of an earlier call stays. Whether a take
  // would hand anything over is known without one.
  EXPECT_FALSE(recorder.AnyAccepted());
  EXPECT_EQ(recorder.Record("one", "can0", 20u, 1.0, 2.0, false, 5), 0);
  EXPECT_EQ(recorder.Record("two", "can0", 10u, 3.0), 0);
  EXPECT_TRUE(recorder.AnyAccepted());
  recorder.TakeAccepted(taken);
  EXPECT_FALSE(recorder.AnyAccepted());
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_STREQ(taken[1].function, "two");
  ASSERT_EQ(taken[1].Args().size(), 1u);
  EXPECT_EQ(taken[1].Args()[0].number, 3.0);
  EXPECT_EQ(recorder.Record("three", "can0", 10u, 4.0, true), 0);
  recorder.TakeAccepted(taken);
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_STREQ(taken[0].function, "three");
  EXPECT_EQ(taken[0].deviceHash, 10u);
  ASSERT_EQ(taken[0].Args().size(), 2u);
  EXPECT_EQ(taken[0].Args()[0].number, 4.0);
  EXPECT_EQ(taken[0].Args()[1].kind, Kind::Bool);
  EXPECT_TRUE(taken[0].Args()[1].flag);
}
