// The per-call cost of the signal paths a robot loop runs every cycle: a
// refresh, a cached lookup, a control send and a group refresh. Each reports
// allocations per iteration next to its time; all four must allocate nothing.

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/controls/DutyCycleOut.hpp>
#include <kvor/zephrin6/hardware/ParentDevice.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <memory>
#include <string>
#include <vector>

#include "CountingAllocator.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids::rapax_q;
using kvor::zephrin6::BaseStatusSignal;

// A device with its lookups and control path opened up, standing in for the
// device classes.
class BenchDevice : public kvor::zephrin6::hardware::ParentDevice {
 public:
  BenchDevice(int id, std::string model, std::string bus) : ParentDevice{id, std::move(model), std::move(bus)} {}
  using ParentDevice::LookupStatusSignal;
  using ParentDevice::SetControlPrivate;
};

void FreshRuntime() {
  harness::Reset();
  harness::SetReportEcho(false);
}

void BM_RefreshCachedSignal(benchmark::State& state) {
  FreshRuntime();
  BenchDevice device{1, "rapax q", "fd"};
  auto& velocity =
      device.LookupStatusSignal<units::angular_velocity::turns_per_second_t>(ids::kVelocity, "Velocity", true, true);
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    velocity.Refresh();
    benchmark::DoNotOptimize(velocity.GetValueAsDouble());
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_RefreshCachedSignal);

void BM_LookupCachedSignal(benchmark::State& state) {
  FreshRuntime();
  BenchDevice device{1, "rapax q", "fd"};
  // A name longer than the short-string buffer, as most getters have.
  device.LookupStatusSignal<double>(ids::kClosedLoopProportionalOutput, "ClosedLoopProportionalOutput", true, false);
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(&device.LookupStatusSignal<double>(ids::kClosedLoopProportionalOutput,
                                                                "ClosedLoopProportionalOutput", true, false));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_LookupCachedSignal);

// The program's side of a send: the device's control lock and firmware
// check, the copy into its last-control slot and the runtime's recording of
// the call under the recorder's lock (the entry point finds the current
// recorder under that lock, with no runtime lease). The simulated firmware
// decodes the newest call of each device at its next step, which this
// benchmark never runs (the clock stands), so that work is in
// BM_Firmware_DrivetrainLoop instead.
void BM_SetControlSameType(benchmark::State& state) {
  FreshRuntime();
  BenchDevice device{1, "rapax q", "fd"};
  kvor::zephrin6::controls::DutyCycleOut request{units::dimensionless::scalar_t{0.25}};
  device.SetControlPrivate(request);  // the last-control slot now holds a DutyCycleOut
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(device.SetControlPrivate(request));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SetControlSameType);

// A swerve drivetrain's odometry read: drive and steer position and velocity
// of four modules plus the gyro's yaw and rate, 18 signals of 5 devices.
void BM_RefreshAll18Signals(benchmark::State& state) {
  FreshRuntime();
  std::vector<std::unique_ptr<BenchDevice>> motors;
  for (int id = 1; id <= 4; ++id) motors.push_back(std::make_unique<BenchDevice>(id, "rapax q", "fd"));
  BenchDevice gyro{0, "auklet 2", "fd"};
  using Turns = units::angle::turn_t;
  using TurnsPerSecond = units::angular_velocity::turns_per_second_t;
  namespace auklet2 = kvor::zephrin::signal_ids::auklet2;
  std::vector<BaseStatusSignal*> signals;
  for (auto& motor : motors) {
    signals.push_back(&motor->LookupStatusSignal<Turns>(ids::kPosition, "Position", true, false));
    signals.push_back(&motor->LookupStatusSignal<TurnsPerSecond>(ids::kVelocity, "Velocity", true, false));
    signals.push_back(&motor->LookupStatusSignal<Turns>(ids::kRotorPosition, "RotorPosition", true, false));
    signals.push_back(&motor->LookupStatusSignal<TurnsPerSecond>(ids::kRotorVelocity, "RotorVelocity", true, false));
  }
  signals.push_back(&gyro.LookupStatusSignal<units::angle::degree_t>(auklet2::kYaw, "Yaw", true, false));
  signals.push_back(&gyro.LookupStatusSignal<units::angular_velocity::degrees_per_second_t>(
      auklet2::kAngularVelocityZWorld, "AngularVelocityZWorld", true, false));
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(BaseStatusSignal::RefreshAll(signals));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_RefreshAll18Signals);

}  // namespace

BENCHMARK_MAIN();
