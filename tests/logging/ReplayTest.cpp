#include <gtest/gtest.h>

#include <thread>

#include <array>
#include <cstring>
#include <stdexcept>

#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include "logging/LoggingFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::SignalLogger;
using kvor::zephrin6::WispReplay;
namespace harness = kvor::zephrin::runtime::harness;
using kvor::zephrin6::utils::GetCurrentTimeSeconds;
using namespace units::literals;

class ReplayTest : public zephrin_test::LoggingTest {
 protected:
  // A log from t = 1 to t = 3 with a double sample every 0.5 s ("x" = t).
  std::string RecordRamp() {
    return Record([] {
      for (int i = 0; i <= 4; ++i) {
        if (i > 0) harness::AdvanceTime(0.5);
        EXPECT_EQ(SignalLogger::WriteDouble("x", harness::Now(), "s"), StatusCode::OK);
      }
    });
  }
};

// Every user-signal type comes back with its value, units, type and the
// sample time (write time minus latency).
TEST_F(ReplayTest, EveryUserSignalTypeRoundTrips) {
  const std::array<uint8_t, 3> raw = {0, 255, 9};
  const std::array<bool, 3> flags = {true, false, true};
  const std::array<int64_t, 2> ints = {-5, int64_t{1} << 40};
  const std::array<float, 2> floats = {0.5f, -2.25f};
  const std::array<double, 3> doubles = {1e-9, -0.0, 3.5};
  const std::array<units::length::meter_t, 2> lengths = {1.5_m, 2.0_m};
  const std::string file = Record([&] {
    harness::AdvanceTime(0.25);  // t = 1.25
    EXPECT_EQ(SignalLogger::WriteRaw("raw", raw), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteBoolean("bool", true, 0.05_s), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteInteger("int", -1234567890123, "ticks"), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteFloat("float", 1.5f, "V"), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteDouble("double", 0.1, "A", 0.125_s), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteString("string", "auto: left"), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteBooleanArray("bools", flags), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteIntegerArray("ints", ints, "ticks"), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteFloatArray("floats", floats, "deg"), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteDoubleArray("doubles", doubles, "m"), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteValue("arm", 90_deg), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteValues<units::length::meter_t>("lengths", lengths), StatusCode::OK);
    harness::AdvanceTime(0.25);
  });

  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  ASSERT_EQ(WispReplay::StepTiming(0.5_s), StatusCode::OK);

  const auto r = WispReplay::GetRawImpl("raw");
  EXPECT_EQ(r.status, StatusCode::OK);
  EXPECT_EQ(r.value, std::vector<uint8_t>(raw.begin(), raw.end()));
  EXPECT_EQ(r.units, "");
  EXPECT_EQ(r.timestamp, 1.25);
  EXPECT_EQ(r.name, "raw");

  const auto b = WispReplay::GetBooleanImpl("bool");
  EXPECT_TRUE(b.value);
  EXPECT_EQ(b.timestamp, 1.25 - 0.05);
  const auto i = WispReplay::GetIntegerImpl("int");
  EXPECT_EQ(i.value, -1234567890123);
  EXPECT_EQ(i.units, "ticks");
  EXPECT_EQ(WispReplay::GetFloatImpl("float").value, 1.5f);
  const auto d = WispReplay::GetDoubleImpl("double");
  EXPECT_EQ(d.value, 0.1);
  EXPECT_EQ(d.units, "A");
  EXPECT_EQ(d.GetTimestamp(), units::time::second_t{1.125});
  EXPECT_EQ(WispReplay::GetStringImpl("string").value, "auto: left");
  EXPECT_EQ(WispReplay::GetBooleanArrayImpl("bools").value, (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_EQ(WispReplay::GetIntegerArrayImpl("ints").value, std::vector<int64_t>(ints.begin(), ints.end()));
  EXPECT_EQ(WispReplay::GetFloatArrayImpl("floats").value, std::vector<float>(floats.begin(), floats.end()));
  const auto ds = WispReplay::GetDoubleArrayImpl("doubles");
  ASSERT_EQ(ds.value.size(), 3u);
  EXPECT_TRUE(std::signbit(ds.value[1]));  // bit-exact, not merely equal
  EXPECT_EQ(ds.units, "m");

  const auto arm = WispReplay::GetValue<units::angle::degree_t>("arm");
  EXPECT_EQ(arm.status, StatusCode::OK);
  EXPECT_EQ(arm.value, 90_deg);
  EXPECT_EQ(WispReplay::GetValues<units::length::meter_t>("lengths").value,
            std::vector<units::length::meter_t>(lengths.begin(), lengths.end()));
  EXPECT_EQ(WispReplay::GetValue<units::angle::radian_t>("arm").status, StatusCode::InvalidParamValue);
}

// Reading a signal with the wrong reader, or one the log lacks, yields the
// defaults with a status saying why.
TEST_F(ReplayTest, MistypedOrMissingReadsYieldDefaults) {
  const std::string file = Record([] {
    EXPECT_EQ(SignalLogger::WriteInteger("int", 7, "ticks"), StatusCode::OK);
    EXPECT_EQ(SignalLogger::WriteDoubleArray("doubles", std::array<double, 1>{1.0}), StatusCode::OK);
    harness::AdvanceTime(0.1);
  });
  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  ASSERT_EQ(WispReplay::StepTimingImpl(0.1), StatusCode::OK);

  const auto asDouble = WispReplay::GetDoubleImpl("int");
  EXPECT_EQ(asDouble.status, StatusCode::InvalidParamValue);
  EXPECT_EQ(asDouble.name, "int");
  EXPECT_EQ(asDouble.value, 0.0);
  EXPECT_EQ(asDouble.units, "");
  EXPECT_EQ(asDouble.timestamp, 0.0);
  const auto asArray = WispReplay::GetIntegerArrayImpl("doubles");
  EXPECT_EQ(asArray.status, StatusCode::InvalidParamValue);
  EXPECT_TRUE(asArray.value.empty());

  const auto missing = WispReplay::GetBooleanImpl("nobody wrote this");
  EXPECT_EQ(missing.status, StatusCode::NotFound);
  EXPECT_FALSE(missing.value);
}

// The replay clock is the runtime's clock while a log is loaded: it starts
// paused at the log's start, steps exactly, plays scaled by the speed,
// stops at the end, rewinds on Stop and hands time back on close.
TEST_F(ReplayTest, ReplayClockDrivesRuntimeTime) {
  const std::string file = RecordRamp();
  harness::SetTime(50.0);
  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  EXPECT_TRUE(WispReplay::IsFileLoaded());
  EXPECT_EQ(GetCurrentTimeSeconds(), 1.0);
  EXPECT_EQ(WispReplay::GetDoubleImpl("x").value, 1.0);

  EXPECT_EQ(WispReplay::StepTimingImpl(0.004), StatusCode::OK);
  EXPECT_EQ(GetCurrentTimeSeconds(), 1.004);
  EXPECT_FALSE(WispReplay::WaitForPlayingImpl(0.0));

  ASSERT_EQ(WispReplay::Play(), StatusCode::OK);
  EXPECT_TRUE(WispReplay::WaitForPlaying(0_s));
  EXPECT_EQ(WispReplay::StepTimingImpl(0.1), StatusCode::CannotStepWhileUnpaused);
  harness::AdvanceTime(0.25);
  EXPECT_DOUBLE_EQ(GetCurrentTimeSeconds(), 1.254);
  ASSERT_EQ(WispReplay::SetSpeed(2.0), StatusCode::OK);
  harness::AdvanceTime(0.25);
  EXPECT_DOUBLE_EQ(GetCurrentTimeSeconds(), 1.754);
  EXPECT_EQ(WispReplay::GetDoubleImpl("x").value, 1.5);
  EXPECT_EQ(WispReplay::SetSpeed(0.0), StatusCode::InvalidParamValue);

  harness::AdvanceTime(10.0);  // far past the end
  EXPECT_EQ(GetCurrentTimeSeconds(), 3.0);
  EXPECT_FALSE(WispReplay::WaitForPlayingImpl(0.0));

  ASSERT_EQ(WispReplay::Stop(), StatusCode::OK);
  EXPECT_EQ(GetCurrentTimeSeconds(), 1.0);
  ASSERT_EQ(WispReplay::Pause(), StatusCode::OK);
  EXPECT_EQ(WispReplay::StepTimingImpl(1.2), StatusCode::OK);
  EXPECT_EQ(WispReplay::GetDoubleImpl("x").timestamp, 2.0);

  ASSERT_EQ(WispReplay::CloseFile(), StatusCode::OK);
  EXPECT_FALSE(WispReplay::IsFileLoaded());
  // The manual clock went on while the log played: 50 + 0.25 + 0.25 + 10.
  EXPECT_EQ(GetCurrentTimeSeconds(), 60.5);
  EXPECT_TRUE(WispReplay::WaitForPlayingImpl(0.0));  // simulation time always runs
  EXPECT_EQ(WispReplay::Play(), StatusCode::NoFile);
  EXPECT_EQ(WispReplay::GetDoubleImpl("x").status, StatusCode::NoFile);
}

// Waiting for playback follows the manual clock like every runtime wait: it
// ends when playback starts, or when the manual time passes its timeout.
TEST_F(ReplayTest, WaitForPlayingFollowsTheManualClock) {
  const std::string file = RecordRamp();
  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  for (bool play : {true, false}) {
    SCOPED_TRACE(play);
    bool answer = !play;
    std::thread waiter([&] { answer = WispReplay::WaitForPlayingImpl(0.1); });
    harness::AwaitBlockedWaiters(1);
    harness::AdvanceTime(0.05);  // half the timeout: still waiting
    harness::AwaitBlockedWaiters(1);
    if (play) {
      ASSERT_EQ(WispReplay::Play(), StatusCode::OK);
    } else {
      harness::AdvanceTime(0.05);
    }
    waiter.join();
    EXPECT_EQ(answer, play);
    ASSERT_EQ(WispReplay::Pause(), StatusCode::OK);
  }
  EXPECT_EQ(WispReplay::CloseFile(), StatusCode::OK);
}

// A user signal before its first sample reads as not yet updated.
TEST_F(ReplayTest, SignalBeforeItsFirstSampleIsNotUpdated) {
  const std::string file = Record([] {
    harness::AdvanceTime(0.5);
    EXPECT_EQ(SignalLogger::WriteDouble("late", 2.0), StatusCode::OK);
    harness::AdvanceTime(0.5);
  });
  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::OK);
  EXPECT_EQ(WispReplay::GetDoubleImpl("late").status, StatusCode::SigNotUpdated);
  ASSERT_EQ(WispReplay::StepTimingImpl(0.5), StatusCode::OK);
  EXPECT_EQ(WispReplay::GetDoubleImpl("late").value, 2.0);
}

// Unreadable logs throw with the status description; damaged ones load up to
// their last intact chunk with a warning; one log at a time.
TEST_F(ReplayTest, LoadFailuresAreNamed) {
  try {
    static_cast<void>(WispReplay::LoadFile(Scratch("missing.wisp").c_str()));  // throws
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Could not open or read the given file.");
  }

  const std::string file = RecordRamp();
  auto bytes = zephrin_test::ReadBytes(file);
  auto newer = bytes;
  newer[8] = 0xFF;  // format version, low byte
  zephrin_test::WriteBytes(Scratch("newer.wisp"), newer);
  try {
    static_cast<void>(WispReplay::LoadFile(Scratch("newer.wisp").c_str()));  // throws
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "The given wisp log requires a newer version of Zephrin API.");
  }
  EXPECT_FALSE(WispReplay::IsFileLoaded());

  bytes.resize(bytes.size() - 3);
  zephrin_test::WriteBytes(Scratch("cut.wisp"), bytes);
  harness::ClearReports();
  ASSERT_EQ(WispReplay::LoadFile(Scratch("cut.wisp").c_str()), StatusCode::OK);
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(reports[0].isError);
  EXPECT_NE(reports[0].details.find("damaged"), std::string::npos);
  // The cut chunk was the last one, with the sample written at 3 s.
  ASSERT_EQ(WispReplay::StepTimingImpl(5.0), StatusCode::OK);
  EXPECT_EQ(WispReplay::GetDoubleImpl("x").value, 2.5);

  EXPECT_EQ(WispReplay::LoadFile(file.c_str()), StatusCode::MultipleReplayNotSupported);
}

}  // namespace
