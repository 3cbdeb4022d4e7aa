// The C interface under contention: four threads create, use and destroy
// their own drivetrains, call every kind of function on two shared ones
// whose odometry threads run (and whose callbacks call back in), and poke at
// each other's drivetrains while those are being destroyed. Meant for the
// sanitizer builds as much as for the default one: it must end without a
// deadlock, a crash or a report, with every ID handed out once.
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "swerve/CInterfaceRig.hpp"

namespace {

using namespace c_rig;

class SwerveCInterfaceConcurrency : public zephrin_test::RuntimeTest {};

constexpr int kWorkers = 4;
constexpr int kRounds = 40;
// A guard against a slow machine or sanitizer: rounds stop starting after it.
constexpr std::chrono::seconds kTimeBudget{10};

/// A shared drivetrain and what its callbacks saw.
struct Shared {
  int id = 0;
  std::atomic<int> samples{0};
  std::atomic<int> controls{0};
};

void CountAndReadBack(void* context, const _swerve_drive_state_t* state) {
  auto& shared = *static_cast<Shared*>(context);
  std::array<_swerve_module_state_t, 4> states{};
  std::array<_swerve_module_state_t, 4> targets{};
  std::array<_swerve_module_position_t, 4> positions{};
  _swerve_drive_state_t copy{};
  copy.ModuleStates = states.data();
  copy.ModuleTargets = targets.data();
  copy.ModulePositions = positions.data();
  c_kvor_zephrin6_swerve_drivetrain_get_state(shared.id, &copy);
  if (copy.Timestamp == state->Timestamp) shared.samples.fetch_add(1);
  c_kvor_zephrin6_swerve_module_get_cached_position(shared.id, 0);
}

int DriveSlowly(void* context, const _swerve_control_params_t* params) {
  auto& shared = *static_cast<Shared*>(context);
  shared.controls.fetch_add(1);
  const _swerve_module_apply_params_t apply{{0.5, 0.1}, 0, 0, 0, 1, params->updatePeriod, true};
  for (std::size_t i = 0; i < 4; ++i) c_kvor_zephrin6_swerve_module_apply(shared.id, i, &apply);
  return 0;
}

/// Every per-drivetrain function of the interface, as calls on an ID. Stop
/// and destroy are left out: the caller decides when a drivetrain stops.
std::vector<std::function<void(int)>> EveryFunction(Shared& shared) {
  static const double kForces[4] = {1, -1, 2, -2};
  static const double kDeviations[3] = {0.3, 0.3, 0.2};
  return {
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(id); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_get_odometry_frequency(id); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_is_odometry_valid(id); },
      [&shared](int id) { c_kvor_zephrin6_swerve_drivetrain_set_control(id, &shared, &DriveSlowly); },
      [](int id) {
        std::array<_swerve_module_state_t, 4> states{};
        std::array<_swerve_module_state_t, 4> targets{};
        std::array<_swerve_module_position_t, 4> positions{};
        _swerve_drive_state_t state{};
        state.ModuleStates = states.data();
        state.ModuleTargets = targets.data();
        state.ModulePositions = positions.data();
        c_kvor_zephrin6_swerve_drivetrain_get_state(id, &state);
      },
      [&shared](int id) { c_kvor_zephrin6_swerve_drivetrain_register_telemetry(id, &shared, &CountAndReadBack); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_config_neutral_mode(id, 1); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_tare_everything(id); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_seed_field_centric(id); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_reset_pose(id, 1, 2, 0.5); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_reset_translation(id, -1, 0.5); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_reset_rotation(id, 0.2); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_set_operator_perspective_forward(id, 3.1); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_get_operator_forward_direction(id); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement(id, 1, 2, 0.5, harness::Now() - 0.01); },
      [](int id) {
        c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement_with_stddev(id, 1, 2, 0.5, harness::Now() - 0.02,
                                                                             kDeviations);
      },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_set_vision_measurement_stddevs(id, kDeviations); },
      [](int id) {
        _swerve_pose_t pose{};
        c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(id, &pose, harness::Now() - 0.005);
      },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_odom_start(id); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_odom_set_thread_priority(id, 2); },
      [](int id) {
        const _swerve_module_apply_params_t apply{{1.0, 0.3}, 0, 0, 1, 1, 0.004, true};
        c_kvor_zephrin6_swerve_module_apply(id, 1, &apply);
      },
      [](int id) { c_kvor_zephrin6_swerve_module_get_position(id, 2, true); },
      [](int id) { c_kvor_zephrin6_swerve_module_get_cached_position(id, 3); },
      [](int id) { c_kvor_zephrin6_swerve_module_get_current_state(id, 0); },
      [](int id) { c_kvor_zephrin6_swerve_module_get_target_state(id, 4); },
      [](int id) { c_kvor_zephrin6_swerve_module_reset_position(id, 1); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_set_control_idle(id); },
      [](int id) { c_kvor_zephrin6_swerve_request_apply_idle(id); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_set_control_swerve_drive_brake(id, 0, 1); },
      [](int id) { c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(id, 1, 0); },
      [](int id) {
        c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(id, 0, 1, true, 0, 1, 0.5, 0.2, 0.05, 0.01, 0, 0);
      },
      [](int id) { c_kvor_zephrin6_swerve_request_apply_field_centric(id, 1, 0, false, 1, 1, 0, 0, 0, 0, 0.1, 0); },
      [](int id) {
        c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(id, 0, 1, true, 0.5, 0, 1, 0, 0, 0, 0);
      },
      [](int id) { c_kvor_zephrin6_swerve_request_apply_robot_centric(id, 0, 1, true, 0, 0.5, 0, 0, 0, 0, 0); },
      [](int id) { c_kvor_zephrin6_swerve_drivetrain_set_control_point_wheels_at(id, 0, 1, 1.0); },
      [](int id) { c_kvor_zephrin6_swerve_request_apply_point_wheels_at(id, 0, 0, -1.0); },
      [](int id) {
        c_kvor_zephrin6_swerve_drivetrain_set_control_apply_robot_speeds(id, kForces, 4, kForces, 3, 0, 1, true, 1, 0,
                                                                         0.5, 0, 0);
      },
      [](int id) {
        c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(id, kForces, 4, nullptr, 0, 1, 1, false, 0, 1, 0, 0, 0);
      },
      [](int id) {
        c_kvor_zephrin6_swerve_drivetrain_set_control_apply_field_speeds(id, kForces, 2, kForces, 4, 0, 1, true, 0, 1,
                                                                         0, 0.3, 0, 0);
      },
      [](int id) {
        c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(id, kForces, 4, kForces, 4, 0, 1, true, 1, 0, 1, 0, 0,
                                                                0);
      },
      // The shared drivetrains keep counting samples.
      [&shared](int id) { c_kvor_zephrin6_swerve_drivetrain_register_telemetry(id, &shared, &CountAndReadBack); },
  };
}

// Four threads, two running shared drivetrains, private drivetrains coming
// and going, callbacks calling back: no deadlock, every ID once, and the
// shared drivetrains kept sampling throughout.
TEST_F(SwerveCInterfaceConcurrency, CreatingDestroyingAndCallingFromFourThreads) {
  std::atomic<bool> stopClock{false};
  std::thread clock([&] {
    while (!stopClock.load()) {
      harness::AdvanceTime(1.0 / 1024.0);
      std::this_thread::yield();
    }
  });

  std::array<Shared, 2> shared;
  for (std::size_t s = 0; s < shared.size(); ++s) {
    const std::string bus = "shared" + std::to_string(s);
    _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants(bus.c_str(), 40);
    _swerve_module_constants_arr_t* modules = SquareModuleConstants();
    shared[s].id = c_kvor_zephrin6_swerve_create_drivetrain(constants, modules, 4);
    Release(constants);
    Release(modules);
    ASSERT_GT(shared[s].id, 0);
    c_kvor_zephrin6_swerve_drivetrain_register_telemetry(shared[s].id, &shared[s], &CountAndReadBack);
    c_kvor_zephrin6_swerve_drivetrain_set_control(shared[s].id, &shared[s], &DriveSlowly);
    c_kvor_zephrin6_swerve_drivetrain_odom_start(shared[s].id);
  }

  // The private drivetrain each worker has now (0 while it has none), for
  // the others to call while it may be destroyed under them.
  std::array<std::atomic<int>, kWorkers> privateIds{};
  std::array<std::vector<int>, kWorkers> created;
  const auto deadline = std::chrono::steady_clock::now() + kTimeBudget;
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w] {
      std::mt19937 random(1234 + w);
      Shared& mine = shared[w % 2];
      const auto calls = EveryFunction(mine);
      const std::string bus = "private" + std::to_string(w);
      for (int round = 0; round < kRounds && std::chrono::steady_clock::now() < deadline; ++round) {
        _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants(bus.c_str(), 41);
        _swerve_module_constants_arr_t* modules = SquareModuleConstants();
        const int id = c_kvor_zephrin6_swerve_create_drivetrain_with_freq(constants, modules, 4, 200.0);
        Release(constants);
        Release(modules);
        created[w].push_back(id);
        privateIds[w].store(id);
        for (const auto& call : calls) {
          call(id);
          call(mine.id);
          call(privateIds[(w + 1) % kWorkers].load());
          if (random() % 8 == 0) c_kvor_zephrin6_swerve_drivetrain_odom_stop(id);
        }
        privateIds[w].store(0);
        c_kvor_zephrin6_swerve_destroy_drivetrain(id);
      }
    });
  }
  for (auto& worker : workers) worker.join();

  for (Shared& s : shared) {
    EXPECT_GT(s.samples.load(), 0);
    EXPECT_GT(s.controls.load(), 0);
    c_kvor_zephrin6_swerve_destroy_drivetrain(s.id);
  }
  stopClock.store(true);
  clock.join();

  std::vector<int> ids;
  for (const auto& list : created) ids.insert(ids.end(), list.begin(), list.end());
  for (const Shared& s : shared) ids.push_back(s.id);
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "an ID was handed out twice";
  EXPECT_GT(ids.front(), 0);
  for (int id : ids) EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(id)) << "drivetrain " << id << " left";
}

}  // namespace
