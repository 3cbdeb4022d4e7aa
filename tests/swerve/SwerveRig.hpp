#pragma once

// Test rigs for the swerve module, requests and drivetrain: a square
// four-module drivetrain of rapax q motors on the CAN FD bus "drivebus",
// the device hashes the runtime knows them by, readers of the recorded
// control calls, and a stepper that moves the manual clock one odometry
// sample at a time.

#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>
#include <kvor/zephrin6/swerve/impl/ControlParameters.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace swerve_rig {

namespace harness = kvor::zephrin::runtime::harness;
namespace swerve = kvor::zephrin6::swerve;
namespace configs = kvor::zephrin6::configs;
using swerve::impl::SwerveDrivetrainImpl;
using swerve::impl::SwerveModuleImpl;
using ModuleConstants =
    swerve::SwerveModuleConstants<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                  configs::AngulonConfiguration>;
using units::length::meter_t;
using units::velocity::meters_per_second_t;

inline constexpr const char* kBus = "drivebus";
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kWheelRadius = 0.05;
inline constexpr double kDriveGearRatio = 6.0;
/// Drive motor turns per metre of wheel travel.
inline constexpr double kTurnsPerMeter = kDriveGearRatio / kWheelRadius / (2.0 * kPi);
inline constexpr double kSpeedAt12Volts = 4.0;
inline constexpr int kAuklet2Id = 40;

/// CAN IDs of module i (front-left, front-right, back-left, back-right).
inline int SteerId(std::size_t i) { return 10 + static_cast<int>(i); }
inline int DriveId(std::size_t i) { return 20 + static_cast<int>(i); }

inline uint32_t RapaxQHash(int id) { return harness::DeviceHash(id, "rapax q", kBus); }
inline uint32_t SteerHash(std::size_t i) { return RapaxQHash(SteerId(i)); }
inline uint32_t DriveHash(std::size_t i) { return RapaxQHash(DriveId(i)); }
inline uint32_t GyroHash() { return harness::DeviceHash(kAuklet2Id, "auklet 2", kBus); }

/// Module i of a 0.6 m square, x forward and y left.
inline ModuleConstants SquareModule(std::size_t i) {
  static const std::array<std::array<double, 2>, 4> kCorners{{{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}}};
  return swerve::SwerveModuleConstantsFactory<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                              configs::AngulonConfiguration>{}
      .WithDriveMotorGearRatio(kDriveGearRatio)
      .WithWheelRadius(meter_t{kWheelRadius})
      .WithSpeedAt12Volts(meters_per_second_t{kSpeedAt12Volts})
      .CreateModuleConstants(SteerId(i), DriveId(i), 30 + static_cast<int>(i), units::angle::turn_t{0.0},
                             meter_t{kCorners[i][0]}, meter_t{kCorners[i][1]}, false, false, false);
}

inline std::vector<ModuleConstants> SquareModules() {
  return {SquareModule(0), SquareModule(1), SquareModule(2), SquareModule(3)};
}

// ---- Recorded control calls ----

/// Argument `index` of a recorded call as a double (quantities, update
/// frequency), or NaN when it is not one.
inline double Number(const harness::ControlCall& call, std::size_t index) {
  if (index >= call.arguments.size()) return std::numeric_limits<double>::quiet_NaN();
  const auto* value = std::get_if<double>(&call.arguments[index]);
  return value != nullptr ? *value : std::numeric_limits<double>::quiet_NaN();
}
/// Argument `index` of a recorded call as a bool (false when it is not one).
inline bool Flag(const harness::ControlCall& call, std::size_t index) {
  if (index >= call.arguments.size()) return false;
  const auto* value = std::get_if<bool>(&call.arguments[index]);
  return value != nullptr && *value;
}
// Argument positions: bus, hash, update frequency, then the request's fields.
inline constexpr std::size_t kUpdateFreq = 2;
inline constexpr std::size_t kFirstField = 3;

/// The last call a device received; fails the test when there was none.
inline harness::ControlCall LastCall(uint32_t hash) {
  auto call = harness::LastControlCall(hash);
  EXPECT_TRUE(call.has_value()) << "no control call for device " << hash;
  return call.value_or(harness::ControlCall{});
}
inline std::string Function(const std::string& request) { return "c_kvor_zephrin6_RequestControl" + request; }

/// The steer position (turns) the module last received, from a
/// PositionVoltage call.
inline double SteerTurns(std::size_t i) { return Number(LastCall(SteerHash(i)), kFirstField); }
/// The drive voltage the module last received, from a VoltageOut call.
inline double DriveVolts(std::size_t i) { return Number(LastCall(DriveHash(i)), kFirstField); }
/// The volts an open-loop drive gets for `speed` metres per second.
inline double VoltsFor(double speed) { return speed / kSpeedAt12Volts * 12.0; }
inline double Turns(double degrees) { return degrees / 360.0; }

/// Publishes `value` as the latest frame of a device signal, stamped now.
inline void Publish(uint32_t hash, uint16_t signalId, double value) {
  harness::SignalSample sample;
  sample.value = value;
  harness::PublishSignal(hash, signalId, sample);
}
inline constexpr uint16_t kVelocityId = kvor::zephrin::signal_ids::rapax_q::kVelocity;
inline constexpr uint16_t kPositionId = kvor::zephrin::signal_ids::rapax_q::kPosition;
inline constexpr uint16_t kMotorKtId = kvor::zephrin::signal_ids::rapax_q::kMotorKT;
inline constexpr uint16_t kStallCurrentId = kvor::zephrin::signal_ids::rapax_q::kMotorStallCurrent;
inline constexpr uint16_t kYawId = kvor::zephrin::signal_ids::auklet2::kYaw;

// ---- Blocking calls on the manual clock ----

/// Runs `call` on a helper thread while moving the manual clock forward in
/// small steps, for operations that wait for new frames (construction,
/// refreshing reads). How much time passes is not fixed. The step is a power
/// of two, so that the clock never lands a rounding error short of a wait's
/// deadline (0.05 s, two 250 Hz periods).
template <class Call>
void RunWhileTimePasses(Call&& call) {
  constexpr double kStep = 1.0 / 1024.0;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    call();
    done.store(true);
  });
  while (!done.load()) {
    harness::AdvanceTime(kStep);
    std::this_thread::yield();
  }
  worker.join();
}

/// Four modules and the kinematics over their locations, without a
/// drivetrain, for applying requests directly.
struct ModuleRig {
  std::vector<std::unique_ptr<SwerveModuleImpl>> modules;
  std::vector<swerve::Translation2d> locations;
  swerve::impl::SwerveDriveKinematics kinematics{std::vector<swerve::Translation2d>{}};
  swerve::impl::ControlParameters parameters;

  explicit ModuleRig(const std::vector<ModuleConstants>& constants = SquareModules()) {
    for (const auto& module : constants) {
      modules.push_back(std::make_unique<SwerveModuleImpl>(module, kBus));
      locations.emplace_back(module.LocationX, module.LocationY);
    }
    kinematics = swerve::impl::SwerveDriveKinematics(locations);
    parameters.kinematics = &kinematics;
    parameters.moduleLocations = locations.data();
    parameters.kMaxSpeed = meters_per_second_t{kSpeedAt12Volts};
    parameters.updatePeriod = units::time::second_t{0.004};
  }
};

/// A fresh runtime on the manual clock with a ModuleRig, for applying
/// requests directly.
class RequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
    rig_.emplace();
  }
  void TearDown() override {
    rig_.reset();
    harness::Reset();
  }
  template <class Request>
  void Apply(Request& request) {
    EXPECT_EQ(request.Apply(rig_->parameters, rig_->modules), kvor::zephrin::StatusCode::OK);
  }
  /// Makes module i's steer motor report the azimuth `degrees`.
  void SetAzimuth(std::size_t i, double degrees) {
    Publish(SteerHash(i), kPositionId, Turns(degrees));
    EXPECT_EQ(kvor::zephrin6::BaseStatusSignal::RefreshAll(rig_->modules[i]->GetSignals()),
              kvor::zephrin::StatusCode::OK);
  }
  /// Gives every drive motor a torque constant and a stall current.
  void SetMotorConstants(double kt, double stallCurrent) {
    for (std::size_t i = 0; i < 4; ++i) {
      Publish(DriveHash(i), kMotorKtId, kt);
      Publish(DriveHash(i), kStallCurrentId, stallCurrent);
    }
  }

  std::optional<ModuleRig> rig_;
};

/// Moves a drivetrain's odometry thread one sample at a time on the manual
/// clock: Step advances the clock and returns once the sample's telemetry
/// has run and the thread waits for its next frames. Attach registers its
/// telemetry on the drivetrain.
class SampleStepper {
 public:
  void Attach(SwerveDrivetrainImpl& drivetrain) {
    drivetrain_ = &drivetrain;
    drivetrain.RegisterTelemetry([this](const swerve::SwerveDriveState& state) { Count(state); });
  }

  /// Starts the thread and waits until it waits for its first frames.
  void Start() {
    drivetrain_->GetOdometryThread().Start();
    harness::AwaitBlockedWaiters(1);
  }
  /// Stops the thread. Its current wait for frames only ends on the clock,
  /// so the clock moves meanwhile.
  void Stop() {
    RunWhileTimePasses([&] { drivetrain_->GetOdometryThread().Stop(); });
  }
  /// Moves the clock by `seconds` (one 250 Hz period by default) and waits
  /// for the sample that completes.
  swerve::SwerveDriveState Step(double seconds = 0.004) {
    const int expected = samples_.load() + 1;
    harness::AwaitBlockedWaiters(1);
    harness::AdvanceTime(seconds);
    return AwaitSample(expected);
  }
  /// Waits (on the real clock, as a guard against a hung thread) for sample
  /// `count`, then for the thread to wait again; returns its state.
  swerve::SwerveDriveState AwaitSample(int count) {
    std::unique_lock lock(mutex_);
    const bool arrived = cv_.wait_for(lock, std::chrono::seconds(10), [&] { return samples_.load() >= count; });
    EXPECT_TRUE(arrived) << "sample " << count << " never came";
    swerve::SwerveDriveState state = last_;
    lock.unlock();
    if (drivetrain_->GetOdometryThread().IsRunning()) harness::AwaitBlockedWaiters(1);
    return state;
  }
  int Samples() const { return samples_.load(); }
  /// Also calls `hook` from the telemetry of every sample.
  void OnSample(std::function<void(const swerve::SwerveDriveState&)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
  }

 private:
  void Count(const swerve::SwerveDriveState& state) {
    std::function<void(const swerve::SwerveDriveState&)> hook;
    {
      std::lock_guard lock(mutex_);
      hook = hook_;
    }
    if (hook) hook(state);
    {
      std::lock_guard lock(mutex_);
      last_ = state;
      samples_.fetch_add(1);
    }
    cv_.notify_all();
  }

  SwerveDrivetrainImpl* drivetrain_ = nullptr;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::atomic<int> samples_{0};
  swerve::SwerveDriveState last_;
  std::function<void(const swerve::SwerveDriveState&)> hook_;
};

/// Owns a stopped drivetrain of the given modules on the manual clock, with
/// a SampleStepper attached.
class DrivetrainRig : public SampleStepper {
 public:
  explicit DrivetrainRig(const std::vector<ModuleConstants>& modules = SquareModules(),
                         units::frequency::hertz_t frequency = units::frequency::hertz_t{0.0},
                         const char* bus = kBus) {
    swerve::SwerveDrivetrainConstants constants;
    constants.WithCANBusName(bus).WithAuklet2Id(kAuklet2Id);
    RunWhileTimePasses([&] {
      drivetrain_ = std::make_unique<SwerveDrivetrainImpl>(constants, frequency, std::array<double, 3>{0.1, 0.1, 0.1},
                                                           std::array<double, 3>{0.9, 0.9, 0.9},
                                                           std::span<const ModuleConstants>(modules));
    });
    Attach(*drivetrain_);
  }
  ~DrivetrainRig() {
    Stop();
    drivetrain_.reset();
  }

  SwerveDrivetrainImpl& operator*() { return *drivetrain_; }
  SwerveDrivetrainImpl* operator->() { return drivetrain_.get(); }

 private:
  std::unique_ptr<SwerveDrivetrainImpl> drivetrain_;
};

}  // namespace swerve_rig
