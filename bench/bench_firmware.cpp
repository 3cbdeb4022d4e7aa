// The simulated firmware on its own: how many seconds of simulated time one
// second of wall time computes for a 4-module drivetrain's worth of motor
// controllers (4 drive motors in velocity loops, 4 steer motors in position
// loops) and an IMU, with the program sending its requests every 20 ms loop
// as a robot program does. The whole simulated drivetrain (firmware plus the
// program's physics) has to run at least 50 times faster than real time, so
// the firmware alone must leave most of that budget to the physics.
//
//   sim_s_per_wall_s   simulated seconds per wall second (the speed-up)
//   allocs/iter        heap allocations per 20 ms loop once running
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include <kvor/zephrin6/Zephrin6.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "CountingAllocator.hpp"

namespace {

using namespace kvor::zephrin6;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;
using units::angle::turn_t;
using units::angular_velocity::turns_per_second_t;

constexpr double kLoopSeconds = 0.020;
constexpr int kModules = 4;

struct Drivetrain {
  std::vector<std::unique_ptr<hardware::core::CoreRapaxQ>> drive, steer;
  hardware::core::CoreAuklet2 imu{20, "drive"};
  controls::VelocityVoltage driveRequest;
  controls::PositionVoltage steerRequest;

  Drivetrain() {
    for (int m = 0; m < kModules; ++m) {
      drive.push_back(std::make_unique<hardware::core::CoreRapaxQ>(1 + m, "drive"));
      steer.push_back(std::make_unique<hardware::core::CoreRapaxQ>(11 + m, "drive"));
      configs::ClosedLoopGeneralConfigs wrap;
      wrap.ContinuousWrap = true;
      const bool configured =
          drive.back()->GetConfigurator().Apply(configs::Slot0Configs{}.WithkP(0.1).WithkV(0.12)).IsOK() &&
          steer.back()->GetConfigurator().Apply(configs::Slot0Configs{}.WithkP(40).WithkD(0.5)).IsOK() &&
          steer.back()->GetConfigurator().Apply(wrap).IsOK();
      // Loops without their gains would time other work than a drivetrain's.
      if (!configured) throw std::runtime_error("a motor refused its gains");
    }
  }
  // One loop of the program: new targets for every motor, then 20 ms.
  void Loop(int loop) {
    for (int m = 0; m < kModules; ++m) {
      drive[m]->SetControl(driveRequest.WithVelocity(turns_per_second_t{40.0 * ((loop / 50) % 2 ? -1 : 1)}));
      steer[m]->SetControl(steerRequest.WithPosition(turn_t{0.001 * loop + 0.25 * m}));
    }
    harness::AdvanceTime(kLoopSeconds);
  }
};

void ReportSpeed(benchmark::State& state) {
  state.counters["sim_s_per_wall_s"] =
      benchmark::Counter(kLoopSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The motors turn their bare rotors (no physics model).
void BM_Firmware_DrivetrainLoop(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  Drivetrain drivetrain;
  for (int loop = 0; loop < 100; ++loop) drivetrain.Loop(loop);  // reach a steady state
  int loop = 100;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) drivetrain.Loop(loop++);
  zephrin_bench::ReportAllocations(state, before);
  ReportSpeed(state);
  harness::Reset();
}

// A physics model gives every rotor its position and velocity each
// millisecond and reads back each motor's voltage: the firmware's share of
// a full drivetrain simulation stepped at the firmware's own rate.
void BM_Firmware_DrivetrainWithPhysicsInputs(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  Drivetrain drivetrain;
  std::vector<double> position(2 * kModules, 0.0), velocity(2 * kModules, 0.0);
  auto physicsLoop = [&](int loop) {
    for (int m = 0; m < kModules; ++m) {
      drivetrain.drive[m]->SetControl(drivetrain.driveRequest.WithVelocity(turns_per_second_t{30.0}));
      drivetrain.steer[m]->SetControl(drivetrain.steerRequest.WithPosition(turn_t{0.001 * loop}));
    }
    for (int ms = 0; ms < 20; ++ms) {
      for (int i = 0; i < 2 * kModules; ++i) {
        auto& motor = i < kModules ? *drivetrain.drive[i] : *drivetrain.steer[i - kModules];
        sim::RapaxQSimState& sim = motor.GetSimState();
        velocity[i] += sim.GetMotorVoltage().value() * 0.05;  // a crude load: acceleration by volts
        velocity[i] *= 0.99;
        position[i] += velocity[i] * 0.001;
        sim.SetRawRotorPosition(turn_t{position[i]});
        sim.SetRotorVelocity(turns_per_second_t{velocity[i]});
      }
      harness::AdvanceTime(0.001);
    }
  };
  for (int loop = 0; loop < 100; ++loop) physicsLoop(loop);
  int loop = 100;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) physicsLoop(loop++);
  zephrin_bench::ReportAllocations(state, before);
  ReportSpeed(state);
  harness::Reset();
}

// One 20 ms clock tick (20 firmware steps of 1 ms) with `range(0)` motor
// controllers in velocity loops, spread over buses of up to 40 devices, no
// requests sent during the tick. Includes the harness's AdvanceTime and
// everything the firmware does per step; excludes building the devices.
//   ns_per_device_step  wall time of a tick / (devices x 20 steps)
//   allocs/iter         heap allocations per tick, all threads
void BM_Firmware_ClockTick(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  const int count = static_cast<int>(state.range(0));
  std::vector<std::unique_ptr<hardware::core::CoreRapaxQ>> motors;
  controls::VelocityVoltage request{turns_per_second_t{20.0}};
  for (int i = 0; i < count; ++i) {
    const std::string bus = "bus" + std::to_string(i / 40);
    motors.push_back(std::make_unique<hardware::core::CoreRapaxQ>(1 + i % 40, bus));
    // A refused request would time an idle motor, not a running loop.
    if (!motors.back()->SetControl(request).IsOK()) {
      state.SkipWithError("a motor refused its request");
      return;
    }
  }
  for (int tick = 0; tick < 100; ++tick) harness::AdvanceTime(kLoopSeconds);  // reach a steady state
  const auto before = zephrin_bench::Allocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) harness::AdvanceTime(kLoopSeconds);
  const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
  zephrin_bench::ReportAllocations(state, before);
  state.counters["ns_per_device_step"] =
      elapsed.count() / (static_cast<double>(state.iterations()) * count * 20);
  motors.clear();
  harness::Reset();
}

}  // namespace

BENCHMARK(BM_Firmware_ClockTick)->Arg(1)->Arg(40)->Arg(160)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Firmware_DrivetrainLoop)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Firmware_DrivetrainWithPhysicsInputs)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_MAIN();
