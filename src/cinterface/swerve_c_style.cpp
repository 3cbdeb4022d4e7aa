#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/swerve/SwerveDriveState.hpp>
#include <kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cinterface/internal/ArgumentCheck.hpp"
#include "cinterface/internal/CStyleExtras.hpp"
#include "cinterface/internal/CallbackScope.hpp"
#include "cinterface/internal/ConstantsHandles.hpp"
#include "cinterface/internal/DrivetrainRegistry.hpp"

using kvor::zephrin::StatusCode;
using kvor::zephrin6::swerve::Pose2d;
using kvor::zephrin6::swerve::Rotation2d;
using kvor::zephrin6::swerve::SwerveDriveState;
using kvor::zephrin6::swerve::SwerveModulePosition;
using kvor::zephrin6::swerve::SwerveModuleState;
using kvor::zephrin6::swerve::Translation2d;
using kvor::zephrin6::swerve::impl::ControlParameters;
using kvor::zephrin6::swerve::impl::SwerveDrivetrainImpl;
using kvor::zephrin6::swerve::impl::SwerveModuleImpl;
namespace cinterface = kvor::zephrin6::cinterface;
namespace swerve = kvor::zephrin6::swerve;
namespace signals = kvor::zephrin6::signals;

namespace {

constexpr std::array<double, 3> kDefaultOdometryStdDev{0.1, 0.1, 0.1};
constexpr std::array<double, 3> kDefaultVisionStdDev{0.9, 0.9, 0.9};

cinterface::DrivetrainRegistry& Registry() { return cinterface::DrivetrainRegistry::Instance(); }

void Refuse(const char* function, const std::string& why) { cinterface::ReportRefusedCall(function, why.c_str()); }

Rotation2d Angle(double radians) { return Rotation2d(units::angle::radian_t{radians}); }
Pose2d PoseOf(double x, double y, double theta) {
  return Pose2d(units::length::meter_t{x}, units::length::meter_t{y}, Angle(theta));
}
std::array<double, 3> Triple(const double values[3]) { return {values[0], values[1], values[2]}; }

_swerve_module_state_t ToC(const SwerveModuleState& state) {
  return {state.speed.value(), state.angle.Radians().value()};
}
_swerve_module_position_t ToC(const SwerveModulePosition& position) {
  return {position.distance.value(), position.angle.Radians().value()};
}

/// Copies `from` into `to`, at most `capacity` entries; a null `to` is skipped.
template <typename CRecord, typename Value>
void CopyEntries(const std::vector<Value>& from, CRecord* to, std::size_t capacity) {
  if (to == nullptr) return;
  const std::size_t count = std::min(from.size(), capacity);
  for (std::size_t i = 0; i < count; ++i) to[i] = ToC(from[i]);
}

/// Fills the record's numbers from `state` and writes the module entries
/// through its array pointers.
void Fill(const SwerveDriveState& state, _swerve_drive_state_t& out, std::size_t capacity) {
  out.PoseX = state.Pose.X().value();
  out.PoseY = state.Pose.Y().value();
  out.PoseTheta = state.Pose.Rotation().Radians().value();
  out.SpeedsVx = state.Speeds.vx.value();
  out.SpeedsVy = state.Speeds.vy.value();
  out.SpeedsOmega = state.Speeds.omega.value();
  CopyEntries(state.ModuleStates, out.ModuleStates, capacity);
  CopyEntries(state.ModuleTargets, out.ModuleTargets, capacity);
  CopyEntries(state.ModulePositions, out.ModulePositions, capacity);
  out.RawHeading = state.RawHeading.Radians().value();
  out.Timestamp = state.Timestamp.value();
  out.OdometryPeriod = state.OdometryPeriod.value();
  out.SuccessfulDaqs = state.SuccessfulDaqs;
  out.FailedDaqs = state.FailedDaqs;
}

_swerve_control_params_t ToC(const ControlParameters& parameters) {
  return {parameters.kMaxSpeed.value(),
          parameters.operatorForwardDirection.Radians().value(),
          parameters.currentChassisSpeed.vx.value(),
          parameters.currentChassisSpeed.vy.value(),
          parameters.currentChassisSpeed.omega.value(),
          parameters.currentPose.X().value(),
          parameters.currentPose.Y().value(),
          parameters.currentPose.Rotation().Radians().value(),
          parameters.timestamp.value(),
          parameters.updatePeriod.value()};
}

/// The module arrays a telemetry callback is handed, sized once at
/// registration so that a sample allocates nothing.
struct TelemetryArrays {
  explicit TelemetryArrays(std::size_t count) : states(count), targets(count), positions(count) {}
  std::vector<_swerve_module_state_t> states;
  std::vector<_swerve_module_state_t> targets;
  std::vector<_swerve_module_position_t> positions;
};

/// Runs `function(SwerveModuleImpl&)` on module `index` of drivetrain `id`
/// with the module lock held. @return its result, or `absent`.
template <typename Result, typename Function>
Result WithModule(int id, std::size_t index, Result absent, Function&& function) {
  return Registry().With(id, absent, [&](SwerveDrivetrainImpl& drivetrain) -> Result {
    if (index >= drivetrain.GetModules().size()) return absent;
    SwerveDrivetrainImpl::ModuleLock lock(drivetrain);
    return function(*drivetrain.GetModules()[index]);
  });
}

int Create(const char* function, const _swerve_drivetrain_constants_t* drivetrainConstants,
           const double odometryStdDev[3], const double visionStdDev[3],
           const _swerve_module_constants_arr_t* moduleConstants, std::size_t moduleCount, double odometryFrequencyHz) {
  if (cinterface::CallbackScope::Active()) {
    Refuse(function, "called from a drivetrain callback");
    return 0;
  }
  // The registry would refuse it anyway, and the runtime's own state may be
  // gone already: building (and configuring the devices) must not start.
  if (Registry().ExitBegun()) return 0;
  const auto* constants = cinterface::DrivetrainConstantsOf(drivetrainConstants);
  if (constants == nullptr) {
    Refuse(function, "no drivetrain constants");
    return 0;
  }
  // A null handle and one of the other kind both have no records; a
  // drivetrain without modules would fail half its samples (it has only the
  // gyro to wait for) and command nothing.
  const std::span<cinterface::CModuleConstants> modules = cinterface::ModuleConstantsOf(moduleConstants);
  cinterface::ArgumentCheck check(function);
  check.Require(cinterface::IsModuleConstants(moduleConstants), "no module constants")
      .Require(moduleCount > 0, "no modules");
  if (!check.Passed()) return 0;
  if (moduleCount > modules.size()) {
    Refuse(function,
           std::to_string(moduleCount) + " modules but " + std::to_string(modules.size()) + " module constants");
    return 0;
  }
  if (odometryStdDev == nullptr || visionStdDev == nullptr) {
    Refuse(function, "no standard deviations");
    return 0;
  }
  check.Finite("odometryFrequencyHz", odometryFrequencyHz)
      .Require(!(odometryFrequencyHz < 0.0), "a negative odometry frequency")
      .Finite("odometryStdDev", odometryStdDev, 3)
      .Finite("visionStdDev", visionStdDev, 3);
  if (!check.Passed()) return 0;
  // Built before the registry's lock is taken: construction reads every
  // device and may wait, and no other drivetrain's call should wait for it.
  const std::span<const cinterface::CModuleConstants> used = modules.first(moduleCount);
  auto drivetrain = std::make_unique<SwerveDrivetrainImpl>(*constants, units::frequency::hertz_t{odometryFrequencyHz},
                                                           Triple(odometryStdDev), Triple(visionStdDev), used);
  for (std::size_t i = 0; i < used.size(); ++i) {
    // A refused device is reported with its module; the drivetrain is
    // created anyway, as the C++ front end does.
    static_cast<void>(swerve::ApplyModuleConfigs(*drivetrain->GetModules()[i], used[i], i, constants->CANBusName));
  }
  // The thread would ask for the odometry rate when it starts; a program
  // that steps odometry itself never starts it, and must get the same
  // frames. A refusal is reported and asked again by the thread.
  static_cast<void>(drivetrain->RequestOdometryFrequency());
  return Registry().Add(std::move(drivetrain), kvor::zephrin6::swerve::sim::SimSwerveDrivetrain::SettingsOf(used));
}

}  // namespace

namespace kvor::zephrin6::cinterface {

_swerve_drivetrain_constants_t* CreateDrivetrainConstantsCopyingName(std::string_view canBusName, int auklet2Id) {
  return NewDrivetrainConstants(canBusName, true, auklet2Id);
}

void StopAllForExit() { Registry().StopAllForExit(); }

std::size_t LiveDrivetrains() { return Registry().Size(); }

std::size_t ModuleCount(int id) {
  return Registry().With(id, std::size_t{0},
                         [](SwerveDrivetrainImpl& drivetrain) { return drivetrain.GetModules().size(); });
}

bool GetState(int id, _swerve_drive_state_t& out, std::size_t capacity) {
  // Reused by every call on this thread, so that a loop reading the state
  // allocates nothing after its first call.
  thread_local SwerveDriveState state;
  return Registry().With(id, false, [&](SwerveDrivetrainImpl& drivetrain) {
    drivetrain.GetState(state);
    Fill(state, out, capacity);
    return true;
  });
}

}  // namespace kvor::zephrin6::cinterface

extern "C" {

// ---- Constants ----

_swerve_drivetrain_constants_t* c_kvor_zephrin6_swerve_create_drivetrain_constants(const char* canBusName,
                                                                                   int auklet2Id) {
  if (canBusName == nullptr) return nullptr;
  return cinterface::NewDrivetrainConstants(canBusName, false, auklet2Id);
}

_swerve_module_constants_arr_t* c_kvor_zephrin6_swerve_create_module_constants_arr(size_t count) {
  return cinterface::NewModuleConstants(count);
}

void* c_kvor_zephrin6_swerve_set_module_constants(
    _swerve_module_constants_arr_t* moduleConstants, size_t index, int steerMotorId, int driveMotorId, int encoderId,
    double encoderOffset, double locationX, double locationY, bool driveMotorInverted, bool steerMotorInverted,
    bool encoderInverted, double driveMotorGearRatio, double steerMotorGearRatio, double couplingGearRatio,
    double wheelRadius, int steerMotorClosedLoopOutput, int driveMotorClosedLoopOutput, double slipCurrent,
    double speedAt12Volts, int driveMotorType, int steerMotorType, int feedbackSource, double steerInertia,
    double driveInertia, double steerFrictionVoltage, double driveFrictionVoltage) {
  constexpr const char* kFunction = "c_kvor_zephrin6_swerve_set_module_constants";
  const std::span<cinterface::CModuleConstants> records = cinterface::ModuleConstantsOf(moduleConstants);
  if (index >= records.size()) {
    Refuse(kFunction, "module " + std::to_string(index) + " of " + std::to_string(records.size()));
    return nullptr;
  }
  const std::array<double, 13> numbers{encoderOffset,       locationX,         locationY,    driveMotorGearRatio,
                                       steerMotorGearRatio, couplingGearRatio, wheelRadius,  slipCurrent,
                                       speedAt12Volts,      steerInertia,      driveInertia, steerFrictionVoltage,
                                       driveFrictionVoltage};
  if (!std::all_of(numbers.begin(), numbers.end(), [](double value) { return std::isfinite(value); })) {
    Refuse(kFunction, "a number that is not finite for module " + std::to_string(index));
    return nullptr;
  }
  // A closed-loop output picks the kind of request a motor gets; a value
  // outside the enumeration would leave the motor without any command. The
  // motor types need no check: 0 is a rapax q and every other value a rapax
  // w. The feedback source is the program's own value, stored and never read.
  cinterface::ArgumentCheck check(kFunction);
  check.Binary("steerMotorClosedLoopOutput", steerMotorClosedLoopOutput)
      .Binary("driveMotorClosedLoopOutput", driveMotorClosedLoopOutput);
  if (!check.Passed()) return nullptr;
  using swerve::ClosedLoopOutputType;
  using swerve::MotorControllerType;
  cinterface::CModuleConstants& module = records[index];
  module.SteerMotorId = steerMotorId;
  module.DriveMotorId = driveMotorId;
  module.EncoderId = encoderId;
  module.EncoderOffset = units::angle::turn_t{encoderOffset};
  module.LocationX = units::length::meter_t{locationX};
  module.LocationY = units::length::meter_t{locationY};
  module.DriveMotorInverted = driveMotorInverted;
  module.SteerMotorInverted = steerMotorInverted;
  module.EncoderInverted = encoderInverted;
  module.DriveMotorGearRatio = driveMotorGearRatio;
  module.SteerMotorGearRatio = steerMotorGearRatio;
  module.CouplingGearRatio = couplingGearRatio;
  module.WheelRadius = units::length::meter_t{wheelRadius};
  module.SteerMotorClosedLoopOutput = static_cast<ClosedLoopOutputType>(steerMotorClosedLoopOutput);
  module.DriveMotorClosedLoopOutput = static_cast<ClosedLoopOutputType>(driveMotorClosedLoopOutput);
  module.SlipCurrent = units::current::ampere_t{slipCurrent};
  module.SpeedAt12Volts = units::velocity::meters_per_second_t{speedAt12Volts};
  module.DriveMotorType = static_cast<MotorControllerType>(driveMotorType);
  module.SteerMotorType = static_cast<MotorControllerType>(steerMotorType);
  module.FeedbackSource = feedbackSource;
  module.SteerInertia = units::moment_of_inertia::kilogram_square_meter_t{steerInertia};
  module.DriveInertia = units::moment_of_inertia::kilogram_square_meter_t{driveInertia};
  module.SteerFrictionVoltage = units::voltage::volt_t{steerFrictionVoltage};
  module.DriveFrictionVoltage = units::voltage::volt_t{driveFrictionVoltage};
  return &module;
}

int c_kvor_zephrin6_swerve_set_module_gains(_swerve_module_constants_arr_t* moduleConstants, size_t index, int motor,
                                            double kP, double kI, double kD, double kS, double kV, double kA) {
  constexpr const char* kFunction = "c_kvor_zephrin6_swerve_set_module_gains";
  const std::span<cinterface::CModuleConstants> records = cinterface::ModuleConstantsOf(moduleConstants);
  if (index >= records.size()) {
    Refuse(kFunction, "module " + std::to_string(index) + " of " + std::to_string(records.size()));
    return StatusCode::InvalidParamValue;
  }
  cinterface::ArgumentCheck check(kFunction);
  check.Binary("motor", motor).Finite("kP", kP).Finite("kI", kI).Finite("kD", kD).Finite("kS", kS).Finite("kV", kV).Finite(
      "kA", kA);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  cinterface::CModuleConstants& module = records[index];
  kvor::zephrin6::configs::Slot0Configs& gains = motor == 0 ? module.SteerMotorGains : module.DriveMotorGains;
  gains.WithkP(kP).WithkI(kI).WithkD(kD).WithkS(kS).WithkV(kV).WithkA(kA);
  return StatusCode::OK;
}

// ---- Creation ----

int c_kvor_zephrin6_swerve_create_drivetrain(const _swerve_drivetrain_constants_t* drivetrainConstants,
                                             const _swerve_module_constants_arr_t* moduleConstants,
                                             size_t moduleCount) {
  return Create("c_kvor_zephrin6_swerve_create_drivetrain", drivetrainConstants, kDefaultOdometryStdDev.data(),
                kDefaultVisionStdDev.data(), moduleConstants, moduleCount, 0.0);
}

int c_kvor_zephrin6_swerve_create_drivetrain_with_freq(const _swerve_drivetrain_constants_t* drivetrainConstants,
                                                       const _swerve_module_constants_arr_t* moduleConstants,
                                                       size_t moduleCount, double odometryFrequencyHz) {
  return Create("c_kvor_zephrin6_swerve_create_drivetrain_with_freq", drivetrainConstants,
                kDefaultOdometryStdDev.data(), kDefaultVisionStdDev.data(), moduleConstants, moduleCount,
                odometryFrequencyHz);
}

int c_kvor_zephrin6_swerve_create_drivetrain_with_stddev(const _swerve_drivetrain_constants_t* drivetrainConstants,
                                                         const double odometryStdDev[3], const double visionStdDev[3],
                                                         const _swerve_module_constants_arr_t* moduleConstants,
                                                         size_t moduleCount, double odometryFrequencyHz) {
  return Create("c_kvor_zephrin6_swerve_create_drivetrain_with_stddev", drivetrainConstants, odometryStdDev,
                visionStdDev, moduleConstants, moduleCount, odometryFrequencyHz);
}

void c_kvor_zephrin6_swerve_destroy_drivetrain(int id) {
  if (cinterface::CallbackScope::Active()) {
    Refuse("c_kvor_zephrin6_swerve_destroy_drivetrain", "called from a drivetrain callback");
    return;
  }
  Registry().Destroy(id);
}

// ---- Drivetrain ----

bool c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(int id) {
  return Registry().With(id, false, [](SwerveDrivetrainImpl& drivetrain) { return drivetrain.IsOnCANFD(); });
}

double c_kvor_zephrin6_swerve_drivetrain_get_odometry_frequency(int id) {
  return Registry().With(id, 0.0,
                         [](SwerveDrivetrainImpl& drivetrain) { return drivetrain.GetOdometryFrequency().value(); });
}

bool c_kvor_zephrin6_swerve_drivetrain_is_odometry_valid(int id) {
  return Registry().With(id, false, [](SwerveDrivetrainImpl& drivetrain) { return drivetrain.IsOdometryValid(); });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control(int id, void* context, _swerve_control_callback_t callback) {
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) {
    if (callback == nullptr) {
      drivetrain.SetControl(SwerveDrivetrainImpl::RequestFunction{});
      return;
    }
    drivetrain.SetControl([context, callback](const ControlParameters& parameters,
                                              const SwerveDrivetrainImpl::ModuleList&) -> StatusCode {
      // Once the process exits, the caller's code may be going away (a JVM
      // that has halted never returns from a call into it).
      if (!Registry().CallbacksAllowed()) return StatusCode::OK;
      const _swerve_control_params_t params = ToC(parameters);
      cinterface::CallbackScope scope;
      return StatusCode(callback(context, &params));
    });
  });
}

void c_kvor_zephrin6_swerve_drivetrain_get_state(int id, _swerve_drive_state_t* out) {
  if (out == nullptr) return;
  cinterface::GetState(id, *out, std::numeric_limits<std::size_t>::max());
}

void c_kvor_zephrin6_swerve_drivetrain_register_telemetry(int id, void* context,
                                                          _swerve_telemetry_callback_t callback) {
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) {
    if (callback == nullptr) {
      drivetrain.RegisterTelemetry(SwerveDrivetrainImpl::TelemetryFunction{});
      return;
    }
    const std::size_t count = drivetrain.GetModules().size();
    auto arrays = std::make_shared<TelemetryArrays>(count);
    drivetrain.RegisterTelemetry([context, callback, arrays, count](const SwerveDriveState& state) {
      if (!Registry().CallbacksAllowed()) return;
      _swerve_drive_state_t record{};
      record.ModuleStates = arrays->states.data();
      record.ModuleTargets = arrays->targets.data();
      record.ModulePositions = arrays->positions.data();
      Fill(state, record, count);
      cinterface::CallbackScope scope;
      callback(context, &record);
    });
  });
}

int c_kvor_zephrin6_swerve_drivetrain_config_neutral_mode(int id, int neutralMode) {
  cinterface::ArgumentCheck check(__func__);
  if (!check.Binary("neutralMode", neutralMode).Passed()) return int{StatusCode::InvalidParamValue};
  return Registry().With(id, int{StatusCode::InvalidParamValue}, [&](SwerveDrivetrainImpl& drivetrain) {
    return drivetrain.ConfigNeutralMode(signals::NeutralModeValue(neutralMode)).value();
  });
}

void c_kvor_zephrin6_swerve_drivetrain_tare_everything(int id) {
  Registry().With(id, [](SwerveDrivetrainImpl& drivetrain) { drivetrain.TareEverything(); });
}

void c_kvor_zephrin6_swerve_drivetrain_seed_field_centric(int id) {
  Registry().With(id, [](SwerveDrivetrainImpl& drivetrain) { drivetrain.SeedFieldCentric(); });
}

void c_kvor_zephrin6_swerve_drivetrain_reset_pose(int id, double x, double y, double theta) {
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) { drivetrain.ResetPose(PoseOf(x, y, theta)); });
}

void c_kvor_zephrin6_swerve_drivetrain_reset_translation(int id, double x, double y) {
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) {
    drivetrain.ResetTranslation(Translation2d(units::length::meter_t{x}, units::length::meter_t{y}));
  });
}

void c_kvor_zephrin6_swerve_drivetrain_reset_rotation(int id, double theta) {
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) { drivetrain.ResetRotation(Angle(theta)); });
}

void c_kvor_zephrin6_swerve_drivetrain_set_operator_perspective_forward(int id, double theta) {
  Registry().With(id,
                  [&](SwerveDrivetrainImpl& drivetrain) { drivetrain.SetOperatorPerspectiveForward(Angle(theta)); });
}

double c_kvor_zephrin6_swerve_drivetrain_get_operator_forward_direction(int id) {
  return Registry().With(id, 0.0, [](SwerveDrivetrainImpl& drivetrain) {
    return drivetrain.GetOperatorForwardDirection().Radians().value();
  });
}

void c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement(int id, double x, double y, double theta,
                                                              double timestamp) {
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) {
    drivetrain.AddVisionMeasurement(PoseOf(x, y, theta), units::time::second_t{timestamp});
  });
}

void c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement_with_stddev(int id, double x, double y, double theta,
                                                                          double timestamp, const double stdDevs[3]) {
  if (stdDevs == nullptr) return;
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) {
    drivetrain.AddVisionMeasurement(PoseOf(x, y, theta), units::time::second_t{timestamp}, Triple(stdDevs));
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_vision_measurement_stddevs(int id, const double stdDevs[3]) {
  if (stdDevs == nullptr) return;
  Registry().With(id,
                  [&](SwerveDrivetrainImpl& drivetrain) { drivetrain.SetVisionMeasurementStdDevs(Triple(stdDevs)); });
}

bool c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(int id, _swerve_pose_t* out, double timestamp) {
  if (out == nullptr) return false;
  return Registry().With(id, false, [&](SwerveDrivetrainImpl& drivetrain) {
    const std::optional<Pose2d> pose = drivetrain.SamplePoseAt(units::time::second_t{timestamp});
    if (!pose) return false;
    *out = {pose->X().value(), pose->Y().value(), pose->Rotation().Radians().value()};
    return true;
  });
}

void c_kvor_zephrin6_swerve_drivetrain_odom_start(int id) { Registry().StartOdometry(id); }

void c_kvor_zephrin6_swerve_drivetrain_odom_stop(int id) {
  Registry().With(id, [](SwerveDrivetrainImpl& drivetrain) { drivetrain.GetOdometryThread().Stop(); });
}

void c_kvor_zephrin6_swerve_drivetrain_odom_set_thread_priority(int id, int priority) {
  Registry().With(
      id, [&](SwerveDrivetrainImpl& drivetrain) { drivetrain.GetOdometryThread().SetThreadPriority(priority); });
}

// ---- Modules ----

void c_kvor_zephrin6_swerve_module_apply(int id, size_t moduleIndex, const _swerve_module_apply_params_t* params) {
  if (params == nullptr) return;
  cinterface::ArgumentCheck check(__func__);
  check.Binary("driveRequest", params->driveRequest)
      .Binary("steerRequest", params->steerRequest)
      .Finite("state.speed", params->state.speed)
      .Finite("state.angle", params->state.angle)
      .Finite("wheelForceFeedforwardX", params->wheelForceFeedforwardX)
      .Finite("wheelForceFeedforwardY", params->wheelForceFeedforwardY)
      .Finite("updatePeriod", params->updatePeriod);
  if (!check.Passed()) return;
  swerve::impl::ModuleRequest request;
  request.State =
      SwerveModuleState{units::velocity::meters_per_second_t{params->state.speed}, Angle(params->state.angle)};
  request.WheelForceFeedforwardX = units::force::newton_t{params->wheelForceFeedforwardX};
  request.WheelForceFeedforwardY = units::force::newton_t{params->wheelForceFeedforwardY};
  request.DriveRequest = static_cast<swerve::DriveRequestType>(params->driveRequest);
  request.SteerRequest = static_cast<swerve::SteerRequestType>(params->steerRequest);
  request.UpdatePeriod = units::time::second_t{params->updatePeriod};
  request.EnableFOC = params->enableFOC;
  WithModule(id, moduleIndex, 0, [&](SwerveModuleImpl& module) {
    module.Apply(request);
    return 0;
  });
}

_swerve_module_position_t c_kvor_zephrin6_swerve_module_get_position(int id, size_t moduleIndex, bool refresh) {
  return WithModule(id, moduleIndex, _swerve_module_position_t{},
                    [&](SwerveModuleImpl& module) { return ToC(module.GetPosition(refresh)); });
}

_swerve_module_position_t c_kvor_zephrin6_swerve_module_get_cached_position(int id, size_t moduleIndex) {
  return WithModule(id, moduleIndex, _swerve_module_position_t{},
                    [](SwerveModuleImpl& module) { return ToC(module.GetCachedPosition()); });
}

_swerve_module_state_t c_kvor_zephrin6_swerve_module_get_current_state(int id, size_t moduleIndex) {
  return WithModule(id, moduleIndex, _swerve_module_state_t{},
                    [](SwerveModuleImpl& module) { return ToC(module.GetCurrentState()); });
}

_swerve_module_state_t c_kvor_zephrin6_swerve_module_get_target_state(int id, size_t moduleIndex) {
  return WithModule(id, moduleIndex, _swerve_module_state_t{},
                    [](SwerveModuleImpl& module) { return ToC(module.GetTargetState()); });
}

void c_kvor_zephrin6_swerve_module_reset_position(int id, size_t moduleIndex) {
  // A configuration write to the drive motor, which serialises its own
  // configuration calls; it touches nothing the odometry thread uses, so it
  // does not hold up a sample. The call returns nothing to C: a refusal is
  // reported by the motor's configurator.
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) {
    if (moduleIndex < drivetrain.GetModules().size()) {
      static_cast<void>(drivetrain.GetModules()[moduleIndex]->ResetPosition());
    }
  });
}

}  // extern "C"
