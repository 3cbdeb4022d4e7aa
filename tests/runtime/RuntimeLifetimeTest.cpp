// Stories about the runtime's lifetime: a program that exits while its log
// is being written or a replay plays, and harness resets racing a program
// thread that keeps using the runtime.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/platform/Replay.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "wisp/Status.hpp"
#include "wisp/WispReader.hpp"

namespace {

namespace can = kvor::zephrin::platform::can;
namespace harness = kvor::zephrin::runtime::harness;
namespace platform = kvor::zephrin::platform;
namespace wisp = kvor::zephrin::runtime::wisp;

class RuntimeLifetime : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // No process ID in the name: a death test's child runs in a process of
    // its own and must write where the parent looks. The test program's own
    // path goes in instead, so that the builds of other trees and sanitizers
    // running the same test at the same time keep out of each other's way.
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    folder_ = std::filesystem::temp_directory_path() /
              ("zephrin_lifetime_" + std::to_string(std::hash<std::string>{}(program)) + "_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    harness::Reset();
    harness::SetReportEcho(false);
  }
  void TearDown() override {
    harness::Reset();
    std::filesystem::remove_all(folder_);
  }

  /// The only log in the folder, or empty.
  std::string OnlyLog() const {
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      if (!found.empty()) return {};
      found = entry.path().string();
    }
    return found;
  }

  static void WriteUserSignals(const std::atomic<bool>& stop, std::atomic<int>& written) {
    double value = 0;
    while (!stop.load()) {
      value += 1;
      written.fetch_add(1);
      // Writes race the exit; whether the last ones land is not the point.
      static_cast<void>(can::CANComm_LogUserSignal("loop", "", platform::UserDataType::Double,
                                                   reinterpret_cast<const uint8_t*>(&value), sizeof value, 0.0));
    }
  }

  std::filesystem::path folder_;
};

// Exit completes the log that automatic logging started with the first
// device, even with a program thread still writing user signals into it.
TEST_F(RuntimeLifetime, ExitWhileAutoLoggingLeavesACompleteLog) {
  EXPECT_EXIT(
      {
        harness::UseManualClock(1.0);
        if (can::CANComm_SetLoggerPath(folder_.c_str()) != 0 ||
            can::NetworkStateManager::GetInstance().GetLoggerManager().EnableAutoLogging(true) != 0) {
          std::exit(2);
        }
        uint32_t hash = 0;
        c_kvor_zephrin6_encode_device(1, "rapax q", "drive", &hash);
        static std::atomic<bool> stop{false};
        static std::atomic<int> written{0};
        std::thread(WriteUserSignals, std::cref(stop), std::ref(written)).detach();
        while (written.load() < 100) std::this_thread::yield();
        for (int i = 0; i < 50; ++i) harness::AdvanceTime(0.01);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  const std::string file = OnlyLog();
  ASSERT_FALSE(file.empty());
  const auto log = wisp::WispReader::ReadFile(file);
  EXPECT_EQ(log.report.status, wisp::kOK);
  EXPECT_FALSE(log.report.Damaged());
  EXPECT_TRUE(log.report.cleanEnd);
  EXPECT_FALSE(log.frames.empty());
  EXPECT_FALSE(log.userSamples.empty());
}

// Exit with a log loaded and playing tears nothing down under a reader.
TEST_F(RuntimeLifetime, ExitWithAReplayPlaying) {
  harness::UseManualClock(1.0);
  ASSERT_EQ(can::CANComm_SetLoggerPath(folder_.c_str()), 0);
  ASSERT_EQ(can::CANComm_StartLogger(), 0);
  uint32_t hash = 0;
  c_kvor_zephrin6_encode_device(2, "rapax q", "drive", &hash);
  harness::AdvanceTime(1.0);
  ASSERT_EQ(can::CANComm_StopLogger(), 0);
  const std::string file = harness::LastLogFile();

  EXPECT_EXIT(
      {
        if (platform::ReplayLoadFile(file.c_str()) != 0 || platform::ReplayPlay() != 0) std::exit(2);
        std::thread([hash] {
          const uint64_t key = platform::MakeSignalKey(hash, kvor::zephrin::signal_ids::rapax_q::kPosition);
          platform::SignalMeasurement record{};
          // Reads race the exit; only that nothing crashes matters.
          for (;;) static_cast<void>(c_kvor_zephrin6_get_signal(1, &key, &record, "drive", true, 0.05));
        }).detach();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

// A reset rebuilds the runtime under a program thread that keeps writing
// user signals, announcing devices and reading the clock; every tenth
// runtime also runs a logger, so rebuilds stop writer threads too.
TEST_F(RuntimeLifetime, ResetsWhileAProgramThreadUsesTheRuntime) {
  std::atomic<bool> stop{false};
  std::thread program([&] {
    while (!stop.load()) {
      double value = kvor::zephrin6::utils::GetCurrentTimeSeconds();
      // Refused while no logger runs, which is most of the time here.
      static_cast<void>(can::CANComm_LogUserSignal("t", "s", platform::UserDataType::Double,
                                                   reinterpret_cast<const uint8_t*>(&value), sizeof value, 0.0));
      uint32_t hash = 0;
      c_kvor_zephrin6_encode_device(3, "angulon", "drive", &hash);
    }
  });
  for (int i = 0; i < 1000; ++i) {
    harness::Reset();
    harness::SetReportEcho(false);
    if (i % 10 == 0) {
      EXPECT_EQ(can::CANComm_SetLoggerPath(folder_.c_str()), 0);
      EXPECT_EQ(can::CANComm_StartLogger(), 0);
    }
  }
  stop.store(true);
  program.join();
  harness::Reset();
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    EXPECT_TRUE(wisp::WispReader::ReadFile(entry.path().string()).report.cleanEnd) << entry.path();
  }
}

}  // namespace
