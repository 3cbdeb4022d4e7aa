// Status-code lookups run on every report; they must stay allocation-free.
#include <kvor/zephrin/StatusCodes.hpp>

#include "CountingAllocator.hpp"

static void BM_StatusCodeLookup(benchmark::State& state) {
  const auto before = zephrin_bench::Allocations();
  int value = -10041;
  for (auto _ : state) {
    kvor::zephrin::StatusCode code(value);
    benchmark::DoNotOptimize(code.GetName());
    benchmark::DoNotOptimize(code.GetDescription());
    value = value == 10002 ? -10041 : value + 1;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_StatusCodeLookup);

BENCHMARK_MAIN();
