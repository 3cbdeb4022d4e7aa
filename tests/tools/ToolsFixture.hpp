#pragma once

// Fixture for the tools suite: a scratch folder of the test's own, and a
// real log recorded once for the whole suite by the runtime's logger on the
// manual clock: three simulated devices on one bus (two motor controllers
// and an encoder, so signals share names within a device and across
// models), user signals of every type written every 20 ms, one of them
// changing its units halfway and one its type.

#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/Zephrin6.hpp>
#include <string>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "tools/ToolRunner.hpp"

namespace zephrin_test {

class ToolsTest : public RuntimeTest {
 protected:
  static std::filesystem::path SuiteFolder() {
    return std::filesystem::temp_directory_path() / ("zephrin_tools_" + std::to_string(::getpid()));
  }

  static void SetUpTestSuite() {
    namespace harness = kvor::zephrin::runtime::harness;
    using kvor::zephrin::StatusCode;
    using kvor::zephrin6::SignalLogger;
    std::filesystem::remove_all(SuiteFolder());
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
    EXPECT_EQ(kvor::zephrin::platform::can::CANComm_SetLoggerPath((SuiteFolder() / "recorded").c_str()), 0);
    {
      kvor::zephrin6::hardware::core::CoreRapaxQ left(1, "drivebus");
      kvor::zephrin6::hardware::core::CoreRapaxQ right(2, "drivebus");
      kvor::zephrin6::hardware::core::CoreAngulon encoder(3, "drivebus");
      EXPECT_EQ(SignalLogger::Start(), StatusCode::OK);
      for (int i = 0; i < 50; ++i) {
        const std::array<bool, 3> flags{i % 2 == 0, true, false};
        const std::array<int64_t, 2> tags{i, -i};
        const std::array<float, 2> angles{0.5f * i, -0.25f * i};
        const std::array<double, 3> pose{0.1 * i, 0.2 * i, 1e-3 * i};
        const std::array<uint8_t, 3> raw{0xde, 0xad, static_cast<uint8_t>(i)};
        EXPECT_EQ(SignalLogger::WriteRaw("blob", raw), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteBoolean("intake/hasPiece", i % 3 == 0), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteInteger("loop/count", i), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteFloat("shooter/rpm", 100.5f * i, "rpm"), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteDouble("arm/angle", 0.01 * i, i < 25 ? "deg" : "rad"), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteString("mode", i < 10 ? "autonomous" : "teleop"), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteBooleanArray("faults", flags), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteIntegerArray("vision/tags", tags), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteFloatArray("modules/angle", angles, "deg"), StatusCode::OK);
        EXPECT_EQ(SignalLogger::WriteDoubleArray("drive/pose", pose, "m"), StatusCode::OK);
        if (i < 25) {
          EXPECT_EQ(SignalLogger::WriteDouble("gain", 0.5 * i), StatusCode::OK);
        } else {
          EXPECT_EQ(SignalLogger::WriteInteger("gain", i), StatusCode::OK);
        }
        harness::AdvanceTime(0.02);
      }
      EXPECT_EQ(SignalLogger::Stop(), StatusCode::OK);
    }
    recorded_ = new std::string(harness::LastLogFile());
    harness::Reset();
  }

  static void TearDownTestSuite() {
    std::filesystem::remove_all(SuiteFolder());
    delete recorded_;
    recorded_ = nullptr;
  }

  void SetUp() override {
    RuntimeTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = SuiteFolder() / info->name();
    std::filesystem::create_directories(folder_);
  }

  /// The log recorded for the suite.
  static const std::string& Recorded() { return *recorded_; }
  std::string Scratch(const std::string& name) const { return (folder_ / name).string(); }
  ToolResult Wisp(const std::vector<std::string>& arguments, uint64_t addressSpaceMiB = 0) const {
    return RunWisp(arguments, folder_.string(), addressSpaceMiB);
  }

  std::filesystem::path folder_;

 private:
  static inline std::string* recorded_ = nullptr;
};

}  // namespace zephrin_test
