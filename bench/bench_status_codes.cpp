// Status-code lookups run on every report; they must stay allocation-free.
// A report almost always carries a named code, so those are what
// BM_StatusCodeLookup cycles through; values without a name (gaps in the
// table, codes of a newer runtime) are timed beside it.
#include <kvor/zephrin/StatusCodes.hpp>

#include <cstddef>
#include <string_view>
#include <vector>

#include "CountingAllocator.hpp"

namespace {

using kvor::zephrin::StatusCode;

constexpr int kLowest = -10041;
constexpr int kHighest = 10002;

/// Every value from the lowest code to the highest that has a name (or, with
/// `named` false, that has none).
std::vector<int> Codes(bool named) {
  const std::string_view noName = StatusCode(kHighest + 1).GetName();
  std::vector<int> values;
  for (int value = kLowest; value <= kHighest; ++value) {
    if ((std::string_view(StatusCode(value).GetName()) != noName) == named) values.push_back(value);
  }
  return values;
}

void LookUp(benchmark::State& state, const std::vector<int>& values) {
  const auto before = zephrin_bench::Allocations();
  std::size_t next = 0;
  for (auto _ : state) {
    const StatusCode code(values[next]);
    benchmark::DoNotOptimize(code.GetName());
    benchmark::DoNotOptimize(code.GetDescription());
    next = next + 1 == values.size() ? 0 : next + 1;
  }
  zephrin_bench::ReportAllocations(state, before);
  state.counters["codes"] = static_cast<double>(values.size());
}

void BM_StatusCodeLookup(benchmark::State& state) {
  static const std::vector<int> named = Codes(true);
  LookUp(state, named);
}
BENCHMARK(BM_StatusCodeLookup);

void BM_StatusCodeLookupUnknown(benchmark::State& state) {
  static const std::vector<int> unnamed = Codes(false);
  LookUp(state, unnamed);
}
BENCHMARK(BM_StatusCodeLookupUnknown);

}  // namespace

BENCHMARK_MAIN();
