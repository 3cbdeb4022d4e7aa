// Heap memory per device signal with 160 motor controllers (4 buses of 40).
//
// Every device has looked up and read once each signal a rapax q publishes
// (one object per catalogue row; a mode-dependent signal once, with its other
// IDs as its units table, as the getters do), received a velocity request,
// and the manual clock has then run 1 s in 20 ms loops so that every store
// has reached its steady size. The figure is malloc's count of bytes in use
// (mallinfo2's uordblks, so it includes malloc's own 8 bytes per block and
// the rounding of each block to 16 bytes) after all that, less the count
// before the first device: it covers the device objects with their signal
// caches and request slots, and the runtime's side of those devices (device
// records, control recorder, simulated firmware, signal store). It excludes
// the runtime's fixed start-up cost.
//
// Arg 0: nothing records. Arg 1: the logger writes, which makes the signal
// store keep each signal's history until the writer has collected it; the
// loop waits for the writer every 100 ms of simulated time, the longest it
// lags on its own.
//
//   bytes_per_signal          all of the above / (devices x signals each)
//   device_bytes_per_signal   the signal objects' share: the bytes the
//                             lookups added (objects, names, units tables,
//                             the devices' cache entries)
//   signals                   signal objects created
// The time column is the whole set-up and is not a figure.
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/Zephrin6.hpp>

#include "CountingAllocator.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace platform = kvor::zephrin::platform;
using units::angular_velocity::turns_per_second_t;

constexpr int kDevices = 160;
constexpr int kDevicesPerBus = 40;
constexpr uint32_t kRapaxQBit = 1u;  // the catalogue's model mask bit of "rapax q"

struct CatalogueRow {
  uint16_t id;
  const char* name;
  uint16_t primaryId;
  uint32_t modelMask;
};
constexpr CatalogueRow kCatalogue[] = {
#define KVOR_SIGNAL(id, name, type, units, hz, report, primary, mask) {id, name, primary, mask},
#include "catalogue/generated/SignalCatalogue.inc"
#undef KVOR_SIGNAL
};

// A motor controller with its signal lookup opened up.
class Motor : public kvor::zephrin6::hardware::core::CoreRapaxQ {
 public:
  using CoreRapaxQ::CoreRapaxQ;

  // Looks up every signal of the model as its getters would; returns how many.
  int LookUpAll() {
    int count = 0;
    for (const CatalogueRow& row : kCatalogue) {
      if ((row.modelMask & kRapaxQBit) == 0 || row.primaryId != row.id) continue;
      std::map<uint16_t, std::string> ids;
      for (const CatalogueRow& other : kCatalogue) {
        if (other.primaryId == row.id) ids.emplace(other.id, "");
      }
      if (ids.size() > 1) {
        LookupStatusSignal<double>(row.id, [&ids] { return ids; }, row.name, true, true);
      } else {
        LookupStatusSignal<double>(row.id, row.name, true, true);
      }
      ++count;
    }
    return count;
  }
};

double BytesInUse() { return static_cast<double>(mallinfo2().uordblks); }

std::string ScratchFolder() {
  return (std::filesystem::temp_directory_path() / ("zephrin_bench_memory_" + std::to_string(::getpid()))).string();
}

void Require(int status, const char* step) {
  if (status != 0) {
    std::fprintf(stderr, "bench_memory: %s failed with status %d\n", step, status);
    std::exit(1);
  }
}

void BM_MemoryPerSignal(benchmark::State& state) {
  const bool logging = state.range(0) != 0;
  double total = 0.0, deviceShare = 0.0;
  int signals = 0;
  for (auto _ : state) {
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
    if (logging) {
      Require(platform::can::CANComm_SetLoggerPath(ScratchFolder().c_str()), "the log folder");
      Require(platform::can::CANComm_StartLogger(), "starting the log");
    }
    // A first device on a bus of its own brings every lazily built runtime
    // table into being before the count starts.
    { Motor warmup{62, "warmup"}; }
    malloc_trim(0);
    const double start = BytesInUse();
    std::vector<std::unique_ptr<Motor>> motors;
    signals = 0;
    double lookups = 0.0;
    kvor::zephrin6::controls::VelocityVoltage request{turns_per_second_t{10.0}};
    for (int i = 0; i < kDevices; ++i) {
      motors.push_back(std::make_unique<Motor>(i % kDevicesPerBus, "bus" + std::to_string(i / kDevicesPerBus)));
      const double before = BytesInUse();
      signals += motors.back()->LookUpAll();
      lookups += BytesInUse() - before;
      Require(motors.back()->SetControl(request).value(), "a request");
    }
    for (int loop = 1; loop <= 50; ++loop) {
      harness::AdvanceTime(0.020);
      if (logging && loop % 5 == 0) harness::AwaitLogWritten();
    }
    total = BytesInUse() - start;
    deviceShare = lookups;
    motors.clear();
    if (logging) Require(platform::can::CANComm_StopLogger(), "stopping the log");
    harness::Reset();
    std::filesystem::remove_all(ScratchFolder());
  }
  state.counters["bytes_per_signal"] = total / signals;
  state.counters["device_bytes_per_signal"] = deviceShare / signals;
  state.counters["signals"] = signals;
  state.SetLabel(logging ? "logger writing" : "nothing recording");
}
BENCHMARK(BM_MemoryPerSignal)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
