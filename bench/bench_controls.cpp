// Sending a control request runs in every iteration of a robot program's
// loop, usually with the same request type as last time. That path must
// assign into the device's stored copy and record the call in the runtime
// without touching the heap. The type-change case is measured for comparison:
// it is the one that allocates a new copy.
#include <kvor/zephrin6/controls/Controls.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <memory>

#include "CountingAllocator.hpp"

namespace {

using namespace kvor::zephrin6::controls;
using namespace units::literals;
constexpr std::uint32_t kHash = 0x0205000cu;

template <class Request>
void SendSameType(benchmark::State& state, Request request) {
  kvor::zephrin::runtime::harness::Reset();
  std::shared_ptr<ControlRequest> slot = std::make_shared<EmptyControl>();
  request.SendRequest("can0", kHash, slot);  // the device's first send allocates its copy
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(request.SendRequest("can0", kHash, slot));
  }
  zephrin_bench::ReportAllocations(state, before);
}

void BM_SendRequest_VoltageOut(benchmark::State& state) { SendSameType(state, VoltageOut{6_V}); }
void BM_SendRequest_PositionVoltage(benchmark::State& state) {
  SendSameType(state, PositionVoltage{2.5_tr}.WithSlot(1).WithFeedForward(0.3_V));
}
void BM_SendRequest_DiffCompound(benchmark::State& state) {
  SendSameType(state, compound::Diff_VelocityTorqueCurrentFOC_Velocity{VelocityTorqueCurrentFOC{4_tps},
                                                                         VelocityTorqueCurrentFOC{0.5_tps}});
}

// Alternating two request types replaces the stored copy on every send.
void BM_SendRequest_AlternatingTypes(benchmark::State& state) {
  kvor::zephrin::runtime::harness::Reset();
  std::shared_ptr<ControlRequest> slot = std::make_shared<EmptyControl>();
  VoltageOut volts{6_V};
  DutyCycleOut duty{0.5};
  const auto before = zephrin_bench::Allocations();
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    benchmark::DoNotOptimize(flip ? volts.SendRequest("can0", kHash, slot) : duty.SendRequest("can0", kHash, slot));
  }
  zephrin_bench::ReportAllocations(state, before);
}

}  // namespace

BENCHMARK(BM_SendRequest_VoltageOut);
BENCHMARK(BM_SendRequest_PositionVoltage);
BENCHMARK(BM_SendRequest_DiffCompound);
BENCHMARK(BM_SendRequest_AlternatingTypes);

BENCHMARK_MAIN();
