// The signal log's C functions (the layer under Java's SignalLogger and
// WispReplay): a log written through them replays through them with every
// value and time, the replay's step says how far it really moved, and bad
// arguments are refused with a status and a report, never a crash.
#include <kvor/zephrin6/core/signal_log_c_style.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "logging/LoggingFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;

class SignalLogCInterfaceTest : public zephrin_test::LoggingTest {
 protected:
  /// Reports whose location names `function`.
  static int ReportsOf(const std::string& function) {
    int count = 0;
    for (const auto& report : harness::Reports()) count += report.location.rfind(function, 0) == 0 ? 1 : 0;
    return count;
  }
};

// Written at t = 1 and t = 1.5 and read back at each, then past the end of
// the log: the values of the time, the sample times, and a step that is cut
// short at the end.
TEST_F(SignalLogCInterfaceTest, WrittenSignalsReplayWithTheirTimes) {
  const double pose[3] = {1.0, -2.0, 0.5};
  const std::string text = "figure eight";
  ASSERT_EQ(c_kvor_zephrin6_signal_logger_start(), 0);
  for (int i = 0; i < 2; ++i) {
    if (i > 0) harness::AdvanceTime(0.5);
    const double now = harness::Now();
    EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_double("t", now, "s", 0.0), 0);
    EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_double_array("pose", pose, 3, "m, m, rad", 0.0), 0);
    EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_boolean("on", i == 1, 0.0), 0);
    EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_integer("n", -7 - i, "", 0.0), 0);
    EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_string("phase", text.data(), text.size(), 0.0), 0);
  }
  harness::AdvanceTime(0.1);
  ASSERT_EQ(c_kvor_zephrin6_signal_logger_stop(), 0);
  const std::string log = harness::LastLogFile();

  ASSERT_EQ(c_kvor_zephrin6_replay_load_file(log.c_str()), 0);
  EXPECT_TRUE(c_kvor_zephrin6_replay_is_file_loaded());
  EXPECT_FALSE(c_kvor_zephrin6_replay_is_running()) << "a loaded log starts paused";
  double moved = -1.0;
  ASSERT_EQ(c_kvor_zephrin6_replay_step_timing(0.5, &moved), 0);
  EXPECT_EQ(moved, 0.5);
  const double at = c_kvor_zephrin6_replay_time_seconds();

  double value = 0.0, timestamp = 0.0;
  EXPECT_EQ(c_kvor_zephrin6_replay_get_double("t", &value, &timestamp), 0);
  EXPECT_EQ(value, at);
  EXPECT_EQ(timestamp, at);
  double elements[2] = {0.0, 0.0};
  std::size_t count = 0;
  EXPECT_EQ(c_kvor_zephrin6_replay_get_double_array("pose", elements, 2, &count, nullptr), 0);
  EXPECT_EQ(count, 3u) << "the count says how many there are, beyond the capacity";
  EXPECT_EQ(elements[0], 1.0);
  EXPECT_EQ(elements[1], -2.0);
  bool on = false;
  EXPECT_EQ(c_kvor_zephrin6_replay_get_boolean("on", &on, nullptr), 0);
  EXPECT_TRUE(on);
  int64_t n = 0;
  EXPECT_EQ(c_kvor_zephrin6_replay_get_integer("n", &n, nullptr), 0);
  EXPECT_EQ(n, -8);
  char chars[6] = {'#', '#', '#', '#', '#', '#'};
  std::size_t length = 0;
  EXPECT_EQ(c_kvor_zephrin6_replay_get_string("phase", chars, 5, &length, nullptr), 0);
  EXPECT_EQ(length, text.size());
  EXPECT_EQ(std::string(chars, 6), "figur#") << "no byte beyond the capacity";

  // A mistyped read writes nothing.
  value = 42.0;
  EXPECT_EQ(c_kvor_zephrin6_replay_get_double("n", &value, nullptr), -1002);
  EXPECT_EQ(value, 42.0);

  ASSERT_EQ(c_kvor_zephrin6_replay_step_timing(10.0, &moved), 0);
  EXPECT_LT(moved, 1.0) << "the replay stops at the end of its log";
  EXPECT_EQ(c_kvor_zephrin6_replay_close_file(), 0);
  EXPECT_FALSE(c_kvor_zephrin6_replay_is_file_loaded());
}

// What a foreign caller can get wrong: null texts and arrays, latencies that
// cannot become a time, payloads that do not fit one record, files that are
// not logs, reads without a log.
TEST_F(SignalLogCInterfaceTest, BadArgumentsAreRefusedAndReported) {
  ASSERT_EQ(c_kvor_zephrin6_signal_logger_start(), 0);
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_double(nullptr, 1.0, "s", 0.0), -1002);
  EXPECT_EQ(ReportsOf("c_kvor_zephrin6_signal_logger_write_double"), 1);
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_double("x", 1.0, nullptr, 0.0), 0) << "no units is no units";
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_double("x", 1.0, "", std::nan("")), -1002);
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_boolean("b", true, -0.1), -1002);
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_double_array("a", nullptr, 3, "", 0.0), -1002);
  const std::vector<double> many(32, 1.0);
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_double_array("a", many.data(), many.size(), "", 0.0), -10015);
  const std::string long_text(256, 'x');
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_string("s", long_text.data(), long_text.size(), 0.0), -10015);
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_write_string("s", nullptr, 2, 0.0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_signal_logger_set_path(nullptr), -1002);
  ASSERT_EQ(c_kvor_zephrin6_signal_logger_stop(), 0);

  EXPECT_EQ(c_kvor_zephrin6_replay_load_file(nullptr), -1002);
  EXPECT_EQ(c_kvor_zephrin6_replay_load_file(Scratch("missing.wisp").c_str()), -10034);
  double value = 5.0;
  EXPECT_EQ(c_kvor_zephrin6_replay_get_double("x", &value, nullptr), -10009);
  EXPECT_EQ(value, 5.0);
  EXPECT_EQ(c_kvor_zephrin6_replay_get_string(nullptr, nullptr, 0, nullptr, nullptr), -1002);
  double moved = 0.0;
  EXPECT_EQ(c_kvor_zephrin6_replay_step_timing(0.1, &moved), -10009);
  EXPECT_EQ(moved, 0.0);
}

}  // namespace
