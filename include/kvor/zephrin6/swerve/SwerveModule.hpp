#pragma once

// SwerveModule is the typed view of one module of a SwerveDrivetrain: it
// gives the module's drive and steer motors as their device classes
// (CoreRapaxQ or CoreRapaxW, from the configuration types), so a program can
// read any of their signals or configure them, and the module's positions
// and states. The drivetrain owns the module and its motors; a view is a
// pair of references, valid while the drivetrain lives.
//
// Thread safety: the motors are devices and may be used from any thread
// (their own signal objects, not the module's odometry copies). The module
// operations take the drivetrain's module lock, so they wait for the
// odometry thread's current sample to end; do not call them from the
// program's loop every cycle, read GetState() instead.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/impl/ModuleRequest.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>

#include <concepts>
#include <type_traits>

namespace kvor::zephrin6::swerve {

/// The device class of a motor with configuration type `MotorConfigT`.
template <typename MotorConfigT>
using MotorControllerOf = std::conditional_t<std::same_as<MotorConfigT, configs::RapaxQConfiguration>,
                                             hardware::core::CoreRapaxQ, hardware::core::CoreRapaxW>;

template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
class SwerveModule {
 public:
  using DriveMotorT = MotorControllerOf<DriveConfigT>;
  using SteerMotorT = MotorControllerOf<SteerConfigT>;

  /// A view of `module`, one of `drivetrain`'s modules, whose motors are of
  /// the models of the configuration types.
  SwerveModule(impl::SwerveModuleImpl& module, impl::SwerveDrivetrainImpl& drivetrain)
      : module_(&module), drivetrain_(&drivetrain) {}

  /// The drive motor.
  DriveMotorT& GetDriveMotor() const { return static_cast<DriveMotorT&>(module_->GetDriveMotor()); }
  /// The steer motor.
  SteerMotorT& GetSteerMotor() const { return static_cast<SteerMotorT&>(module_->GetSteerMotor()); }

  /// The wheel's distance rolled (metres) and azimuth; see
  /// SwerveModuleImpl::GetPosition. With `refresh` it waits up to 0.05 s.
  SwerveModulePosition GetPosition(bool refresh) const {
    impl::SwerveDrivetrainImpl::ModuleLock lock(*drivetrain_);
    return module_->GetPosition(refresh);
  }
  /// The position of the module's last GetPosition (the odometry thread's
  /// last sample, usually).
  SwerveModulePosition GetCachedPosition() const {
    impl::SwerveDrivetrainImpl::ModuleLock lock(*drivetrain_);
    return module_->GetCachedPosition();
  }
  /// The wheel speed (m/s) and azimuth from the latest signal values.
  SwerveModuleState GetCurrentState() const {
    impl::SwerveDrivetrainImpl::ModuleLock lock(*drivetrain_);
    return module_->GetCurrentState();
  }
  /// The state the module last aimed for.
  SwerveModuleState GetTargetState() const {
    impl::SwerveDrivetrainImpl::ModuleLock lock(*drivetrain_);
    return module_->GetTargetState();
  }
  /// Commands the module once (the drivetrain's request overrides it at its
  /// next sample unless that request is Idle).
  void Apply(const impl::ModuleRequest& request) const {
    impl::SwerveDrivetrainImpl::ModuleLock lock(*drivetrain_);
    module_->Apply(request);
  }
  /// Sets the drive motor's position to 0. @return the device's status.
  [[nodiscard]] kvor::zephrin::StatusCode ResetPosition() const { return module_->ResetPosition(); }

  /// The module behind the view. Using it from a thread other than the
  /// odometry thread needs a SwerveDrivetrainImpl::ModuleLock for the duration.
  impl::SwerveModuleImpl& GetImpl() const { return *module_; }

 private:
  impl::SwerveModuleImpl* module_;
  impl::SwerveDrivetrainImpl* drivetrain_;
};

}  // namespace kvor::zephrin6::swerve
