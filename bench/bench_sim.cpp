// A physics model steps every simulated motor each millisecond or so: it
// feeds the rotor's position and velocity through the simulation state and
// reads back the motor voltage. The simulated drivetrain has to run many
// times faster than real time, so each of those calls must be cheap and must
// not allocate once the inputs exist.
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/sim/RapaxQSimState.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "CountingAllocator.hpp"

namespace {

using namespace kvor::zephrin6;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

void BM_SimState_MotorStep(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  hardware::core::CoreRapaxQ motor{1, "drive"};
  motor.SetControl(controls::VoltageOut{6_V});
  sim::RapaxQSimState& sim = motor.GetSimState();
  sim.SetSupplyVoltage(12_V);
  double turns = 0.0;
  sim.SetRawRotorPosition(units::angle::turn_t{turns});
  sim.SetRotorVelocity(units::angular_velocity::turns_per_second_t{0});
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    turns += 0.001;
    sim.SetRawRotorPosition(units::angle::turn_t{turns});
    sim.SetRotorVelocity(units::angular_velocity::turns_per_second_t{1.0});
    benchmark::DoNotOptimize(sim.GetMotorVoltage());
  }
  zephrin_bench::ReportAllocations(state, before);
}

}  // namespace

BENCHMARK(BM_SimState_MotorStep);
BENCHMARK_MAIN();
