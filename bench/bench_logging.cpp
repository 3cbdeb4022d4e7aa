// Costs of the signal log: one user-signal write on the caller's thread, the
// size of a log of a busy bus, and how fast a recorded minute replays when
// stepped as fast as possible.
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/platform/Replay.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>

#include "CountingAllocator.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace platform = kvor::zephrin::platform;

constexpr int kDevices = 4;
constexpr int kSignalsPerDevice = 20;
constexpr double kSignalHz = 100.0;
constexpr double kLogSeconds = 60.0;
// Twenty 100 Hz signals a motor controller publishes (motion, currents,
// control state).
constexpr uint16_t kSignals[kSignalsPerDevice] = {2028, 2032, 2034, 2035, 2036, 2041, 2042, 2045, 2046, 2047,
                                                  2052, 2055, 2063, 2065, 2066, 2067, 2068, 2078, 2082, 2085};

std::string ScratchFolder() {
  return (std::filesystem::temp_directory_path() / ("zephrin_bench_logging_" + std::to_string(::getpid()))).string();
}

struct Bus {
  uint32_t hash[kDevices];
};

// Four devices on a CAN FD bus, each publishing exactly the twenty signals
// above at 100 Hz (everything else stopped).
Bus CreateBus() {
  Bus bus{};
  for (int d = 0; d < kDevices; ++d) {
    c_kvor_zephrin6_encode_device(d + 1, "rapax q", "drivebus", &bus.hash[d]);
    for (uint16_t id : kSignals) c_kvor_zephrin6_SetUpdateFrequency(0, "drivebus", bus.hash[d], id, kSignalHz, 0.1);
    c_kvor_zephrin6_OptimizeUpdateFrequencies(0, "drivebus", bus.hash[d], 0.0, 0.1);
  }
  return bus;
}

// Records kLogSeconds of that bus on the manual clock, the values moving
// every 20 ms like a robot loop's, and returns the log's path. The writer is
// made to catch up before every change (the store serves its present value
// to frames not yet collected), so this log has a chunk per 20 ms rather
// than per 100 ms: a conservative size.
const std::string& RecordMinute() {
  static const std::string file = [] {
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
    platform::can::CANComm_SetLoggerPath(ScratchFolder().c_str());
    const Bus bus = CreateBus();
    platform::can::CANComm_StartLogger();
    for (int step = 0; step < static_cast<int>(kLogSeconds / 0.02); ++step) {
      const double t = step * 0.02;
      for (int d = 0; d < kDevices; ++d) {
        for (int s = 0; s < kSignalsPerDevice; ++s) {
          harness::SetSimulatedValue(bus.hash[d], kSignals[s], std::sin(t * (s + 1) + d) * (s + 1));
        }
      }
      harness::AdvanceTime(0.02);
      harness::AwaitLogWritten();
    }
    platform::can::CANComm_StopLogger();
    const std::string path = harness::LastLogFile();
    harness::Reset();
    return path;
  }();
  return file;
}

// One user-signal write on the caller's thread, with the writer thread
// draining the buffer on the real clock.
void BM_UserSignalWrite(benchmark::State& state) {
  harness::Reset();
  harness::SetReportEcho(false);
  platform::can::CANComm_SetLoggerPath(ScratchFolder().c_str());
  platform::can::CANComm_StartLogger();
  double value = 0.0;
  kvor::zephrin6::SignalLogger::WriteDouble("arm/angle", value, "deg");  // first write defines the signal
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvor::zephrin6::SignalLogger::WriteDouble("arm/angle", value, "deg"));
    value += 0.5;
  }
  zephrin_bench::ReportAllocations(state, before);
  platform::can::CANComm_StopLogger();
  state.counters["dropped"] = static_cast<double>(harness::DroppedUserSamples());
  harness::Reset();
}
BENCHMARK(BM_UserSignalWrite);

// Size of one minute of four devices publishing twenty signals each at 100 Hz.
void BM_LogBytesPerMinute(benchmark::State& state) {
  const std::string& file = RecordMinute();
  for (auto _ : state) benchmark::DoNotOptimize(std::filesystem::file_size(file));
  const double bytes = static_cast<double>(std::filesystem::file_size(file));
  state.counters["bytes_per_minute"] = bytes * 60.0 / kLogSeconds;
  state.counters["bytes_per_frame"] = bytes / (kDevices * kSignalsPerDevice * kSignalHz * kLogSeconds);
}
BENCHMARK(BM_LogBytesPerMinute)->Iterations(1)->Unit(benchmark::kMillisecond);

// Loads the recorded minute and steps through it 4 ms at a time as fast as
// possible, reading 18 device signals per step like a swerve odometry loop.
void BM_ReplayMinuteStepped4ms(benchmark::State& state) {
  const std::string& file = RecordMinute();
  harness::Reset();
  harness::SetReportEcho(false);
  uint64_t keys[18];
  for (int i = 0; i < 18; ++i) {
    keys[i] = platform::MakeSignalKey(harness::DeviceHash(i % kDevices + 1, "rapax q", "drivebus"),
                                      kSignals[i % kSignalsPerDevice]);
  }
  platform::SignalMeasurement records[18];
  for (auto _ : state) {
    platform::ReplayLoadFile(file.c_str());
    for (int step = 0; step < static_cast<int>(kLogSeconds / 0.004); ++step) {
      platform::ReplayStepTiming(0.004);
      c_kvor_zephrin6_get_signal(18, keys, records, "drivebus", false, 0.0);
      benchmark::DoNotOptimize(records);
    }
    platform::ReplayCloseFile();
  }
  harness::Reset();
}
BENCHMARK(BM_ReplayMinuteStepped4ms)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(ScratchFolder());
  return 0;
}
