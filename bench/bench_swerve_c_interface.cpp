// The swerve C interface's own cost on a four-module drivetrain (odometry
// stopped): the registry look-up, a state read into the caller's arrays,
// installing a changed field-centric request as a program does every loop,
// and applying one once (8 control sends). The JVM bindings add their copying
// on top of these (printed by the Java test program). A loop-rate call must
// allocate nothing once warm. BM_RequestApplyFieldCentric includes the
// argument checks, the registry look-up, building the request, the module
// lock and the apply with its 8 sends, each recorded for the simulated
// firmware (which decodes them at its next step, never reached here: the
// clock stands).
#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <array>

#include "CountingAllocator.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;

/// A square drivetrain created through the C interface on the real clock
/// (creation waits for fresh frames), then held on a manual clock.
struct CDrivetrain {
  int id = 0;

  CDrivetrain() {
    harness::Reset();
    harness::SetReportEcho(false);
    static const std::array<std::array<double, 2>, 4> kCorners{{{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}}};
    _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants("drivebus", 40);
    _swerve_module_constants_arr_t* modules = c_kvor_zephrin6_swerve_create_module_constants_arr(4);
    for (int i = 0; i < 4; ++i) {
      c_kvor_zephrin6_swerve_set_module_constants(modules, i, 10 + i, 20 + i, 30 + i, 0.0, kCorners[i][0],
                                                  kCorners[i][1], false, false, false, 6.75, 12.8, 3.5, 0.05, 0, 0,
                                                  120.0, 4.7, 0, 0, 0, 0.01, 0.01, 0.2, 0.2);
    }
    id = c_kvor_zephrin6_swerve_create_drivetrain(constants, modules, 4);
    void* address = constants;
    c_kvor_zephrin6_free_memory(&address);
    address = modules;
    c_kvor_zephrin6_free_memory(&address);
    // From here on the clock is manual and stands still: the simulated
    // firmware's thread, which steps on the real clock, stays idle, so the
    // times and allocation counts are the calls' own (the firmware's per
    // tick are bench_firmware's).
    harness::UseManualClock(harness::Now());
  }
  ~CDrivetrain() {
    c_kvor_zephrin6_swerve_destroy_drivetrain(id);
    harness::Reset();
  }
};

void BM_LookUpUnknownId(benchmark::State& state) {
  CDrivetrain drivetrain;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) benchmark::DoNotOptimize(c_kvor_zephrin6_swerve_drivetrain_is_odometry_valid(drivetrain.id + 1));
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_LookUpUnknownId);

void BM_GetState4Modules(benchmark::State& state) {
  CDrivetrain drivetrain;
  std::array<_swerve_module_state_t, 4> states{};
  std::array<_swerve_module_state_t, 4> targets{};
  std::array<_swerve_module_position_t, 4> positions{};
  _swerve_drive_state_t out{};
  out.ModuleStates = states.data();
  out.ModuleTargets = targets.data();
  out.ModulePositions = positions.data();
  c_kvor_zephrin6_swerve_drivetrain_get_state(drivetrain.id, &out);
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    c_kvor_zephrin6_swerve_drivetrain_get_state(drivetrain.id, &out);
    benchmark::DoNotOptimize(out.PoseX);
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_GetState4Modules);

void BM_SetControlFieldCentric(benchmark::State& state) {
  CDrivetrain drivetrain;
  c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(drivetrain.id, 0, 1, true, 0, 1, 0, 0, 0, 0, 0, 0);
  double velocity = 0.0;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    velocity = velocity > 3.0 ? 0.0 : velocity + 0.01;
    c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(drivetrain.id, 0, 1, true, 0, velocity, 0.5, 1.0, 0.02,
                                                                0.01, 0, 0);
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_SetControlFieldCentric);

void BM_RequestApplyFieldCentric(benchmark::State& state) {
  CDrivetrain drivetrain;
  c_kvor_zephrin6_swerve_request_apply_field_centric(drivetrain.id, 0, 1, true, 0, 1, 0, 0, 0, 0, 0, 0);
  double velocity = 0.0;
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    velocity = velocity > 3.0 ? 0.0 : velocity + 0.01;
    benchmark::DoNotOptimize(c_kvor_zephrin6_swerve_request_apply_field_centric(drivetrain.id, 0, 1, true, 0, velocity,
                                                                                0.5, 1.0, 0.02, 0.01, 0, 0));
  }
  zephrin_bench::ReportAllocations(state, before);
}
BENCHMARK(BM_RequestApplyFieldCentric);

}  // namespace

BENCHMARK_MAIN();
