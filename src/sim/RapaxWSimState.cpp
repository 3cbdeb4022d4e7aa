#include <kvor/zephrin6/sim/RapaxWSimState.hpp>

#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>

#include "sim/internal/SimCalls.hpp"

namespace kvor::zephrin6::sim {

using kvor::zephrin::StatusCode;
using internal::Oriented;

namespace {
constexpr internal::DeviceType kType = internal::DeviceType::RapaxW;
}  // namespace

// 4096 edges per rotation: a quadrature encoder of 1024 lines counts both edges of both channels.
RapaxWSimState::RapaxWSimState(const hardware::core::CoreRapaxW& device, ChassisReference motorOrientation,
                               ChassisReference sensorOrientation)
    : deviceId_{device.GetDeviceID()},
      MotorOrientation{motorOrientation},
      SensorOrientation{sensorOrientation},
      QuadratureEdgesPerRotation{4096} {}

StatusCode RapaxWSimState::GetLastStatusCode() const { return internal::LastError(kType, deviceId_); }

units::voltage::volt_t RapaxWSimState::GetMotorVoltage() const {
  return units::voltage::volt_t{Oriented(MotorOrientation, internal::GetOutput(kType, deviceId_, "MotorVoltage"))};
}

units::current::ampere_t RapaxWSimState::GetTorqueCurrent() const {
  return units::current::ampere_t{Oriented(MotorOrientation, internal::GetOutput(kType, deviceId_, "TorqueCurrent"))};
}

units::current::ampere_t RapaxWSimState::GetSupplyCurrent() const {
  return units::current::ampere_t{internal::GetOutput(kType, deviceId_, "SupplyCurrent")};
}

StatusCode RapaxWSimState::SetSupplyVoltage(units::voltage::volt_t volts) {
  return internal::SetInput<kType, "SupplyVoltage">(deviceId_, volts.value());
}

StatusCode RapaxWSimState::SetForwardLimit(bool closed) {
  return internal::SetInput<kType, "ForwardLimit">(deviceId_, closed ? 1.0 : 0.0);
}

StatusCode RapaxWSimState::SetReverseLimit(bool closed) {
  return internal::SetInput<kType, "ReverseLimit">(deviceId_, closed ? 1.0 : 0.0);
}

StatusCode RapaxWSimState::SetRawRotorPosition(units::angle::turn_t position) {
  return internal::SetInput<kType, "RawRotorPosition">(deviceId_, Oriented(MotorOrientation, position.value()));
}

StatusCode RapaxWSimState::AddRotorPosition(units::angle::turn_t deltaPosition) {
  return internal::SetInput<kType, "AddRotorPosition">(deviceId_, Oriented(MotorOrientation, deltaPosition.value()));
}

StatusCode RapaxWSimState::SetRotorVelocity(units::angular_velocity::turns_per_second_t velocity) {
  return internal::SetInput<kType, "RotorVelocity">(deviceId_, Oriented(MotorOrientation, velocity.value()));
}

StatusCode RapaxWSimState::SetRotorAcceleration(units::angular_acceleration::turns_per_second_squared_t acceleration) {
  return internal::SetInput<kType, "RotorAcceleration">(deviceId_, Oriented(MotorOrientation, acceleration.value()));
}

StatusCode RapaxWSimState::SetRawQuadraturePosition(units::angle::turn_t position) {
  return internal::SetInput<kType, "RawQuadraturePosition">(deviceId_,
                            Oriented(SensorOrientation, position.value()) * QuadratureEdgesPerRotation);
}

StatusCode RapaxWSimState::AddQuadraturePosition(units::angle::turn_t deltaPosition) {
  return internal::SetInput<kType, "AddQuadraturePosition">(deviceId_,
                            Oriented(SensorOrientation, deltaPosition.value()) * QuadratureEdgesPerRotation);
}

StatusCode RapaxWSimState::SetQuadratureVelocity(units::angular_velocity::turns_per_second_t velocity) {
  return internal::SetInput<kType, "QuadratureVelocity">(deviceId_,
                            Oriented(SensorOrientation, velocity.value()) * QuadratureEdgesPerRotation);
}

StatusCode RapaxWSimState::SetQuadratureAcceleration(
    units::angular_acceleration::turns_per_second_squared_t acceleration) {
  return internal::SetInput<kType, "QuadratureAcceleration">(deviceId_,
                            Oriented(SensorOrientation, acceleration.value()) * QuadratureEdgesPerRotation);
}

StatusCode RapaxWSimState::SetPulseWidthPosition(units::angle::turn_t position) {
  return internal::SetInput<kType, "PulseWidthPosition">(deviceId_, Oriented(SensorOrientation, position.value()));
}

StatusCode RapaxWSimState::SetPulseWidthVelocity(units::angular_velocity::turns_per_second_t velocity) {
  return internal::SetInput<kType, "PulseWidthVelocity">(deviceId_, Oriented(SensorOrientation, velocity.value()));
}

}  // namespace kvor::zephrin6::sim
