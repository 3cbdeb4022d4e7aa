// Runs the odometry thread of a simulated four-module drivetrain on a CAN FD
// bus at 250 Hz on the real clock for a while, then checks that it sampled
// as often as it should (within 1 %) and that no sample missed a signal.
// Prints the averaged and the worst sample period.
//
//   odometry_soak [seconds]     (default 60)
//
// Exit status 0 when both checks pass, 1 otherwise, 2 for a bad argument.
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrain.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

using namespace kvor::zephrin6;
using namespace units::literals;

namespace {

constexpr double kFrequency = 250.0;

/// What the telemetry callback saw: the longest gap between two samples.
struct PeriodWatch {
  std::mutex mutex;
  int samples = 0;
  double last = 0.0;
  double worst = 0.0;

  void Sample(double time) {
    std::lock_guard lock(mutex);
    if (samples > 0) worst = std::max(worst, time - last);
    last = time;
    ++samples;
  }
};

}  // namespace

int main(int argc, char** argv) {
  double seconds = 60.0;
  if (argc > 1) {
    char* end = nullptr;
    seconds = std::strtod(argv[1], &end);
    if (end == argv[1] || *end != '\0' || !std::isfinite(seconds) || seconds < 1.0 || seconds > 3600.0) {
      std::fprintf(stderr, "usage: odometry_soak [seconds from 1 to 3600]\n");
      return 2;
    }
  }
  kvor::zephrin::runtime::harness::SetReportEcho(false);

  swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                       configs::AngulonConfiguration>
      factory;
  factory.WithDriveMotorGearRatio(6.75).WithWheelRadius(0.05_m).WithSpeedAt12Volts(4.5_mps);
  swerve::SwerveDrivetrainConstants constants;
  constants.WithCANBusName("drivebus").WithAuklet2Id(13);
  swerve::SwerveDrivetrain<configs::RapaxQConfiguration, configs::RapaxQConfiguration, configs::AngulonConfiguration>
      drivetrain{constants,
                 units::frequency::hertz_t{kFrequency},
                 factory.CreateModuleConstants(1, 2, 3, 0_tr, 0.3_m, 0.3_m, false, false, false),
                 factory.CreateModuleConstants(4, 5, 6, 0_tr, 0.3_m, -0.3_m, false, false, false),
                 factory.CreateModuleConstants(7, 8, 9, 0_tr, -0.3_m, 0.3_m, false, false, false),
                 factory.CreateModuleConstants(10, 11, 12, 0_tr, -0.3_m, -0.3_m, false, false, false)};

  PeriodWatch watch;
  drivetrain.RegisterTelemetry([&](const swerve::SwerveDriveState& state) { watch.Sample(state.Timestamp.value()); });
  std::printf("Sampling at %.0f Hz on a CAN FD bus for %.0f s ...\n", kFrequency, seconds);
  // Count from a settled thread: the first samples wait for the new rate.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const swerve::SwerveDriveState start = drivetrain.GetState();
  const auto startTime = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const swerve::SwerveDriveState end = drivetrain.GetState();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - startTime).count();
  drivetrain.RegisterTelemetry(nullptr);

  const int successful = end.SuccessfulDaqs - start.SuccessfulDaqs;
  const double expected = elapsed * kFrequency;
  const double deviation = (successful - expected) / expected;
  std::lock_guard lock(watch.mutex);
  std::printf("SuccessfulDaqs    %d in %.3f s (expected %.0f, %+.3f %%)\n", successful, elapsed, expected,
              100.0 * deviation);
  std::printf("FailedDaqs        %d\n", end.FailedDaqs);
  std::printf("averaged period   %.4f ms (last 50 samples)\n", end.OdometryPeriod.value() * 1000.0);
  std::printf("worst period      %.4f ms (of %d samples)\n", watch.worst * 1000.0, watch.samples);

  const bool countOk = std::abs(deviation) <= 0.01;
  const bool noFailures = end.FailedDaqs == 0;
  std::printf("%s: sample count %s, %s\n", countOk && noFailures ? "PASS" : "FAIL",
              countOk ? "within 1 %" : "off by more than 1 %", noFailures ? "no failed samples" : "samples failed");
  return countOk && noFailures ? 0 : 1;
}
