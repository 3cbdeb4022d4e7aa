#include "logging/LogFileName.hpp"
#include "logging/LoggerService.hpp"

#include <gtest/gtest.h>


#include <array>
#include <cmath>
#include <cstring>
#include <regex>
#include <set>
#include <thread>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>

#include "logging/LoggingFixture.hpp"
#include "logging/ScriptedFrameSource.hpp"
#include "support/StandaloneServices.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace units::literals;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::SignalLogger;
namespace harness = kvor::zephrin::runtime::harness;
namespace wisp = kvor::zephrin::runtime::wisp;
using kvor::zephrin::runtime::logging::LoggerService;
using zephrin_test::ScriptedFrameSource;

class LoggerTest : public zephrin_test::LoggingTest {};

// Typed writes refuse a payload that does not fit rather than cutting it,
// and a refused write leaves nothing in the log.
TEST_F(LoggerTest, OversizedPayloadsAreRefusedNotTruncated) {
  const std::vector<uint8_t> bytes65(65, 7);
  const std::string text256(256, 'x');
  const std::vector<int64_t> ints32(32, 1);
  const std::vector<float> floats64(64, 1.f);
  const std::array<bool, 256> bools256{};
  const std::vector<double> doubles8(8, 2.0);
  struct Case {
    const char* what;
    std::function<StatusCode()> write;
    int32_t status;
  };
  std::vector<Case> cases = {
      {"raw 65 bytes", [&] { return SignalLogger::WriteRaw("r", bytes65); }, StatusCode::InvalidSize},
      {"raw 65 bytes, raw call", [&] { return SignalLogger::WriteRaw_Impl("r", bytes65.data(), 65, 0); },
       StatusCode::InvalidSize},
      {"raw 64 bytes", [&] { return SignalLogger::WriteRaw("r", std::span(bytes65).first(64)); }, StatusCode::OK},
      {"string of 256", [&] { return SignalLogger::WriteString("s", text256); }, StatusCode::InvalidSize},
      {"string of 65 (runtime limit)", [&] { return SignalLogger::WriteString("s", text256.substr(0, 65)); },
       StatusCode::InvalidSize},
      {"string of 64", [&] { return SignalLogger::WriteString("s", text256.substr(0, 64)); }, StatusCode::OK},
      {"32 integers", [&] { return SignalLogger::WriteIntegerArray("i", ints32); }, StatusCode::InvalidSize},
      {"64 floats", [&] { return SignalLogger::WriteFloatArray("f", floats64); }, StatusCode::InvalidSize},
      {"256 booleans", [&] { return SignalLogger::WriteBooleanArray("b", bools256); }, StatusCode::InvalidSize},
      {"8 doubles", [&] { return SignalLogger::WriteDoubleArray("d", doubles8, "m"); }, StatusCode::OK},
  };
  const std::string file = Record([&] {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      EXPECT_EQ(c.write(), c.status);
    }
  });
  const auto log = wisp::WispReader::ReadFile(file);
  EXPECT_EQ(log.userSamples.size(), 3u);
}

// Writing without a running logger tells the caller so, before and after a run.
TEST_F(LoggerTest, WritesNeedARunningLogger) {
  EXPECT_EQ(SignalLogger::WriteDouble("x", 1.0), StatusCode::LoggerNotRunning);
  Record([] { EXPECT_EQ(SignalLogger::WriteDouble("x", 1.0), StatusCode::OK); });
  EXPECT_EQ(SignalLogger::WriteDouble("x", 1.0), StatusCode::LoggerNotRunning);
  EXPECT_EQ(SignalLogger::Stop(), StatusCode::OK);
}

// When the writer falls behind, the oldest samples go and the log says how
// many; the newest ones are all there, in order.
TEST_F(LoggerTest, FullBufferDropsTheOldestSamplesAndCountsThem) {
  harness::SetUserSignalBufferCapacity(8);
  const std::string file = Record([] {
    for (int i = 0; i < 20; ++i) ASSERT_EQ(SignalLogger::WriteInteger("count", i), StatusCode::OK);
  });
  EXPECT_EQ(harness::DroppedUserSamples(), 12u);
  const auto log = wisp::WispReader::ReadFile(file);
  EXPECT_EQ(log.droppedSamples, 12u);
  ASSERT_EQ(log.userSamples.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    int64_t value = 0;
    std::memcpy(&value, log.userSamples[i].payload.data(), 8);
    EXPECT_EQ(value, 12 + i);
  }
}

// A running log already holds everything up to its last chunk (what a
// killed process leaves behind), with each device and signal described once.
TEST_F(LoggerTest, RunningLogHoldsEveryFrameUpToItsLastChunk) {
  zephrin_test::StandaloneServices runtime;
  auto& logger = runtime.logger;
  ASSERT_EQ(logger.SetPath(folder_.string()), wisp::kOK);
  logger.SetFrameSource(std::make_shared<ScriptedFrameSource>(
      std::vector<ScriptedFrameSource::Signal>{{0x11, 1, 100.0}, {0x11, 2, 50.0}, {0x22, 1, 100.0}}));
  ASSERT_EQ(logger.Start(), wisp::kOK);
  const uint8_t enabled = 1;
  ASSERT_EQ(logger.LogUserSignal("enabled", "", 1, &enabled, 1, 0.0), wisp::kOK);
  runtime.clock.AdvanceManualTime(0.375);
  logger.AwaitWritten();

  const auto running = wisp::WispReader::ReadFile(logger.CurrentFile());
  ASSERT_EQ(running.report.status, wisp::kOK);
  EXPECT_FALSE(running.report.Damaged());
  EXPECT_FALSE(running.report.cleanEnd);
  EXPECT_GE(running.report.chunks, 3u);  // at least one chunk per 100 ms
  EXPECT_EQ(running.frames.size(), 37u + 18u + 37u);
  EXPECT_EQ(running.devices.size(), 2u);
  EXPECT_EQ(running.signals.size(), 2u);
  EXPECT_EQ(running.userSamples.size(), 1u);
  EXPECT_DOUBLE_EQ(running.lastTime, 1.37);

  runtime.clock.AdvanceManualTime(0.625);
  ASSERT_EQ(logger.Stop(), wisp::kOK);
  const auto stopped = wisp::WispReader::ReadFile(logger.LastFile());
  EXPECT_TRUE(stopped.report.cleanEnd);
  EXPECT_EQ(stopped.frames.size(), 100u + 50u + 100u);
  EXPECT_EQ(stopped.devices.size(), 2u);
  EXPECT_EQ(stopped.signals.size(), 2u);
}

// Automatic logging waits for the first device, then writes a timestamped
// file under the logger path; a second log never overwrites the first.
TEST_F(LoggerTest, AutoLoggingStartsWithTheFirstDevice) {
  ASSERT_EQ(SignalLogger::EnableAutoLogging(true), StatusCode::OK);
  EXPECT_TRUE(harness::CurrentLogFile().empty());
  harness::NotifyDeviceCreated();
  const std::string first = harness::CurrentLogFile();
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(std::regex_match(std::filesystem::path(first).filename().string(),
                               std::regex(R"(zephrin_\d{8}_\d{6}(_\d+)?\.wisp)")));
  EXPECT_EQ(std::filesystem::path(first).parent_path(), folder_);
  ASSERT_EQ(SignalLogger::Stop(), StatusCode::OK);
  ASSERT_EQ(SignalLogger::Start(), StatusCode::OK);
  EXPECT_NE(harness::CurrentLogFile(), first);
}

// An automatic start has no caller to hand its status to: when its folder
// cannot be made, the failure is reported as the first device appears.
TEST_F(LoggerTest, AnAutomaticStartThatFailsIsReported) {
  std::filesystem::create_directories(folder_);
  const std::string notAFolder = Scratch("file");
  zephrin_test::WriteBytes(notAFolder, {1});
  ASSERT_EQ(SignalLogger::SetPath((notAFolder + "/logs").c_str()), StatusCode::OK);
  ASSERT_EQ(SignalLogger::EnableAutoLogging(true), StatusCode::OK);
  harness::ClearReports();
  harness::NotifyDeviceCreated();
  EXPECT_TRUE(harness::CurrentLogFile().empty());
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].isError);
  EXPECT_EQ(reports[0].code, StatusCode::DirectoryMissing);
  EXPECT_EQ(reports[0].location, notAFolder + "/logs");
}

// A log holds a bounded number of distinct user signals.
TEST_F(LoggerTest, TooManyUserSignalsAreRefused) {
  Record([] {
    for (int i = 0; i < kvor::zephrin::platform::can::kMaxUserSignals; ++i) {
      ASSERT_EQ(SignalLogger::WriteBoolean("s" + std::to_string(i), true), StatusCode::OK);
    }
    EXPECT_EQ(SignalLogger::WriteBoolean("one too many", true), StatusCode::UserSignalLimitExceeded);
    EXPECT_EQ(SignalLogger::WriteBoolean("s0", false), StatusCode::OK);
  });
}

}  // namespace

namespace {

// Several threads writing while the writer thread drains and the log stops:
// every sample is either in the log or counted as dropped, and each
// thread's samples keep their order.
TEST_F(LoggerTest, ConcurrentWritersLoseNothingUncounted) {
  harness::SetUserSignalBufferCapacity(256);
  constexpr int kThreads = 4;
  constexpr int kSamples = 3000;
  const std::string file = Record([] {
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
      writers.emplace_back([t] {
        const std::string name = "thread" + std::to_string(t);
        for (int i = 0; i < kSamples; ++i) ASSERT_EQ(SignalLogger::WriteInteger(name, i), StatusCode::OK);
      });
    }
    for (int step = 0; step < 20; ++step) harness::AdvanceTime(0.05);
    for (auto& w : writers) w.join();
  });
  const auto log = wisp::WispReader::ReadFile(file);
  EXPECT_EQ(log.userSamples.size() + log.droppedSamples, std::size_t{kThreads * kSamples});
  std::vector<int64_t> last(kThreads, -1);
  for (const auto& sample : log.userSamples) {
    const int thread = log.userSignals.at(sample.definition).name.back() - '0';
    int64_t value = 0;
    std::memcpy(&value, sample.payload.data(), sizeof value);
    EXPECT_GT(value, last[thread]);
    last[thread] = value;
  }
}

}  // namespace

namespace {

// Texts that would overflow a record's 16-bit length are refused at the
// call; the log stays readable and keeps everything written after them.
TEST_F(LoggerTest, OverlongTextsAreRefusedAndTheLogSurvives) {
  const std::string longName(65531, 'n');
  const std::string longUnits(70000, 'u');
  const std::string longBus(65520, 'b');
  const std::string atLimit(kvor::zephrin::platform::can::kMaxUserSignalTextLength, 'x');
  const std::string file = Record([&] {
    EXPECT_EQ(SignalLogger::WriteDouble(longName, 1.0), StatusCode::InvalidSize);
    EXPECT_EQ(SignalLogger::WriteDouble("speed", 1.0, longUnits), StatusCode::InvalidSize);
    EXPECT_EQ(SignalLogger::WriteDouble(atLimit + "x", 1.0), StatusCode::InvalidSize);
    EXPECT_EQ(SignalLogger::WriteDouble(atLimit, 1.0, atLimit), StatusCode::OK);
    uint32_t hash = 0;
    EXPECT_EQ(c_kvor_zephrin6_encode_device(1, "rapax q", longBus.c_str(), &hash), StatusCode::InvalidSize);
    EXPECT_EQ(c_kvor_zephrin6_encode_device(2, "rapax q", "drive", &hash), StatusCode::OK);
    harness::AdvanceTime(0.3);
    EXPECT_EQ(SignalLogger::WriteDouble("after", 2.0), StatusCode::OK);
  });
  const auto log = wisp::WispReader::ReadFile(file);
  EXPECT_EQ(log.report.status, wisp::kOK);
  EXPECT_FALSE(log.report.Damaged());
  EXPECT_TRUE(log.report.cleanEnd);
  EXPECT_EQ(log.userSamples.size(), 2u);
  EXPECT_EQ(log.devices.size(), 1u);
  // The refused device is reported once, with a short location.
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].code, StatusCode::InvalidSize);
  EXPECT_LT(reports[0].location.size(), 32u);
}

// A sample's time is the runtime time minus its latency, so a latency that is
// not a number never enters the log.
TEST_F(LoggerTest, NonFiniteLatenciesAreRefused) {
  const std::string file = Record([] {
    for (double latency : {std::nan(""), double(INFINITY), -double(INFINITY)}) {
      SCOPED_TRACE(latency);
      EXPECT_EQ(SignalLogger::WriteDouble_Impl("x", 1.0, "", latency), StatusCode::InvalidParamValue);
    }
    EXPECT_EQ(SignalLogger::WriteDouble_Impl("x", 1.0, "", 0.25), StatusCode::OK);
  });
  const auto log = wisp::WispReader::ReadFile(file);
  ASSERT_EQ(log.userSamples.size(), 1u);
  EXPECT_TRUE(std::isfinite(log.firstTime) && std::isfinite(log.lastTime));
}

// The flush period sets how much log time a chunk covers, within 20 ms to 1 s.
TEST_F(LoggerTest, FlushPeriodIsConfigurable) {
  EXPECT_EQ(SignalLogger::SetFlushPeriod(10_ms), StatusCode::InvalidParamValue);
  EXPECT_EQ(SignalLogger::SetFlushPeriod(1.5_s), StatusCode::InvalidParamValue);
  EXPECT_EQ(SignalLogger::SetFlushPeriod(units::time::second_t(std::nan(""))), StatusCode::InvalidParamValue);
  ASSERT_EQ(SignalLogger::SetFlushPeriod(20_ms), StatusCode::OK);
  const std::string file = Record([] {
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(SignalLogger::WriteInteger("i", i), StatusCode::OK);
      harness::AdvanceTime(0.02);
      harness::AwaitLogWritten();
    }
  });
  EXPECT_GE(wisp::WispReader::ReadFile(file).report.chunks, 10u);
}

// The same run writes the same chunks whether the clock moves in 20 ms
// jumps or millisecond by millisecond, so however far behind the writer
// wakes: chunks end at times that follow from the start and the flush
// period (also when the period changes), and every frame and user sample,
// one written with a latency too, lands in the chunk of its time. Only the
// header, with the calendar start time, may differ.
TEST_F(LoggerTest, SameRunWritesTheSameChunksHoweverTheClockMoves) {
  using kvor::zephrin::signal_ids::rapax_q::kPosition;
  auto run = [&](int substeps) {
    // Each run in a fresh runtime whose clock starts at 1 s.
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
    EXPECT_EQ(kvor::zephrin::platform::can::CANComm_SetLoggerPath(folder_.c_str()), 0);
    return Record([&] {
      uint32_t motor = 0;
      for (int step = 0; step < 60; ++step) {
        const double t = 1.0 + step * 0.02;
        if (step == 5) c_kvor_zephrin6_encode_device(3, "rapax q", "drivebus", &motor);
        if (step == 20) {
          EXPECT_EQ(SignalLogger::SetFlushPeriod(50_ms), StatusCode::OK);
        }
        if (step == 37) {
          EXPECT_EQ(SignalLogger::SetFlushPeriod(200_ms), StatusCode::OK);
        }
        if (motor != 0 && step % 7 == 0) harness::SetSimulatedValue(motor, kPosition, step);
        EXPECT_EQ(SignalLogger::WriteDouble("loop", step), StatusCode::OK);
        // Sampled 15 ms before it is written.
        if (step % 3 == 0) {
          EXPECT_EQ(SignalLogger::WriteInteger_Impl("late", step, "", 0.015), StatusCode::OK);
        }
        for (int k = 1; k < substeps; ++k) harness::SetTime(t + 0.02 * k / substeps);
        harness::SetTime(t + 0.02);
      }
    });
  };
  const std::vector<uint8_t> jumps = zephrin_test::ReadBytes(run(1));
  const std::vector<uint8_t> steps = zephrin_test::ReadBytes(run(20));

  const auto log = wisp::WispReader::Read(jumps);
  ASSERT_GE(log.report.chunks, 10u);
  ASSERT_FALSE(log.frames.empty());
  // The header: magic, version, compression, body length, body, CRC.
  uint32_t bodyLength = 0;
  std::memcpy(&bodyLength, jumps.data() + 12, sizeof bodyLength);
  const std::size_t header = 16 + bodyLength + 4;
  ASSERT_EQ(jumps.size(), steps.size());
  EXPECT_TRUE(std::equal(jumps.begin() + header, jumps.end(), steps.begin() + header));
}

}  // namespace

namespace {

// Logs started at the same moment each get a file of their own: the name is
// claimed by creating the file, so racing starters never pick the same one.
TEST_F(LoggerTest, LogsStartedTogetherNeverShareAFile) {
  std::filesystem::create_directories(folder_);
  constexpr int kThreads = 8;
  constexpr int kEach = 25;
  std::vector<std::vector<std::string>> names(kThreads);
  std::vector<std::thread> starters;
  const std::time_t when = std::time(nullptr);
  for (int t = 0; t < kThreads; ++t) {
    starters.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) names[t].push_back(kvor::zephrin::runtime::logging::CreateLogFile(folder_, when));
    });
  }
  for (auto& s : starters) s.join();
  std::set<std::string> distinct;
  for (const auto& list : names) {
    for (const auto& name : list) {
      EXPECT_FALSE(name.empty());
      distinct.insert(name);
    }
  }
  EXPECT_EQ(distinct.size(), std::size_t{kThreads * kEach});
}

}  // namespace
