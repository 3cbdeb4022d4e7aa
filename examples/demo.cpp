// The robot program `make demo` runs: a four-module swerve drivetrain, with
// no robot at all, drives a figure-eight for ten seconds while the library's
// odometry tracks it; everything is logged, and the log is replayed to run
// the same odometry again.
//
//   1. Live. The runtime simulates the motor controllers and the auklet 2;
//      the drivetrain's SimSwerveDrivetrain stands in for the robot's
//      wheels and body. Once the robot is built and at rest, the log
//      starts, and every 20 ms the program's loop sends a field-centric
//      request (the path's velocity plus a correction towards it) and a
//      heading PID turns the robot as it goes. The runtime's clock is
//      manual, so the ten seconds take far less than ten seconds, and every
//      step happens at the same time on every run: each run writes the
//      same log.
//   2. Replay. A second drivetrain is built, the .wisp log the runtime
//      wrote is loaded, and odometry is run on it at the same instants as
//      live: it must give the same poses, bit for bit.
//   3. Results: the odometry error against the simulated truth, the replay
//      check, and an SVG picture of the paths and the position and heading
//      errors, in build/demo/ beside the logs of the last few runs.
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/swerve/ZephrinPIDController.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "DemoFolder.hpp"
#include "DemoPlot.hpp"
#include "SimulatedSwerve.hpp"

using namespace kvor::zephrin6;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;
namespace fs = std::filesystem;

using example::Drivetrain;
using example::ModuleConstants;

constexpr double kPi = std::numbers::pi;
constexpr double kTick = 0.001;        // physics step, seconds
constexpr int kTicksPerSample = 4;     // odometry at 250 Hz
constexpr int kTicksPerLoop = 20;      // the robot program's 20 ms loop
constexpr double kDriveSeconds = 10.0;
// The runtime time at which the robot is ready, the log starts and the
// figure-eight begins, seconds (the clock starts at 100 s).
constexpr double kReadyTime = 110.0;

// ---- The robot: example::Modules() on "drivebus" (SimulatedSwerve.hpp) ----

/// Builds the drivetrain and stops its odometry thread: this program
/// samples odometry itself, at exact instants.
std::unique_ptr<Drivetrain> BuildDrivetrain(const std::array<ModuleConstants, 4>& modules);

/// Announces the drivetrain's devices to the runtime now. The simulated
/// firmware starts a device when it is first announced (the auklet 2
/// counts its UpTime from then), and building the drivetrain moves the
/// clock on by a different amount on every run: announced first, every
/// device starts at the same instant every time.
void AnnounceDevices(const std::array<ModuleConstants, 4>& modules) {
  hardware::core::CoreAuklet2 imu(example::kAuklet2Id, example::kBus);
  for (const ModuleConstants& module : modules) {
    hardware::core::CoreRapaxQ drive(module.DriveMotorId, example::kBus);
    hardware::core::CoreRapaxQ steer(module.SteerMotorId, example::kBus);
  }
}

// ---- The path: a figure-eight, 4 m by 2 m, once in ten seconds ----

struct PathPoint {
  double x, y;    // metres
  double vx, vy;  // metres per second
};

PathPoint FigureEight(double t) {
  constexpr double w = 2.0 * kPi / kDriveSeconds;
  return {2.0 * std::sin(w * t), 1.0 * std::sin(2.0 * w * t), 2.0 * w * std::cos(w * t),
          2.0 * w * std::cos(2.0 * w * t)};
}

// The robot turns an eighth of a turn each way as it goes round. Odometry
// takes each wheel's azimuth at the end of its 4 ms sample, so turning while
// driving costs it a little accuracy: the faster the turn, the more.
double TargetHeading(double t) { return kPi / 4.0 * std::sin(2.0 * kPi * t / kDriveSeconds); }

// ---- Running on the manual clock ----

/// Runs `call` on a helper thread while the manual clock moves, for the
/// steps that wait for devices' frames (building a drivetrain, stopping its
/// thread). How much time passes does not matter: the robot is at rest and
/// nothing is logged yet. The clock moves about 20 times faster than real
/// time, so that even a helper thread kept waiting by a busy machine finds
/// the clock only a little further on.
void WhileTimeRuns(const std::function<void()>& call) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    call();
    done = true;
  });
  while (!done) {
    harness::AdvanceTime(1.0 / 1024.0);
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  worker.join();
}

std::unique_ptr<Drivetrain> BuildDrivetrain(const std::array<ModuleConstants, 4>& modules) {
  const swerve::SwerveDrivetrainConstants constants = example::DrivetrainConstants();
  std::unique_ptr<Drivetrain> drivetrain;
  WhileTimeRuns([&] {
    drivetrain = std::make_unique<Drivetrain>(constants, modules[0], modules[1], modules[2], modules[3]);
    drivetrain->GetOdometryThread().Stop();
  });
  return drivetrain;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool SameBits(const swerve::Pose2d& a, const swerve::Pose2d& b) {
  return std::bit_cast<uint64_t>(a.X().value()) == std::bit_cast<uint64_t>(b.X().value()) &&
         std::bit_cast<uint64_t>(a.Y().value()) == std::bit_cast<uint64_t>(b.Y().value()) &&
         std::bit_cast<uint64_t>(a.Rotation().Radians().value()) ==
             std::bit_cast<uint64_t>(b.Rotation().Radians().value());
}

/// Where the demo writes: build/demo/ (beside build/bin/, where it runs from).
fs::path OutputFolder() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path("build") / "demo" : self.parent_path().parent_path() / "demo";
}

struct Sample {
  double time;  // runtime seconds
  swerve::Pose2d truth;
  swerve::Pose2d odometry;
};

double HeadingError(const Sample& s) { return (s.odometry.Rotation() - s.truth.Rotation()).Degrees().value(); }
double PositionError(const Sample& s) { return s.odometry.Translation().Distance(s.truth.Translation()).value(); }

// How many runs' logs build/demo/ keeps, the new one included.
constexpr std::size_t kLogsKept = 5;

/// Moves the clock to the instant the log starts. Building took however much
/// clock time the helper thread happened to move on while the devices
/// answered; the log starts only after that, with the robot ready and at
/// rest, at a fixed time: the same program then writes the same log every
/// time it runs. @return that instant, seconds.
double StartWhenReady() {
  const double ready = std::max(kReadyTime, std::ceil(harness::Now()));
  if (ready != kReadyTime) {
    std::printf("(Building the drivetrain took until t = %.3f s: this run starts at %.0f s, not %.0f s, and its log\n"
                "differs from other runs' by that shift.)\n",
                harness::Now(), ready, kReadyTime);
  }
  harness::SetTime(ready);
  return ready;
}

/// Logs the true pose and the odometry of one sample, for the replay and for
/// anyone who opens the log.
void LogSample(const Sample& sample) {
  const double truth[] = {sample.truth.X().value(), sample.truth.Y().value(),
                          sample.truth.Rotation().Degrees().value()};
  const double odometry[] = {sample.odometry.X().value(), sample.odometry.Y().value(),
                             sample.odometry.Rotation().Degrees().value()};
  // Both fit and the log runs; a lost sample would only be a gap in the
  // replayed truth, which the replay reads as the origin.
  static_cast<void>(SignalLogger::WriteDoubleArray("Demo/TruePose", truth, "m, m, deg"));
  static_cast<void>(SignalLogger::WriteDoubleArray("Demo/Odometry", odometry, "m, m, deg"));
}

/// The robot program's loop: follows the figure-eight with a field-centric
/// request (the path's velocity plus a correction towards it) while a PID
/// holds the heading.
class PathFollower {
 public:
  PathFollower() {
    headingController_.EnableContinuousInput(-kPi, kPi);
    drive_.WithDriveRequestType(swerve::DriveRequestType::Velocity);
  }

  /// One 20 ms loop at time `t` of the path, seconds.
  void Step(Drivetrain& drivetrain, double t) {
    const swerve::Pose2d pose = drivetrain.GetState().Pose;
    const PathPoint target = FigureEight(t + kTicksPerLoop * kTick);
    const double rate = headingController_.Calculate(pose.Rotation().Radians().value(), TargetHeading(t),
                                                     units::time::second_t{harness::Now()});
    const double vx = target.vx + kPathGain * (target.x - pose.X().value());
    const double vy = target.vy + kPathGain * (target.y - pose.Y().value());
    drivetrain.SetControl(drive_.WithVelocityX(units::velocity::meters_per_second_t{vx})
                              .WithVelocityY(units::velocity::meters_per_second_t{vy})
                              .WithRotationalRate(units::angular_velocity::radians_per_second_t{rate}));
  }

 private:
  static constexpr double kPathGain = 2.0;  // m/s per metre off the path
  swerve::ZephrinPIDController headingController_{6.0, 0.0, 0.2};  // rad/s per rad of error
  swerve::requests::FieldCentric drive_;
};

/// What the live run leaves for the replay and the results.
struct LiveRun {
  double start = 0.0;  // runtime time of the path's first tick, seconds
  std::vector<Sample> samples;
  std::string log;  // the .wisp file the runtime wrote
  double wallSeconds = 0.0;
  std::vector<harness::Report> reports;  // whatever went wrong, reported quietly
};

/// 1. Live: builds the drivetrain, starts the log once it is ready and drives
/// the figure-eight, sampling odometry at 250 Hz. @return nothing when the log
/// cannot start (said on the output).
std::optional<LiveRun> DriveLive(const fs::path& folder, const std::array<ModuleConstants, 4>& modules) {
  AnnounceDevices(modules);
  // Building configures every motor from the module constants; a motor that
  // refused would be among the reports the results print.
  std::unique_ptr<Drivetrain> drivetrain = BuildDrivetrain(modules);
  const double ready = StartWhenReady();
  if (SignalLogger::SetPath(folder.c_str()) != kvor::zephrin::StatusCode::OK ||
      SignalLogger::Start() != kvor::zephrin::StatusCode::OK) {
    std::printf("Could not start the log in %s\n", demo::Shown(folder).c_str());
    return std::nullopt;
  }

  LiveRun run;
  PathFollower follower;
  // Odometry samples fall half a tick after the devices' frames, never on
  // the edge of one.
  run.start = ready + kTick / 2.0;
  const auto wallStart = std::chrono::steady_clock::now();
  for (long tick = 0; tick <= std::lround(kDriveSeconds / kTick); ++tick) {
    const double t = static_cast<double>(tick) * kTick;
    // The physics follows the clock: move it, then the robot.
    const double before = harness::Now();
    harness::SetTime(run.start + t);
    drivetrain->UpdateSimState(units::time::second_t{harness::Now() - before}, 12_V);
    if (tick > 0 && tick % kTicksPerSample == 0) {
      // The thread is stopped, so the sample runs; a failed read would show
      // as odometry error in the results.
      static_cast<void>(drivetrain->GetOdometryThread().RunOnce());
      run.samples.push_back({harness::Now(), drivetrain->GetSimDrivetrain().GetPose(), drivetrain->GetState().Pose});
      LogSample(run.samples.back());
    }
    if (tick % kTicksPerLoop == 0) follower.Step(*drivetrain, t);
  }
  run.wallSeconds = Seconds(std::chrono::steady_clock::now() - wallStart);
  harness::AdvanceTime(0.1);
  if (SignalLogger::Stop() != kvor::zephrin::StatusCode::OK) {
    std::printf("Could not complete the log in %s\n", demo::Shown(folder).c_str());
    return std::nullopt;
  }
  run.log = harness::LastLogFile();
  drivetrain.reset();
  run.reports = harness::Reports();
  return run;
}

/// The true pose of the current replay instant, as the live run logged it.
swerve::Pose2d LoggedTruth() {
  const auto truth = WispReplay::GetDoubleArrayImpl("Demo/TruePose");
  if (truth.value.size() != 3) return swerve::Pose2d();
  return swerve::Pose2d(units::length::meter_t{truth.value[0]}, units::length::meter_t{truth.value[1]},
                        swerve::Rotation2d(units::angle::degree_t{truth.value[2]}));
}

/// What the replay gives for the results.
struct ReplayRun {
  std::vector<Sample> samples;
  int differences = 0;  // samples whose odometry differs from the live one in any bit
  double loadSeconds = 0.0;
  double wallSeconds = 0.0;
};

/// 2. Replay: as a program that replays a log starts (a fresh runtime, the
/// drivetrain built with the robot at rest, as the log begins, then the log
/// loaded), runs odometry at the live run's instants. @return nothing when
/// the log cannot be loaded (said on the output).
std::optional<ReplayRun> ReplayLog(const LiveRun& live, const std::array<ModuleConstants, 4>& modules) {
  harness::Reset();
  harness::SetReportEcho(false);
  harness::UseManualClock(100.0);
  std::unique_ptr<Drivetrain> replayed = BuildDrivetrain(modules);
  ReplayRun run;
  const auto loadStart = std::chrono::steady_clock::now();
  if (WispReplay::LoadFile(live.log.c_str()) != kvor::zephrin::StatusCode::OK) {
    std::printf("Could not load the log %s\n", demo::Shown(live.log).c_str());
    return std::nullopt;
  }
  run.loadSeconds = Seconds(std::chrono::steady_clock::now() - loadStart);

  run.samples.reserve(live.samples.size());
  const auto wallStart = std::chrono::steady_clock::now();
  for (const Sample& sample : live.samples) {
    // Stepping by the difference lands on the live sample's instant exactly.
    // A step or read that failed would show as a difference.
    static_cast<void>(WispReplay::StepTimingImpl(sample.time - utils::GetCurrentTimeSeconds()));
    static_cast<void>(replayed->GetOdometryThread().RunOnce());
    run.samples.push_back({utils::GetCurrentTimeSeconds(), LoggedTruth(), replayed->GetState().Pose});
    if (!SameBits(run.samples.back().odometry, sample.odometry)) ++run.differences;
  }
  run.wallSeconds = Seconds(std::chrono::steady_clock::now() - wallStart);
  replayed.reset();
  static_cast<void>(WispReplay::CloseFile());  // the results need nothing more from the log
  return run;
}

/// 3. Results: how the robot drove and how well odometry followed it.
void PrintLiveResults(const LiveRun& live) {
  const Sample& end = live.samples.back();
  const double endCm = PositionError(end) * 100.0;
  const double endDeg = std::abs(HeadingError(end));
  double worstCm = 0.0, worstDeg = 0.0;
  for (const Sample& s : live.samples) {
    worstCm = std::max(worstCm, PositionError(s) * 100.0);
    worstDeg = std::max(worstDeg, std::abs(HeadingError(s)));
  }
  const double pathMiss = std::hypot(end.truth.X().value() - FigureEight(kDriveSeconds).x,
                                     end.truth.Y().value() - FigureEight(kDriveSeconds).y);
  std::printf("Live: %.0f s of robot time in %.2f s of wall time (%.0fx real time), %zu odometry samples.\n",
              kDriveSeconds, live.wallSeconds, kDriveSeconds / live.wallSeconds, live.samples.size());
  double driven = 0.0;
  for (std::size_t i = 1; i < live.samples.size(); ++i) {
    driven += live.samples[i].truth.Translation().Distance(live.samples[i - 1].truth.Translation()).value();
  }
  std::printf("  The robot drove %.1f m and ended %.1f cm from where the figure-eight ends.\n", driven,
              pathMiss * 100.0);
  std::printf("  Odometry against the simulated truth at the end: %.2f cm and %.3f deg (goal: 1 cm and 0.5 deg): %s\n",
              endCm, endDeg, endCm <= 1.0 && endDeg <= 0.5 ? "met" : "MISSED");
  std::printf("  Largest error on the way: %.2f cm and %.3f deg.\n", worstCm, worstDeg);
  if (live.reports.empty()) {
    std::printf("  Nothing was reported while it drove.\n");
  } else {
    std::printf("  %zu reports while it drove, the first: %s: %s\n", live.reports.size(),
                live.reports.front().location.c_str(), live.reports.front().details.c_str());
  }
}

/// 3. Results: the new log, and which earlier ones build/demo/ keeps.
void PrintLog(const fs::path& folder, const LiveRun& live) {
  const demo::KeptLogs kept = demo::KeepLatest(folder, live.log, kLogsKept);
  std::printf("Log: %s (%.1f MB, new; also %s)\n", demo::Shown(live.log).c_str(),
              static_cast<double>(fs::file_size(live.log)) / 1e6, demo::Shown(folder / "latest.wisp").c_str());
  std::printf("  %s keeps the logs of the last %zu runs: ", demo::Shown(folder).c_str(), kLogsKept);
  if (kept.kept == 1) {
    std::printf("this one only");
  } else {
    std::printf("this one and %zu earlier", kept.kept - 1);
  }
  if (!kept.removed.empty()) std::printf("; the oldest, %s, was removed", kept.removed.front().filename().c_str());
  std::printf(".\n");
}

/// 3. Results: how fast the replay ran and whether it matched the live run.
void PrintReplayResults(const ReplayRun& replay) {
  std::printf("Replay: loaded in %.2f s; %zu odometry samples over %.0f s of log re-run in %.2f s (%.0fx real time).\n",
              replay.loadSeconds, replay.samples.size(), kDriveSeconds, replay.wallSeconds,
              kDriveSeconds / replay.wallSeconds);
  if (replay.differences == 0) {
    std::printf("  The replayed odometry is bit-identical to the live odometry at every sample.\n");
  } else {
    std::printf("  The replayed odometry DIFFERS from the live odometry at %d of %zu samples.\n", replay.differences,
                replay.samples.size());
  }
}

/// 3. Results: the paths, the position errors and the heading errors as an
/// SVG picture in `folder`. Live and replayed odometry are the same to the
/// bit, so the replay is drawn as dots on the live line; the errors get
/// panels of their own, since a centimetre is too small to see on the field.
void WritePlot(const fs::path& folder, const LiveRun& live, const ReplayRun& replay) {
  demo::DemoPlot plot;
  demo::Series truePath{"true path (simulation)", "#888", demo::Mark::Band, {}};
  demo::Series livePath{"odometry, live", "#d62728", demo::Mark::Line, {}};
  demo::Series replayPath{"odometry, replayed from the log (every 0.1 s)", "#1f77b4", demo::Mark::Dots, {}};
  demo::Series livePosition{"live: distance from odometry to the true position", "#d62728", demo::Mark::Line, {}};
  demo::Series replayPosition{"replayed (every 0.1 s)", "#1f77b4", demo::Mark::Dots, {}};
  demo::Series liveHeading{"live: odometry heading minus true heading", "#d62728", demo::Mark::Line, {}};
  demo::Series replayHeading{"replayed (every 0.1 s)", "#1f77b4", demo::Mark::Dots, {}};
  for (std::size_t i = 0; i < live.samples.size(); ++i) {
    const Sample& l = live.samples[i];
    const double t = l.time - live.start;
    truePath.points.push_back({l.truth.X().value(), l.truth.Y().value()});
    livePath.points.push_back({l.odometry.X().value(), l.odometry.Y().value()});
    livePosition.points.push_back({t, PositionError(l) * 100.0});
    liveHeading.points.push_back({t, HeadingError(l)});
    if ((i + 1) % 25 == 0) {
      const Sample& r = replay.samples[i];
      replayPath.points.push_back({r.odometry.X().value(), r.odometry.Y().value()});
      replayPosition.points.push_back({t, PositionError(r) * 100.0});
      replayHeading.points.push_back({t, HeadingError(r)});
    }
  }
  plot.AddPath(truePath);
  plot.AddPath(livePath);
  plot.AddPath(replayPath);
  plot.AddPositionError(livePosition);
  plot.AddPositionError(replayPosition);
  plot.AddHeadingError(liveHeading);
  plot.AddHeadingError(replayHeading);
  const fs::path picture = folder / "figure_eight.svg";
  if (plot.Write(picture.string(), "Swerve figure-eight: simulated truth, live and replayed odometry")) {
    std::printf("Plot: %s\n", demo::Shown(picture).c_str());
  }
}

int main() {
  harness::SetReportEcho(false);
  harness::UseManualClock(100.0);
  const fs::path folder = OutputFolder();
  fs::create_directories(folder);
  std::printf("A swerve drivetrain drives a figure-eight in simulation for %.0f s, then replays its log.\n\n",
              kDriveSeconds);
  const auto modules = example::Modules();
  const std::optional<LiveRun> live = DriveLive(folder, modules);
  if (!live) return 1;
  const std::optional<ReplayRun> replay = ReplayLog(*live, modules);
  if (!replay) return 1;
  PrintLiveResults(*live);
  PrintLog(folder, *live);
  PrintReplayResults(*replay);
  WritePlot(folder, *live, *replay);
  return replay->differences == 0 ? 0 : 1;
}
