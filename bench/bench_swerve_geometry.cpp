// Exp and Log run several times per odometry sample and per vision
// measurement; they must stay in the tens of nanoseconds. Each iteration is
// one call on precomputed random poses (64 of them, cycled), so the time
// includes the call and an index step, nothing else.
#include <kvor/zephrin6/swerve/Pose2d.hpp>

#include <array>
#include <cstddef>
#include <random>

#include "CountingAllocator.hpp"

namespace swerve = kvor::zephrin6::swerve;
using units::angle::radian_t;
using units::length::meter_t;

namespace {

constexpr std::size_t kInputs = 64;

swerve::Pose2d RandomPose(std::mt19937_64& engine) {
  std::uniform_real_distribution<double> place(-8, 8), heading(-3.14, 3.14);
  return swerve::Pose2d(meter_t{place(engine)}, meter_t{place(engine)}, swerve::Rotation2d(radian_t{heading(engine)}));
}

void BM_PoseExp(benchmark::State& state) {
  std::mt19937_64 engine(1);
  std::uniform_real_distribution<double> step(-0.05, 0.05);
  std::array<swerve::Pose2d, kInputs> poses;
  std::array<swerve::Twist2d, kInputs> twists;
  for (std::size_t i = 0; i < kInputs; ++i) {
    poses[i] = RandomPose(engine);
    twists[i] = {meter_t{step(engine)}, meter_t{step(engine)}, radian_t{step(engine)}};
  }
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(poses[i].Exp(twists[i]));
    i = (i + 1) % kInputs;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_PoseExp);

void BM_PoseLog(benchmark::State& state) {
  std::mt19937_64 engine(2);
  std::array<swerve::Pose2d, kInputs> starts, ends;
  for (std::size_t i = 0; i < kInputs; ++i) {
    starts[i] = RandomPose(engine);
    ends[i] = RandomPose(engine);
  }
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(starts[i].Log(ends[i]));
    i = (i + 1) % kInputs;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_PoseLog);

}  // namespace

BENCHMARK_MAIN();
