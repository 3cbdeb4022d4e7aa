// A differential mechanism runs in every iteration of a robot program's loop:
// Periodic() supervises both devices, then one SetControl sends the compound
// to the leader and the follow request to the follower. With the same pair of
// request types every loop, neither step may touch the heap. Alternating
// pairs is measured for comparison: each change builds one new compound.
#include <kvor/zephrin6/controls/PositionVoltage.hpp>
#include <kvor/zephrin6/controls/VelocityVoltage.hpp>
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/mechanisms/DifferentialMechanism.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "CountingAllocator.hpp"

namespace {

using namespace kvor::zephrin6;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

// A configured mechanism on two simulated motors, its first command sent.
struct Rig {
  hardware::core::CoreRapaxQ leader{1, "arm"};
  hardware::core::CoreRapaxQ follower{2, "arm"};
  mechanisms::DifferentialMechanism mechanism{leader, follower, false};
  Rig() {
    mechanism.Periodic();
    mechanism.SetControl(controls::VoltageOut{1_V}, controls::PositionVoltage{0.1_tr});
    mechanism.SetControl(controls::VoltageOut{1_V}, controls::VelocityVoltage{0.1_tps});
  }
};

void BM_Mechanism_SetControlSamePair(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  Rig rig;
  controls::VoltageOut average{2_V};
  controls::PositionVoltage difference{0.25_tr};
  rig.mechanism.SetControl(average, difference);
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(rig.mechanism.SetControl(average, difference));
  }
  zephrin_bench::ReportAllocations(state, before);
}

void BM_Mechanism_PeriodicThenSetControl(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  Rig rig;
  controls::VoltageOut average{2_V};
  controls::PositionVoltage difference{0.25_tr};
  rig.mechanism.SetControl(average, difference);
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    rig.mechanism.Periodic();
    benchmark::DoNotOptimize(rig.mechanism.SetControl(average, difference));
  }
  zephrin_bench::ReportAllocations(state, before);
}

void BM_Mechanism_AlternatingPairs(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  Rig rig;
  controls::VoltageOut average{2_V};
  controls::PositionVoltage position{0.25_tr};
  controls::VelocityVoltage velocity{1_tps};
  bool flip = false;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    flip = !flip;
    benchmark::DoNotOptimize(flip ? rig.mechanism.SetControl(average, position)
                                  : rig.mechanism.SetControl(average, velocity));
  }
  zephrin_bench::ReportAllocations(state, before);
}

}  // namespace

BENCHMARK(BM_Mechanism_SetControlSamePair);
BENCHMARK(BM_Mechanism_PeriodicThenSetControl);
BENCHMARK(BM_Mechanism_AlternatingPairs);
BENCHMARK_MAIN();
