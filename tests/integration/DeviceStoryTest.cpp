// Whole stories through the public device API and the simulated runtime:
// what a robot program does in simulation, and the same run replayed from
// its log.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/Zephrin6.hpp>

#include "support/ReplayedReadings.hpp"
#include "wisp/WispReader.hpp"
#include "support/RuntimeFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::BaseStatusSignal;
using kvor::zephrin6::SignalLogger;
using kvor::zephrin6::controls::VoltageOut;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
namespace harness = kvor::zephrin::runtime::harness;
using namespace units::literals;

constexpr uint16_t kVelocityId = kvor::zephrin::signal_ids::rapax_q::kVelocity;
constexpr uint16_t kPositionId = kvor::zephrin::signal_ids::rapax_q::kPosition;

class DeviceStory : public zephrin_test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    folder_ = std::filesystem::temp_directory_path() / ("zephrin_story_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
  }
  void TearDown() override {
    RuntimeTest::TearDown();
    std::filesystem::remove_all(folder_);
  }
  std::filesystem::path folder_;
};

// A motor controller in simulation: it is configured, commanded and moved,
// and its signals and the runtime's records agree with what the program did.
TEST_F(DeviceStory, SimulatedMotorAnswersConfigsControlsAndReads) {
  CoreRapaxQ motor(3, "drive");
  harness::AdvanceTime(0.5);

  kvor::zephrin6::configs::RapaxQConfiguration config;
  config.MotorOutput.NeutralMode = kvor::zephrin6::signals::NeutralModeValue::Brake;
  config.CurrentLimits.StatorCurrentLimit = 35_A;
  ASSERT_EQ(motor.GetConfigurator().Apply(config), StatusCode::OK);
  kvor::zephrin6::configs::RapaxQConfiguration readBack;
  ASSERT_EQ(motor.GetConfigurator().Refresh(readBack), StatusCode::OK);
  EXPECT_EQ(readBack.Serialize(), config.Serialize());

  ASSERT_EQ(motor.SetControl(VoltageOut{6_V}.WithEnableFOC(false)), StatusCode::OK);
  const auto call = harness::LastControlCall(motor.GetDeviceHash());
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->function, "c_kvor_zephrin6_RequestControlVoltageOut");
  ASSERT_GE(call->arguments.size(), 5u);
  EXPECT_EQ(std::get<std::string>(call->arguments[0]), "drive");
  EXPECT_EQ(std::get<double>(call->arguments[3]), 6.0);
  EXPECT_EQ(std::get<bool>(call->arguments[4]), false);
  // Stopped again before the firmware's next step: the motor never turns.
  ASSERT_EQ(motor.SetControl(kvor::zephrin6::controls::NeutralOut{}), StatusCode::OK);

  ASSERT_EQ(motor.SetPosition(2.5_tr), StatusCode::OK);
  harness::SetSimulatedValue(motor.GetDeviceHash(), kVelocityId, 4.0);
  harness::AdvanceTime(0.05);
  auto& position = motor.GetPosition();
  auto& velocity = motor.GetVelocity();
  EXPECT_EQ(position.GetStatus(), StatusCode::OK);
  EXPECT_DOUBLE_EQ(position.GetValue().value(), 2.5);
  EXPECT_EQ(position.GetUnits(), "turns");
  EXPECT_DOUBLE_EQ(velocity.GetValue().value(), 4.0);

  // Half a second later without a refresh, compensation stops at 0.3 s.
  harness::AdvanceTime(0.5);
  const auto compensated = BaseStatusSignal::GetLatencyCompensatedValue(position, velocity, 0.3_s);
  EXPECT_NEAR(compensated.value(), 2.5 + 4.0 * 0.3, 1e-12);
  EXPECT_TRUE(harness::Reports().empty());
}

// A run recorded to a log replays through a new device object to the same
// readings at the same times, in a runtime that never simulated the device.
TEST_F(DeviceStory, RecordedRunReplaysToTheSameReadings) {
  std::vector<std::pair<double, double>> seen;  // (time, position)
  std::string file;
  {
    ASSERT_EQ(SignalLogger::SetPath(folder_.c_str()), StatusCode::OK);
    ASSERT_EQ(SignalLogger::Start(), StatusCode::OK);
    CoreRapaxQ motor(5, "drive");
    harness::AdvanceTime(0.005);  // read between 100 Hz frames
    for (int step = 0; step < 40; ++step) {
      if (step % 10 == 0) harness::SetSimulatedValue(motor.GetDeviceHash(), kPositionId, step * 0.25);
      harness::AdvanceTime(0.02);
      auto& position = motor.GetPosition();
      ASSERT_EQ(position.GetStatus(), StatusCode::OK);
      seen.emplace_back(harness::Now(), position.GetValue().value());
    }
    ASSERT_EQ(SignalLogger::Stop(), StatusCode::OK);
    file = harness::LastLogFile();
  }
  ASSERT_FALSE(file.empty());
  zephrin_test::ExpectReplayedReadings(file, 5, "drive", &CoreRapaxQ::GetPosition, seen);
}

// The same program on the manual clock logs the same records whether the
// log writer collects early (the harness flushes it at every step) or late:
// a device created while logging has its frames from its creation on, with
// the values the simulated firmware gave it, and every user sample appears
// once with its time. Records are compared signal by signal, in time order.
TEST_F(DeviceStory, SameRunLogsTheSameRecordsWhenTheWriterRunsEarlyOrLate) {
  using kvor::zephrin::runtime::wisp::FrameValue;
  using Records = std::map<std::string, std::vector<std::vector<double>>>;  // signal -> samples, fields as numbers
  auto run = [&](bool flushEveryStep) {
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
    EXPECT_EQ(SignalLogger::SetPath(folder_.c_str()), StatusCode::OK);
    EXPECT_EQ(SignalLogger::Start(), StatusCode::OK);
    std::optional<CoreRapaxQ> motor;
    for (int step = 0; step < 40; ++step) {
      if (flushEveryStep) harness::AwaitLogWritten();
      if (step == 3) motor.emplace(5, "drive");  // created 60 ms into the log
      if (step == 10) {
        EXPECT_EQ(motor->SetControl(VoltageOut{3_V}), StatusCode::OK);
      }
      if (step == 25) {
        EXPECT_EQ(motor->SetPosition(1_tr), StatusCode::OK);
      }
      EXPECT_EQ(SignalLogger::WriteInteger("step", step), StatusCode::OK);
      harness::AdvanceTime(0.02);
    }
    EXPECT_EQ(SignalLogger::Stop(), StatusCode::OK);
    const auto log = kvor::zephrin::runtime::wisp::WispReader::ReadFile(harness::LastLogFile());
    Records records;
    for (const auto& f : log.frames) {
      const FrameValue& v = f.value;
      records["frame " + std::to_string(f.Key())].push_back(
          {v.systemTime, v.value, v.bustrelTime, v.deviceTime, double(v.status), double(v.reportedId)});
    }
    for (const auto& s : log.userSamples) {
      std::vector<double> fields{s.time};
      fields.insert(fields.end(), s.payload.begin(), s.payload.begin() + s.size);
      records["user " + log.userSignals.at(s.definition).name].push_back(fields);
    }
    EXPECT_FALSE(log.report.Damaged());
    return records;
  };
  const Records late = run(false);
  const Records early = run(true);
  ASSERT_EQ(late.size(), early.size());
  EXPECT_GT(late.size(), 50u);
  for (const auto& [signal, samples] : late) {
    SCOPED_TRACE(signal);
    ASSERT_TRUE(early.contains(signal));
    ASSERT_EQ(samples.size(), early.at(signal).size());
    for (std::size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(samples[i], early.at(signal)[i]) << "sample " << i;
  }
  // The motor's frames start at its creation, none before it.
  for (const auto& [signal, samples] : late) {
    if (signal.starts_with("frame")) {
      EXPECT_GE(samples.front().front(), 1.06 - 1e-9) << signal;
    }
  }
}

}  // namespace
