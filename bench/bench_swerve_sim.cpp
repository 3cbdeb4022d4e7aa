// How fast a simulated four-module swerve drivetrain runs on the manual
// clock, and how fast its log replays.
//
// BM_SimulatedDrivetrain: one iteration is 20 ms of robot time, as the demo
// runs it: twenty 1 ms steps of the clock, each followed by the physics
// (SimSwerveDrivetrain::Update, which reads and feeds every motor, encoder
// and the auklet 2 through the runtime), five odometry samples
// (OdometryThread::RunOnce) and one new field-centric request. Whatever the
// runtime's simulated firmware does as the clock moves is in the time too.
// The counter x_real_time is robot seconds per wall second (goal: 400 or more).
// The 20 ms run in TimedLoop, so that `valgrind --tool=callgrind
// --toggle-collect='*TimedLoop*'` counts the timed work without the 2 s of
// start-up before it (divide by the harness::SetTime calls for a figure per
// simulated millisecond).
//
// BM_SimulatedDrivetrainOnField: the same with the robot on a field, to
// show what the field costs against BM_SimulatedDrivetrain (goal: under 10 %
// more time). Argument 0: the default 16.54 m x 8.07 m field, the circle in
// its middle, where nothing is near (the common case). Argument 1: a 3 m x
// 3 m field the 1.5 m circle keeps the robot pressed against, so that the
// rigid-body engine runs at every step (the worst case).
//
// BM_LongestSimUpdate: one SimSwerveDrivetrain::Update handed a step of
// 1e300 s (a clock that jumped), which integrates kMaxUpdate of it and reports
// the rest (report printing off): the longest any simulation call holds the
// simulation's lock, since no other call integrates anything. The robot
// drives the circle of BM_SimulatedDrivetrain; the clock and firmware stand.
//
// BM_SimStep and BM_SimStepThroughC: one step of a program on the manual
// clock that steps the simulation itself: the clock moves 4 ms, the physics
// integrates them, one odometry sample runs; through the C++ objects, and
// through the C functions under Java's updateSim and stepOdometry. Timer
// runs over all three calls (the clock's move included); no setup inside.
//
// BM_ReplayLoad and BM_ReplayOdometry: a 10 s drive of the same drivetrain is
// recorded once; the first loads (and closes) the log, the second re-runs
// odometry at every recorded sample of the loaded log, stepping the paused
// replay to each instant. x_real_time is log seconds per wall second.
#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/sim/SimField.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "CountingAllocator.hpp"

namespace {

namespace swerve = kvor::zephrin6::swerve;
namespace configs = kvor::zephrin6::configs;
namespace harness = kvor::zephrin::runtime::harness;
using kvor::zephrin::StatusCode;
using swerve::impl::SwerveDrivetrainImpl;
using swerve::sim::SimSwerveDrivetrain;
using units::length::meter_t;

constexpr double kTick = 0.001;
constexpr int kTicksPerSample = 4;
constexpr int kTicksPerLoop = 20;
constexpr double kPi = std::numbers::pi;

using Constants =
    swerve::SwerveModuleConstants<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                  configs::AngulonConfiguration>;

std::vector<Constants> Modules() {
  configs::Slot0Configs steerGains;
  steerGains.WithkP(60.0).WithkD(0.5);
  swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                       configs::AngulonConfiguration>
      factory;
  factory.WithDriveMotorGearRatio(6.75)
      .WithSteerMotorGearRatio(150.0 / 7.0)
      .WithCouplingGearRatio(3.5)
      .WithWheelRadius(meter_t{0.05})
      .WithSpeedAt12Volts(units::velocity::meters_per_second_t{100.0 / 6.75 * 2.0 * kPi * 0.05})
      .WithSteerMotorGains(steerGains)
      .WithSlipCurrent(units::current::ampere_t{120.0})
      .WithDriveInertia(units::moment_of_inertia::kilogram_square_meter_t{0.03})
      .WithSteerInertia(units::moment_of_inertia::kilogram_square_meter_t{0.004});
  // Front left, front right, back left, back right of a 0.6 m square.
  constexpr double kCorners[4][2] = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}};
  std::vector<Constants> modules;
  for (int i = 0; i < 4; ++i) {
    const auto& [x, y] = kCorners[i];
    modules.push_back(factory.CreateModuleConstants(i + 1, i + 5, i + 9, units::angle::turn_t{0.0}, meter_t{x},
                                                    meter_t{y}, false, false, false));
  }
  return modules;
}

/// Builds the drivetrain on the clock as it runs (the real clock: its
/// construction waits for fresh frames), with its devices configured from
/// the constants, and the odometry signals at 250 Hz.
std::unique_ptr<SwerveDrivetrainImpl> BuildDrivetrain(const std::vector<Constants>& modules) {
  swerve::SwerveDrivetrainConstants constants;
  constants.WithCANBusName("drivebus").WithAuklet2Id(40);
  auto drivetrain = std::make_unique<SwerveDrivetrainImpl>(
      constants, units::frequency::hertz_t{250.0}, std::array<double, 3>{0.1, 0.1, 0.1},
      std::array<double, 3>{0.9, 0.9, 0.9}, std::span<const Constants>(modules));
  std::vector<kvor::zephrin6::BaseStatusSignal*> signals;
  for (std::size_t i = 0; i < modules.size(); ++i) {
    auto& module = *drivetrain->GetModules()[i];
    for (auto* signal : module.GetSignals()) signals.push_back(signal);
    // Without its gains the steer would not hold an azimuth: the loops would
    // time a drivetrain that does not drive.
    if (!swerve::ApplyModuleConfigs(module, modules[i], i, constants.CANBusName).IsOK()) {
      throw std::runtime_error("a module refused its configuration");
    }
  }
  signals.push_back(&drivetrain->GetAuklet2().GetYaw(false));
  signals.push_back(&drivetrain->GetAuklet2().GetAngularVelocityZWorld(false));
  if (!kvor::zephrin6::BaseStatusSignal::SetUpdateFrequencyForAll(units::frequency::hertz_t{250.0}, signals).IsOK()) {
    throw std::runtime_error("the odometry signals refused 250 Hz");
  }
  return drivetrain;
}

/// A drivetrain and its physics on the manual clock, driven round a circle.
struct SimulatedRobot {
  std::vector<Constants> modules = Modules();
  std::unique_ptr<SwerveDrivetrainImpl> drivetrain;
  std::unique_ptr<SimSwerveDrivetrain> sim;
  swerve::requests::FieldCentric drive;
  double start = 0.0;
  long tick = 0;

  /// On `field` (none: the endless floor) with the robot at its centre.
  explicit SimulatedRobot(const swerve::sim::SimField* field = nullptr) {
    drivetrain = BuildDrivetrain(modules);
    sim = std::make_unique<SimSwerveDrivetrain>(*drivetrain, std::span<const Constants>(modules));
    if (field != nullptr) {
      if (sim->SetField(*field) != StatusCode::OK) throw std::runtime_error("the field was refused");
      const swerve::Pose2d centre(field->Length / 2.0, field->Width / 2.0, swerve::Rotation2d());
      if (sim->ResetPose(centre) != StatusCode::OK) throw std::runtime_error("the pose was refused");
    }
    // Ticks half a millisecond off the frame times, as the demo runs them.
    harness::UseManualClock(std::ceil(harness::Now()) + 1.0 + kTick / 2.0);
    start = harness::Now();
  }

  /// One millisecond: clock, physics, and the odometry sample and the
  /// program's loop when they are due.
  void Tick() {
    ++tick;
    harness::SetTime(start + static_cast<double>(tick) * kTick);
    sim->Update(units::time::second_t{kTick}, units::voltage::volt_t{12.0});
    // A failed read counts in FailedDaqs, which the benchmark checks.
    if (tick % kTicksPerSample == 0) static_cast<void>(drivetrain->GetOdometryThread().RunOnce());
    if (tick % kTicksPerLoop == 0) {
      const double t = static_cast<double>(tick) * kTick;
      drivetrain->SetControl(drive.WithVelocityX(units::velocity::meters_per_second_t{1.5 * std::cos(t)})
                                 .WithVelocityY(units::velocity::meters_per_second_t{1.5 * std::sin(t)})
                                 .WithRotationalRate(units::angular_velocity::radians_per_second_t{0.5}));
    }
  }
};

/// The 20 ms of robot time one iteration times. A function of its own, so
/// that `valgrind --tool=callgrind --toggle-collect='*TimedLoop*'` counts
/// the timed work alone, without the start-up before it.
[[gnu::noinline]] void TimedLoop(SimulatedRobot& robot) {
  for (int i = 0; i < kTicksPerLoop; ++i) robot.Tick();
}

/// Times 20 ms of `robot` per iteration, past its start-up.
void TimeRobot(benchmark::State& state, SimulatedRobot& robot) {
  for (int i = 0; i < 2000; ++i) robot.Tick();  // past the start-up
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) TimedLoop(robot);
  zephrin_bench::ReportAllocations(state, before);
  state.counters["x_real_time"] =
      benchmark::Counter(kTicksPerLoop * kTick * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  if (robot.drivetrain->GetState().FailedDaqs != 0) state.SkipWithError("a sample failed to read its signals");
}

void BM_SimulatedDrivetrain(benchmark::State& state) {
  harness::Reset();
  harness::SetReportEcho(false);
  SimulatedRobot robot;
  TimeRobot(state, robot);
}
BENCHMARK(BM_SimulatedDrivetrain)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_SimulatedDrivetrainOnField(benchmark::State& state) {
  harness::Reset();
  harness::SetReportEcho(false);
  swerve::sim::SimField field;
  if (state.range(0) == 1) field.Length = field.Width = meter_t{3.0};
  SimulatedRobot robot(&field);
  TimeRobot(state, robot);
}
BENCHMARK(BM_SimulatedDrivetrainOnField)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_LongestSimUpdate(benchmark::State& state) {
  harness::Reset();
  harness::SetReportEcho(false);
  SimulatedRobot robot;
  for (int i = 0; i < 2000; ++i) robot.Tick();  // under way
  for (auto _ : state) {
    robot.sim->Update(units::time::second_t{1e300}, units::voltage::volt_t{12.0});
  }
}
BENCHMARK(BM_LongestSimUpdate)->UseRealTime()->Unit(benchmark::kMillisecond);

/// One step of a program that steps the simulation itself at the odometry
/// rate: the manual clock moves 4 ms, the physics integrates them (four 1 ms
/// pieces, reading and feeding every device), and one odometry sample runs.
constexpr double kStep = kTicksPerSample * kTick;

void BM_SimStep(benchmark::State& state) {
  harness::Reset();
  harness::SetReportEcho(false);
  SimulatedRobot robot;
  for (int i = 0; i < 2000; ++i) robot.Tick();  // under way, on the last request
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    harness::AdvanceTime(kStep);
    benchmark::DoNotOptimize(robot.sim->Update(units::time::second_t{kStep}, units::voltage::volt_t{12.0}));
    benchmark::DoNotOptimize(robot.drivetrain->GetOdometryThread().RunOnce());
  }
  zephrin_bench::ReportAllocations(state, before);
  if (robot.drivetrain->GetState().FailedDaqs != 0) state.SkipWithError("a sample failed to read its signals");
}
BENCHMARK(BM_SimStep)->UseRealTime()->Unit(benchmark::kMicrosecond);

/// The same step through the C functions under the Java SwerveDrivetrain's
/// updateSim and stepOdometry (a registry look-up in each), on a drivetrain
/// created through the C interface from the same constants. The Java side of
/// the step is timed by java/src/test/java/com/kvor/zephrin6/SimStepTiming.java.
void BM_SimStepThroughC(benchmark::State& state) {
  harness::Reset();
  harness::SetReportEcho(false);
  const std::vector<Constants> modules = Modules();
  _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants("drivebus", 40);
  _swerve_module_constants_arr_t* records = c_kvor_zephrin6_swerve_create_module_constants_arr(modules.size());
  for (std::size_t i = 0; i < modules.size(); ++i) {
    const Constants& m = modules[i];
    const auto& gains = m.SteerMotorGains;
    if (c_kvor_zephrin6_swerve_set_module_constants(
            records, i, m.SteerMotorId, m.DriveMotorId, m.EncoderId, m.EncoderOffset.value(), m.LocationX.value(),
            m.LocationY.value(), false, false, false, m.DriveMotorGearRatio, m.SteerMotorGearRatio,
            m.CouplingGearRatio, m.WheelRadius.value(), 0, 0, m.SlipCurrent.value(), m.SpeedAt12Volts.value(), 0, 0,
            0, m.SteerInertia.value(), m.DriveInertia.value(), 0.0, 0.0) == nullptr ||
        c_kvor_zephrin6_swerve_set_module_gains(records, i, 0, gains.kP, gains.kI, gains.kD, gains.kS, gains.kV,
                                                gains.kA) != 0) {
      state.SkipWithError("the constants were refused");
      return;
    }
  }
  const int id = c_kvor_zephrin6_swerve_create_drivetrain_with_freq(constants, records, modules.size(), 250.0);
  // Released as a C caller would; a failure would only leak a few bytes.
  void* handle = constants;
  static_cast<void>(c_kvor_zephrin6_free_memory(&handle));
  handle = records;
  static_cast<void>(c_kvor_zephrin6_free_memory(&handle));
  harness::UseManualClock(std::ceil(harness::Now()) + 1.0 + kTick / 2.0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(id, 0, 1, false, 0, 1.0, 0.5, 0.5, 0.0, 0.0, 0.0, 0.0);
  for (int i = 0; i < 500; ++i) {  // under way
    harness::AdvanceTime(kStep);
    static_cast<void>(c_kvor_zephrin6_swerve_drivetrain_sim_update(id, kStep, 12.0));  // checked below
    static_cast<void>(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id));
  }
  const auto before = zephrin_bench::Allocations();
  for (auto _ : state) {
    harness::AdvanceTime(kStep);
    benchmark::DoNotOptimize(c_kvor_zephrin6_swerve_drivetrain_sim_update(id, kStep, 12.0));
    benchmark::DoNotOptimize(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id));
  }
  zephrin_bench::ReportAllocations(state, before);
  _swerve_pose_t pose{};
  if (!c_kvor_zephrin6_swerve_drivetrain_sim_get_pose(id, &pose) || std::hypot(pose.x, pose.y) < 0.1) {
    state.SkipWithError("the robot did not drive");
  }
  c_kvor_zephrin6_swerve_destroy_drivetrain(id);
}
BENCHMARK(BM_SimStepThroughC)->UseRealTime()->Unit(benchmark::kMicrosecond);

/// A log of 10 s of the simulated robot, recorded once, and the instants of
/// its odometry samples.
struct RecordedLog {
  std::string file;
  std::vector<double> sampleTimes;

  RecordedLog() {
    harness::Reset();
    harness::SetReportEcho(false);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zephrin_bench_swerve_sim_" + std::to_string(::getpid()));
    // The replay benchmarks time this log; without it they would time nothing.
    if (!kvor::zephrin6::SignalLogger::SetPath(folder.c_str()).IsOK() ||
        !kvor::zephrin6::SignalLogger::Start().IsOK()) {
      throw std::runtime_error("the log does not start");
    }
    {
      SimulatedRobot robot;
      while (robot.tick < 10000) {
        robot.Tick();
        if (robot.tick % kTicksPerSample == 0) sampleTimes.push_back(harness::Now());
      }
      harness::AdvanceTime(0.1);
    }
    if (!kvor::zephrin6::SignalLogger::Stop().IsOK()) throw std::runtime_error("the log does not stop");
    file = harness::LastLogFile();
    harness::Reset();
  }
  ~RecordedLog() { std::filesystem::remove_all(std::filesystem::path(file).parent_path()); }
};

const RecordedLog& Log() {
  static const RecordedLog log;
  return log;
}

void BM_ReplayLoad(benchmark::State& state) {
  const RecordedLog& log = Log();
  harness::SetReportEcho(false);
  for (auto _ : state) {
    if (kvor::zephrin6::WispReplay::LoadFile(log.file.c_str()) != StatusCode::OK) {
      state.SkipWithError("the log does not load");
      break;
    }
    if (kvor::zephrin6::WispReplay::CloseFile() != StatusCode::OK) {
      state.SkipWithError("the log does not close");
      break;
    }
  }
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(log.file)) / 1e6;
}
BENCHMARK(BM_ReplayLoad)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ReplayOdometry(benchmark::State& state) {
  const RecordedLog& log = Log();
  harness::SetReportEcho(false);
  using kvor::zephrin6::WispReplay;
  // Played on the real clock while the drivetrain is built.
  if (WispReplay::LoadFile(log.file.c_str()) != StatusCode::OK || WispReplay::Play() != StatusCode::OK) {
    state.SkipWithError("the log does not play");
    return;
  }
  const std::vector<Constants> modules = Modules();
  auto drivetrain = BuildDrivetrain(modules);
  if (WispReplay::Pause() != StatusCode::OK) state.SkipWithError("the log does not pause");
  for (auto _ : state) {
    state.PauseTiming();
    if (WispReplay::Stop() != StatusCode::OK) state.SkipWithError("the log does not rewind");
    state.ResumeTiming();
    for (const double t : log.sampleTimes) {
      if (WispReplay::StepTimingImpl(t - kvor::zephrin6::utils::GetCurrentTimeSeconds()) != StatusCode::OK) {
        state.SkipWithError("a step failed");
      }
      benchmark::DoNotOptimize(drivetrain->GetOdometryThread().RunOnce());
    }
  }
  state.counters["x_real_time"] = benchmark::Counter(
      static_cast<double>(log.sampleTimes.size()) * kTicksPerSample * kTick * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  drivetrain.reset();
  if (WispReplay::CloseFile() != StatusCode::OK) state.SkipWithError("the log does not close");
}
BENCHMARK(BM_ReplayOdometry)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
