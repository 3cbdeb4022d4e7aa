// Throughput and memory of `wisp export`, `wisp check` and `wisp diff` on
// long logs: a log of 4 devices with 20 signals each at 100 Hz plus 10 user
// signals at 50 Hz, written chunk by chunk as the logger writes it (one
// chunk per 100 ms), 1 and 10 minutes long. Each iteration runs the built
// tool as a child process, so the time is the whole command's and the peak
// resident memory is the tool's own. Reported: MB of .wisp per second of
// wall time (target at least 50; for diff the bytes of both logs;
// wisp_MB_per_cpu_s is the same per second of the tool's processor time,
// steady when other work loads the machine) and peak RSS in MiB (target:
// under 64, the same for both lengths).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispChunkReader.hpp"
#include "wisp/WispFileWriter.hpp"

namespace {

using namespace kvor::zephrin::runtime::wisp;
namespace ids = kvor::zephrin::signal_ids::rapax_q;

constexpr int kDevices = 4;
constexpr double kSignalHz = 100.0;
constexpr double kUserHz = 50.0;
constexpr double kChunkSeconds = 0.1;

// Twenty 100 Hz signals a motor controller publishes (motion, currents,
// control state), with the names and units the runtime describes them by.
const SignalDefinition kSignals[] = {
    {ids::kMotorVoltage, "MotorVoltage", "V"},
    {ids::kDutyCycle, "DutyCycle", "fractional"},
    {ids::kTorqueCurrent, "TorqueCurrent", "A"},
    {ids::kStatorCurrent, "StatorCurrent", "A"},
    {ids::kSupplyCurrent, "SupplyCurrent", "A"},
    {ids::kRotorVelocity, "RotorVelocity", "turns/s"},
    {ids::kRotorPosition, "RotorPosition", "turns"},
    {ids::kVelocity, "Velocity", "turns/s"},
    {ids::kPosition, "Position", "turns"},
    {ids::kAcceleration, "Acceleration", "turns/s^2"},
    {ids::kClosedLoopFeedForward, "ClosedLoopFeedForward", "fractional"},
    {ids::kControlMode, "ControlMode", ""},
    {ids::kDeviceEnable, "DeviceEnable", ""},
    {ids::kClosedLoopReference, "ClosedLoopReference", "turns"},
    {ids::kClosedLoopReference_Velocity, "ClosedLoopReference", "turns/s"},
    {ids::kClosedLoopError, "ClosedLoopError", "turns"},
    {ids::kClosedLoopError_Velocity, "ClosedLoopError", "turns/s"},
    {ids::kClosedLoopOutput, "ClosedLoopOutput", "fractional"},
    {ids::kClosedLoopReferenceSlope, "ClosedLoopReferenceSlope", "turns/s"},
    {ids::kMotorOutputStatus, "MotorOutputStatus", ""},
};

// Ten user signals of a robot program, of most types.
const UserSignalDefinition kUserSignals[] = {
    {0, 4, "drive/speed", "m/s"},
    {1, 4, "arm/angle", "deg"},
    {2, 9, "drive/pose", "m"},
    {3, 1, "intake/hasPiece", ""},
    {4, 2, "loop/count", ""},
    {5, 3, "shooter/rpm", "rpm"},
    {6, 5, "mode", ""},
    {7, 7, "vision/tags", ""},
    {8, 8, "drive/moduleAngles", "deg"},
    {9, 6, "faults", ""},
};

// Values that move like sensor readings: smooth, with noise in the low bits,
// so the log compresses as a real one does rather than to nothing.
double Reading(uint32_t seed, double t) {
  uint32_t x = seed * 2654435761u ^ static_cast<uint32_t>(t * 1e4);
  x ^= x >> 13;
  x *= 0x5bd1e995u;
  x ^= x >> 15;
  return std::sin(t * (0.3 + seed % 7) + seed) * (1.0 + seed % 5) + (x % 1000) * 1e-6;
}

UserSample MakeUserSample(const UserSignalDefinition& d, double t) {
  UserSample s;
  s.definition = d.index;
  s.time = t;
  auto put = [&s](const void* data, std::size_t size) {
    std::memcpy(s.payload.data() + s.size, data, size);
    s.size = static_cast<uint8_t>(s.size + size);
  };
  const double v = Reading(d.index + 100, t);
  switch (d.type) {
    case 1: {
      const uint8_t b = v > 0;
      put(&b, 1);
      break;
    }
    case 2: {
      const int64_t i = static_cast<int64_t>(t * kUserHz);
      put(&i, 8);
      break;
    }
    case 3: {
      const float f = static_cast<float>(v * 1000);
      put(&f, 4);
      break;
    }
    case 5: {
      const char* mode = t < 15 ? "autonomous" : "teleop";
      put(mode, std::strlen(mode));
      break;
    }
    case 6:
      for (int i = 0; i < 4; ++i) {
        const uint8_t b = (static_cast<int>(t) >> i) & 1;
        put(&b, 1);
      }
      break;
    case 7:
      for (int64_t tag = 1; tag <= 3; ++tag) put(&tag, 8);
      break;
    case 8:
      for (int i = 0; i < 4; ++i) {
        const float f = static_cast<float>(Reading(d.index * 10 + i, t) * 180);
        put(&f, 4);
      }
      break;
    case 9:
      for (int i = 0; i < 3; ++i) {
        const double x = Reading(d.index * 10 + i, t);
        put(&x, 8);
      }
      break;
    default:
      put(&v, 8);
  }
  return s;
}

// Writes the log once per length and returns its path.
std::string GeneratedLog(int minutes) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("zephrin_bench_export_" + std::to_string(::getpid()) + "_" + std::to_string(minutes) + ".wisp");
  if (std::filesystem::exists(path)) return path.string();
  // A log that is not what its name says would time the tools on something else.
  auto require = [](bool ok, const char* step) {
    if (!ok) throw std::runtime_error(std::string("writing the benchmark log: ") + step + " failed");
  };
  WispFileWriter writer;
  require(writer.Open(path.string(), 1.0, 1765000000), "creating the file");
  ChunkBuilder chunk;
  const int chunks = static_cast<int>(minutes * 60 / kChunkSeconds);
  const int framesPerChunk = static_cast<int>(kSignalHz * kChunkSeconds);
  const int userPerChunk = static_cast<int>(kUserHz * kChunkSeconds);
  for (int c = 0; c < chunks; ++c) {
    chunk.Clear();
    const double start = 1.0 + c * kChunkSeconds;
    if (c == 0) {
      for (int d = 0; d < kDevices; ++d) {
        require(chunk.AddDevice({0xA000u + d, d + 1, "rapax q", "drivebus"}), "a device");
      }
      for (const auto& s : kSignals) require(chunk.AddSignalDefinition(s), "a signal");
      for (const auto& u : kUserSignals) require(chunk.AddUserSignalDefinition(u), "a user signal");
    }
    for (const auto& u : kUserSignals) {
      for (int i = 0; i < userPerChunk; ++i) chunk.AddUserSample(MakeUserSample(u, start + i / kUserHz));
    }
    // Per device and signal, its frames of the interval, as the logger
    // collects them.
    for (int d = 0; d < kDevices; ++d) {
      for (const auto& s : kSignals) {
        for (int i = 0; i < framesPerChunk; ++i) {
          const double t = start + i / kSignalHz + d * 1e-4;
          Frame f{0xA000u + d, s.signalId, {Reading(s.signalId * 4 + d, t), t, t - 5e-4, t - 1e-3, 0, s.signalId}};
          chunk.AddFrame(f);
        }
      }
    }
    if (c == chunks - 1) chunk.AddEnd(start + kChunkSeconds);
    require(writer.WriteChunk(chunk), "a chunk");
  }
  writer.Close();
  return path.string();
}

struct ToolRun {
  double seconds = 0.0;
  double cpuSeconds = 0.0;  // the child's user and system time
  double peakRssMiB = 0.0;
  int status = -1;
};

ToolRun RunTool(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  std::string tool = WISP_TOOL;
  argv.push_back(tool.data());
  std::vector<std::string> copies = arguments;
  for (auto& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  ToolRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    // The report lines are not the benchmark's output.
    std::freopen("/dev/null", "w", stdout);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(child, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakRssMiB = usage.ru_maxrss / 1024.0;
  run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec +
                   usage.ru_stime.tv_usec * 1e-6;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Runs the tool with `arguments` on `logs`, which it reads whole.
void Measure(benchmark::State& state, const std::vector<std::string>& arguments,
             const std::vector<std::string>& logs) {
  double megabytes = 0.0;
  for (const auto& log : logs) megabytes += std::filesystem::file_size(log) / 1e6;
  double peak = 0.0, cpu = 0.0;
  for (auto _ : state) {
    const ToolRun run = RunTool(arguments);
    if (run.status != 0) {
      state.SkipWithError("the tool failed");
      return;
    }
    state.SetIterationTime(run.seconds);
    peak = std::max(peak, run.peakRssMiB);
    cpu += run.cpuSeconds;
  }
  state.counters["wisp_MB"] = megabytes;
  state.counters["wisp_MB_per_s"] = benchmark::Counter(megabytes * state.iterations(), benchmark::Counter::kIsRate);
  // The same per second of the tool's own processor time: what the machine
  // can do when other work shares its cores.
  state.counters["wisp_MB_per_cpu_s"] = megabytes * state.iterations() / cpu;
  state.counters["peak_RSS_MiB"] = peak;
}

// The time column is the whole `wisp export` command; wisp_MB_per_s is the
// result to compare with the target.
void BM_WispExportToWpilog(benchmark::State& state) {
  const std::string log = GeneratedLog(static_cast<int>(state.range(0)));
  const std::string out = log + ".wpilog";
  Measure(state, {"export", log, "-o", out}, {log});
  std::filesystem::remove(out);
}
BENCHMARK(BM_WispExportToWpilog)
    ->ArgName("minutes")
    ->Arg(1)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The floor an export is measured against: the same log read chunk by
// chunk inside this process (file read, CRC check, decompression, records
// parsed into values), nothing done with the records. Time is wall time of
// the read alone; no process is started.
void BM_WispReadFloor(benchmark::State& state) {
  const std::string log = GeneratedLog(static_cast<int>(state.range(0)));
  const double megabytes = std::filesystem::file_size(log) / 1e6;
  WispChunk chunk;
  for (auto _ : state) {
    WispChunkReader reader;
    reader.Open(log);
    uint64_t records = 0;
    while (reader.Next(chunk)) records += chunk.frames.size() + chunk.userSamples.size();
    benchmark::DoNotOptimize(records);
    if (reader.Report().Damaged()) state.SkipWithError("the log did not read whole");
  }
  state.counters["wisp_MB"] = megabytes;
  state.counters["wisp_MB_per_s"] = benchmark::Counter(megabytes * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WispReadFloor)->ArgName("minutes")->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same log checked: one read, no output.
void BM_WispCheck(benchmark::State& state) {
  const std::string log = GeneratedLog(static_cast<int>(state.range(0)));
  Measure(state, {"check", log}, {log});
}
BENCHMARK(BM_WispCheck)->ArgName("minutes")->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The log compared with a copy of itself: every record of both is read
// twice (once to learn the signals, once to compare) and compared; the
// verdict is "identical".
void BM_WispDiff(benchmark::State& state) {
  const std::string log = GeneratedLog(static_cast<int>(state.range(0)));
  const std::string copy = log + ".copy.wisp";
  std::filesystem::copy_file(log, copy, std::filesystem::copy_options::overwrite_existing);
  Measure(state, {"diff", log, copy}, {log, copy});
  std::filesystem::remove(copy);
}
BENCHMARK(BM_WispDiff)->ArgName("minutes")->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (int minutes : {1, 10}) {
    std::filesystem::remove(
        std::filesystem::temp_directory_path() /
        ("zephrin_bench_export_" + std::to_string(::getpid()) + "_" + std::to_string(minutes) + ".wisp"));
  }
  return 0;
}
