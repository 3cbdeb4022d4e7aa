// Device hot paths of a robot loop: a getter of an already cached signal
// without a read, and a SetControl of the same request type as last time.
// Both must stay allocation-free; a send after a snapshot of the applied
// control is measured beside them.
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "CountingAllocator.hpp"

namespace {

using kvor::zephrin6::hardware::core::CoreRapaxQ;
namespace harness = kvor::zephrin::runtime::harness;

void QuietRuntime() {
  harness::Reset();
  harness::SetReportEcho(false);
}

void BM_CachedGetter(benchmark::State& state) {
  QuietRuntime();
  CoreRapaxQ device{1, "drive"};
  device.GetVelocity();  // creates and caches the signal
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(&device.GetVelocity(false));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_CachedGetter);

void BM_SetControlSameType(benchmark::State& state) {
  QuietRuntime();
  CoreRapaxQ device{1, "drive"};
  kvor::zephrin6::controls::VoltageOut request{units::voltage::volt_t{6.0}};
  device.SetControl(request);  // the last-control slot now holds a VoltageOut
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    request.Output = units::voltage::volt_t{request.Output.value() == 6.0 ? 5.0 : 6.0};
    benchmark::DoNotOptimize(device.SetControl(request));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SetControlSameType);

// The same send through the ControlRequest overload, which finds the type by
// dynamic cast first (VoltageOut is third in the device's order).
void BM_SetControlThroughBase(benchmark::State& state) {
  QuietRuntime();
  CoreRapaxQ device{1, "drive"};
  kvor::zephrin6::controls::VoltageOut request{units::voltage::volt_t{6.0}};
  const kvor::zephrin6::controls::ControlRequest& base = request;
  device.SetControl(base);
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(device.SetControl(base));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SetControlThroughBase);

// A same-type send right after a snapshot of the applied control was taken:
// the snapshot must not change, so the send stores its copy in a new object.
void BM_SetControlSameTypeAfterSnapshot(benchmark::State& state) {
  QuietRuntime();
  CoreRapaxQ device{1, "drive"};
  kvor::zephrin6::controls::VoltageOut request{units::voltage::volt_t{6.0}};
  device.SetControl(request);
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(device.GetAppliedControl());
    benchmark::DoNotOptimize(device.SetControl(request));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SetControlSameTypeAfterSnapshot);

}  // namespace

BENCHMARK_MAIN();
