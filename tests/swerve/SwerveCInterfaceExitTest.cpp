// A C program that exits without destroying its drivetrain, in a child
// process of its own (a death test): the exit stops the odometry thread, runs
// no callback after that, lets the runtime complete its log, and ends
// promptly even when a callback never returns (as one inside a halted JVM
// would not).

#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "swerve/CInterfaceRig.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace c_rig;
namespace wisp = kvor::zephrin::runtime::wisp;
using Clock = std::chrono::steady_clock;

constexpr int kLateCallback = 3;
constexpr int kSlowExit = 4;
constexpr int kNoSamples = 5;
constexpr int kSlowStop = 6;
constexpr int kNotRefused = 7;
constexpr int kNoLog = 8;
constexpr double kExitLimitSeconds = 2.0;

// Shared with the child's exit handlers, which run after the test's scope.
std::atomic<int> g_samples{0};
std::atomic<int> g_lateCallbacks{0};
std::atomic<bool> g_stopChecked{false};
std::atomic<bool> g_blockForever{false};
Clock::time_point g_exitCalled;
std::atomic<int> g_id{0};

/// The rig's square drivetrain with the auklet 2 of ID `auklet2Id`, created
/// on the real clock. @return its ID, or 0.
int CreateSquareNow(int auklet2Id) {
  _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants(kBus, auklet2Id);
  _swerve_module_constants_arr_t* modules = SquareModuleConstants();
  const int id = c_kvor_zephrin6_swerve_create_drivetrain(constants, modules, 4);
  Release(constants);
  Release(modules);
  return id;
}

void CountSample(void*, const _swerve_drive_state_t*) {
  if (g_stopChecked.load()) g_lateCallbacks.fetch_add(1);
  g_samples.fetch_add(1);
  // A callback that never returns once the program has decided to exit.
  while (g_blockForever.load()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int Control(void*, const _swerve_control_params_t*) {
  if (g_stopChecked.load()) g_lateCallbacks.fetch_add(1);
  return 0;
}

// Installed before the drivetrain exists, so it runs after the library's own
// exit handler: from here on no callback may run.
void NoCallbackAfterTheStop() {
  g_stopChecked.store(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (g_lateCallbacks.load() != 0) std::_Exit(kLateCallback);
}

// The program's own clean-up at exit: destroys the drivetrain, then tries
// to create another.
void DestroyAtExit() {
  const auto begin = Clock::now();
  c_kvor_zephrin6_swerve_destroy_drivetrain(g_id.load());
  if (Clock::now() - begin > std::chrono::milliseconds(1500)) std::_Exit(kSlowStop);
  if (CreateSquareNow(kAuklet2Id + 1) != 0) std::_Exit(kNotRefused);
  std::fprintf(stderr, "destroyed at exit\n");
}

// Installed first, so it runs after every other exit handler.
void ExitWasPrompt() {
  const double seconds = std::chrono::duration<double>(Clock::now() - g_exitCalled).count();
  std::fprintf(stderr, "exit handlers took %.3f s\n", seconds);
  if (seconds > kExitLimitSeconds) std::_Exit(kSlowExit);
}

class SwerveCInterfaceExit : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // No process ID in the name: the child writes where the parent looks.
    folder_ = std::filesystem::temp_directory_path() /
              ("zephrin_swerve_exit_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    harness::Reset();
    harness::SetReportEcho(false);
  }
  void TearDown() override {
    harness::Reset();
    std::filesystem::remove_all(folder_);
  }

  /// In the child: a running square drivetrain on the real clock with both
  /// callbacks registered and a log being written; returns once samples flow.
  int StartForgottenDrivetrain() {
    alarm(20);  // a hung exit ends the child with SIGALRM, which fails the test
    std::atexit(&ExitWasPrompt);
    std::atexit(&NoCallbackAfterTheStop);
    harness::UseRealClock();
    if (!kvor::zephrin6::SignalLogger::SetPath(folder_.c_str()).IsOK() ||
        !kvor::zephrin6::SignalLogger::Start().IsOK()) {
      std::_Exit(kNoLog);
    }
    const int id = CreateSquareNow(kAuklet2Id);
    c_kvor_zephrin6_swerve_drivetrain_register_telemetry(id, nullptr, &CountSample);
    c_kvor_zephrin6_swerve_drivetrain_set_control(id, nullptr, &Control);
    c_kvor_zephrin6_swerve_drivetrain_odom_start(id);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (g_samples.load() < 20) {
      if (Clock::now() > deadline) std::_Exit(kNoSamples);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return id;
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

  std::filesystem::path folder_;
};

// The exit stops the thread before the runtime completes the log: the log
// ends cleanly, and no callback ran once the library's exit handler had run.
TEST_F(SwerveCInterfaceExit, ExitStopsAForgottenDrivetrainAndCompletesTheLog) {
  EXPECT_EXIT(
      {
        StartForgottenDrivetrain();
        g_exitCalled = Clock::now();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "exit handlers took");
  const std::string file = OnlyLog();
  ASSERT_FALSE(file.empty());
  const auto log = wisp::WispReader::ReadFile(file);
  EXPECT_EQ(log.report.status, wisp::kOK);
  EXPECT_FALSE(log.report.Damaged());
  EXPECT_TRUE(log.report.cleanEnd);
  EXPECT_FALSE(log.frames.empty());
}

// A callback that never returns holds its odometry thread for good; the exit
// gives up on that thread after a bounded wait instead of joining it.
TEST_F(SwerveCInterfaceExit, ExitEndsPromptlyWhenACallbackNeverReturns) {
  EXPECT_EXIT(
      {
        StartForgottenDrivetrain();
        g_blockForever.store(true);
        // Let the thread get stuck inside its next telemetry call.
        const int stuckAt = g_samples.load() + 1;
        while (g_samples.load() < stuckAt) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        g_exitCalled = Clock::now();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "exit handlers took");
}

// A program's own exit handler that destroys its drivetrain after the
// library's has run (as a JVM program's shutdown hook may close one while
// the library's hook stops it) gives up on a stuck thread after the same
// bound, and nothing new is created once the exit has begun.
TEST_F(SwerveCInterfaceExit, ADestroyAfterTheExitBeganDoesNotWaitForAStuckThread) {
  EXPECT_EXIT(
      {
        std::atexit(&DestroyAtExit);  // before the drivetrain exists: runs after the library's handler
        g_id.store(StartForgottenDrivetrain());
        g_blockForever.store(true);
        const int stuckAt = g_samples.load() + 1;
        while (g_samples.load() < stuckAt) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        g_exitCalled = Clock::now();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "destroyed at exit");
}

}  // namespace
