#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <thread>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>

#include "logging/LoggingFixture.hpp"
#include "wisp/WispReader.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::SignalLogger;
using kvor::zephrin6::WispReplay;
using kvor::zephrin::platform::MakeSignalKey;
using kvor::zephrin::platform::SignalMeasurement;
namespace harness = kvor::zephrin::runtime::harness;

using kvor::zephrin::signal_ids::rapax_q::kPosition;
using kvor::zephrin::signal_ids::rapax_q::kSupplyVoltage;
using kvor::zephrin::signal_ids::rapax_q::kVelocity;

class DeviceReplayTest : public zephrin_test::LoggingTest {
 protected:
  static uint32_t CreateDevice(int id, const char* model, const char* bus) {
    uint32_t hash = 0;
    EXPECT_EQ(c_kvor_zephrin6_encode_device(id, model, bus, &hash), 0);
    return hash;
  }

  static SignalMeasurement Read(uint32_t hash, uint16_t id, const char* bus) {
    const uint64_t key = MakeSignalKey(hash, id);
    SignalMeasurement m{};
    static_cast<void>(c_kvor_zephrin6_get_signal(1, &key, &m, bus, false, 0.0));  // m carries its own status
    return m;
  }

  // Two devices for 1 s: velocity constant, position ramping every 100 ms,
  // the supply voltage published by hand at t = 1.52 as a stale frame
  // without device time, and a user signal every 20 ms.
  std::string RecordRun() {
    return Record([&] {
      rapax_ = CreateDevice(3, "rapax q", "drivebus");
      angulon_ = CreateDevice(7, "angulon", "");
      harness::SetSimulatedValue(rapax_, kVelocity, 1.5);
      for (int step = 0; step < 50; ++step) {
        if (step % 5 == 0) harness::SetSimulatedValue(rapax_, kPosition, step * 0.1);
        if (step == 26) {
          harness::PublishSignal(angulon_, kSupplyVoltage, {12.25, 0, harness::Now(), harness::Now() - 0.002, 0.0, 1000});
        }
        EXPECT_EQ(SignalLogger::WriteDouble("loop", step), StatusCode::OK);
        harness::AdvanceTime(0.02);
      }
    });
  }

  uint32_t rapax_ = 0;
  uint32_t angulon_ = 0;
};

// Device signals come back from the log at the replay time with their
// values, reported IDs, timestamps and statuses, also in a fresh process
// that never created the devices.
TEST_F(DeviceReplayTest, DeviceSignalsReplayAtTheReplayTime) {
  const std::string file = RecordRun();
  const auto log = kvor::zephrin::runtime::wisp::WispReader::ReadFile(file);
  EXPECT_EQ(log.devices.size(), 2u);
  EXPECT_FALSE(log.signals.empty());

  const uint32_t rapax = rapax_, angulon = angulon_;
  harness::Reset();  // as a fresh process would start
  harness::SetReportEcho(false);
  harness::UseManualClock(500.0);
  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  ASSERT_EQ(WispReplay::StepTimingImpl(0.255), StatusCode::OK);  // t = 1.255

  const auto velocity = Read(rapax, kVelocity, "drivebus");
  EXPECT_EQ(velocity.status, 0);
  EXPECT_EQ(velocity.value, 1.5);
  EXPECT_EQ(velocity.reportedId, kVelocity);
  EXPECT_DOUBLE_EQ(velocity.systemTime, 1.25);
  const auto position = Read(rapax, kPosition, "drivebus");
  EXPECT_DOUBLE_EQ(position.value, 1.0);  // set to 1.0 at t = 1.2

  ASSERT_EQ(WispReplay::StepTimingImpl(0.5), StatusCode::OK);  // t = 1.755
  const auto voltage = Read(angulon, kSupplyVoltage, "");
  EXPECT_EQ(voltage.value, 12.25);
  EXPECT_EQ(voltage.status, 1000);
  EXPECT_EQ(voltage.deviceTime, 0.0);
  EXPECT_DOUBLE_EQ(voltage.systemTime - voltage.bustrelTime, 0.002);
  EXPECT_DOUBLE_EQ(Read(rapax, kPosition, "drivebus").value, 3.5);
  EXPECT_EQ(WispReplay::GetDoubleImpl("loop").value, 37.0);
  EXPECT_EQ(Read(0x1234, kVelocity, "drivebus").status, -1003);  // a device the log never saw
}

// A wait for a device signal ends exactly when the replay reaches the
// signal's next frame.
TEST_F(DeviceReplayTest, WaitEndsWhenTheReplayReachesTheNextFrame) {
  const std::string file = RecordRun();
  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  ASSERT_EQ(WispReplay::StepTimingImpl(0.101), StatusCode::OK);  // next 100 Hz frame at 1.11

  const uint64_t key = MakeSignalKey(rapax_, kVelocity);
  SignalMeasurement m{};
  int status = 1;
  std::thread waiter([&] { status = c_kvor_zephrin6_get_signal(1, &key, &m, "drivebus", true, 1.0); });
  harness::AwaitBlockedWaiters(1);
  ASSERT_EQ(WispReplay::StepTimingImpl(0.004), StatusCode::OK);  // 1.105: no frame yet
  ASSERT_EQ(WispReplay::StepTimingImpl(0.006), StatusCode::OK);  // 1.111: past the frame
  waiter.join();
  EXPECT_EQ(status, 0);
  EXPECT_DOUBLE_EQ(m.systemTime, 1.11);
  EXPECT_DOUBLE_EQ(kvor::zephrin6::utils::GetCurrentTimeSeconds(), 1.111);
}

// Replaying one log twice gives bit-identical reads at the same replay times.
TEST_F(DeviceReplayTest, ReplayIsDeterministic) {
  const std::string file = RecordRun();
  auto replay = [&] {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
    for (int step = 0; step < 300; ++step) {
      for (uint16_t id : {kVelocity, kPosition}) {
        const auto m = Read(rapax_, id, "drivebus");
        bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&m), reinterpret_cast<const uint8_t*>(&m + 1));
      }
      const auto loop = WispReplay::GetDoubleImpl("loop");
      bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&loop.value),
                   reinterpret_cast<const uint8_t*>(&loop.value + 1));
      EXPECT_EQ(WispReplay::StepTimingImpl(0.004), StatusCode::OK);
    }
    EXPECT_EQ(WispReplay::CloseFile(), StatusCode::OK);
    return bytes;
  };
  const auto first = replay();
  const auto second = replay();
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size()), 0);
}

}  // namespace

namespace {

// A value changed every 4 ms while the log records at 100 Hz: each frame in
// the log carries the value the live program read for that frame, none is
// missing, and a replay stepped to each frame's time reads it back.
TEST_F(DeviceReplayTest, EveryLoggedFrameMatchesTheLiveRead) {
  std::map<double, double> live;  // frame time -> value read live, after the log's start
  const double start = harness::Now();
  const std::string file = Record([&] {
    rapax_ = CreateDevice(3, "rapax q", "drivebus");
    for (int ms = 0; ms < 2000; ++ms) {
      if (ms % 4 == 0) harness::SetSimulatedValue(rapax_, kPosition, ms * 0.001 + 0.5);
      const SignalMeasurement m = Read(rapax_, kPosition, "drivebus");
      if (m.systemTime > start) live[m.systemTime] = m.value;
      harness::AdvanceTime(0.001);
    }
  });
  ASSERT_EQ(live.size(), 199u);  // 1.01 .. 2.99

  const auto log = kvor::zephrin::runtime::wisp::WispReader::ReadFile(file);
  std::map<double, double> logged;
  for (const auto& frame : log.frames) {
    if (frame.Key() == MakeSignalKey(rapax_, kPosition)) logged[frame.value.systemTime] = frame.value.value;
  }
  for (const auto& [time, value] : live) {
    SCOPED_TRACE(time);
    ASSERT_TRUE(logged.contains(time));
    EXPECT_EQ(logged[time], value);
  }

  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  for (const auto& [time, value] : live) {
    SCOPED_TRACE(time);
    const double step = time - kvor::zephrin6::utils::GetCurrentTimeSeconds();
    if (step > 0) {
      ASSERT_EQ(WispReplay::StepTimingImpl(step), StatusCode::OK);
    }
    EXPECT_EQ(Read(rapax_, kPosition, "drivebus").value, value);
  }
  EXPECT_EQ(WispReplay::CloseFile(), StatusCode::OK);
}

}  // namespace
