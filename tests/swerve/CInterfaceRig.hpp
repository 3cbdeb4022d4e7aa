#pragma once

// Test rig for the swerve C interface: builds the square four-module
// drivetrain of SwerveRig.hpp through the C functions, and steps its odometry
// one sample at a time on the manual clock through a telemetry callback
// registered in C.

#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "swerve/SwerveRig.hpp"

namespace c_rig {

using namespace swerve_rig;

/// Module constants of the rig's square drivetrain, `count` modules.
inline _swerve_module_constants_arr_t* SquareModuleConstants(std::size_t count = 4) {
  static const std::array<std::array<double, 2>, 4> kCorners{{{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}}};
  _swerve_module_constants_arr_t* modules = c_kvor_zephrin6_swerve_create_module_constants_arr(count);
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_NE(c_kvor_zephrin6_swerve_set_module_constants(modules, i, SteerId(i), DriveId(i), 30 + static_cast<int>(i),
                                                          0.0, kCorners[i % 4][0], kCorners[i % 4][1], false, false,
                                                          false, kDriveGearRatio, 12.8, 0.0, kWheelRadius, 0, 0, 120.0,
                                                          kSpeedAt12Volts, 0, 0, 0, 0.01, 0.01, 0.2, 0.2),
              nullptr);
  }
  return modules;
}

/// Releases a constants handle as a C caller would.
template <typename Handle>
void Release(Handle* handle) {
  void* address = handle;
  c_kvor_zephrin6_free_memory(&address);
}

/// Creates the square drivetrain on `bus` (stopped) while the manual clock
/// moves. @return its ID.
inline int CreateSquare(double frequencyHz = 0.0, const char* bus = kBus) {
  _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants(bus, kAuklet2Id);
  _swerve_module_constants_arr_t* modules = SquareModuleConstants();
  int id = 0;
  RunWhileTimePasses(
      [&] { id = c_kvor_zephrin6_swerve_create_drivetrain_with_freq(constants, modules, 4, frequencyHz); });
  Release(constants);
  Release(modules);
  return id;
}

/// Destroys a drivetrain whose thread may be waiting on the manual clock.
inline void Destroy(int id) {
  RunWhileTimePasses([&] { c_kvor_zephrin6_swerve_destroy_drivetrain(id); });
}

/// Counts the samples of one drivetrain through a C telemetry callback and
/// keeps a copy of the last record; Step moves the clock one sample.
class CStepper {
 public:
  explicit CStepper(int id) : id_(id) {
    c_kvor_zephrin6_swerve_drivetrain_register_telemetry(id, this, &CStepper::Record);
  }

  void Start() {
    c_kvor_zephrin6_swerve_drivetrain_odom_start(id_);
    harness::AwaitBlockedWaiters(1);
  }
  void Stop() {
    RunWhileTimePasses([&] { c_kvor_zephrin6_swerve_drivetrain_odom_stop(id_); });
  }
  /// Moves the clock one 250 Hz period and waits for the sample it completes
  /// and for the thread to wait again.
  void Step() {
    const int expected = Samples() + 1;
    harness::AwaitBlockedWaiters(1);
    harness::AdvanceTime(0.004);
    std::unique_lock lock(mutex_);
    EXPECT_TRUE(cv_.wait_for(lock, std::chrono::seconds(10), [&] { return samples_ >= expected; }))
        << "sample " << expected << " never came";
    lock.unlock();
    harness::AwaitBlockedWaiters(1);
  }
  int Samples() {
    std::lock_guard lock(mutex_);
    return samples_;
  }
  /// The last telemetry record; its arrays point into this stepper.
  _swerve_drive_state_t Last() {
    std::lock_guard lock(mutex_);
    _swerve_drive_state_t copy = last_;
    copy.ModuleStates = states_.data();
    copy.ModuleTargets = targets_.data();
    copy.ModulePositions = positions_.data();
    return copy;
  }
  /// Also runs `hook` inside every telemetry call, on the odometry thread.
  void OnSample(std::function<void(const _swerve_drive_state_t&)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
  }

 private:
  static void Record(void* context, const _swerve_drive_state_t* state) {
    auto& self = *static_cast<CStepper*>(context);
    std::function<void(const _swerve_drive_state_t&)> hook;
    {
      std::lock_guard lock(self.mutex_);
      hook = self.hook_;
    }
    if (hook) hook(*state);
    {
      std::lock_guard lock(self.mutex_);
      self.last_ = *state;
      for (std::size_t i = 0; i < 4; ++i) {
        self.states_[i] = state->ModuleStates[i];
        self.targets_[i] = state->ModuleTargets[i];
        self.positions_[i] = state->ModulePositions[i];
      }
      ++self.samples_;
    }
    self.cv_.notify_all();
  }

  int id_;
  std::mutex mutex_;
  std::condition_variable cv_;
  int samples_ = 0;
  _swerve_drive_state_t last_{};
  std::array<_swerve_module_state_t, 4> states_{};
  std::array<_swerve_module_state_t, 4> targets_{};
  std::array<_swerve_module_position_t, 4> positions_{};
  std::function<void(const _swerve_drive_state_t&)> hook_;
};

}  // namespace c_rig
