#pragma once

// Counts every heap allocation made through the global operator new in the
// benchmark process, so that a benchmark can report allocations per
// iteration next to its time:
//
//   const auto before = zephrin_bench::Allocations();
//   for (auto _ : state) { ... }
//   zephrin_bench::ReportAllocations(state, before);

#include <benchmark/benchmark.h>

#include <cstdint>

namespace zephrin_bench {

/// Allocations made so far by all threads of the process.
std::uint64_t Allocations();

/// Adds the counter "allocs/iter" for the allocations since `before`.
void ReportAllocations(benchmark::State& state, std::uint64_t before);

}  // namespace zephrin_bench
