// Odometry and pose estimation of a four-module drivetrain sampled at 250 Hz
// with a full 1.5 s pose history, as the odometry thread runs them. Each
// iteration's time includes, besides the call named, only the benchmark's
// own bookkeeping: advancing four wheel distances (about 1 ns) and an index
// into precomputed headings or times. Allocations are counted per iteration;
// BM_VisionMeasurement goes back to the oldest time every 50 measurements,
// discarding the 49 newer corrections, and the storage they leave is reused
// by the next ones, so neither it nor a steady camera stream (BM_VisionStream)
// allocates once warmed up.
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveOdometry.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivePoseEstimator.hpp>

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "CountingAllocator.hpp"

namespace swerve = kvor::zephrin6::swerve;
using swerve::Rotation2d;
using swerve::SwerveModulePosition;
using swerve::impl::SwerveDriveKinematics;
using swerve::impl::SwerveDriveOdometry;
using swerve::impl::SwerveDrivePoseEstimator;
using units::angle::radian_t;
using units::length::meter_t;
using units::time::second_t;

namespace {

constexpr double kPeriod = 1.0 / 250.0;
constexpr std::size_t kHeadings = 256;

SwerveDriveKinematics Square() {
  return SwerveDriveKinematics({{meter_t{0.3}, meter_t{0.3}},
                                {meter_t{0.3}, meter_t{-0.3}},
                                {meter_t{-0.3}, meter_t{0.3}},
                                {meter_t{-0.3}, meter_t{-0.3}}});
}

/// A drive along a gentle curve: gyro headings precomputed so that building
/// them is not measured, wheel distances advanced in place.
struct Motion {
  std::array<Rotation2d, kHeadings> headings;
  std::vector<SwerveModulePosition> positions;

  Motion() : positions(4) {
    for (std::size_t i = 0; i < kHeadings; ++i) headings[i] = Rotation2d(radian_t{0.002 * static_cast<double>(i)});
    for (std::size_t m = 0; m < 4; ++m) positions[m].angle = Rotation2d(radian_t{0.1 * static_cast<double>(m)});
  }
  void Step() {
    for (std::size_t m = 0; m < 4; ++m) positions[m].distance = positions[m].distance + meter_t{0.008 + 0.001 * m};
  }
};

/// An estimator with 2 s of samples behind it, so its history is full.
struct FullHistory {
  SwerveDriveKinematics kinematics = Square();
  Motion motion;
  SwerveDrivePoseEstimator estimator{kinematics,       Rotation2d(),    motion.positions,
                                     swerve::Pose2d(), {0.1, 0.1, 0.1}, {0.9, 0.9, 0.9}};
  int step = 0;

  FullHistory() {
    while (step < 500) Sample();
  }
  void Sample() {
    motion.Step();
    estimator.UpdateWithTime(second_t{step * kPeriod}, motion.headings[step % kHeadings], motion.positions);
    ++step;
  }
  double Now() const { return (step - 1) * kPeriod; }
};

void BM_OdometryUpdate(benchmark::State& state) {
  const SwerveDriveKinematics kinematics = Square();
  Motion motion;
  SwerveDriveOdometry odometry(kinematics, Rotation2d(), motion.positions);
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    motion.Step();
    benchmark::DoNotOptimize(odometry.Update(motion.headings[i], motion.positions));
    i = (i + 1) % kHeadings;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_OdometryUpdate);

void BM_EstimatorUpdateWithTime(benchmark::State& state) {
  FullHistory history;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    history.Sample();
    benchmark::DoNotOptimize(history.estimator.GetEstimatedPosition());
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_EstimatorUpdateWithTime);

void BM_EstimatorUpdateWithVisionCorrection(benchmark::State& state) {
  FullHistory history;
  history.estimator.AddVisionMeasurement(swerve::Pose2d(meter_t{1}, meter_t{0.5}, Rotation2d()),
                                         second_t{history.Now() - 0.1});
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    history.Sample();
    benchmark::DoNotOptimize(history.estimator.GetEstimatedPosition());
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_EstimatorUpdateWithVisionCorrection);

void BM_VisionMeasurement(benchmark::State& state) {
  FullHistory history;
  const double now = history.Now();
  const swerve::Pose2d seen(meter_t{1.2}, meter_t{0.4}, Rotation2d(radian_t{0.3}));
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    // Camera frames 20 ms apart, 0.1 to 1.08 s old, in order, then again
    // from the oldest (which discards the newer ones).
    history.estimator.AddVisionMeasurement(seen, second_t{now - 1.08 + 0.02 * static_cast<double>(i)});
    i = (i + 1) % 50;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_VisionMeasurement);

// A 50 Hz camera on a 250 Hz odometry stream: five samples and one
// measurement 60 ms old per iteration. Old corrections are pruned as the
// history slides, so the stream settles without allocating.
void BM_VisionStream(benchmark::State& state) {
  FullHistory history;
  const swerve::Pose2d seen(meter_t{1.2}, meter_t{0.4}, Rotation2d(radian_t{0.3}));
  for (int warmup = 0; warmup < 200; ++warmup) {
    for (int k = 0; k < 5; ++k) history.Sample();
    history.estimator.AddVisionMeasurement(seen, second_t{history.Now() - 0.06});
  }
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    for (int k = 0; k < 5; ++k) history.Sample();
    history.estimator.AddVisionMeasurement(seen, second_t{history.Now() - 0.06});
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_VisionStream);

void SampleAtBenchmark(benchmark::State& state, bool withVision) {
  FullHistory history;
  const double now = history.Now();
  if (withVision) {
    history.estimator.AddVisionMeasurement(swerve::Pose2d(meter_t{1}, meter_t{0.5}, Rotation2d()),
                                           second_t{now - 1.45});
  }
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(history.estimator.SampleAt(second_t{now - 0.00731 * static_cast<double>(i)}));
    i = (i + 1) % 190;
  }
  zephrin_bench::ReportAllocations(state, before);
}

void BM_SampleAt(benchmark::State& state) { SampleAtBenchmark(state, false); }
BENCHMARK(BM_SampleAt);

void BM_SampleAtWithVisionCorrection(benchmark::State& state) { SampleAtBenchmark(state, true); }
BENCHMARK(BM_SampleAtWithVisionCorrection);

}  // namespace

BENCHMARK_MAIN();
