#pragma once

// SwerveDrivetrain is the swerve drivetrain a robot program drives: built
// from the drivetrain constants and one SwerveModuleConstants per module, it
// creates the auklet 2 and every module's motors, configures them from the
// constants (ModuleDeviceConfigs.hpp), starts its odometry thread
// and from then on tracks the robot's pose. The program hands it a request
// (FieldCentric, RobotCentric, SwerveDriveBrake, ... of swerve/requests) with
// SetControl, reads GetState() in its loop, and adds vision measurements when
// it has them:
//
//   Drivetrain drivetrain{drivetrainConstants, frontLeft, frontRight, backLeft, backRight};
//   drive.WithVelocityX(joystickX * maxSpeed).WithRotationalRate(turnRate);
//   drivetrain.SetControl(drive);
//
// The template arguments are the configuration types of the drive motor,
// the steer motor and the azimuth encoder (see SwerveModuleConstants); they
// fix the motors' models, so the constants' DriveMotorType and SteerMotorType
// are not used here.
//
// In simulation, StartSimThread moves the simulated robot on a thread of its
// own (or the program steps it with UpdateSimState), and GetSimDrivetrain
// tells where the robot truly is; see sim::SimSwerveDrivetrain.
//
// The drivetrain owns the devices, the modules, the odometry thread, the
// simulation and the request copy; destroying it stops the simulation thread,
// then the odometry thread. Not copyable or
// movable. Every operation may be called from any thread; see
// SwerveDrivetrainImpl for the locking rules (the loop-rate operations
// SetControl, GetState, vision and sampling never wait for a sample).

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveDriveState.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrainConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModule.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <units.h>

#include <array>
#include <concepts>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace kvor::zephrin6::swerve {

template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
class SwerveDrivetrain {
 public:
  using ModuleConstants = SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>;
  using Module = SwerveModule<DriveConfigT, SteerConfigT, EncoderConfigT>;

  /// Trust in odometry used when none is given: 0.1 m, 0.1 m, 0.1 rad.
  static constexpr std::array<double, 3> kDefaultOdometryStandardDeviation{0.1, 0.1, 0.1};
  /// Trust in vision used when none is given: 0.9 m, 0.9 m, 0.9 rad.
  static constexpr std::array<double, 3> kDefaultVisionStandardDeviation{0.9, 0.9, 0.9};

  /// Builds the drivetrain with one module per entry of `modules` (see
  /// SwerveDrivetrainImpl for what construction reads and waits for),
  /// configures every module's motors and encoder from its constants (see
  /// ModuleDeviceConfigs.hpp: gains, azimuth feedback, wrap, inversions,
  /// slip current, initial configurations) and starts its odometry thread.
  /// @param odometryUpdateFrequency samples per second; 0 picks 250 Hz on a
  ///        CAN FD bus and 100 Hz otherwise.
  /// @param odometryStandardDeviation trust in odometry: x, y (metres) and
  ///        heading (radians); smaller is more trusted.
  /// @param visionStandardDeviation trust in vision measurements, same units.
  SwerveDrivetrain(const SwerveDrivetrainConstants& drivetrainConstants,
                   units::frequency::hertz_t odometryUpdateFrequency,
                   const std::array<double, 3>& odometryStandardDeviation,
                   const std::array<double, 3>& visionStandardDeviation, std::span<const ModuleConstants> modules)
      : impl_(std::make_unique<impl::SwerveDrivetrainImpl>(
            drivetrainConstants, odometryUpdateFrequency, odometryStandardDeviation, visionStandardDeviation,
            std::span<const ModuleConstants>(WithTypedMotors(modules)))),
        simSettings_(sim::SimSwerveDrivetrain::SettingsOf(modules)) {
    modules_.reserve(impl_->GetModules().size());
    for (const auto& module : impl_->GetModules()) modules_.emplace_back(*module, *impl_);
    const std::vector<ModuleConstants> typed = WithTypedMotors(modules);
    for (std::size_t i = 0; i < typed.size(); ++i) {
      // A refused device is reported with its module; the drivetrain is
      // built anyway, as a robot whose motor answers late must still drive.
      static_cast<void>(ApplyModuleConfigs(*impl_->GetModules()[i], typed[i], i, drivetrainConstants.CANBusName));
    }
    impl_->GetOdometryThread().Start();
  }
  /// As above with the default standard deviations.
  SwerveDrivetrain(const SwerveDrivetrainConstants& drivetrainConstants,
                   units::frequency::hertz_t odometryUpdateFrequency, std::span<const ModuleConstants> modules)
      : SwerveDrivetrain(drivetrainConstants, odometryUpdateFrequency, kDefaultOdometryStandardDeviation,
                         kDefaultVisionStandardDeviation, modules) {}
  /// As above at the default frequency.
  SwerveDrivetrain(const SwerveDrivetrainConstants& drivetrainConstants, std::span<const ModuleConstants> modules)
      : SwerveDrivetrain(drivetrainConstants, units::frequency::hertz_t{0.0}, modules) {}
  /// As above, the modules listed one by one.
  template <std::same_as<ModuleConstants>... Modules>
  explicit SwerveDrivetrain(const SwerveDrivetrainConstants& drivetrainConstants, const Modules&... modules)
      : SwerveDrivetrain(drivetrainConstants, units::frequency::hertz_t{0.0},
                         std::span<const ModuleConstants>(ModuleArray<sizeof...(Modules)>{modules...})) {}
  /// As above at `odometryUpdateFrequency` (hertz; 0 for the default).
  template <std::same_as<ModuleConstants>... Modules>
  SwerveDrivetrain(const SwerveDrivetrainConstants& drivetrainConstants,
                   units::frequency::hertz_t odometryUpdateFrequency, const Modules&... modules)
      : SwerveDrivetrain(drivetrainConstants, odometryUpdateFrequency,
                         std::span<const ModuleConstants>(ModuleArray<sizeof...(Modules)>{modules...})) {}

  SwerveDrivetrain(const SwerveDrivetrain&) = delete;
  SwerveDrivetrain& operator=(const SwerveDrivetrain&) = delete;

  /// Installs a copy of `request` (any swerve request), applied from the next
  /// sample on. Changing the command every loop with the same request type
  /// assigns the installed copy in place and allocates nothing.
  template <typename Request>
    requires std::derived_from<Request, requests::SwerveRequest>
  void SetControl(const Request& request) {
    impl_->SetControl(request);
  }
  /// Installs a request given as a function of the sample's parameters and
  /// the modules; an empty function installs one that sends nothing.
  void SetControl(impl::SwerveDrivetrainImpl::RequestFunction request) { impl_->SetControl(std::move(request)); }

  /// A copy of the state of the last sample.
  SwerveDriveState GetState() const { return impl_->GetState(); }
  /// Copies the state of the last sample into `state`, reusing its vectors.
  void GetState(SwerveDriveState& state) const { impl_->GetState(state); }
  /// Calls `telemetry` on the odometry thread after every sample (an empty
  /// function stops the calls). It must be quick: the thread waits for it.
  void RegisterTelemetry(impl::SwerveDrivetrainImpl::TelemetryFunction telemetry) {
    impl_->RegisterTelemetry(std::move(telemetry));
  }

  /// Sets the neutral mode of every drive motor (0.1 s timeout each).
  /// @return the first failing module's status, else OK.
  [[nodiscard]] kvor::zephrin::StatusCode ConfigNeutralMode(signals::NeutralModeValue mode) {
    return impl_->ConfigNeutralMode(mode);
  }
  /// Zeroes the drive positions and restarts odometry at the origin; a
  /// start-up operation that waits for fresh module readings.
  void TareEverything() { impl_->TareEverything(); }
  /// Sets the estimated heading to the operator's forward direction, so that
  /// the way the robot faces now is forward for field-centric driving.
  void SeedFieldCentric() { impl_->SeedFieldCentric(); }
  /// Moves the pose estimate to `pose`.
  void ResetPose(const Pose2d& pose) { impl_->ResetPose(pose); }
  /// Moves the pose estimate to `translation` (metres), keeping the heading.
  void ResetTranslation(const Translation2d& translation) { impl_->ResetTranslation(translation); }
  /// Sets the estimated heading.
  void ResetRotation(const Rotation2d& rotation) { impl_->ResetRotation(rotation); }
  /// Sets the field direction the operator calls forward.
  void SetOperatorPerspectiveForward(const Rotation2d& forward) { impl_->SetOperatorPerspectiveForward(forward); }
  /// The field direction the operator calls forward.
  Rotation2d GetOperatorForwardDirection() const { return impl_->GetOperatorForwardDirection(); }

  /// Fuses a pose measured at `timestamp` (seconds, runtime time base).
  void AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp) {
    impl_->AddVisionMeasurement(visionRobotPose, timestamp);
  }
  /// As above with this measurement's standard deviations (x, y in metres,
  /// heading in radians), which also apply to later measurements.
  void AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp,
                            const std::array<double, 3>& visionMeasurementStdDevs) {
    impl_->AddVisionMeasurement(visionRobotPose, timestamp, visionMeasurementStdDevs);
  }
  /// Sets how much vision measurements are trusted (x, y in metres, heading
  /// in radians).
  void SetVisionMeasurementStdDevs(const std::array<double, 3>& visionMeasurementStdDevs) {
    impl_->SetVisionMeasurementStdDevs(visionMeasurementStdDevs);
  }
  /// The fused pose at `timestamp` (seconds), when odometry has history.
  std::optional<Pose2d> SamplePoseAt(units::time::second_t timestamp) const { return impl_->SamplePoseAt(timestamp); }

  /// True once more than two samples read every signal in time.
  bool IsOdometryValid() const { return impl_->IsOdometryValid(); }
  /// Whether the drivetrain's bus is CAN FD.
  bool IsOnCANFD() const { return impl_->IsOnCANFD(); }
  /// Samples per second.
  units::frequency::hertz_t GetOdometryFrequency() const { return impl_->GetOdometryFrequency(); }
  /// The odometry thread (stop, restart, priority).
  impl::SwerveDrivetrainImpl::OdometryThread& GetOdometryThread() { return impl_->GetOdometryThread(); }

  /// Module `index` (in the order of the constants). No bounds check.
  const Module& GetModule(std::size_t index) const { return modules_[index]; }
  /// Every module, in the order of the constants.
  std::span<const Module> GetModules() const { return modules_; }
  /// Module locations, metres, in module order.
  const std::vector<Translation2d>& GetModuleLocations() const { return impl_->GetModuleLocations(); }
  /// The auklet 2 that gives the heading.
  hardware::core::CoreAuklet2& GetAuklet2() const { return impl_->GetAuklet2(); }
  /// The engine behind this front end.
  impl::SwerveDrivetrainImpl& GetImpl() const { return *impl_; }

  // ---- Simulation ----

  /// The physics simulation of this drivetrain, built from its module
  /// constants on first use (which sends nothing to the devices); it keeps
  /// the robot's true pose.
  sim::SimSwerveDrivetrain& GetSimDrivetrain() {
    std::call_once(simOnce_, [this] {
      sim_ = std::make_unique<sim::SimSwerveDrivetrain>(
          *impl_, std::span<const sim::SimSwerveDrivetrain::ModuleSettings>(simSettings_));
    });
    return *sim_;
  }
  /// Moves the simulated robot on a thread of its own: every `period` of
  /// wall time it integrates the time the runtime's clock moved (at most
  /// SimSwerveDrivetrain::kMaxUpdate at once), with `supplyVoltage` as the
  /// battery. Nothing when it runs already.
  /// @return OK, or InvalidParamValue for a period that is not positive or
  ///         a voltage that is negative or not finite.
  kvor::zephrin::StatusCode StartSimThread(units::time::second_t period, units::voltage::volt_t supplyVoltage) {
    return GetSimDrivetrain().StartThread(period, supplyVoltage);
  }
  /// As above, fed by the simulated battery, which sags under the motors'
  /// load and browns out (SimSwerveDrivetrain::SetBattery).
  kvor::zephrin::StatusCode StartSimThread(units::time::second_t period) {
    return GetSimDrivetrain().StartThread(period);
  }
  /// Stops the simulation thread and waits for it.
  void StopSimThread() { GetSimDrivetrain().StopThread(); }
  /// Moves the simulated robot through `dt` (seconds the runtime's clock
  /// just moved) with `supplyVoltage` as the battery, for programs that step
  /// time themselves; a dt beyond SimSwerveDrivetrain::kMaxUpdate integrates
  /// that much only and is reported. @return OK, or InvalidParamValue for a
  /// dt or voltage that is negative or not finite.
  kvor::zephrin::StatusCode UpdateSimState(units::time::second_t dt, units::voltage::volt_t supplyVoltage) {
    return GetSimDrivetrain().Update(dt, supplyVoltage);
  }
  /// As above, fed by the simulated battery. @return OK, or
  /// InvalidParamValue for a dt that is negative or not finite.
  kvor::zephrin::StatusCode UpdateSimState(units::time::second_t dt) { return GetSimDrivetrain().Update(dt); }

 private:
  template <std::size_t N>
  using ModuleArray = std::array<ModuleConstants, N>;

  // The models follow the template arguments, so that the typed motor views
  // are always right.
  static std::vector<ModuleConstants> WithTypedMotors(std::span<const ModuleConstants> modules) {
    std::vector<ModuleConstants> typed(modules.begin(), modules.end());
    for (auto& module : typed) {
      module.DriveMotorType = kMotorControllerTypeOf<DriveConfigT>;
      module.SteerMotorType = kMotorControllerTypeOf<SteerConfigT>;
    }
    return typed;
  }

  std::unique_ptr<impl::SwerveDrivetrainImpl> impl_;
  std::vector<Module> modules_;
  std::vector<sim::SimSwerveDrivetrain::ModuleSettings> simSettings_;
  std::once_flag simOnce_;
  // Declared last: destroyed (its thread stopped) before the devices it feeds.
  std::unique_ptr<sim::SimSwerveDrivetrain> sim_;
};

}  // namespace kvor::zephrin6::swerve
