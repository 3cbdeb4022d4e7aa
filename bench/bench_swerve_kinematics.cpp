// Kinematics of a four-module drivetrain: the inverse direction runs once per
// control request, the forward directions once per odometry sample. Each
// iteration is one call on precomputed random inputs (64 of them, cycled).
// BM_InverseKinematics includes allocating and freeing the returned vector;
// BM_InverseKinematicsIntoArray is the overload the drivetrain's requests
// call, writing into storage the caller keeps; BM_InverseKinematicsNoRotation
// is that overload on commands whose rotation rate is zero, as when driving
// without turning, where the modules share one vector and its angle.
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>

#include <array>
#include <cstddef>
#include <random>
#include <vector>

#include "CountingAllocator.hpp"

namespace swerve = kvor::zephrin6::swerve;
using swerve::impl::SwerveDriveKinematics;
using units::angle::radian_t;
using units::length::meter_t;

namespace {

constexpr std::size_t kInputs = 64;

SwerveDriveKinematics Square() {
  return SwerveDriveKinematics({{meter_t{0.3}, meter_t{0.3}},
                                {meter_t{0.3}, meter_t{-0.3}},
                                {meter_t{-0.3}, meter_t{0.3}},
                                {meter_t{-0.3}, meter_t{-0.3}}});
}

std::array<swerve::ChassisSpeeds, kInputs> RandomSpeeds(bool rotating = true) {
  std::mt19937_64 engine(3);
  std::uniform_real_distribution<double> speed(-4, 4);
  std::array<swerve::ChassisSpeeds, kInputs> out;
  for (auto& s : out) {
    s = {units::velocity::meters_per_second_t{speed(engine)}, units::velocity::meters_per_second_t{speed(engine)},
         units::angular_velocity::radians_per_second_t{rotating ? speed(engine) : 0.0}};
  }
  return out;
}

void BM_InverseKinematics(benchmark::State& state) {
  SwerveDriveKinematics kinematics = Square();
  const auto speeds = RandomSpeeds();
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kinematics.ToSwerveModuleStates(speeds[i]));
    i = (i + 1) % kInputs;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_InverseKinematics);

void IntoArray(benchmark::State& state, bool rotating) {
  SwerveDriveKinematics kinematics = Square();
  const auto speeds = RandomSpeeds(rotating);
  std::array<swerve::SwerveModuleState, 4> states;
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    kinematics.ToSwerveModuleStates(speeds[i], swerve::Translation2d(), states);
    benchmark::DoNotOptimize(states);
    i = (i + 1) % kInputs;
  }
  zephrin_bench::ReportAllocations(state, before);
}

void BM_InverseKinematicsIntoArray(benchmark::State& state) { IntoArray(state, true); }
BENCHMARK(BM_InverseKinematicsIntoArray);

void BM_InverseKinematicsNoRotation(benchmark::State& state) { IntoArray(state, false); }
BENCHMARK(BM_InverseKinematicsNoRotation);

void BM_ForwardKinematics(benchmark::State& state) {
  SwerveDriveKinematics kinematics = Square();
  std::vector<std::vector<swerve::SwerveModuleState>> states;
  for (const auto& s : RandomSpeeds()) states.push_back(kinematics.ToSwerveModuleStates(s));
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kinematics.ToChassisSpeeds(states[i]));
    i = (i + 1) % kInputs;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_ForwardKinematics);

void BM_ToTwist2d(benchmark::State& state) {
  SwerveDriveKinematics kinematics = Square();
  std::vector<std::vector<swerve::SwerveModulePosition>> deltas;
  for (const auto& s : RandomSpeeds()) {
    std::vector<swerve::SwerveModulePosition> d;
    for (const auto& m : kinematics.ToSwerveModuleStates(s)) d.push_back({meter_t{m.speed.value() * 0.004}, m.angle});
    deltas.push_back(std::move(d));
  }
  const auto before = zephrin_bench::Allocations();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kinematics.ToTwist2d(deltas[i]));
    i = (i + 1) % kInputs;
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_ToTwist2d);

}  // namespace

BENCHMARK_MAIN();
