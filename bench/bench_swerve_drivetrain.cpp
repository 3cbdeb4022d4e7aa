// One odometry sample of a four-module drivetrain on a CAN FD bus, library
// side only: read the 18 odometry signals (data ready), compute the module
// positions and states, update the pose estimator with a full 1.5 s history,
// apply a FieldCentric request (8 control sends) and write the cached state,
// telemetry off. The sample runs through OdometryThread::RunOnce on the
// benchmark's thread; the runtime's clock is manual and moves one 250 Hz
// period per sample outside the timed region. The other benchmarks break the
// sample down into its parts (the estimator update is measured by
// bench_swerve_estimation). Every one of them must allocate nothing.
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <array>
#include <chrono>
#include <memory>
#include <vector>

#include "CountingAllocator.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace swerve = kvor::zephrin6::swerve;
namespace configs = kvor::zephrin6::configs;
using swerve::impl::SwerveDrivetrainImpl;
using units::length::meter_t;

constexpr double kPeriod = 1.0 / 250.0;

using Constants =
    swerve::SwerveModuleConstants<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                  configs::AngulonConfiguration>;

/// A started-up drivetrain driven field-centric, with a full pose history,
/// on a manual clock that continues the real one it was built on.
struct Drivetrain {
  std::unique_ptr<SwerveDrivetrainImpl> impl;
  swerve::requests::FieldCentric drive;

  Drivetrain() {
    harness::Reset();
    harness::SetReportEcho(false);
    swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                         configs::AngulonConfiguration>
        factory;
    factory.WithDriveMotorGearRatio(6.75)
        .WithCouplingGearRatio(3.5)
        .WithWheelRadius(meter_t{0.05})
        .WithSpeedAt12Volts(units::velocity::meters_per_second_t{4.7});
    const std::array<double, 2> kSigns{1.0, -1.0};
    std::vector<Constants> modules;
    for (int i = 0; i < 4; ++i) {
      modules.push_back(factory.CreateModuleConstants(10 + i, 20 + i, 30 + i, units::angle::turn_t{0.0},
                                                      meter_t{0.3 * kSigns[i / 2]}, meter_t{0.3 * kSigns[i % 2]},
                                                      false, false, false));
    }
    swerve::SwerveDrivetrainConstants constants;
    constants.WithCANBusName("drivebus").WithAuklet2Id(40);
    // Construction waits for fresh frames, which the real clock brings.
    impl = std::make_unique<SwerveDrivetrainImpl>(constants, units::frequency::hertz_t{250.0},
                                                  std::array<double, 3>{0.1, 0.1, 0.1},
                                                  std::array<double, 3>{0.9, 0.9, 0.9},
                                                  std::span<const Constants>(modules));
    harness::UseManualClock(harness::Now());
    drive.WithVelocityX(units::velocity::meters_per_second_t{1.5})
        .WithVelocityY(units::velocity::meters_per_second_t{0.5})
        .WithRotationalRate(units::angular_velocity::radians_per_second_t{1.0});
    impl->SetControl(drive);
    // Two seconds of samples: the pose history and every request object
    // reach their steady size.
    for (int i = 0; i < 500; ++i) Sample();
  }
  ~Drivetrain() {
    impl.reset();
    harness::Reset();
  }

  void Sample() {
    harness::AdvanceTime(kPeriod);
    // A failed read counts in FailedDaqs, which the benchmark checks.
    static_cast<void>(impl->GetOdometryThread().RunOnce());
  }

  /// The odometry signals in the thread's order, the gyro's from the device.
  std::vector<kvor::zephrin6::BaseStatusSignal*> Signals() {
    std::vector<kvor::zephrin6::BaseStatusSignal*> signals;
    for (const auto& module : impl->GetModules()) {
      for (auto* signal : module->GetSignals()) signals.push_back(signal);
    }
    signals.push_back(&impl->GetAuklet2().GetYaw(false));
    signals.push_back(&impl->GetAuklet2().GetAngularVelocityZWorld(false));
    return signals;
  }
};

// The sample's time is taken around RunOnce alone with the steady clock (its
// two reads, about 40 ns, are included); the benchmark's timer pauses, which
// cost several hundred nanoseconds each, are not used. Reported, per sample:
//   Time      NET, the figure to compare with the 2.5 us goal: the library's
//             sample alone, wall-clock time between the two clock reads
//   CPU       GROSS: for a manual-time benchmark Google Benchmark prints the
//             process's CPU time of the whole loop here, so it holds the
//             clock move below as well; not the sample's cost
//   gross_ns  GROSS in wall-clock time: moving the manual clock one period
//             (the harness steps the simulated firmware of 9 devices through
//             4 ms) plus the sample plus the timing itself
//   allocs    the sample's own heap allocations (the clock move's excluded)
// On a loaded machine the net time follows the load (it is wall-clock); the
// instructions of RunOnce (callgrind, --toggle-collect on it) do not.
void BM_OdometrySample(benchmark::State& state) {
  Drivetrain drivetrain;
  auto& thread = drivetrain.impl->GetOdometryThread();
  std::uint64_t clockAllocations = 0;
  const auto before = zephrin_bench::Allocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    const auto beforeClock = zephrin_bench::Allocations();
    harness::AdvanceTime(kPeriod);
    clockAllocations += zephrin_bench::Allocations() - beforeClock;
    const auto sampleStart = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(thread.RunOnce());
    const std::chrono::duration<double> sample = std::chrono::steady_clock::now() - sampleStart;
    state.SetIterationTime(sample.count());
  }
  const std::chrono::duration<double, std::nano> gross = std::chrono::steady_clock::now() - start;
  zephrin_bench::ReportAllocations(state, before + clockAllocations);
  state.counters["gross_ns"] = gross.count() / static_cast<double>(state.iterations());
  if (drivetrain.impl->GetState().FailedDaqs != 0) state.SkipWithError("a sample failed to read its signals");
}
BENCHMARK(BM_OdometrySample)->UseManualTime();

// Part: the one runtime read of all 18 signals.
void BM_SampleAcquireSignals(benchmark::State& state) {
  Drivetrain drivetrain;
  const auto signals = drivetrain.Signals();
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvor::zephrin6::BaseStatusSignal::RefreshAll(signals));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SampleAcquireSignals);

// Part: latency-compensated positions and measured states of 4 modules.
void BM_SampleModulePositions(benchmark::State& state) {
  Drivetrain drivetrain;
  const auto& modules = drivetrain.impl->GetModules();
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    for (const auto& module : modules) {
      benchmark::DoNotOptimize(module->GetPosition(false));
      benchmark::DoNotOptimize(module->GetCurrentState());
    }
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SampleModulePositions);

// Part: FieldCentric applied to 4 modules, 8 control sends.
void BM_SampleFieldCentric(benchmark::State& state) {
  Drivetrain drivetrain;
  const auto parameters = drivetrain.impl->GetControlParameters();
  const auto& modules = drivetrain.impl->GetModules();
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(drivetrain.drive.Apply(parameters, modules));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SampleFieldCentric);

// Part: the copy of the published state a program makes with GetState.
void BM_SampleStateCopy(benchmark::State& state) {
  Drivetrain drivetrain;
  swerve::SwerveDriveState copy = drivetrain.impl->GetState();
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    drivetrain.impl->GetState(copy);
    benchmark::DoNotOptimize(copy);
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SampleStateCopy);

}  // namespace

BENCHMARK_MAIN();
