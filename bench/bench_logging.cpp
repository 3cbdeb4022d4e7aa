// Costs of the signal log: one user-signal write on the caller's thread, the
// size of a log of a busy bus, and how fast a recorded minute replays when
// stepped as fast as possible.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/platform/Replay.hpp>
#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>

#include "CountingAllocator.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace platform = kvor::zephrin::platform;
namespace ids = kvor::zephrin::signal_ids::rapax_q;

constexpr int kDevices = 4;
constexpr int kSignalsPerDevice = 20;
constexpr double kSignalHz = 100.0;
constexpr double kLogSeconds = 60.0;
// Twenty 100 Hz signals a motor controller publishes (motion, currents,
// control state).
constexpr uint16_t kSignals[kSignalsPerDevice] = {
    ids::kMotorVoltage, ids::kDutyCycle, ids::kTorqueCurrent, ids::kStatorCurrent, ids::kSupplyCurrent,
    ids::kRotorVelocity, ids::kRotorPosition, ids::kVelocity, ids::kPosition, ids::kAcceleration,
    ids::kClosedLoopFeedForward, ids::kControlMode, ids::kDeviceEnable, ids::kClosedLoopReference,
    ids::kClosedLoopReference_Velocity, ids::kClosedLoopError, ids::kClosedLoopError_Velocity, ids::kClosedLoopOutput,
    ids::kClosedLoopReferenceSlope, ids::kMotorOutputStatus};

// Stops the program at a set-up step that failed: what it would measure next
// is not what its name says.
void Require(int status, const char* step) {
  if (status != 0) {
    std::fprintf(stderr, "bench_logging: %s failed with status %d\n", step, status);
    std::exit(1);
  }
}

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
    for (uint16_t id : kSignals) {
      Require(c_kvor_zephrin6_SetUpdateFrequency(0, "drivebus", bus.hash[d], id, kSignalHz, 0.1), "a signal rate");
    }
    Require(c_kvor_zephrin6_OptimizeUpdateFrequencies(0, "drivebus", bus.hash[d], 0.0, 0.1), "stopping the rest");
  }
  return bus;
}

// Records kLogSeconds of that bus on the manual clock, the values moving
// every 20 ms like a robot loop's, and returns the log's path. The writer is
// made to catch up before every change (the store serves its present value
// to frames not yet collected), so this log has a chunk per 20 ms rather
// than per 100 ms: a conservative size.
std::string RecordMinute() {
  harness::Reset();
  harness::SetReportEcho(false);
  harness::UseManualClock(1.0);
  Require(platform::can::CANComm_SetLoggerPath(ScratchFolder().c_str()), "the log folder");
  const Bus bus = CreateBus();
  Require(platform::can::CANComm_StartLogger(), "starting the log");
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
  Require(platform::can::CANComm_StopLogger(), "stopping the log");
  const std::string path = harness::LastLogFile();
  harness::Reset();
  return path;
}

/// The minute recorded last, recorded on first use.
std::string& MinuteLog() {
  static std::string path;
  return path;
}
const std::string& RecordedMinute() {
  if (MinuteLog().empty()) MinuteLog() = RecordMinute();
  return MinuteLog();
}

/// A running logger with "arm/angle" defined by a first write.
void StartLoggingArmAngle() {
  harness::Reset();
  harness::SetReportEcho(false);
  Require(platform::can::CANComm_SetLoggerPath(ScratchFolder().c_str()), "the log folder");
  Require(platform::can::CANComm_StartLogger(), "starting the log");
  Require(kvor::zephrin6::SignalLogger::WriteDouble("arm/angle", 0.0, "deg"), "the first write");
}

/// Stops the logger and reports how many of the timed writes were dropped.
void StopLoggingArmAngle(benchmark::State& state) {
  Require(platform::can::CANComm_StopLogger(), "stopping the log");
  const auto dropped = static_cast<double>(harness::DroppedUserSamples());
  state.counters["dropped/write"] = dropped / static_cast<double>(state.iterations());
  harness::Reset();
}

// One user-signal write on the caller's thread that the buffer accepts. The
// writer thread is made to drain the buffer (outside the timing) long before
// it could fill, so no timed write is dropped; dropped/write says so.
void BM_UserSignalWrite(benchmark::State& state) {
  // A quarter of the buffer's default 16384 samples.
  constexpr int kDrainEvery = 4096;
  StartLoggingArmAngle();
  double value = 0.0;
  int pending = 0;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvor::zephrin6::SignalLogger::WriteDouble("arm/angle", value, "deg"));
    value += 0.5;
    if (++pending == kDrainEvery) {
      state.PauseTiming();
      harness::AwaitLogWritten();
      state.ResumeTiming();
      pending = 0;
    }
  }
  zephrin_bench::ReportAllocations(state, before);
  StopLoggingArmAngle(state);
}
BENCHMARK(BM_UserSignalWrite);

// One user-signal write into a full buffer: the oldest sample is overwritten
// and counted as dropped. A one-sample buffer makes nearly every timed write
// take this path (dropped/write close to 1).
void BM_UserSignalWriteDropped(benchmark::State& state) {
  harness::Reset();
  harness::SetUserSignalBufferCapacity(1);
  StartLoggingArmAngle();
  double value = 0.0;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvor::zephrin6::SignalLogger::WriteDouble("arm/angle", value, "deg"));
    value += 0.5;
  }
  zephrin_bench::ReportAllocations(state, before);
  StopLoggingArmAngle(state);
}
BENCHMARK(BM_UserSignalWriteDropped);

// Records one minute of four devices publishing twenty signals each at
// 100 Hz. The result is the log's size, in the counters bytes_per_minute and
// bytes_per_frame; the time column is how long recording that minute took on
// the manual clock, set-up included.
void BM_LogBytesPerMinute(benchmark::State& state) {
  for (auto _ : state) MinuteLog() = RecordMinute();
  state.SetLabel("size in bytes_per_minute; time = recording the minute");
  const double bytes = static_cast<double>(std::filesystem::file_size(MinuteLog()));
  state.counters["bytes_per_minute"] = bytes * 60.0 / kLogSeconds;
  state.counters["bytes_per_frame"] = bytes / (kDevices * kSignalsPerDevice * kSignalHz * kLogSeconds);
}
BENCHMARK(BM_LogBytesPerMinute)->Iterations(1)->Unit(benchmark::kMillisecond);

// Ten seconds of that bus recorded while the program runs the manual clock
// as fast as it can, 10 ms at a time, every value changing at every step.
// Nothing waits for the log writer until the log stops, so it falls behind
// whenever the program's thread gets ahead, and then collects its backlog one
// 100 ms slice at a time: this is the cost of catching up. Time is the whole
// process's CPU time (both threads) per iteration, logger start and stop
// included; cpu_per_robot_second divides it by the 10 s recorded.
void BM_LogWhileRunningAhead(benchmark::State& state) {
  constexpr double kSeconds = 10.0;
  constexpr double kStep = 0.01;
  harness::Reset();
  harness::SetReportEcho(false);
  harness::UseManualClock(1.0);
  Require(platform::can::CANComm_SetLoggerPath(ScratchFolder().c_str()), "the log folder");
  const Bus bus = CreateBus();
  double t = 0.0;
  for (auto _ : state) {
    Require(platform::can::CANComm_StartLogger(), "starting the log");
    for (int step = 0; step < static_cast<int>(kSeconds / kStep); ++step, t += kStep) {
      for (int d = 0; d < kDevices; ++d) {
        for (int s = 0; s < kSignalsPerDevice; ++s) {
          harness::SetSimulatedValue(bus.hash[d], kSignals[s], std::sin(t * (s + 1) + d) * (s + 1));
        }
      }
      harness::AdvanceTime(kStep);
    }
    Require(platform::can::CANComm_StopLogger(), "stopping the log");
  }
  state.counters["cpu_per_robot_second"] = benchmark::Counter(
      kSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  harness::Reset();
}
BENCHMARK(BM_LogWhileRunningAhead)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// Loads the recorded minute and steps through it 4 ms at a time as fast as
// possible, reading 18 device signals per step like a swerve odometry loop.
void BM_ReplayMinuteStepped4ms(benchmark::State& state) {
  const std::string& file = RecordedMinute();
  harness::Reset();
  harness::SetReportEcho(false);
  uint64_t keys[18];
  for (int i = 0; i < 18; ++i) {
    keys[i] = platform::MakeSignalKey(harness::DeviceHash(i % kDevices + 1, "rapax q", "drivebus"),
                                      kSignals[i % kSignalsPerDevice]);
  }
  platform::SignalMeasurement records[18];
  for (auto _ : state) {
    Require(platform::ReplayLoadFile(file.c_str()), "loading the minute");
    for (int step = 0; step < static_cast<int>(kLogSeconds / 0.004); ++step) {
      Require(platform::ReplayStepTiming(0.004), "a step");
      benchmark::DoNotOptimize(c_kvor_zephrin6_get_signal(18, keys, records, "drivebus", false, 0.0));
      benchmark::DoNotOptimize(records);
    }
    Require(platform::ReplayCloseFile(), "closing the minute");
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
