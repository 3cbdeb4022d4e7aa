#pragma once

// Fixture for the logging suite: a fresh runtime on the manual clock (see
// RuntimeTest) whose logger writes into a scratch folder of its own, removed
// again after the test. Helpers read files and record whole logs.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/runtime/harness/Logging.hpp>

#include "support/RuntimeFixture.hpp"

namespace zephrin_test {

class LoggingTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("zephrin_logging_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::remove_all(folder_);
    ASSERT_EQ(kvor::zephrin::platform::can::CANComm_SetLoggerPath(folder_.c_str()), 0);
  }
  void TearDown() override {
    RuntimeTest::TearDown();
    std::filesystem::remove_all(folder_);
  }

  /// Starts the logger, runs `body`, stops it and returns the log's path.
  std::string Record(const std::function<void()>& body) {
    namespace can = kvor::zephrin::platform::can;
    EXPECT_EQ(can::CANComm_StartLogger(), 0);
    body();
    EXPECT_EQ(can::CANComm_StopLogger(), 0);
    return kvor::zephrin::runtime::harness::LastLogFile();
  }

  std::string Scratch(const std::string& name) const { return (folder_ / name).string(); }

  std::filesystem::path folder_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace zephrin_test
