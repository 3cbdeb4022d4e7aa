// The runtime's reporting path when a program fails the same way every loop:
// a repeated report is kept for the harness and not printed again within a
// second, and must cost well under a microsecond without allocating. The
// library's own part of a report (taking the stack text) is measured beside
// it, since it runs before the runtime sees the report.
#include <kvor/zephrin/platform/Reporting.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <string>

#include "CountingAllocator.hpp"

namespace harness = kvor::zephrin::runtime::harness;

namespace {

const std::string kLocation = "rapax q 3 (\"drive\") Status Signal Position";
const std::string kDetails =
    "CAN frame not received/too-stale. Check the CAN bus wiring, CAN bus utilization, and power to the device.";
const std::string kStack = "\tat robot::Loop()\n\tat main\n";

// Repeats within one second of the manual clock: all but the first are
// suppressed. The ring is warmed first so its slots have their capacity.
void BM_RepeatedReportSuppressed(benchmark::State& state) {
  harness::Reset();
  harness::UseManualClock(1.0);
  harness::SetReportEcho(true);  // printing on, as in a robot program; only the first prints
  for (int i = 0; i < 2000; ++i) {
    c_kvor_zephrin_report_error(1, -1003, 0, kDetails.c_str(), kLocation.c_str(), kStack.c_str());
  }
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    c_kvor_zephrin_report_error(1, -1003, 0, kDetails.c_str(), kLocation.c_str(), kStack.c_str());
  }
  zephrin_bench::ReportAllocations(state, before);
  harness::Reset();
}
BENCHMARK(BM_RepeatedReportSuppressed);

// The stack text the library takes for every report it makes.
void BM_StackTraceForAReport(benchmark::State& state) {
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) benchmark::DoNotOptimize(kvor::zephrin::platform::GetStackTrace(1));
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_StackTraceForAReport);

}  // namespace

BENCHMARK_MAIN();
