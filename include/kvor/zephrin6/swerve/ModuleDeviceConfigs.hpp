#pragma once

// How the swerve front ends (the typed C++ SwerveDrivetrain, and the C
// interface that the Java SwerveDrivetrain goes through) configure a
// module's devices from its SwerveModuleConstants when the drivetrain is
// built. This is the one place that says which constant reaches which
// device setting. Each device starts from the initial configuration the
// constants carry, and the named fields then override it:
//
// Steer motor (from SteerMotorInitialConfigs):
//   Slot0                          SteerMotorGains
//   ClosedLoopGeneral.ContinuousWrap  true: the azimuth goes from 0.49 to
//                                  -0.49 turns the short way round
//   MotorOutput.Inverted           SteerMotorInverted (clockwise positive)
//   the azimuth in mechanism rotations, by FeedbackSource (SteerFeedbackType):
//     RotorSensor    the motor's own rotor, SensorToMechanismRatio =
//                    SteerMotorGearRatio (a ratio that is not positive,
//                    i.e. not set, leaves the initial configuration's
//                    ratios, here and below)
//     RemoteEncoder, FusedEncoder, SyncEncoder
//                    the azimuth encoder EncoderId as remote, fused or
//                    synchronised feedback, RotorToSensorRatio =
//                    SteerMotorGearRatio, SensorToMechanismRatio = 1 (a
//                    portis is read by its pulse width, by quadrature from
//                    a rapax w, which offers nothing else for it; fused and
//                    synchronised need an angulon and fall back to remote)
//     a rapax w steer motor with its own encoder input (encoder type
//                    RapaxWConfiguration) always reads that input by pulse
//                    width, with AbsoluteSensorOffset = -EncoderOffset and
//                    SensorPhase from EncoderInverted
//   TorqueCurrent peaks            +-SlipCurrent when the steer closed loop
//                                  outputs TorqueCurrentFOC (rapax q)
// Drive motor (from DriveMotorInitialConfigs):
//   Slot0                          DriveMotorGains
//   MotorOutput.Inverted           DriveMotorInverted
//   CurrentLimits.StatorCurrentLimit  SlipCurrent, enabled (when positive):
//                                  the wheel then never pushes harder than
//                                  it can grip
//   TorqueCurrent peaks            +-SlipCurrent when the drive closed loop
//                                  outputs TorqueCurrentFOC (rapax q)
// Azimuth encoder (from EncoderInitialConfigs), an angulon:
//   MagnetSensor.MagnetOffset      -EncoderOffset (EncoderOffset is the
//                                  reading with the wheel pointing forward)
//   MagnetSensor.SensorDirection   EncoderInverted (clockwise positive)
//   A portis gets its initial configuration only; a rapax w input is set on
//   the steer motor above.
//
// The motor models follow the constants' DriveMotorType and SteerMotorType;
// when a model differs from the constants' configuration type (possible
// through the C interface), that device starts from its model's default
// configuration instead of the initial one.
//
// A device that refuses its configuration is tried kConfigAttempts times in
// all, each apply bounded by the configurator's default
// timeout (0.1 s), so building never hangs; the last failure is reported
// with the module and the device ("<device> Swerve Module <i> <role>
// Config") and building goes on with the device as it is.
//
// SwerveModuleImpl reads none of these values: only the front ends apply
// them. Free functions, no state; call them from one thread per module
// before its odometry thread runs.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/PortisConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxWConfiguration.hpp>
#include <kvor/zephrin6/hardware/DeviceIdentifier.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CorePortis.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>

#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kvor::zephrin6::swerve {

/// What a module's FeedbackSource means: where its steer motor takes the
/// azimuth from. Any other value is taken as RotorSensor.
enum class SteerFeedbackType : int32_t {
  /// The steer motor's own rotor, divided by the steering ratio.
  RotorSensor = 0,
  /// The azimuth encoder, read over the bus.
  RemoteEncoder = 1,
  /// The azimuth encoder fused with the rotor (angulon).
  FusedEncoder = 2,
  /// The azimuth encoder synchronised with the rotor (angulon).
  SyncEncoder = 3,
};

/// How many times a device is tried before its configuration is given up.
inline constexpr int kConfigAttempts = 3;

namespace impl {

/// Runs `apply` until it returns OK, kConfigAttempts times at most; the
/// last failure is reported with the location "<device> Swerve Module
/// <moduleIndex> <role> Config". @return OK or the last failure.
ZEPHRIN6_API kvor::zephrin::StatusCode ApplyWithRetries(const hardware::DeviceIdentifier& device,
                                                        std::size_t moduleIndex, std::string_view role,
                                                        const std::function<kvor::zephrin::StatusCode()>& apply);

template <typename Wanted, typename Given>
Wanted InitialOrDefault(const Given& initial) {
  if constexpr (std::same_as<Wanted, Given>) {
    return initial;
  } else {
    return Wanted{};
  }
}

inline signals::InvertedValue InvertedOf(bool clockwise) {
  return clockwise ? signals::InvertedValue::Clockwise_Positive : signals::InvertedValue::CounterClockwise_Positive;
}

template <typename MotorConfigT>
void LimitTorqueCurrent(MotorConfigT& config, ClosedLoopOutputType output, units::current::ampere_t slip) {
  if constexpr (std::same_as<MotorConfigT, configs::RapaxQConfiguration>) {
    if (output == ClosedLoopOutputType::TorqueCurrentFOC && slip.value() > 0.0) {
      config.TorqueCurrent.PeakForwardTorqueCurrent = slip;
      config.TorqueCurrent.PeakReverseTorqueCurrent = -slip;
    }
  }
}

}  // namespace impl

namespace impl {

/// Whether the constants give a steering ratio: one that is not positive
/// (not set) leaves the initial configuration's ratios as they are.
template <typename Module>
bool HasSteeringRatio(const Module& module) {
  return module.SteerMotorGearRatio > 0.0 && std::isfinite(module.SteerMotorGearRatio);
}

/// The ratios of a steer motor that reads the azimuth from its encoder: the
/// rotor turns SteerMotorGearRatio times per encoder turn, which is the
/// azimuth.
template <typename FeedbackGroup, typename Module>
void SetEncoderRatios(FeedbackGroup& group, const Module& module) {
  if (!HasSteeringRatio(module)) return;
  group.RotorToSensorRatio = module.SteerMotorGearRatio;
  group.SensorToMechanismRatio = 1.0;
}

/// The feedback sources a steer motor model offers for each way of reading
/// the azimuth (its signal value enumeration's numbers).
struct AzimuthSources {
  int rotor, remoteAngulon, fusedAngulon, syncAngulon, portis;
};

/// Makes a steer motor's feedback group (`Feedback` of a rapax q,
/// `ExternalFeedback` of a rapax w, with `source` its source field) report
/// the azimuth in mechanism rotations, as FeedbackSource asks.
template <typename FeedbackGroup, typename SourceT, typename D, typename S, typename E>
void ReportAzimuth(FeedbackGroup& group, SourceT& source, const AzimuthSources& sources,
                   const SwerveModuleConstants<D, S, E>& module) {
  const auto feedback = static_cast<SteerFeedbackType>(module.FeedbackSource);
  if (feedback != SteerFeedbackType::RemoteEncoder && feedback != SteerFeedbackType::FusedEncoder &&
      feedback != SteerFeedbackType::SyncEncoder) {
    source = sources.rotor;
    if (HasSteeringRatio(module)) {
      group.SensorToMechanismRatio = module.SteerMotorGearRatio;
      group.RotorToSensorRatio = 1.0;
    }
    return;
  }
  group.FeedbackRemoteSensorID = module.EncoderId;
  SetEncoderRatios(group, module);
  if constexpr (!std::same_as<E, configs::AngulonConfiguration>) {
    source = sources.portis;
  } else if (feedback == SteerFeedbackType::FusedEncoder) {
    source = sources.fusedAngulon;
  } else if (feedback == SteerFeedbackType::SyncEncoder) {
    source = sources.syncAngulon;
  } else {
    source = sources.remoteAngulon;
  }
}

}  // namespace impl

/// The steer motor's configuration of a module (see the table above), for
/// a steer motor whose configuration type is SteerConfigT.
template <typename SteerConfigT, typename D, typename S, typename E>
SteerConfigT SteerMotorConfigs(const SwerveModuleConstants<D, S, E>& module) {
  SteerConfigT config = impl::InitialOrDefault<SteerConfigT>(module.SteerMotorInitialConfigs);
  config.Slot0 = module.SteerMotorGains;
  config.ClosedLoopGeneral.ContinuousWrap = true;
  config.MotorOutput.Inverted = impl::InvertedOf(module.SteerMotorInverted);
  impl::LimitTorqueCurrent(config, module.SteerMotorClosedLoopOutput, module.SlipCurrent);
  if constexpr (std::same_as<SteerConfigT, configs::RapaxQConfiguration>) {
    using Source = signals::FeedbackSensorSourceValue;
    impl::ReportAzimuth(config.Feedback, config.Feedback.FeedbackSensorSource,
                        {Source::RotorSensor, Source::RemoteAngulon, Source::FusedAngulon, Source::SyncAngulon,
                         Source::RemotePortisPWM1},
                        module);
  } else if constexpr (std::same_as<E, configs::RapaxWConfiguration>) {
    // The encoder is wired to this motor's own input.
    config.ExternalFeedback.ExternalFeedbackSensorSource = signals::ExternalFeedbackSensorSourceValue::PulseWidth;
    config.ExternalFeedback.AbsoluteSensorOffset = -module.EncoderOffset;
    config.ExternalFeedback.SensorPhase = module.EncoderInverted
                                              ? signals::SensorDirectionValue::Clockwise_Positive
                                              : signals::SensorDirectionValue::CounterClockwise_Positive;
    impl::SetEncoderRatios(config.ExternalFeedback, module);
  } else {
    using Source = signals::ExternalFeedbackSensorSourceValue;
    impl::ReportAzimuth(config.ExternalFeedback, config.ExternalFeedback.ExternalFeedbackSensorSource,
                        {Source::Commutation, Source::RemoteAngulon, Source::FusedAngulon, Source::SyncAngulon,
                         Source::RemotePortisQuadrature},
                        module);
  }
  return config;
}

/// The drive motor's configuration of a module, for a drive motor whose
/// configuration type is DriveConfigT.
template <typename DriveConfigT, typename D, typename S, typename E>
DriveConfigT DriveMotorConfigs(const SwerveModuleConstants<D, S, E>& module) {
  DriveConfigT config = impl::InitialOrDefault<DriveConfigT>(module.DriveMotorInitialConfigs);
  config.Slot0 = module.DriveMotorGains;
  config.MotorOutput.Inverted = impl::InvertedOf(module.DriveMotorInverted);
  if (module.SlipCurrent.value() > 0.0) {
    config.CurrentLimits.StatorCurrentLimit = module.SlipCurrent;
    config.CurrentLimits.StatorCurrentLimitEnable = true;
  }
  impl::LimitTorqueCurrent(config, module.DriveMotorClosedLoopOutput, module.SlipCurrent);
  return config;
}

/// The angulon's configuration of a module whose encoder is an angulon.
template <typename D, typename S>
configs::AngulonConfiguration EncoderConfigs(const SwerveModuleConstants<D, S, configs::AngulonConfiguration>& module) {
  configs::AngulonConfiguration config = module.EncoderInitialConfigs;
  config.MagnetSensor.MagnetOffset = -module.EncoderOffset;
  config.MagnetSensor.SensorDirection = module.EncoderInverted ? signals::SensorDirectionValue::Clockwise_Positive
                                                               : signals::SensorDirectionValue::CounterClockwise_Positive;
  return config;
}

/// Configures `module`'s steer motor, drive motor and azimuth encoder (in
/// that order) from `constants`, as the table above says; `moduleIndex`
/// names the module in reports. A refused device is retried and reported,
/// and the others are configured still. @return OK, or the first device's
/// last failure.
template <typename D, typename S, typename E>
kvor::zephrin::StatusCode ApplyModuleConfigs(impl::SwerveModuleImpl& module,
                                             const SwerveModuleConstants<D, S, E>& constants, std::size_t moduleIndex,
                                             std::string_view canBusName) {
  using kvor::zephrin::StatusCode;
  StatusCode first = StatusCode::OK;
  const auto keep = [&first](StatusCode status) {
    if (first == StatusCode::OK) first = status;
  };
  const auto motor = [&](hardware::traits::CommonRapax& device, MotorControllerType type, std::string_view role,
                         auto configOfQ, auto configOfW) {
    if (type == MotorControllerType::RapaxQ) {
      auto& typed = static_cast<hardware::core::CoreRapaxQ&>(device);
      const configs::RapaxQConfiguration config = configOfQ();
      keep(impl::ApplyWithRetries(typed.GetDeviceIdentifier(), moduleIndex, role,
                                  [&] { return typed.GetConfigurator().Apply(config); }));
    } else {
      auto& typed = static_cast<hardware::core::CoreRapaxW&>(device);
      const configs::RapaxWConfiguration config = configOfW();
      keep(impl::ApplyWithRetries(typed.GetDeviceIdentifier(), moduleIndex, role,
                                  [&] { return typed.GetConfigurator().Apply(config); }));
    }
  };
  motor(
      module.GetSteerMotor(), constants.SteerMotorType, "Steer Motor",
      [&] { return SteerMotorConfigs<configs::RapaxQConfiguration>(constants); },
      [&] { return SteerMotorConfigs<configs::RapaxWConfiguration>(constants); });
  motor(
      module.GetDriveMotor(), constants.DriveMotorType, "Drive Motor",
      [&] { return DriveMotorConfigs<configs::RapaxQConfiguration>(constants); },
      [&] { return DriveMotorConfigs<configs::RapaxWConfiguration>(constants); });
  if constexpr (std::same_as<E, configs::AngulonConfiguration>) {
    hardware::core::CoreAngulon encoder(constants.EncoderId, std::string(canBusName));
    const configs::AngulonConfiguration config = EncoderConfigs(constants);
    keep(impl::ApplyWithRetries(encoder.GetDeviceIdentifier(), moduleIndex, "Encoder",
                                [&] { return encoder.GetConfigurator().Apply(config); }));
  } else if constexpr (std::same_as<E, configs::PortisConfiguration>) {
    hardware::core::CorePortis encoder(constants.EncoderId, std::string(canBusName));
    keep(impl::ApplyWithRetries(encoder.GetDeviceIdentifier(), moduleIndex, "Encoder",
                                [&] { return encoder.GetConfigurator().Apply(constants.EncoderInitialConfigs); }));
  }
  return first;
}

}  // namespace kvor::zephrin6::swerve
